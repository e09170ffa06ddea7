// The program group: links in a folder, or program manager commands on
// systems before Windows 4.0.
#include <gtest/gtest.h>

#include "install/program_group.h"
#include "install_doubles.h"
#include "common/text_ids.h"
#include "tests/common/test_files.h"
#include "tests/doubles/recorder.h"

namespace {

const int kItems[] = {kTextWindowTitle, kTextHelpTitle, kTextUninstallTitle, 0};

class GroupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDoubles();
        ResetInstallDoubles();
        programs = MakeScratchDirectory();
        ASSERT_FALSE(programs.empty());
        FakeProgramsFolder = programs;
    }
    void TearDown() override { RemoveDirectoryTree(programs.c_str()); }
    std::string programs;
};

} // namespace

TEST(GroupName, MustNameOneFolderInsideThePrograms) {
    EXPECT_TRUE(IsValidGroupName("Ravlen"));
    EXPECT_TRUE(IsValidGroupName("Print tools 2.1"));
    for (const char* bad : {"", ".", "..", " . ", "a\\b", "..\\..", "a/b", "C:", "a*", "a?",
                            "\"a\"", "a<", "a>", "a|b"})
        EXPECT_FALSE(IsValidGroupName(bad)) << bad;
    EXPECT_FALSE(IsValidGroupName(std::string(255, 'g').c_str()));
}

TEST_F(GroupTest, OnNewerSystemsTheGroupIsAFolderOfLinks) {
    ASSERT_TRUE(CreateProgramGroup("Ravlen"));
    EXPECT_TRUE(IsDirectory((programs + "\\Ravlen").c_str()));
    AddProgramItem("Ravlen", "C:\\PROGRA~1\\Ravlen\\ravlen.exe", "/uninstall", "Uninstall Ravlen",
                   "C:\\PROGRA~1\\Ravlen\\ravlen.exe", 3);
    AddProgramItem("Ravlen", "C:\\My Tools\\ravlen.exe", nullptr, "Ravlen", "", 0);
    std::vector<std::string> expected = {
        "link Programs:Ravlen\\Uninstall Ravlen -> C:\\PROGRA~1\\Ravlen\\ravlen.exe [/uninstall] "
        "icon C:\\PROGRA~1\\Ravlen\\ravlen.exe,3",
        "link Programs:Ravlen\\Ravlen -> C:\\My Tools\\ravlen.exe icon ,0",
    };
    EXPECT_EQ(expected, RecordedCalls);
}

TEST_F(GroupTest, RemovingTheGroupKeepsAFolderThatHoldsTheUsersOwnLinks) {
    ASSERT_TRUE(CreateProgramGroup("Tools"));
    ASSERT_TRUE(WriteTestFile(programs + "\\Tools\\Editor.lnk", "mine"));
    DeleteProgramGroup("Tools", kItems);
    std::vector<std::string> expected = {"unlink Programs:Tools\\Ravlen",
                                         "unlink Programs:Tools\\Ravlen Help",
                                         "unlink Programs:Tools\\Uninstall Ravlen"};
    EXPECT_EQ(expected, RecordedCalls);
    EXPECT_EQ("mine", ReadTestFile(programs + "\\Tools\\Editor.lnk"));
    // Emptied of the user's link, it goes.
    RemoveFile((programs + "\\Tools\\Editor.lnk").c_str());
    DeleteProgramGroup("Tools", kItems);
    EXPECT_FALSE(PathExists((programs + "\\Tools").c_str()));
}

TEST_F(GroupTest, AGroupNameThatIsNoFolderOfItsOwnRemovesNothing) {
    DeleteProgramGroup("", kItems);
    DeleteProgramGroup("..", kItems);
    EXPECT_TRUE(RecordedCalls.empty());
    EXPECT_TRUE(IsDirectory(programs.c_str()));
    EXPECT_FALSE(CreateProgramGroup(""));
}

TEST_F(GroupTest, BeforeWindows4TheProgramManagerGetsTheCommands) {
    FakeShellHasFolders = false;
    CreateProgramGroup("Ravlen");
    AddProgramItem("Ravlen", "C:\\RAVLEN\\RAVLEN.EXE", "/uninstall", "Uninstall Ravlen",
                   "C:\\RAVLEN\\RAVLEN.EXE", 3);
    AddProgramItem("Ravlen", "C:\\RAVLEN\\RAVLEN.HLP", nullptr, "Ravlen Help", "", 0);
    DeleteProgramGroup("Ravlen", kItems);
    std::vector<std::string> expected = {
        "progman [CreateGroup(\"Ravlen\", 0)]",
        "progman [ShowGroup(\"Ravlen\", 1, 0)]",
        "progman [AddItem(C:\\RAVLEN\\RAVLEN.EXE /uninstall, \"Uninstall Ravlen\", "
        "\"C:\\RAVLEN\\RAVLEN.EXE\", 3)]",
        "progman [ShowGroup(\"Ravlen\", 1, 0)]",
        "progman [AddItem(C:\\RAVLEN\\RAVLEN.HLP, \"Ravlen Help\", \"\", 0)]",
        "progman [DeleteGroup(\"Ravlen\", 0)]",
    };
    EXPECT_EQ(expected, RecordedCalls);
}

TEST_F(GroupTest, AFailedAttemptRemovesOnlyWhatItAdded) {
    // A working installation's group and links, and a group new to this attempt.
    ASSERT_TRUE(CreateProgramGroup("Ravlen"));
    for (const char* item : {"Ravlen", "Ravlen Help", "Uninstall Ravlen"})
        FakeLinks.insert(std::string("Programs:Ravlen\\") + item);
    GroupBefore working = NoteProgramGroup("Ravlen", kItems, true);
    GroupBefore fresh = NoteProgramGroup("Fresh", kItems, false);
    for (const char* group : {"Ravlen", "Fresh"}) {
        CreateProgramGroup(group);
        AddProgramItem(group, "C:\\R\\ravlen.exe", nullptr, "Ravlen", "", 0);
    }
    RecordedCalls.clear();
    UndoProgramGroup("Ravlen", kItems, working);
    UndoProgramGroup("Fresh", kItems, fresh);
    std::vector<std::string> expected = {"unlink Programs:Fresh\\Ravlen",
                                         "unlink Programs:Fresh\\Ravlen Help",
                                         "unlink Programs:Fresh\\Uninstall Ravlen"};
    EXPECT_EQ(expected, RecordedCalls);
    EXPECT_TRUE(IsDirectory((programs + "\\Ravlen").c_str()));
    EXPECT_FALSE(PathExists((programs + "\\Fresh").c_str()));

    // The program manager cannot be asked: a recorded group is kept.
    FakeShellHasFolders = false;
    RecordedCalls.clear();
    UndoProgramGroup("Ravlen", kItems, NoteProgramGroup("Ravlen", kItems, true));
    UndoProgramGroup("Fresh", kItems, NoteProgramGroup("Fresh", kItems, false));
    EXPECT_EQ(std::vector<std::string>{"progman [DeleteGroup(\"Fresh\", 0)]"}, RecordedCalls);
}
