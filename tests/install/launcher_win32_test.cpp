// The launcher program itself, as the program writes it out: what it starts,
// read back by a program that records its own command line.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/paths.h"
#include "common/wide_names_win32.h"
#include "install/launcher_image.h"
#include "tests/common/test_files.h"

namespace {

// A build path as Wine serves it: the host's root is drive Z:.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Runs `commandLine` and waits for it; its exit code, or -1.
long RunAndWaitFor(std::wstring commandLine) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

// The settings file's path and the set's name keep their letters, though the
// ANSI code page has none of them in one case; the dropped names keep every
// unit, an unpaired surrogate included.
TEST(LauncherProgram, StartsItsCommandWithTheSettingsFileAndTheDroppedNamesWhole) {
    std::string dir = MakeScratchDirectory();
    ASSERT_FALSE(dir.empty());
    std::string image = ReadTestFile(WindowsPath(LAUNCHER_IMAGE));
    ASSERT_FALSE(image.empty());
    const std::string program = WindowsPath(COMMAND_ECHO_EXE);
    const std::string echo = dir + "\\echo.txt";
    SetEnvironmentVariableW(L"RAVLEN_COMMAND_ECHO", WideName(echo.c_str()).c_str());
    struct Case {
        const char* settingsFile;
        const char* setName;
        std::wstring arguments;
        std::wstring expected; // after the program's path
    } cases[] = {
        {"C:\\Users\\J\xC3\xBCrgen\\r.ini", "B\xC3\xBCro", L"C:\\a.txt",
         L" /i:\"C:\\Users\\J\u00fcrgen\\r.ini\" /n:\"B\u00fcro\" C:\\a.txt"},
        {"ravlen.ini", "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1",
         L"a\xD83D.txt \"C:\\my docs\\\u6587.txt\"",
         L" /n:\"\u03a9\u03bc\u03ad\u03b3\u03b1\" a\xD83D.txt \"C:\\my docs\\\u6587.txt\""},
    };
    for (const Case& c : cases) {
        char command[kCommandAreaChars + 1];
        ASSERT_TRUE(BuildLauncherCommand(program.c_str(), c.settingsFile, c.setName, command,
                                         sizeof command));
        std::string launcher = dir + "\\Ravlen - L.exe";
        ASSERT_TRUE(WriteLauncherImage(launcher.c_str(),
                                       reinterpret_cast<const unsigned char*>(image.data()),
                                       image.size(), command));
        RemoveFile(echo.c_str());
        EXPECT_EQ(0, RunAndWaitFor(L"\"" + WideName(launcher.c_str()) + L"\" " + c.arguments))
            << c.setName;
        // The launcher does not wait for the program it starts.
        for (int i = 0; i < 200 && !PathExists(echo.c_str()); ++i)
            Sleep(100);
        std::string bytes = ReadTestFile(echo);
        std::wstring seen(bytes.size() / sizeof(WCHAR), L'\0');
        if (!seen.empty())
            memcpy(&seen[0], bytes.data(), seen.size() * sizeof(WCHAR));
        EXPECT_EQ(WideName(program.c_str()) + c.expected, seen) << c.setName;
    }
    SetEnvironmentVariableW(L"RAVLEN_COMMAND_ECHO", nullptr);
    RemoveDirectoryTree(dir.c_str());
}

} // namespace
