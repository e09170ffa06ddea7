// External programs as processes of their own.
#include "process.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "../common/busy_status.h"
#include "../common/stop_request.h"
#include "../common/bounded_text.h"
#include "../common/paths.h"
#include "../common/wide_names_win32.h"

namespace {

bool CreateProgramProcess(const char* commandLine, bool showWindow, const char* directory,
                          PROCESS_INFORMATION* process) {
    if (std::strlen(commandLine) > kPathChars) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    // The wide call: the program gets its names in their own characters.
    // CreateProcess may write into the command line it is given.
    std::wstring command = WideName(commandLine);
    std::wstring wideDirectory = WideName(directory ? directory : "");
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindow ? SW_SHOWNORMAL : SW_HIDE);
    ZeroMemory(process, sizeof *process);
    // A group of its own: Ctrl+C in the console program's console is for the
    // program, which stops the conversion itself, rather than for the
    // conversion program, which would end it as a failure of its own.
    DWORD flags = NORMAL_PRIORITY_CLASS | CREATE_NEW_PROCESS_GROUP;
    return CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, flags, nullptr,
                          directory ? wideDirectory.c_str() : nullptr, &startup, process) != 0;
}

} // namespace

int RunAndWait(const char* commandLine, bool showWindow, unsigned long* exitCode) {
    *exitCode = 0;
    // The program's own directory, where it may expect its data files; none
    // (the current one) for a bare program name.
    char directory[kPathSize];
    ProgramDirectoryOf(commandLine, directory, sizeof directory);
    PROCESS_INFORMATION process;
    if (!CreateProgramProcess(commandLine, showWindow, directory[0] ? directory : nullptr,
                              &process))
        return static_cast<int>(GetLastError());

    // Between looks at the process the windows are served, so that Stop can
    // end a program that takes long; waiting for either keeps the processor
    // free for the program itself.
    bool ended = false;
    while (!PumpMessages()) {
        DWORD code = 0;
        if (!GetExitCodeProcess(process.hProcess, &code))
            break;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT);
    }
    int result = 0;
    DWORD code = 0;
    if (ended && !StopRequested && !GetExitCodeProcess(process.hProcess, &code))
        ended = false;
    *exitCode = code;
    if (!ended || StopRequested) {
        TerminateProcess(process.hProcess, 0);
        result = static_cast<int>(GetLastError());
        // A stopped program is no success, whatever the last error was.
        if (result == 0)
            result = ERROR_CANCELLED;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

int StartProgram(const char* commandLine, bool showWindow) {
    PROCESS_INFORMATION process;
    if (!CreateProgramProcess(commandLine, showWindow, nullptr, &process))
        return static_cast<int>(GetLastError());
    // The program runs on by itself; its handles are not needed here.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
