#include <cstring>
#include <ctime>
#include <sys/stat.h>
#ifdef _WIN32
#include <sys/utime.h>
#else
#include <utime.h>
#endif

#include "textfmt/header_codes.h"
#include "textfmt_test_support.h"

namespace {

class HeaderLineTest : public TextFormatterTest {
  protected:
    std::vector<std::string> Draw(const char* text, int page) {
        DrawnTexts.clear();
        DrawHeaderLine(RecorderDevice(), text, page, 100, 40, 201, nullptr);
        std::vector<std::string> runs;
        for (const DrawnText& t : DrawnTexts) {
            const char* align = t.align == kAlignCentreTop  ? "centre"
                                : t.align == kAlignRightTop ? "right"
                                                            : "left";
            runs.push_back(std::string(align) + " " + t.text + "@" + std::to_string(t.x) + "," +
                           std::to_string(t.y));
        }
        return runs;
    }
};

TEST_F(HeaderLineTest, PageNumbersAndAmpersands) {
    EXPECT_EQ((std::vector<std::string>{"left Page 3 of @100,40"}), Draw("Page &# of &#", 3));
    EXPECT_EQ((std::vector<std::string>{"left R&D@100,40"}), Draw("R&&D", 1));
    EXPECT_TRUE(Draw("&x", 1).empty());
    EXPECT_EQ((std::vector<std::string>{"left abc@100,40"}), Draw("abc&", 1));
    EXPECT_TRUE(Draw("&c", 1).empty());
}

TEST_F(HeaderLineTest, RunsAlignToTheirAnchors) {
    EXPECT_EQ((std::vector<std::string>{"right Right@201,40", "left Left@100,40"}),
              Draw("&rRight&lLeft", 1));
    // The centre is rounded half up; runs of the same kind share an anchor.
    EXPECT_EQ((std::vector<std::string>{"left a@100,40", "centre b@151,40", "centre c@151,40"}),
              Draw("a&cb&cc", 1));
}

class DocumentCodesTest : public TextFormatterTest {
  protected:
    void SetUp() override {
        TextFormatterTest::SetUp();
        char name[kPathSize];
        ASSERT_TRUE(MakeTempFileName(name, sizeof name));
        RemoveFile(name);
        directory_ = name;
        ASSERT_TRUE(MakeDirectory(name));
    }
    void TearDown() override {
        RemoveDirectoryTree(directory_.c_str());
        TextFormatterTest::TearDown();
    }
    std::string MakeFile(const std::string& name) {
        std::string path = directory_ + "\\" + name;
        FILE* out = OpenStream(path.c_str(), "wb");
        if (out)
            fclose(out);
        return path;
    }
    std::string directory_;
};

TEST_F(DocumentCodesTest, DefaultHeaderFillsNameDateAndTotal) {
    std::string path = MakeFile("A.TXT");
    struct tm when = {};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 5;
    when.tm_hour = 14;
    when.tm_min = 3;
    when.tm_isdst = -1;
    time_t stamp = mktime(&when);
#ifdef _WIN32
    struct _utimbuf times = {stamp, stamp};
    ASSERT_EQ(0, _utime(NativeName(path).c_str(), &times));
#else
    struct utimbuf times = {stamp, stamp};
    ASSERT_EQ(0, utime(NativeName(path).c_str(), &times));
#endif
    char text[kHeaderTextSize] = "&f&c&d&rPage &#(&t)";
    ExpandDocumentCodes(text, path.c_str(), 12);
    EXPECT_STREQ("A.TXT&c05-Dec-2026 14:03&rPage &#(12)", text);
}

TEST_F(DocumentCodesTest, OnlyTheFirstOfEachCodeIsFilled) {
    std::string path = MakeFile("notes.txt");
    char text[kHeaderTextSize] = "&f/&f &p";
    ExpandDocumentCodes(text, path.c_str(), 0);
    std::string result = text;
    EXPECT_EQ(0u, result.find("notes.txt/&f "));
    std::string dir = result.substr(strlen("notes.txt/&f "));
    EXPECT_NE(std::string::npos, dir.find(FileNameOf(directory_.c_str())));
    char last = dir.empty() ? '\0' : dir.back();
    EXPECT_TRUE(last == '\\' || last == '/');
}

TEST_F(DocumentCodesTest, AnUnreadableDateVanishesWhenDrawn) {
    char text[kHeaderTextSize] = "[&d]";
    ExpandDocumentCodes(text, (directory_ + "\\missing.txt").c_str(), 0);
    EXPECT_STREQ("[&d]", text);
    DrawHeaderLine(RecorderDevice(), text, 1, 0, 0, 100, nullptr);
    ASSERT_EQ(1u, DrawnTexts.size());
    EXPECT_EQ("[]", DrawnTexts[0].text);
}

TEST_F(DocumentCodesTest, SubstitutedNamesAreReadForCodesAndCutAt255) {
    std::string path = MakeFile("R&D.TXT");
    char text[kHeaderTextSize] = "&f";
    ExpandDocumentCodes(text, path.c_str(), 0);
    DrawHeaderLine(RecorderDevice(), text, 1, 0, 0, 100, nullptr);
    ASSERT_EQ(1u, DrawnTexts.size());
    EXPECT_EQ("R.TXT", DrawnTexts[0].text);

    char longText[kHeaderTextSize];
    std::string filler(250, 'x');
    strcpy(longText, (filler + "&f").c_str());
    ExpandDocumentCodes(longText, path.c_str(), 0);
    EXPECT_EQ(255u, strlen(longText));
    EXPECT_EQ(filler + "R&D.T", longText);
    // Characters are counted, not bytes, and none is cut in two.
    std::string umlauts = MakeFile("\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC.txt");
    strcpy(longText, (filler + "&f").c_str());
    ExpandDocumentCodes(longText, umlauts.c_str(), 0);
    EXPECT_EQ(filler + "\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC", longText);
}

// The header text is in the ANSI code page, the name in UTF-8: the line is
// drawn in the code page where it holds every letter, as it always was, and
// through the wide call where it does not.
TEST_F(DocumentCodesTest, NamesShowInTheirOwnCharacters) {
    struct Case {
        const char* name;
        const char* header;
        const char* drawn; // UTF-8 when drawn wide
        bool wide;
    } cases[] = {
        {"\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1.txt", "&f",
         "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1.txt", true},
        {"\xE6\x96\x87\xE4\xBB\xB6.txt", "\xFC &f", "\xC3\xBC \xE6\x96\x87\xE4\xBB\xB6.txt", true},
        {"smile \xF0\x9F\x98\x80.txt", "&f", "smile \xF0\x9F\x98\x80.txt", true},
        {"caf\xC3\xA9.txt", "\xFC &f", "\xFC caf\xE9.txt", false},
    };
    for (const Case& c : cases) {
        char text[kHeaderTextSize];
        strcpy(text, c.header);
        ExpandDocumentCodes(text, MakeFile(c.name).c_str(), 0);
        DrawnTexts.clear();
        DrawHeaderLine(RecorderDevice(), text, 1, 0, 0, 100, nullptr);
        ASSERT_EQ(1u, DrawnTexts.size()) << c.name;
        EXPECT_EQ(c.drawn, DrawnTexts[0].text) << c.name;
        EXPECT_EQ(c.wide, DrawnTexts[0].wide) << c.name;
    }
}

} // namespace
