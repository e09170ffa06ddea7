/* A program that writes the command line it was started with, as the system
   gives it in UTF-16, to the file named by RAVLEN_COMMAND_ECHO: the launcher
   tests start it through a launcher and read what came through. */
#include <windows.h>

int main(void) {
    WCHAR path[MAX_PATH];
    WCHAR part[MAX_PATH + 8];
    DWORD length = GetEnvironmentVariableW(L"RAVLEN_COMMAND_ECHO", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 2;
    lstrcpyW(part, path);
    lstrcatW(part, L".part");
    const WCHAR* line = GetCommandLineW();
    HANDLE file = CreateFileW(part, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD bytes = (DWORD)(lstrlenW(line) * sizeof(WCHAR));
    DWORD written = 0;
    BOOL ok = WriteFile(file, line, bytes, &written, NULL) && written == bytes;
    CloseHandle(file);
    /* Whole or not at all: the test waits for the name. */
    return ok && MoveFileExW(part, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
