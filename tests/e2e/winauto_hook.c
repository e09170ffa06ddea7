/* winauto_hook.dll: loaded by winauto into the program it runs, to see every top-level window
 * the moment it is shown. Polling from outside misses a window that is shown and hidden again
 * before the next look; this hook does not. Each shown window is appended as one JSON line to
 * the file named by the environment variable WINAUTO_SHOWN. */
#include <windows.h>
#include <stdio.h>

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

static void Record(HWND window) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("WINAUTO_SHOWN", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    char name[64];
    char title[256];
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, title, sizeof title);
    FILE* out = fopen(path, "a");
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

__declspec(dllexport) LRESULT CALLBACK ShowHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* message = (const CWPSTRUCT*)lParam;
        if (message->message == WM_SHOWWINDOW && message->wParam &&
            !(GetWindowLongPtrA(message->hwnd, GWL_STYLE) & WS_CHILD))
            Record(message->hwnd);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
