/* post_command: posts WM_COMMAND ID to the top-level window of process PID whose title starts
 * with TITLE, as a click on its button would, and ends. It links nothing but user32: winauto
 * links winspool, which Wine has load the printers from CUPS as the process starts, so winauto
 * cannot start while a test holds the scheduler.
 * Usage: post_command PID TITLE ID; exit code 0 when posted, 1 when no such window. */
#include <windows.h>
#include <stdlib.h>
#include <string.h>

static DWORD wantedPid;
static const char* wantedTitle;
static HWND found;

static BOOL CALLBACK Match(HWND window, LPARAM unused) {
    (void)unused;
    DWORD pid = 0;
    char title[512];
    GetWindowThreadProcessId(window, &pid);
    if (pid != wantedPid || !GetWindowTextA(window, title, sizeof title))
        return TRUE;
    if (strncmp(title, wantedTitle, strlen(wantedTitle)) != 0)
        return TRUE;
    found = window;
    return FALSE;
}

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    wantedPid = (DWORD)strtoul(argv[1], NULL, 10);
    wantedTitle = argv[2];
    EnumWindows(Match, 0);
    if (!found || !PostMessageA(found, WM_COMMAND, (WPARAM)atoi(argv[3]), 0))
        return 1;
    return 0;
}
