// Clipboard and standard-input capture: the text goes through a file in the
// temporary directory, printed as a batch of one and deleted afterwards.
#include "jobs/capture.h"

#include "tests/app/app_test_support.h"
#include "common/messages.h"

namespace {

class CaptureTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
#ifndef _WIN32
        // Capture files go to the temporary directory: this test's own.
        setenv("TMPDIR", dir.c_str(), 1);
#endif
        char probe[kPathSize];
        ASSERT_TRUE(MakeTempFileName(probe, sizeof probe));
        RemoveFile(probe);
        temp = PathComponents(probe, "drive,dir");
    }
    void TearDown() override {
#ifndef _WIN32
        unsetenv("TMPDIR");
#endif
        ShellTest::TearDown();
    }
    std::string temp;
};

TEST_F(CaptureTest, ClipboardTextIsPrintedThroughATemporaryFile) {
    OtherParts.clipboardText = "%!PS\r\nshowpage\r\n";
    EXPECT_TRUE(PrintClipboard(Batch(), nullptr));
    std::string path = temp + "clipboard";
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{"dispatch " + path + " with Default settings"}));
    EXPECT_EQ(OtherParts.dispatchedBytes, "%!PS\r\nshowpage\r\n");
    EXPECT_FALSE(PathExists(path.c_str()));
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(CaptureTest, EmptyOrUnreadableClipboardIsReported) {
    EXPECT_FALSE(PrintClipboard(Batch(), "notes.txt"));
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text, "The clipboard does not contain any text");
    EXPECT_EQ(ShownBoxes[0].kind, kMessageError);

    ResetDoubles();
    OtherParts.clipboardReadable = false;
    EXPECT_FALSE(PrintClipboard(Batch(), "notes.txt"));
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text, "Failed to get text from clipboard");
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    EXPECT_FALSE(PathExists((temp + "notes.txt").c_str()));
}

TEST_F(CaptureTest, AnExistingCaptureFileIsReplacedOnlyWhenTheUserSaysYes) {
    std::string path = temp + "notes.txt";
    ASSERT_TRUE(WriteTestFile(path, "keep me"));
    OtherParts.clipboardText = "new text";
    EXPECT_FALSE(PrintClipboard(Batch(), "notes.txt")); // unanswered: No, the default
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].kind, kMessageQuestion);
    EXPECT_NE(ShownBoxes[0].text.find("(" + path + ")"), std::string::npos);
    EXPECT_EQ(ReadTestFile(path), "keep me");
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());

    ResetDoubles();
    OtherParts.clipboardText = "new text";
    QueueMessageAnswer(kAnswerYes);
    EXPECT_TRUE(PrintClipboard(Batch(), "notes.txt"));
    EXPECT_EQ(OtherParts.dispatchedBytes, "new text");
    EXPECT_FALSE(PathExists(path.c_str()));
}

TEST_F(CaptureTest, AnOverlongCaptureNameIsRefused) {
    OtherParts.clipboardText = "text";
    EXPECT_FALSE(PrintClipboard(Batch(), std::string(kPathChars, 'n').c_str()));
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text.rfind("Failed to open temporary clipboard text file: ", 0), 0u);
}

// A capture name is a file name in the temporary directory; one that
// reaches outside it could overwrite, print and delete any file.
TEST_F(CaptureTest, ANameThatLeavesTheTemporaryDirectoryIsRefused) {
    std::string outside = Write("outside.txt", "keep me");
    std::string input = Write("input.txt", "piped text");
    const std::string names[] = {"..\\escape.txt",
                                 "../escape.txt",
                                 "sub\\..\\..\\x.txt",
                                 "C:escape.txt",
                                 "C:\\escape.txt",
                                 "\\\\server\\share\\x.txt",
                                 outside,
                                 "..",
                                 "."};
    for (const std::string& name : names) {
        ResetDoubles();
        OtherParts.clipboardText = "clipboard text";
        QueueMessageAnswer(kAnswerYes);
        EXPECT_FALSE(PrintClipboard(Batch(), name.c_str())) << name;
        ASSERT_EQ(ShownBoxes.size(), 1u) << name;
        EXPECT_EQ(ShownBoxes[0].text.rfind("Failed to open temporary clipboard text file: ", 0), 0u)
            << name;

        ResetDoubles();
        ASSERT_NE(freopen(NativeName(input).c_str(), "rb", stdin), nullptr);
        EXPECT_FALSE(PrintStandardInput(Batch(), name.c_str())) << name;
        ASSERT_EQ(ShownBoxes.size(), 1u) << name;
        EXPECT_EQ(ShownBoxes[0].text.rfind("Failed to create temporary file: ", 0), 0u) << name;
        EXPECT_TRUE(CallsStartingWith("dispatch").empty()) << name;
    }
    EXPECT_EQ(ReadTestFile(outside), "keep me");
}

TEST_F(CaptureTest, StandardInputIsCopiedByteForByte) {
    const std::string bytes("\x1b%-12345X\r\n\x1a\0tail\n", 17);
    std::string input = Write("input.bin", bytes);
    ASSERT_NE(freopen(NativeName(input).c_str(), "rb", stdin), nullptr);
    OtherParts.dispatchSucceeds = false;
    EXPECT_FALSE(PrintStandardInput(Batch(), "in.prn"));
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{"dispatch " + temp + "in.prn with Default settings"}));
    EXPECT_EQ(OtherParts.dispatchedBytes, bytes);
    EXPECT_FALSE(PathExists((temp + "in.prn").c_str()));
}

TEST_F(CaptureTest, AStandardInputFileThatCannotBeMadeIsReportedByItsPath) {
    // A directory of the capture file's name stands in the way.
    std::string path = temp + "blocked";
    ASSERT_TRUE(MakeDirectory(path.c_str()));
    EXPECT_FALSE(PrintStandardInput(Batch(), "blocked"));
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text, "Failed to create temporary file: " + path);
    EXPECT_EQ(ShownBoxes[0].kind, kMessageError);
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    RemoveEmptyDirectory(path.c_str());
}

} // namespace
