// The Win32 side of the file seam with names the ANSI code page cannot hold,
// made and checked with the system's own wide calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/paths.h"
#include "common/wide_names_win32.h"
#include "test_files.h"

namespace {

bool MakeWideFile(const std::wstring& path, const char* bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes, static_cast<DWORD>(strlen(bytes)), &written, nullptr) != 0;
    return CloseHandle(file) && ok;
}

bool WideFileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Greek, Chinese, an emoji, and an unpaired surrogate such as a program that
// cut a name in the middle of a pair leaves behind: each is found, read,
// copied and deleted by the name the search gave, and no other file is.
TEST(WideFiles, EveryNameTheSystemHoldsIsFoundOpenedCopiedAndDeleted) {
    std::string dir = MakeScratchDirectory();
    ASSERT_FALSE(dir.empty());
    const std::wstring wideDir = WideName(dir.c_str()) + L"\\";
    std::vector<std::wstring> names = {L"\u0391\u03b8\u03ae\u03bd\u03b1.txt", L"\u6587\u4ef6.txt",
                                       L"smile \U0001F600.txt"};
    for (const std::wstring& name : names)
        ASSERT_TRUE(MakeWideFile(wideDir + name, "content")) << NameFromWide(name.c_str());
    // Wine keeps names in UTF-8 on the host and refuses this one; Windows
    // holds it.
    if (MakeWideFile(wideDir + L"cut \xD83D.txt", "content"))
        names.push_back(L"cut \xD83D.txt");
    ASSERT_TRUE(MakeDirectory((dir + "\\copies").c_str()));

    std::vector<std::string> found;
    char path[kPathSize] = "";
    MatchSearch* search = nullptr;
    while (FindNextMatchingFile((dir + "\\*.txt").c_str(), path, sizeof path, &search, false))
        found.push_back(path);
    ASSERT_EQ(names.size(), found.size());
    for (const std::string& name : found) {
        EXPECT_EQ("content", ReadTestFile(name)) << name;
        EXPECT_EQ(7, FileSizeOf(name.c_str())) << name;
        EXPECT_TRUE(CanOpenExclusively(name.c_str())) << name;
        EXPECT_STREQ(name.c_str(), ResolvePath(name.c_str(), true)) << name;
        std::string copy = dir + "\\copies\\" + FileNameOf(name.c_str());
        EXPECT_TRUE(CopyFileReplacing(name.c_str(), copy.c_str())) << name;
        EXPECT_TRUE(RemoveFile(name.c_str())) << name;
    }
    for (const std::wstring& name : names) {
        EXPECT_FALSE(WideFileExists(wideDir + name)) << NameFromWide(name.c_str());
        EXPECT_TRUE(WideFileExists(wideDir + L"copies\\" + name)) << NameFromWide(name.c_str());
    }
    EXPECT_TRUE(RemoveDirectoryTree(dir.c_str()));
}

// The program's names are UTF-8 whatever their source; the settings file's
// ANSI texts are converted where they are read. Bytes that are not UTF-8 are
// never guessed to be ANSI: they name no file, and a text that is only shown
// shows them as U+FFFD.
TEST(WideFiles, BytesThatAreNotUtf8NameNoFile) {
    EXPECT_EQ(L"M\u00fcller", WideName("M\xc3\xbcller"));
    EXPECT_EQ(L"", WideName("M\xfcller"));
    EXPECT_EQ(L"", WideName(""));
    EXPECT_EQ(L"M\xFFFDller", WideText("M\xfcller"));
    EXPECT_EQ(L"cut\xD83D", WideText("cut\xed\xa0\xbd"));
    std::string dir = MakeScratchDirectory();
    ASSERT_FALSE(dir.empty());
    ASSERT_TRUE(WriteTestFile(dir + "\\M\xc3\xbcller.txt", "x"));
    EXPECT_TRUE(PathExists((dir + "\\M\xc3\xbcller.txt").c_str()));
    EXPECT_FALSE(PathExists((dir + "\\M\xfcller.txt").c_str()));
    EXPECT_TRUE(RemoveDirectoryTree(dir.c_str()));
}

TEST(WideFiles, TemporaryAndFullNamesComeBackAsUtf8) {
    char temp[kPathSize];
    ASSERT_TRUE(MakeTempFileName(temp, sizeof temp));
    EXPECT_TRUE(PathExists(temp));
    EXPECT_TRUE(RemoveFile(temp));
    char full[kPathSize];
    ASSERT_TRUE(FullPathOf("C:\\x\\..\\\xe6\x96\x87.txt", full, sizeof full));
    EXPECT_STREQ("C:\\\xe6\x96\x87.txt", full);
    // Too small for the whole name: refused, not cut.
    EXPECT_FALSE(FullPathOf("C:\\\xe6\x96\x87.txt", full, 8));
}

} // namespace
