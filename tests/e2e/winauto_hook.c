/* winauto_hook.dll: loaded by winauto into the program it runs, to see every top-level window
 * the moment it is shown. Polling from outside misses a window that is shown and hidden again
 * before the next look; this hook does not. Each shown window is appended as one JSON line to
 * the file named by the environment variable WINAUTO_SHOWN, and so is each popup menu as it
 * opens, with its items as the user sees them (text, greyed, checked) and its submenus: menus
 * live in the program's own memory, out of reach of winauto's process.
 *
 * WINAUTO_PRESS_ON_SHOW="PREFIX|ID" makes the hook click button ID of the first window shown
 * whose title starts with PREFIX, from inside the program and before the program goes on:
 * a click from outside could come too late on a fast machine (the end of a transfer, say).
 *
 * WINAUTO_FIRST_JOB=N makes the program's first print job number N. Wine numbers the jobs of
 * each process from 1 and names the spool file after the number, so two programs printing at
 * once can write the same spool file; programs given numbers far apart cannot. */
#include <windows.h>
#include <winspool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void PutJsonString(FILE* out, const char* text) {
    fputc('"', out);
    for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
        if (*p == '"' || *p == '\\')
            fprintf(out, "\\%c", *p);
        else if (*p < 0x20 || *p > 0x7e)
            fprintf(out, "\\u%04x", *p);
        else
            fputc(*p, out);
    }
    fputc('"', out);
}

static FILE* OpenShown(void) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("WINAUTO_SHOWN", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return NULL;
    return fopen(path, "a");
}

static void PutMenu(FILE* out, HMENU menu, int depth) {
    int count = GetMenuItemCount(menu);
    fputc('[', out);
    for (int i = 0; i < count; i++) {
        char text[256] = "";
        MENUITEMINFOA item;
        ZeroMemory(&item, sizeof item);
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, (UINT)i, TRUE, &item))
            continue;
        fprintf(out, "%s{\"text\":", i ? "," : "");
        PutJsonString(out, (item.fType & MFT_SEPARATOR) ? "" : text);
        fprintf(out, ",\"id\":%u,\"separator\":%s,\"grey\":%s,\"checked\":%s", item.wID,
                (item.fType & MFT_SEPARATOR) ? "true" : "false",
                (item.fState & MFS_GRAYED) ? "true" : "false",
                (item.fState & MFS_CHECKED) ? "true" : "false");
        if (item.hSubMenu && depth < 4) {
            fputs(",\"items\":", out);
            PutMenu(out, item.hSubMenu, depth + 1);
        }
        fputc('}', out);
    }
    fputc(']', out);
}

static void RecordMenu(HWND owner, HMENU menu) {
    FILE* out = OpenShown();
    if (!out)
        return;
    fprintf(out,
            "{\"event\":\"menu\",\"hwnd\":%llu,\"items\":", (unsigned long long)(ULONG_PTR)owner);
    PutMenu(out, menu, 0);
    fputs("}\n", out);
    fclose(out);
}

static void Record(HWND window) {
    char name[64];
    char title[256];
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, title, sizeof title);
    FILE* out = OpenShown();
    if (!out)
        return;
    fprintf(out, "{\"event\":\"shown\",\"hwnd\":%llu,\"pid\":%lu,\"class\":",
            (unsigned long long)(ULONG_PTR)window, (unsigned long)GetCurrentProcessId());
    PutJsonString(out, name);
    fputs(",\"title\":", out);
    PutJsonString(out, title);
    fputs("}\n", out);
    fclose(out);
}

static void PressOnShow(HWND window) {
    static int pressed;
    char wanted[300];
    char title[256];
    DWORD n = GetEnvironmentVariableA("WINAUTO_PRESS_ON_SHOW", wanted, sizeof wanted);
    char* bar = n > 0 && n < sizeof wanted ? strrchr(wanted, '|') : NULL;
    if (pressed || !bar)
        return;
    *bar = 0;
    GetWindowTextA(window, title, sizeof title);
    if (strncmp(title, wanted, strlen(wanted)) != 0)
        return;
    pressed = 1;
    int id = atoi(bar + 1);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(window, id));
    FILE* out = OpenShown();
    if (!out)
        return;
    fprintf(out, "{\"event\":\"pressed\",\"hwnd\":%llu,\"id\":%d}\n",
            (unsigned long long)(ULONG_PTR)window, id);
    fclose(out);
}

/* ---- the text of a sheet picture ----
 * A window of the program that shows a sheet keeps its enhanced metafile under the window
 * property "RavlenSheet" (of the window or one of its children). Sent the registered message
 * "winauto_sheet_text", the hook writes the metafile's text records, each at its place with
 * the window origin of the moment taken off, and the picture's frame (the paper, in .01 mm), as
 * {"event":"sheet","frame":[l,t,r,b],"texts":[{x,y,text}...]}. */

typedef struct {
    FILE* out;
    int count;
    POINT origin;
} SheetWalk;

static void PutWide(FILE* out, const WCHAR* text, DWORD n) {
    fputc('"', out);
    for (DWORD i = 0; i < n; i++) {
        WCHAR c = text[i];
        if (c == '"' || c == '\\')
            fprintf(out, "\\%c", (char)c);
        else if (c < 0x20 || c > 0x7e)
            fprintf(out, "\\u%04x", (unsigned)c);
        else
            fputc((char)c, out);
    }
    fputc('"', out);
}

static int CALLBACK SheetRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int n,
                                LPARAM param) {
    SheetWalk* walk = (SheetWalk*)param;
    (void)dc, (void)table, (void)n;
    if (record->iType == EMR_SETWINDOWORGEX) {
        const EMRSETWINDOWORGEX* origin = (const EMRSETWINDOWORGEX*)record;
        walk->origin.x = origin->ptlOrigin.x;
        walk->origin.y = origin->ptlOrigin.y;
    } else if (record->iType == EMR_EXTTEXTOUTW || record->iType == EMR_EXTTEXTOUTA) {
        const EMREXTTEXTOUTW* text = (const EMREXTTEXTOUTW*)record;
        const BYTE* base = (const BYTE*)record;
        fprintf(walk->out, "%s{\"x\":%ld,\"y\":%ld,\"text\":", walk->count++ ? "," : "",
                text->emrtext.ptlReference.x - walk->origin.x,
                text->emrtext.ptlReference.y - walk->origin.y);
        if (record->iType == EMR_EXTTEXTOUTW) {
            PutWide(walk->out, (const WCHAR*)(base + text->emrtext.offString),
                    text->emrtext.nChars);
        } else {
            char bytes[1024];
            DWORD length =
                text->emrtext.nChars < sizeof bytes ? text->emrtext.nChars : sizeof bytes - 1;
            memcpy(bytes, base + text->emrtext.offString, length);
            bytes[length] = 0;
            PutJsonString(walk->out, bytes);
        }
        fputc('}', walk->out);
    }
    return 1;
}

static BOOL CALLBACK FindSheet(HWND window, LPARAM param) {
    HANDLE* found = (HANDLE*)param;
    *found = GetPropA(window, "RavlenSheet");
    return *found == NULL;
}

static UINT SheetTextMessage(void) {
    static UINT message;
    if (!message)
        message = RegisterWindowMessageA("winauto_sheet_text");
    return message;
}

static void RecordSheetText(HWND window) {
    HANDLE sheet = GetPropA(window, "RavlenSheet");
    if (!sheet)
        EnumChildWindows(window, FindSheet, (LPARAM)&sheet);
    FILE* out = OpenShown();
    if (!out)
        return;
    /* The picture's frame is the sheet's paper, in hundredths of a millimetre. */
    ENHMETAHEADER header;
    ZeroMemory(&header, sizeof header);
    if (sheet)
        GetEnhMetaFileHeader((HENHMETAFILE)sheet, sizeof header, &header);
    fprintf(out, "{\"event\":\"sheet\",\"hwnd\":%llu,\"frame\":[%ld,%ld,%ld,%ld],\"texts\":[",
            (unsigned long long)(ULONG_PTR)window, header.rclFrame.left, header.rclFrame.top,
            header.rclFrame.right, header.rclFrame.bottom);
    SheetWalk walk = {out, 0, {0, 0}};
    if (sheet)
        EnumEnhMetaFile(NULL, (HENHMETAFILE)sheet, SheetRecord, &walk, NULL);
    fputs("]}\n", out);
    fclose(out);
}

/* Takes job numbers up to N-1 once, before the program prints. The printer handle stays open
 * for the life of the program: closing it would have Wine send the empty jobs off. */
static void SkipJobNumbers(void) {
    static int done;
    if (done)
        return;
    done = 1;
    char value[32];
    DWORD n = GetEnvironmentVariableA("WINAUTO_FIRST_JOB", value, sizeof value);
    if (n == 0 || n >= sizeof value)
        return;
    char name[256];
    DWORD size = sizeof name;
    HANDLE printer;
    if (!GetDefaultPrinterA(name, &size) || !OpenPrinterA(name, &printer, NULL))
        return;
    BYTE job[1024];
    DWORD needed;
    DWORD last = 0;
    for (long i = 1; i < atol(value); i++)
        if (AddJobA(printer, 1, job, sizeof job, &needed))
            last = ((ADDJOB_INFO_1A*)job)->JobId;
    FILE* out = OpenShown();
    if (!out)
        return;
    fprintf(out, "{\"event\":\"jobs\",\"last\":%lu}\n", (unsigned long)last);
    fclose(out);
}

__declspec(dllexport) LRESULT CALLBACK ShowHook(int code, WPARAM wParam, LPARAM lParam) {
    SkipJobNumbers();
    if (code == HC_ACTION) {
        const CWPSTRUCT* message = (const CWPSTRUCT*)lParam;
        if (message->message == WM_SHOWWINDOW && message->wParam &&
            !(GetWindowLongPtrA(message->hwnd, GWL_STYLE) & WS_CHILD)) {
            Record(message->hwnd);
            PressOnShow(message->hwnd);
        } else if (message->message == WM_INITMENUPOPUP && !HIWORD(message->lParam))
            RecordMenu(message->hwnd, (HMENU)message->wParam);
        else if (message->message == SheetTextMessage())
            RecordSheetText(message->hwnd);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
