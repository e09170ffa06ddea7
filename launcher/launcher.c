/* The launcher: a small program that the main program writes out, named
   after a shortcut, with its command area filled in. It starts that command
   with its own arguments appended and ends without waiting. It links no
   runtime library, so that it stays a few kilobytes and needs nothing beside
   it; the program finds the command area by its marker text. */
#include <windows.h>

#include "launch_command.h"

#define RVL_HASH10 "##########"
#define RVL_HASH100                                                                                \
    RVL_HASH10 RVL_HASH10 RVL_HASH10 RVL_HASH10 RVL_HASH10 RVL_HASH10 RVL_HASH10 RVL_HASH10        \
        RVL_HASH10 RVL_HASH10
#define RVL_HASH1000                                                                               \
    RVL_HASH100 RVL_HASH100 RVL_HASH100 RVL_HASH100 RVL_HASH100 RVL_HASH100 RVL_HASH100            \
        RVL_HASH100 RVL_HASH100 RVL_HASH100

/* Writable data, so that it lies in the image as it is written here: the
   marker, 26 blanks and 1000 fill characters, 1050 bytes and a NUL. */
char CommandArea[] = "Static data begins here:"
                     "                          " RVL_HASH1000;

static void Refuse(const char* text) {
    MessageBoxA(NULL, text, "Ravlen launcher", MB_OK | MB_ICONHAND);
    ExitProcess(1);
}

/* Text from one code page in another, on the process heap; NULL when it
   cannot be converted or there is no memory. */
static WCHAR* Widen(UINT codePage, const char* text) {
    int units = MultiByteToWideChar(codePage, 0, text, -1, NULL, 0);
    WCHAR* wide = units > 0 ? (WCHAR*)HeapAlloc(GetProcessHeap(), 0, units * sizeof(WCHAR)) : NULL;
    if (wide && MultiByteToWideChar(codePage, 0, text, -1, wide, units) != units)
        wide = NULL;
    return wide;
}

static char* Narrow(UINT codePage, const WCHAR* wide) {
    int bytes = WideCharToMultiByte(codePage, 0, wide, -1, NULL, 0, NULL, NULL);
    char* text = bytes > 0 ? (char*)HeapAlloc(GetProcessHeap(), 0, bytes) : NULL;
    if (text && WideCharToMultiByte(codePage, 0, wide, -1, text, bytes, NULL, NULL) != bytes)
        text = NULL;
    return text;
}

/* The entry point; there is no runtime start-up code to call main. The
   command is joined in UTF-8 and started through the wide call, so that
   dropped files named in any script reach the program whole; the stored
   command was written in the ANSI code page. */
void LauncherMain(void) {
    size_t storedLength = StoredCommandLength(CommandArea, sizeof CommandArea - 1);
    CommandArea[storedLength] = '\0';
    WCHAR* storedWide = Widen(CP_ACP, CommandArea);
    char* stored = storedWide ? Narrow(CP_UTF8, storedWide) : NULL;
    char* line = Narrow(CP_UTF8, GetCommandLineW());
    if (!stored || !line)
        Refuse("Ravlen cannot be started with these file names.");
    const char* arguments = LauncherArguments(line);
    storedLength = StoredCommandLength(stored, (size_t)-1);
    /* The buffer is sized from what it must hold: a long list of dropped
       files must neither overflow it nor be cut short. */
    size_t size = JoinedCommandSize(storedLength, arguments);
    char* command = size ? (char*)HeapAlloc(GetProcessHeap(), 0, size) : NULL;
    if (!command || !JoinCommand(stored, storedLength, arguments, command, size))
        Refuse("The file list is too long to start Ravlen with.");
    WCHAR* wide = Widen(CP_UTF8, command);
    if (!wide)
        Refuse("The file list is too long to start Ravlen with.");
    STARTUPINFOW startup;
    PROCESS_INFORMATION process;
    for (size_t i = 0; i < sizeof startup; ++i)
        ((char*)&startup)[i] = 0;
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    if (!CreateProcessW(NULL, wide, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        ExitProcess(1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ExitProcess(0);
}
