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

/* The entry point; there is no runtime start-up code to call main. */
void LauncherMain(void) {
    size_t storedLength = StoredCommandLength(CommandArea, sizeof CommandArea - 1);
    const char* arguments = LauncherArguments(GetCommandLineA());
    /* The buffer is sized from what it must hold: a long list of dropped
       files must neither overflow it nor be cut short. */
    size_t size = JoinedCommandSize(storedLength, arguments);
    char* command = size ? (char*)HeapAlloc(GetProcessHeap(), 0, size) : NULL;
    if (!command)
        Refuse("The file list is too long to start Ravlen with.");
    if (!JoinCommand(CommandArea, storedLength, arguments, command, size))
        Refuse("The file list is too long to start Ravlen with.");
    ExitProcess(WinExec(command, SW_SHOW) > 31 ? 0 : 1);
}
