// What the uninstaller removes from disk: the removal batch and the refusals
// of RemoveDirectoryTree.
#include <gtest/gtest.h>

#include <string>

#include "install/removal_batch.h"
#include "tests/common/test_files.h"

namespace {

std::string Batch(const char* batch, const char* program) {
    char text[4096];
    EXPECT_TRUE(RemovalBatchText(batch, program, text, sizeof text));
    return text;
}

} // namespace

TEST(RemovalBatch, DeletesTheProgramWhenItHasEndedThenTheEmptyDirectoryThenItself) {
    EXPECT_EQ("cd /d \"C:\\TEMP\\\"\n"
              "set tries=0\n"
              ":repeat\n"
              "del \"C:\\RAVLEN\\RAVLEN.EXE\"\n"
              "if not exist \"C:\\RAVLEN\\RAVLEN.EXE\" goto removed\n"
              "set /a tries+=1\n"
              "if %tries% geq 120 goto removed\n"
              "ping -n 2 127.0.0.1 >nul 2>&1\n"
              "goto repeat\n"
              ":removed\n"
              "rmdir \"C:\\RAVLEN\"\n"
              "del %0\n",
              Batch("C:\\TEMP\\_remrvl.bat", "C:\\RAVLEN\\RAVLEN.EXE"));
}

TEST(RemovalBatch, PathsWithBlanksAmpersandsAndPercentSignsStayOneName) {
    // Unquoted, "&" would end the command and start the rest as another one,
    // and a blank would make del delete two other files.
    std::string text =
        Batch("C:\\Users\\A & B\\Temp\\_remrvl.bat", "C:\\Program Files\\R&D 100%\\ravlen.exe");
    EXPECT_NE(std::string::npos, text.find("cd /d \"C:\\Users\\A & B\\Temp\\\"\n"));
    EXPECT_NE(std::string::npos, text.find("del \"C:\\Program Files\\R&D 100%%\\ravlen.exe\"\n"));
    EXPECT_NE(std::string::npos, text.find("rmdir \"C:\\Program Files\\R&D 100%%\"\n"));
}

TEST(RemovalBatch, RemovesNothingButTheProgramFile) {
    // rmdir without /s fails while the user's own files are in the directory;
    // no wildcard and no tree removal anywhere.
    std::string text = Batch("C:\\TEMP\\_remrvl.bat", "D:\\Tools\\ravlen.exe");
    EXPECT_EQ(std::string::npos, text.find("/s"));
    EXPECT_EQ(std::string::npos, text.find('*'));
    EXPECT_EQ(std::string::npos, text.find("/q"));
    // A program in a root leaves the root alone.
    text = Batch("C:\\TEMP\\_remrvl.bat", "C:\\ravlen.exe");
    EXPECT_EQ(std::string::npos, text.find("rmdir"));
}

// cmd.exe reads the batch in the OEM code page. The program's paths are
// UTF-8, and the batch names the very directory the user installed to, in
// OEM letters ("\xFC" is 0x81 in code pages 437 and 850 alike): neither the
// UTF-8 bytes nor the ANSI ones, which read there as other letters ("\xC3\xBC"
// as "\u251C\u255D", or in 850 "\u00C3\u00BC", which names another
// directory). A letter the OEM code page lacks leaves the caller to the short
// names.
TEST(RemovalBatch, NamesTheInstalledPathInTheOemCodePage) {
    char text[4096];
    ASSERT_TRUE(RemovalBatchInOem("C:\\Temp\\Dr\xC3\xBC"
                                  "cker\\_remrvl.bat",
                                  "C:\\Users\\Me\\B\xC3\xBCro\\Ravlen\\ravlen.exe", text,
                                  sizeof text));
    EXPECT_EQ("cd /d \"C:\\Temp\\Dr\x81"
              "cker\\\"\n"
              "set tries=0\n"
              ":repeat\n"
              "del \"C:\\Users\\Me\\B\x81ro\\Ravlen\\ravlen.exe\"\n"
              "if not exist \"C:\\Users\\Me\\B\x81ro\\Ravlen\\ravlen.exe\" goto removed\n"
              "set /a tries+=1\n"
              "if %tries% geq 120 goto removed\n"
              "ping -n 2 127.0.0.1 >nul 2>&1\n"
              "goto repeat\n"
              ":removed\n"
              "rmdir \"C:\\Users\\Me\\B\x81ro\\Ravlen\"\n"
              "del %0\n",
              std::string(text));
    for (const char* program : {"C:\\\xCE\xBB\\ravlen.exe", "C:\\\xE6\x96\x87\\ravlen.exe"}) {
        EXPECT_FALSE(RemovalBatchInOem("C:\\Temp\\_remrvl.bat", program, text, sizeof text))
            << program;
        EXPECT_STREQ("", text) << program;
    }
}

TEST(RemovalBatch, RefusesPathsItCannotQuoteOrThatDoNotFit) {
    char text[4096];
    EXPECT_FALSE(RemovalBatchText("C:\\TEMP\\_remrvl.bat", "ravlen.exe", text, sizeof text));
    EXPECT_FALSE(RemovalBatchText("C:\\TEMP\\_remrvl.bat", "C:\\a\"b\\r.exe", text, sizeof text));
    EXPECT_FALSE(RemovalBatchText("C:\\TEMP\\_remrvl.bat", "C:\\R\\r.exe", text, 40));
    EXPECT_STREQ("", text);
}

TEST(RemoveDirectoryTree, RefusesEmptyPathsAndRootsOfDrivesAndShares) {
    // Each of these would search and empty a whole drive.
    for (const char* root :
         {"", "\\", "/", "C:", "C:\\", "c:/", "\\\\server\\share", "\\\\server\\share\\"})
        EXPECT_FALSE(RemoveDirectoryTree(root)) << root;
}

TEST(RemoveDirectoryTree, StillRemovesAnOrdinaryTree) {
    std::string dir = MakeScratchDirectory();
    ASSERT_FALSE(dir.empty());
    ASSERT_TRUE(MakeDirectory((dir + "\\sub").c_str()));
    ASSERT_TRUE(WriteTestFile(dir + "\\sub\\a.txt", "a"));
    EXPECT_TRUE(RemoveDirectoryTree(dir.c_str()));
    EXPECT_FALSE(PathExists(dir.c_str()));
}
