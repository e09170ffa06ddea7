#include "common/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_files.h"

namespace {

class LineReaderTest : public testing::Test {
  protected:
    void TearDown() override {
        if (file)
            fclose(file);
        if (!path.empty())
            RemoveFile(path.c_str());
    }

    void Open(const std::string& bytes) {
        char name[kPathSize];
        ASSERT_TRUE(MakeTempFileName(name, sizeof name));
        path = name;
        ASSERT_TRUE(WriteTestFile(path, bytes));
        file = fopen(NativeName(path).c_str(), "rb");
        ASSERT_NE(nullptr, file);
    }

    std::vector<std::string> AllLines() {
        std::vector<std::string> lines;
        char buf[255];
        while (ReadLine(buf, file))
            lines.push_back(buf);
        return lines;
    }

    std::string path;
    FILE* file = nullptr;
};

TEST_F(LineReaderTest, BareCarriageReturnsEndLinesAndStayInThem) {
    Open("one\rtwo\r\rthree");
    EXPECT_TRUE(DetectLineEnds(file));
    EXPECT_EQ(0, ftell(file));
    EXPECT_EQ((std::vector<std::string>{"one\r", "two\r", "\r", "three"}), AllLines());
}

TEST_F(LineReaderTest, CrLfAndLfFilesReadAsOrdinaryLines) {
    Open("first\r\nsecond\r\n");
    EXPECT_FALSE(DetectLineEnds(file));
    EXPECT_EQ((std::vector<std::string>{"first\r\n", "second\r\n"}), AllLines());
    fclose(file);
    file = nullptr;
    RemoveFile(path.c_str());
    Open("a\nb");
    EXPECT_FALSE(DetectLineEnds(file));
    EXPECT_EQ((std::vector<std::string>{"a\n", "b"}), AllLines());
}

TEST_F(LineReaderTest, Byte255IsOrdinaryData) {
    Open("\xff\xff\r\x01\xff"
         "b\r");
    ASSERT_TRUE(DetectLineEnds(file));
    EXPECT_EQ((std::vector<std::string>{"\xff\xff\r", "\x01\xff"
                                                      "b\r"}),
              AllLines());
}

TEST_F(LineReaderTest, LongLinesArriveInPiecesOf254) {
    Open("head\r" + std::string(600, 'x') + "\r" + "tail");
    ASSERT_TRUE(DetectLineEnds(file));
    std::vector<std::string> lines = AllLines();
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ(std::string(254, 'x'), lines[1]);
    EXPECT_EQ(std::string(254, 'x'), lines[2]);
    EXPECT_EQ(std::string(92, 'x') + "\r", lines[3]);
    EXPECT_EQ("tail", lines[4]);

    fclose(file);
    file = nullptr;
    RemoveFile(path.c_str());
    Open(std::string(300, 'y') + "\n");
    ASSERT_FALSE(DetectLineEnds(file));
    lines = AllLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(254u, lines[0].size());
    EXPECT_EQ(std::string(46, 'y') + "\n", lines[1]);
}

// The CR takes the last place of the detection's line; its LF is still unread.
TEST_F(LineReaderTest, CrLfSplitAtThePieceBoundaryIsNotABareCr) {
    Open(std::string(253, 'z') + "\r\nnext\r\n");
    EXPECT_FALSE(DetectLineEnds(file));
    EXPECT_EQ(0, ftell(file));
}

TEST_F(LineReaderTest, DetectionLooksAtTheLineAtTheCurrentPosition) {
    Open("header\nbody\rmore\r");
    ASSERT_EQ(0, fseek(file, 7, SEEK_SET));
    EXPECT_TRUE(DetectLineEnds(file));
    EXPECT_EQ(7, ftell(file));
    char buf[255];
    ASSERT_TRUE(ReadLine(buf, file));
    EXPECT_STREQ("body\r", buf);
    ASSERT_EQ(0, fseek(file, 0, SEEK_SET));
    EXPECT_FALSE(DetectLineEnds(file));
}

TEST_F(LineReaderTest, EmptyFileGivesNoLine) {
    Open("");
    EXPECT_FALSE(DetectLineEnds(file));
    char buf[255];
    EXPECT_FALSE(ReadLine(buf, file));
}

} // namespace
