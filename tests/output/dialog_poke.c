/* Fills in the common dialogs of another process for the end-to-end tests, the way a user
 * would, and confirms or cancels them:
 *
 *   dialog_poke print --pid N [--properties] [--copies N] [--collate 0|1] [--to-file]
 *               [--pages FROM-TO] [--cancel] [--timeout MS]
 *   dialog_poke save --pid N (--name PATH | --cancel) [--timeout MS]
 *
 * Exit codes: 0 done, 2 bad usage, 3 no such dialog before the timeout. */
#include <windows.h>
#include <dlgs.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
    DWORD pid;
    int wantPrint; /* the print dialog: it has the copies field */
    HWND found;
} Search;

static BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
    Search* search = (Search*)lParam;
    DWORD pid = 0;
    char name[64];
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window))
        return TRUE;
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "#32770") != 0)
        return TRUE;
    if (search->wantPrint ? GetDlgItem(window, edt3) != NULL
                          : GetDlgItem(window, cmb1) != NULL || GetDlgItem(window, cmb13) != NULL) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND WaitForDialog(DWORD pid, int wantPrint, DWORD timeout) {
    DWORD start = GetTickCount();
    Search search = {pid, wantPrint, NULL};
    for (;;) {
        search.found = NULL;
        EnumWindows(Visit, (LPARAM)&search);
        if (search.found)
            return search.found;
        if (GetTickCount() - start > timeout)
            return NULL;
        Sleep(50);
    }
}

static void Check(HWND dialog, int id, int on) {
    HWND button = GetDlgItem(dialog, id);
    if (button)
        SendMessageA(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

static void Click(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
}

int main(int argc, char** argv) {
    DWORD pid = 0, timeout = 20000;
    const char* copies = NULL;
    const char* pages = NULL;
    const char* name = NULL;
    int collate = -1, toFile = 0, cancel = 0, properties = 0, i;
    HWND dialog;
    if (argc < 2)
        return 2;
    for (i = 2; i < argc; i++) {
        const char* a = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : NULL;
        if (strcmp(a, "--pid") == 0 && value)
            pid = (DWORD)strtoul(argv[++i], NULL, 10);
        else if (strcmp(a, "--timeout") == 0 && value)
            timeout = (DWORD)strtoul(argv[++i], NULL, 10);
        else if (strcmp(a, "--copies") == 0 && value)
            copies = argv[++i];
        else if (strcmp(a, "--collate") == 0 && value)
            collate = atoi(argv[++i]);
        else if (strcmp(a, "--pages") == 0 && value)
            pages = argv[++i];
        else if (strcmp(a, "--name") == 0 && value)
            name = argv[++i];
        else if (strcmp(a, "--to-file") == 0)
            toFile = 1;
        else if (strcmp(a, "--properties") == 0)
            properties = 1;
        else if (strcmp(a, "--cancel") == 0)
            cancel = 1;
        else
            return 2;
    }
    if (!pid)
        return 2;
    if (strcmp(argv[1], "print") == 0) {
        dialog = WaitForDialog(pid, 1, timeout);
        if (!dialog)
            return 3;
        if (properties) {
            /* Whatever it opens is answered by the automation meanwhile. */
            Click(dialog, psh2);
            Sleep(2000);
        }
        if (copies)
            SetDlgItemTextA(dialog, edt3, copies);
        if (collate >= 0)
            Check(dialog, chx2, collate);
        if (toFile)
            Check(dialog, chx1, 1);
        if (pages) {
            char from[16] = "", *dash;
            lstrcpynA(from, pages, sizeof from);
            dash = strchr(from, '-');
            if (dash)
                *dash++ = 0;
            Check(dialog, rad1, 0);
            Check(dialog, rad3, 1);
            SetDlgItemTextA(dialog, edt1, from);
            SetDlgItemTextA(dialog, edt2, dash ? dash : from);
        }
        Sleep(200);
        Click(dialog, cancel ? IDCANCEL : IDOK);
        return 0;
    }
    if (strcmp(argv[1], "save") == 0) {
        dialog = WaitForDialog(pid, 0, timeout);
        if (!dialog)
            return 3;
        if (!cancel && name) {
            /* The name field: an edit of its own, or the edit of a combo box. */
            SetDlgItemTextA(dialog, edt1, name);
            SetDlgItemTextA(dialog, cmb13, name);
        }
        Sleep(200);
        Click(dialog, cancel ? IDCANCEL : IDOK);
        return 0;
    }
    return 2;
}
