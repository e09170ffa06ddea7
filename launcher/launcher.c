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

static LaunchUnit* Units(size_t count) {
    if (count == 0 || count > ((size_t)-1) / sizeof(LaunchUnit))
        return NULL;
    return (LaunchUnit*)HeapAlloc(GetProcessHeap(), 0, count * sizeof(LaunchUnit));
}

/* The entry point; there is no runtime start-up code to call main. The
   program writes the stored command in UTF-8; it is joined with the
   launcher's own command line in UTF-16, as the system gives that, and
   started through the wide call, so that the settings file's path and the
   dropped files' names reach the program whole, in any script. */
void LauncherMain(void) {
    size_t storedLength = StoredCommandLength(CommandArea, sizeof CommandArea - 1);
    size_t storedUnits = 0;
    LaunchUnit* stored = Units(storedLength + 1);
    if (!stored ||
        !DecodeStoredCommand(CommandArea, storedLength, stored, storedLength + 1, &storedUnits))
        Refuse("This launcher's command cannot be read. Make the shortcut again.");
    const LaunchUnit* arguments = LauncherArguments((const LaunchUnit*)GetCommandLineW());
    /* The buffer is sized from what it must hold: a long list of dropped
       files must neither overflow it nor be cut short. */
    size_t size = JoinedCommandSize(storedUnits, arguments);
    LaunchUnit* command = Units(size);
    if (!command || !JoinCommand(stored, storedUnits, arguments, command, size))
        Refuse("The file list is too long to start Ravlen with.");
    STARTUPINFOW startup;
    PROCESS_INFORMATION process;
    for (size_t i = 0; i < sizeof startup; ++i)
        ((char*)&startup)[i] = 0;
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    if (!CreateProcessW(NULL, (WCHAR*)command, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &process))
        ExitProcess(1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ExitProcess(0);
}
