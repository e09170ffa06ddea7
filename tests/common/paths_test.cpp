#include "common/paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "common/messages.h"
#include "tests/doubles/recorder.h"
#include "test_files.h"

namespace {

TEST(PathComponents, JoinsTheSelectedPartsInFixedOrder) {
    const char* path = "C:\\DOCS\\A.TXT";
    EXPECT_STREQ("C:\\DOCS\\", PathComponents(path, "drive,dir"));
    EXPECT_STREQ("A.TXT", PathComponents(path, "name,ext"));
    EXPECT_STREQ(".TXT", PathComponents(path, "ext"));
    EXPECT_STREQ("C:.TXT", PathComponents(path, "ext,drive"));
    EXPECT_STREQ("C:\\DOCS\\A.TXT", PathComponents(path, "drive dir name ext"));
    EXPECT_STREQ("", PathComponents(path, "nothing"));
    EXPECT_STREQ("", PathComponents(path, ""));
}

TEST(PathComponents, SplitsLikeTheLibrarysSplitPath) {
    EXPECT_STREQ("archive.tar", PathComponents("\\a.b\\archive.tar.gz", "name"));
    EXPECT_STREQ("\\a.b\\", PathComponents("\\a.b\\archive.tar.gz", "dir"));
    EXPECT_STREQ("README", PathComponents("D:README", "name,ext"));
    EXPECT_STREQ("D:", PathComponents("D:README", "drive"));
    EXPECT_STREQ("", PathComponents("dir\\noext", "ext"));
    EXPECT_STREQ(".profile", PathComponents("home\\.profile", "ext"));
    EXPECT_STREQ("", PathComponents("home\\.profile", "name"));
    EXPECT_STREQ("\\\\server\\share\\", PathComponents("\\\\server\\share\\f.prn", "drive,dir"));
    EXPECT_STREQ("docs/", PathComponents("docs/a.ps", "dir"));
    EXPECT_STREQ("", PathComponents("C:\\DOCS\\", "name,ext"));
    EXPECT_STREQ("", PathComponents("", "drive,dir,name,ext"));
}

TEST(PathComponents, NamesAndTitles) {
    EXPECT_STREQ("A.TXT", FileNameOf("C:\\DOCS\\A.TXT"));
    EXPECT_STREQ("C:\\Tools\\", FirstWordComponents("C:\\Tools\\conv.exe -o &o &i", "drive,dir"));
    EXPECT_STREQ("conv.exe", FirstWordComponents("C:\\Tools\\conv.exe", "name,ext"));
    EXPECT_STREQ("", FirstWordComponents("conv -x", "drive,dir"));
    EXPECT_STREQ("Ravlen - a.txt", DocumentTitle("C:\\x\\a.txt"));
}

TEST(PathComponents, OverlongPathIsCutNotOverrun) {
    std::string name(2000, 'q');
    std::string path = "C:\\" + name + ".txt";
    EXPECT_EQ(static_cast<size_t>(kPathChars), strlen(FileNameOf(path.c_str())));
    std::string title = DocumentTitle(path.c_str());
    EXPECT_EQ(static_cast<size_t>(kPathChars), title.size());
}

TEST(ProgramPath, NamesTheRunningProgram) {
    std::string whole = ProgramPathComponents("");
    EXPECT_TRUE(FileExists(whole.c_str()));
    std::string name = ProgramPathComponents("name");
    EXPECT_EQ(0u, name.find("common_tests"));
    std::string directory = ProgramPathComponents("drive,dir");
    EXPECT_EQ(whole, directory + ProgramPathComponents("name,ext"));
}

TEST(FormatSize, ChoosesTheUnitAtEachPowerOf1024) {
    EXPECT_STREQ("0 bytes", FormatSize(0));
    EXPECT_STREQ("1023 bytes", FormatSize(1023));
    EXPECT_STREQ("1.0 KB", FormatSize(1024));
    EXPECT_STREQ("1.5 KB", FormatSize(1536));
    EXPECT_STREQ("1024.0 KB", FormatSize(1048575));
    EXPECT_STREQ("1.0 MB", FormatSize(1048576));
    EXPECT_STREQ("5120.0 MB", FormatSize(5368709120LL));
}

class FileTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetDoubles();
        base = MakeScratchDirectory();
        ASSERT_FALSE(base.empty());
        startDirectory = CurrentDirectory();
    }
    void TearDown() override {
        ChangeDirectory(startDirectory);
        for (const std::string& path : readOnly)
            SetReadOnly(path, false);
        RemoveDirectoryTree(base.c_str());
    }

    std::string At(const std::string& relative) const { return base + "\\" + relative; }
    void MakeReadOnlyFile(const std::string& path) {
        ASSERT_TRUE(WriteTestFile(path, "r"));
        SetReadOnly(path, true);
        readOnly.push_back(path);
    }
    std::vector<std::string> AllMatches(const std::string& pattern, bool directories) {
        std::vector<std::string> found;
        char entry[kPathSize] = "";
        MatchSearch* search = nullptr;
        while (FindNextMatchingFile(pattern.c_str(), entry, sizeof entry, &search, directories))
            found.push_back(entry);
        EXPECT_EQ(nullptr, search);
        std::sort(found.begin(), found.end());
        return found;
    }

    std::string base;
    std::string startDirectory;
    std::vector<std::string> readOnly;
};

TEST_F(FileTest, TempFileIsNewEmptyAndNamedRvl) {
    char first[kPathSize];
    char second[kPathSize];
    ASSERT_TRUE(MakeTempFileName(first, sizeof first));
    ASSERT_TRUE(MakeTempFileName(second, sizeof second));
    EXPECT_STRNE(first, second);
    EXPECT_TRUE(FileExists(first));
    EXPECT_EQ(0, FileSize(first));
    EXPECT_TRUE(StartsWithNoCase(FileNameOf(first), "rvl"));
    EXPECT_EQ(0, CompareNoCase(".tmp", PathComponents(first, "ext")));
    RemoveFile(first);
    RemoveFile(second);

    char tiny[4] = "abc";
    EXPECT_FALSE(MakeTempFileName(tiny, sizeof tiny));
    EXPECT_STREQ("", tiny);
}

TEST_F(FileTest, SizeAndExistence) {
    ASSERT_TRUE(WriteTestFile(At("ten.bin"), std::string("0123456789")));
    EXPECT_EQ(10, FileSize(At("ten.bin").c_str()));
    EXPECT_TRUE(FileExists(At("ten.bin").c_str()));
    EXPECT_TRUE(FileExists(base.c_str()));
    EXPECT_FALSE(FileExists(At("none.bin").c_str()));
    EXPECT_EQ(0, FileSize(At("none.bin").c_str()));
}

TEST_F(FileTest, EnsureDirectoryReportsWhatFailedAndWhy) {
    EXPECT_TRUE(EnsureDirectory(base.c_str()));
    EXPECT_TRUE(ShownBoxes.empty());
    std::string orphan = At("missing\\child");
    EXPECT_FALSE(EnsureDirectory(orphan.c_str()));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("Ravlen Error", ShownBoxes[0].title);
    EXPECT_EQ("Failed to create directory " + orphan + "\n" + strerror(ENOENT), ShownBoxes[0].text);
}

TEST_F(FileTest, CreateDirectoryPathMakesEveryLevel) {
    EXPECT_TRUE(CreateDirectoryPath(At("A\\B\\C\\").c_str()));
    EXPECT_TRUE(IsDirectory(At("A\\B\\C").c_str()));
    EXPECT_TRUE(CreateDirectoryPath(At("A\\B\\C").c_str()));
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(FileTest, CreateDirectoryPathTakesTheFirstSeparatorForTheRoot) {
    ASSERT_TRUE(ChangeDirectory(base));
    EXPECT_FALSE(CreateDirectoryPath("A\\B"));
    EXPECT_FALSE(FileExists(At("A").c_str()));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(0u, ShownBoxes[0].text.find("Failed to create directory A\\B\n"));

    ASSERT_TRUE(MakeDirectory(At("A").c_str()));
    EXPECT_TRUE(CreateDirectoryPath("A\\B"));
    EXPECT_TRUE(IsDirectory(At("A\\B").c_str()));
}

TEST_F(FileTest, CreateDirectoryPathStopsAtTheFirstFailure) {
    ASSERT_TRUE(WriteTestFile(At("file"), "x"));
    EXPECT_FALSE(CreateDirectoryPath(At("file\\sub\\deeper").c_str()));
    EXPECT_EQ(1u, ShownBoxes.size());
    EXPECT_FALSE(FileExists(At("file\\sub").c_str()));
}

TEST_F(FileTest, CreateDirectoryPathRefusesAPathItWouldHaveToCut) {
    std::string deep = At(std::string(kPathChars, 'd'));
    EXPECT_FALSE(CreateDirectoryPath(deep.c_str()));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(0u, ShownBoxes[0].text.find("Failed to create directory " + base));
    EXPECT_FALSE(RemoveDirectoryTree(deep.c_str()));
}

TEST_F(FileTest, RemoveDirectoryTreeRemovesNestedEntries) {
    std::string tree = At("tree");
    ASSERT_TRUE(CreateDirectoryPath((tree + "\\sub\\deeper").c_str()));
    ASSERT_TRUE(WriteTestFile(tree + "\\a.txt", "a"));
    ASSERT_TRUE(WriteTestFile(tree + "\\noext", "b"));
    ASSERT_TRUE(WriteTestFile(tree + "\\sub\\deeper\\c.ps", "c"));
    EXPECT_TRUE(RemoveDirectoryTree(tree.c_str()));
    EXPECT_FALSE(FileExists(tree.c_str()));
}

TEST_F(FileTest, RemoveDirectoryTreeFailsOnAReadOnlyFileButRemovesTheRest) {
    std::string tree = At("tree");
    ASSERT_TRUE(CreateDirectoryPath((tree + "\\sub").c_str()));
    ASSERT_TRUE(WriteTestFile(tree + "\\sub\\plain.txt", "p"));
    MakeReadOnlyFile(tree + "\\kept.txt");
    EXPECT_FALSE(RemoveDirectoryTree((tree + "\\").c_str()));
    EXPECT_TRUE(FileExists((tree + "\\kept.txt").c_str()));
    EXPECT_FALSE(FileExists((tree + "\\sub").c_str()));
}

TEST_F(FileTest, FindNextMatchingFileGivesFullPathsOfWritableFiles) {
    ASSERT_TRUE(WriteTestFile(At("a.txt"), "a"));
    ASSERT_TRUE(WriteTestFile(At("B.TXT"), "b"));
    ASSERT_TRUE(WriteTestFile(At("c.prn"), "c"));
    MakeReadOnlyFile(At("r.txt"));
    ASSERT_TRUE(MakeDirectory(At("d.txt").c_str()));

    std::vector<std::string> files = AllMatches(At("*.txt"), false);
    EXPECT_EQ((std::vector<std::string>{At("B.TXT"), At("a.txt")}), files);

    std::vector<std::string> withDirectories = AllMatches(At("*.txt"), true);
    EXPECT_EQ((std::vector<std::string>{At("B.TXT"), At("a.txt"), At("d.txt")}), withDirectories);

    std::vector<std::string> everything = AllMatches(At("*.*"), true);
    EXPECT_NE(everything.end(), std::find(everything.begin(), everything.end(), At(".")));
    EXPECT_NE(everything.end(), std::find(everything.begin(), everything.end(), At("c.prn")));
    EXPECT_TRUE(AllMatches(At("*.eps"), true).empty());
}

TEST_F(FileTest, FindNextMatchingFileOverOnlyReadOnlyFilesEndsAtOnce) {
    MakeReadOnlyFile(At("one.prn"));
    MakeReadOnlyFile(At("two.prn"));
    char entry[kPathSize] = "";
    MatchSearch* search = nullptr;
    EXPECT_FALSE(FindNextMatchingFile(At("*.prn").c_str(), entry, sizeof entry, &search, false));
    EXPECT_EQ(nullptr, search);
}

TEST_F(FileTest, FindNextMatchingFileDoesNotRestartAnEndedSearch) {
    ASSERT_TRUE(WriteTestFile(At("only.prn"), "x"));
    char entry[kPathSize] = "";
    MatchSearch* search = nullptr;
    std::string pattern = At("*.prn");
    ASSERT_TRUE(FindNextMatchingFile(pattern.c_str(), entry, sizeof entry, &search, false));
    EXPECT_FALSE(FindNextMatchingFile(pattern.c_str(), entry, sizeof entry, &search, false));
    EXPECT_FALSE(FindNextMatchingFile(pattern.c_str(), entry, sizeof entry, &search, false));

    entry[0] = '\0';
    ASSERT_TRUE(FindNextMatchingFile(pattern.c_str(), entry, sizeof entry, &search, false));
    EndMatchSearch(&search);
    EXPECT_EQ(nullptr, search);
}

// A match whose full path does not fit the caller's buffer is passed over:
// cut, it would name another file, which the spooler would print and delete.
TEST_F(FileTest, FindNextMatchingFileSkipsNamesThatDoNotFit) {
    ASSERT_TRUE(WriteTestFile(At("a.prn"), "a"));
    ASSERT_TRUE(WriteTestFile(At("a.prnlonger.prn"), "l"));
    std::string pattern = At("*.prn");
    std::vector<char> entry(At("a.prn").size() + 5, '\0');
    MatchSearch* search = nullptr;
    std::vector<std::string> found;
    while (FindNextMatchingFile(pattern.c_str(), entry.data(), entry.size(), &search, false))
        found.push_back(entry.data());
    EXPECT_EQ((std::vector<std::string>{At("a.prn")}), found);
    EXPECT_EQ(nullptr, search);
}

TEST_F(FileTest, ResolvePathLeavesListFilesMissingPathsAndPatternsAsGiven) {
    EXPECT_STREQ("@list.txt", ResolvePath("@list.txt", true));
    std::string missing = At("missing.txt");
    EXPECT_EQ(missing, ResolvePath(missing.c_str(), true));
    EXPECT_EQ(missing, ResolvePath(missing.c_str(), false));
    // A name that holds a pattern names no other file, however it would match.
    ASSERT_TRUE(WriteTestFile(At("abcd.txt"), "a"));
    for (const std::string& pattern : {At("????.txt"), At("*.txt")})
        for (bool longNames : {true, false})
            EXPECT_EQ(pattern, ResolvePath(pattern.c_str(), longNames));
    ASSERT_TRUE(ChangeDirectory(base));
    EXPECT_STREQ("sub\\missing.txt", ResolvePath("sub\\missing.txt", false));
}

#ifndef _WIN32
// Windows' ANSI functions stop at 260 characters; the native build shows that
// the program's own limit is its path buffer.
TEST_F(FileTest, ResolvePathMakesFullPathsLongerThanTheSystemsShortBuffer) {
    std::string deep = At(std::string(200, 'd')) + "\\" + std::string(100, 'e');
    ASSERT_TRUE(CreateDirectoryPath(deep.c_str()));
    ASSERT_TRUE(WriteTestFile(deep + "\\deep.txt", "d"));
    ASSERT_TRUE(ChangeDirectory(deep));
    EXPECT_EQ(NativeName(deep + "\\deep.txt"), ResolvePath("deep.txt", true));
    EXPECT_EQ(nullptr, ResolvePath(std::string(kPathChars + 1, 'p').c_str(), true));
}
#endif

TEST_F(FileTest, ResolvePathSpellsNamesAsStored) {
    ASSERT_TRUE(WriteTestFile(At("Mixed.txt"), "m"));
    std::string asTyped = At("MIXED.TXT");
    EXPECT_STREQ("Mixed.txt", FileNameOf(ResolvePath(asTyped.c_str(), false)));
    std::string resolved = ResolvePath(asTyped.c_str(), true);
    EXPECT_EQ(0, CompareNoCase("Mixed.txt", FileNameOf(resolved.c_str())));
    EXPECT_TRUE(FileExists(resolved.c_str()));
}

TEST_F(FileTest, ResolvePathMakesRelativeNamesFull) {
    std::string longName = "A Long File Name.text";
    ASSERT_TRUE(WriteTestFile(At(longName), "l"));
    ASSERT_TRUE(ChangeDirectory(base));
    std::string full = ResolvePath(longName.c_str(), true);
    EXPECT_EQ(longName, FileNameOf(full.c_str()));
    EXPECT_TRUE(FileExists(full.c_str()));
    ASSERT_TRUE(ChangeDirectory(startDirectory));
    EXPECT_TRUE(FileExists(full.c_str()));
    // Short names, where the file system has them, still name the same file.
    EXPECT_TRUE(FileExists(ResolvePath(full.c_str(), false)));
}

} // namespace
