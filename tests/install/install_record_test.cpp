// Where the program may be installed, what the installation records, and that
// the uninstaller removes exactly the recorded files.
#include <gtest/gtest.h>

#include <string>

#include "install/install_record.h"
#include "tests/common/test_files.h"

TEST(InstallDirectory, MustBeAFullPathOnADriveOrAShare) {
    for (const char* full :
         {"C:\\Ravlen", "d:/Apps", "C:\\", "\\\\server\\share", "\\\\server\\share\\Ravlen"})
        EXPECT_TRUE(IsFullDirectoryPath(full)) << full;
    for (const char* relative :
         {"", "Ravlen", "Apps\\Ravlen", ".\\Ravlen", "..\\Ravlen", "C:", "C:Ravlen", "\\Ravlen",
          "/Ravlen", "\\\\server", "\\\\server\\", "\\\\\\share", " C:\\Ravlen", "1:\\Ravlen"})
        EXPECT_FALSE(IsFullDirectoryPath(relative)) << relative;
}

TEST(InstallRecord, HoldsEachPlainFileNameOnce) {
    FileNames names = SplitFileNames("ravlen.exe|ravlen.html||readme.txt|RAVLEN.EXE|"
                                     "..\\..\\boot.ini|C:autoexec.bat|sub/x.txt|.|..");
    EXPECT_EQ((FileNames{"ravlen.exe", "ravlen.html", "readme.txt"}), names);
    EXPECT_EQ("ravlen.exe|ravlen.html|readme.txt", JoinFileNames(names));
}

namespace {

class InstalledFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = MakeScratchDirectory();
        ASSERT_FALSE(dir.empty());
        dir += "\\";
        for (const char* name : {"ravlen.exe", "ravlen.hlp", "Ravlen.gid", "pp.txt", "readme.txt"})
            ASSERT_TRUE(WriteTestFile(dir + name, name));
    }
    void TearDown() override { RemoveDirectoryTree(dir.c_str()); }
    bool Exists(const char* name) { return FileExists((dir + name).c_str()); }
    std::string dir;
};

} // namespace

TEST_F(InstalledFilesTest, OnlyTheRecordedFilesGoAndTheUsersOwnStay) {
    // The installer had no read-me to copy: the one there is the user's.
    bool runningIsInstalled = true;
    EXPECT_TRUE(RemoveInstalledFiles(dir.c_str(),
                                     {"ravlen.exe", "ravlen.hlp", "pp.txt", "gone.txt"},
                                     "C:\\elsewhere\\copy of ravlen.exe", &runningIsInstalled));
    EXPECT_FALSE(runningIsInstalled);
    // Ravlen.gid is the help viewer's index of the help file.
    for (const char* name : {"ravlen.exe", "pp.txt", "ravlen.hlp", "Ravlen.gid"})
        EXPECT_FALSE(Exists(name)) << name;
    EXPECT_EQ("readme.txt", ReadTestFile(dir + "readme.txt"));
    // One that cannot be deleted is reported.
    ASSERT_TRUE(MakeDirectory((dir + "help.html").c_str()));
    EXPECT_FALSE(
        RemoveInstalledFiles(dir.c_str(), {"help.html"}, "C:\\x\\r.exe", &runningIsInstalled));
}

TEST_F(InstalledFilesTest, TheRunningInstalledProgramIsLeftForTheBatch) {
    // However the running program's path is spelt, it is the installed file.
    bool runningIsInstalled = false;
    std::string running = dir + "sub\\..\\RAVLEN.EXE";
    ASSERT_TRUE(MakeDirectory((dir + "sub").c_str()));
    EXPECT_TRUE(RemoveInstalledFiles(dir.c_str(), {"ravlen.exe", "pp.txt"}, running.c_str(),
                                     &runningIsInstalled));
    EXPECT_TRUE(runningIsInstalled);
    EXPECT_TRUE(Exists("ravlen.exe"));
    EXPECT_FALSE(Exists("pp.txt"));
    // A renamed copy beside it is not the installed program, which goes.
    ASSERT_TRUE(WriteTestFile(dir + "old.exe", "copy"));
    EXPECT_TRUE(RemoveInstalledFiles(dir.c_str(), {"ravlen.exe"}, (dir + "old.exe").c_str(),
                                     &runningIsInstalled));
    EXPECT_FALSE(runningIsInstalled);
    EXPECT_FALSE(Exists("ravlen.exe"));
    EXPECT_TRUE(Exists("old.exe"));
}

TEST_F(InstalledFilesTest, ADirectoryIsTheSameHoweverItIsSpelt) {
    ASSERT_TRUE(MakeDirectory((dir + "Long Directory Name").c_str()));
    std::string base = dir.substr(0, dir.size() - 1);
    EXPECT_TRUE(IsSameDirectory(base.c_str(), dir.c_str()));
    EXPECT_TRUE(IsSameDirectory((dir + "long directory name\\..\\.").c_str(), base.c_str()));
    EXPECT_TRUE(IsSameDirectory((dir + "LONG DIRECTORY NAME").c_str(),
                                (dir + "Long Directory Name\\").c_str()));
    EXPECT_FALSE(IsSameDirectory((dir + "Long Directory Name").c_str(), base.c_str()));
    // Its short (8.3) name, where the file system has one.
    FoundEntry entry;
    DirectorySearch* search = OpenDirectorySearch((dir + "Long Directory Name").c_str(), &entry);
    ASSERT_TRUE(search);
    CloseDirectorySearch(search);
    if (entry.shortName[0]) {
        EXPECT_TRUE(IsSameDirectory((dir + entry.shortName).c_str(),
                                    (dir + "Long Directory Name").c_str()));
    }
}
