/* winauto: drives another Windows program the way a user would, for the end-to-end bench.
 *
 *   winauto run [--answers OK,YES,NO] [--print-dialog OK|CANCEL|NONE] [--timeout MS]
 *               [--log FILE] -- PROGRAM ARGS...
 *       Starts the program and, until it ends, answers its message boxes and print dialogs.
 *       Every top-level window the program shows (seen by polling, and by winauto_hook.dll
 *       in the program as "shown"), every box (title, text, buttons, the answer given) and
 *       the exit code are written as JSON lines to the log (or stdout).
 *   winauto dump [--title PREFIX] [--pid N] [--timeout MS]
 *       Waits for a visible top-level window whose title starts with PREFIX (message boxes
 *       excepted) and prints it with its child controls as one JSON object: for each its
 *       class, id, text, enabled and visible state, a button's check state, an edit's
 *       selection, a list's items and selected items; and the control with the focus.
 *   winauto command --id N [--title PREFIX] [--pid N] [--timeout MS]
 *       Posts WM_COMMAND N to that window, as a click on a button with that id would.
 *   winauto settext --id N --text TEXT [--title PREFIX] [--pid N] [--timeout MS]
 *       Sets the text of control N of that window (an edit, or a combo box's edit).
 *   winauto check --id N --on 0|1 [--title PREFIX] [--pid N] [--timeout MS]
 *       Checks or clears button N, and clears the other radio buttons of its group.
 *   winauto select --id N --text TEXT [--title PREFIX] [--pid N] [--timeout MS]
 *       Chooses the entry TEXT of combo box N and tells the window, as a user's choice does.
 *   winauto listsel --id N --items I,J,... [--title PREFIX] [--pid N] [--timeout MS]
 *       Selects exactly those items of the multiple-selection list box N.
 *   winauto kill --pid N
 *       Ends process N (a program whose test failed half-way), so that it cannot disturb the
 *       next test.
 *   winauto printers
 *       Prints the printers and the default printer as the program under test sees them.
 *   winauto rawprint --printer NAME --title TITLE FILE
 *       Sends FILE to the printer as one raw spooler job.
 *
 * Exit codes: 0 success (run: the program's exit code is in the log), 2 bad usage, 3 window
 * not found, 4 printing failed, 124 the program was still running at the timeout and was ended.
 */
#include <windows.h>
#include <winspool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_TEXT 4096
#define MAX_CONTROLS 256
#define MAX_SEEN 512
#define POLL_MS 25

static FILE* out;
static DWORD startTick;

/* JSON output. Window texts are in the ANSI code page; JSON wants Unicode escapes. */
static void PutJsonString(const char* text) {
    WCHAR wide[MAX_TEXT];
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_TEXT);
    if (n <= 0) {
        n = 1;
        wide[0] = 0;
    }
    fputc('"', out);
    for (int i = 0; i < n - 1; i++) {
        WCHAR c = wide[i];
        if (c == '"' || c == '\\')
            fprintf(out, "\\%c", (char)c);
        else if (c == '\n')
            fputs("\\n", out);
        else if (c == '\r')
            fputs("\\r", out);
        else if (c == '\t')
            fputs("\\t", out);
        else if (c < 0x20 || c > 0x7e)
            fprintf(out, "\\u%04x", (unsigned)c);
        else
            fputc((char)c, out);
    }
    fputc('"', out);
}

/* Every record ends with the milliseconds since winauto started, to show where time goes. */
static void EndLine(void) {
    fprintf(out, ",\"ms\":%lu}\n", (unsigned long)(GetTickCount() - startTick));
    fflush(out);
}

static unsigned long long HandleValue(HWND window) {
    return (unsigned long long)(ULONG_PTR)window;
}

/* Text of a window of another process: WM_GETTEXT, bounded in time so that a hung program
 * cannot hang the bench. */
static void WindowText(HWND window, char* text, int size) {
    DWORD_PTR result = 0;
    text[0] = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, (WPARAM)size, (LPARAM)text, SMTO_ABORTIFHUNG, 2000,
                             &result))
        GetWindowTextA(window, text, size);
    text[size - 1] = 0;
}

typedef struct {
    HWND window;
    int id;
    char className[64];
    char text[MAX_TEXT];
    int enabled;
    int visible;
    int checked;    /* buttons: BM_GETCHECK */
    DWORD selStart; /* edits: EM_GETSEL */
    DWORD selEnd;
} Control;

typedef struct {
    Control items[MAX_CONTROLS];
    int count;
} ControlList;

static BOOL CALLBACK CollectControl(HWND child, LPARAM param) {
    ControlList* list = (ControlList*)param;
    if (list->count >= MAX_CONTROLS)
        return FALSE;
    Control* c = &list->items[list->count++];
    c->window = child;
    c->id = (int)(GetWindowLongPtrA(child, GWLP_ID) & 0xFFFF);
    GetClassNameA(child, c->className, sizeof c->className);
    WindowText(child, c->text, sizeof c->text);
    c->enabled = IsWindowEnabled(child) ? 1 : 0;
    c->visible = IsWindowVisible(child) ? 1 : 0;
    c->checked = 0;
    c->selStart = c->selEnd = 0;
    if (_stricmp(c->className, "Button") == 0)
        c->checked = (int)SendMessageA(child, BM_GETCHECK, 0, 0);
    else if (_stricmp(c->className, "Edit") == 0)
        SendMessageA(child, EM_GETSEL, (WPARAM)&c->selStart, (LPARAM)&c->selEnd);
    return TRUE;
}

static void Collect(HWND window, ControlList* list) {
    list->count = 0;
    EnumChildWindows(window, CollectControl, (LPARAM)list);
}

static const Control* FindControl(const ControlList* list, int id) {
    for (int i = 0; i < list->count; i++)
        if (list->items[i].id == id)
            return &list->items[i];
    return NULL;
}

static int IsDialogClass(HWND window) {
    char name[64];
    GetClassNameA(window, name, sizeof name);
    return strcmp(name, "#32770") == 0;
}

/* A message box is a dialog holding its text in static 0xFFFF and nothing but the icon and the
 * standard buttons besides; the program's own dialogs have controls of their own. */
static int IsMessageBox(HWND window, const ControlList* list) {
    if (!IsDialogClass(window))
        return 0;
    const Control* text = FindControl(list, 0xFFFF);
    if (!text || _stricmp(text->className, "Static") != 0)
        return 0;
    for (int i = 0; i < list->count; i++) {
        int id = list->items[i].id;
        if (id != 0xFFFF && id != 0x14 && id != 0x440 && (id < IDOK || id > IDCONTINUE))
            return 0;
    }
    return 1;
}

/* The common print dialog, recognised by its printer name list (cmb4). */
static int IsPrintDialog(HWND window, const ControlList* list) {
    return IsDialogClass(window) && FindControl(list, 0x473) != NULL;
}

static const char* ButtonName(int id) {
    switch (id) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "CANCEL";
    case IDABORT:
        return "ABORT";
    case IDRETRY:
        return "RETRY";
    case IDIGNORE:
        return "IGNORE";
    case IDYES:
        return "YES";
    case IDNO:
        return "NO";
    case IDCLOSE:
        return "CLOSE";
    case IDHELP:
        return "HELP";
    case IDTRYAGAIN:
        return "TRYAGAIN";
    case IDCONTINUE:
        return "CONTINUE";
    default:
        return "?";
    }
}

static int ButtonId(const char* name) {
    for (int id = IDOK; id <= IDCONTINUE; id++)
        if (_stricmp(name, ButtonName(id)) == 0)
            return id;
    return 0;
}

/* A list box's items and which of them are selected (LB_GETTEXT is marshalled between
 * processes for the system's list boxes). */
static void PutListItems(HWND list) {
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    fputs(",\"items\":[", out);
    for (LRESULT i = 0; i < count && i < 1000; i++) {
        /* The wide form: Wine hands only the first character of an item across processes
         * through the ANSI one. */
        WCHAR wide[MAX_TEXT] = L"";
        char item[MAX_TEXT] = "";
        if (SendMessageW(list, LB_GETTEXTLEN, (WPARAM)i, 0) < MAX_TEXT / 2 &&
            SendMessageW(list, LB_GETTEXT, (WPARAM)i, (LPARAM)wide) >= 0)
            WideCharToMultiByte(CP_ACP, 0, wide, -1, item, sizeof item, NULL, NULL);
        if (i)
            fputc(',', out);
        PutJsonString(item);
    }
    fputs("],\"selected\":[", out);
    int first = 1;
    for (LRESULT i = 0; i < count && i < 1000; i++) {
        if (SendMessageA(list, LB_GETSEL, (WPARAM)i, 0) > 0) {
            fprintf(out, "%s%ld", first ? "" : ",", (long)i);
            first = 0;
        }
    }
    fputc(']', out);
}

static void PutControls(const ControlList* list) {
    fputs("\"controls\":[", out);
    for (int i = 0; i < list->count; i++) {
        const Control* c = &list->items[i];
        fprintf(out, "%s{\"class\":", i ? "," : "");
        PutJsonString(c->className);
        fprintf(out, ",\"id\":%d,\"text\":", c->id);
        PutJsonString(c->text);
        fprintf(out, ",\"enabled\":%s,\"visible\":%s,\"checked\":%d,\"sel\":[%lu,%lu]",
                c->enabled ? "true" : "false", c->visible ? "true" : "false", c->checked,
                (unsigned long)c->selStart, (unsigned long)c->selEnd);
        if (_stricmp(c->className, "ListBox") == 0 || _stricmp(c->className, "ComboLBox") == 0)
            PutListItems(c->window);
        fputc('}', out);
    }
    fputc(']', out);
}

static void PutWindowHead(const char* event, HWND window) {
    char title[MAX_TEXT];
    char name[64];
    DWORD pid = 0;
    WindowText(window, title, sizeof title);
    GetClassNameA(window, name, sizeof name);
    GetWindowThreadProcessId(window, &pid);
    fprintf(out, "{\"event\":\"%s\",\"hwnd\":%llu,\"pid\":%lu,\"class\":", event,
            HandleValue(window), (unsigned long)pid);
    PutJsonString(name);
    fputs(",\"title\":", out);
    PutJsonString(title);
}

/* ---- Visible top-level windows ---- */

/* Class and title are taken at once, while the window surely exists: a program that is
 * ending may destroy it before it is looked at again. */
typedef struct {
    HWND items[MAX_SEEN];
    char classes[MAX_SEEN][64];
    char titles[MAX_SEEN][256];
    int count;
    DWORD pid; /* 0: any process */
} WindowList;

static BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    WindowList* list = (WindowList*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (list->count < MAX_SEEN && IsWindowVisible(window) && (!list->pid || pid == list->pid)) {
        int i = list->count++;
        list->items[i] = window;
        GetClassNameA(window, list->classes[i], sizeof list->classes[i]);
        GetWindowTextA(window, list->titles[i], sizeof list->titles[i]);
    }
    return TRUE;
}

static void TopLevelWindows(DWORD pid, WindowList* list) {
    list->count = 0;
    list->pid = pid;
    EnumWindows(CollectTopLevel, (LPARAM)list);
}

static int Contains(const WindowList* list, HWND window) {
    for (int i = 0; i < list->count; i++)
        if (list->items[i] == window)
            return 1;
    return 0;
}

static void Remember(WindowList* list, HWND window) {
    if (list->count < MAX_SEEN && !Contains(list, window))
        list->items[list->count++] = window;
}

/* ---- run ---- */

typedef struct {
    char answers[1024]; /* comma-separated, consumed in order */
    const char* next;
    char printDialog[16];
    DWORD timeout;
} Script;

static void NextAnswer(Script* script, char* answer, int size) {
    const char* p = script->next;
    int n = 0;
    while (*p && *p != ',' && n < size - 1)
        answer[n++] = *p++;
    answer[n] = 0;
    if (*p == ',')
        p++;
    script->next = p;
    if (!answer[0])
        lstrcpynA(answer, "OK", size);
}

static void Press(HWND dialog, const ControlList* list, int id) {
    const Control* button = FindControl(list, id);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 (LPARAM)(button ? button->window : NULL));
}

static void AnswerBox(HWND window, const ControlList* list, Script* script) {
    char answer[32];
    NextAnswer(script, answer, sizeof answer);
    int id = ButtonId(answer);
    const Control* text = FindControl(list, 0xFFFF);
    PutWindowHead("box", window);
    fputs(",\"text\":", out);
    PutJsonString(text ? text->text : "");
    fputs(",\"buttons\":[", out);
    int first = 1;
    int present = 0;
    for (int i = 0; i < list->count; i++) {
        const Control* c = &list->items[i];
        if (c->id >= IDOK && c->id <= IDCONTINUE && c->visible) {
            fprintf(out, "%s\"%s\"", first ? "" : ",", ButtonName(c->id));
            first = 0;
            present |= c->id == id;
        }
    }
    fputs("],\"answer\":", out);
    PutJsonString(answer);
    /* A box without the asked-for button is answered the way Escape would, so that the run
     * goes on and the test sees the mismatch in the log. */
    if (!present)
        id = FindControl(list, IDCANCEL) ? IDCANCEL : IDOK;
    fprintf(out, ",\"pressed\":\"%s\"", ButtonName(id));
    EndLine();
    Press(window, list, id);
}

static void AnswerPrintDialog(HWND window, const ControlList* list, const Script* script) {
    PutWindowHead("dialog", window);
    fputs(",\"answer\":", out);
    PutJsonString(script->printDialog);
    fputc(',', out);
    PutControls(list);
    EndLine();
    int id = ButtonId(script->printDialog);
    if (id)
        Press(window, list, id);
}

/* The command line after " -- ", exactly as this program received it, so that the quoting of
 * the program's arguments is kept. */
static const char* CommandTail(void) {
    const char* line = GetCommandLineA();
    const char* p = strstr(line, " -- ");
    return p ? p + 4 : NULL;
}

/* Hooks the program's main thread, before it runs, with winauto_hook.dll from beside this
 * program; the hook writes each shown window to a file named in the program's environment. */
static void NameShownFile(char* shownPath, int size) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    _snprintf(shownPath, size, "%swinauto-%lu.shown", dir, (unsigned long)GetCurrentProcessId());
    shownPath[size - 1] = 0;
    DeleteFileA(shownPath);
    SetEnvironmentVariableA("WINAUTO_SHOWN", shownPath);
}

static HHOOK HookShows(DWORD thread) {
    char dll[MAX_PATH];
    GetModuleFileNameA(NULL, dll, sizeof dll);
    char* slash = strrchr(dll, '\\');
    lstrcpyA(slash ? slash + 1 : dll, "winauto_hook.dll");
    HMODULE module = LoadLibraryA(dll);
    HOOKPROC proc = module ? (HOOKPROC)(void (*)(void))GetProcAddress(module, "ShowHook") : NULL;
    return proc ? SetWindowsHookExA(WH_CALLWNDPROC, proc, module, thread) : NULL;
}

static void CopyShown(const char* shownPath) {
    FILE* file = fopen(shownPath, "r");
    if (!file)
        return;
    char line[MAX_TEXT];
    while (fgets(line, sizeof line, file))
        fputs(line, out);
    fclose(file);
    DeleteFileA(shownPath);
}

static int Run(Script* script) {
    const char* command = CommandTail();
    if (!command) {
        fprintf(stderr, "winauto run: no program after --\n");
        return 2;
    }
    char line[32768];
    lstrcpynA(line, command, sizeof line);
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    char shownPath[MAX_PATH];
    NameShownFile(shownPath, sizeof shownPath);
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL, &startup,
                        &process)) {
        fprintf(out, "{\"event\":\"error\",\"error\":%lu", (unsigned long)GetLastError());
        EndLine();
        return 2;
    }
    HHOOK hook = HookShows(process.dwThreadId);
    fprintf(out, "{\"event\":\"start\",\"pid\":%lu,\"hooked\":%s,\"command\":",
            (unsigned long)process.dwProcessId, hook ? "true" : "false");
    PutJsonString(command);
    EndLine();
    ResumeThread(process.hThread);

    static WindowList seen, now;
    static ControlList controls;
    seen.count = 0;
    DWORD started = GetTickCount();
    int status = 0;
    for (;;) {
        DWORD wait = WaitForSingleObject(process.hProcess, POLL_MS);
        TopLevelWindows(process.dwProcessId, &now);
        for (int i = 0; i < now.count; i++) {
            HWND window = now.items[i];
            /* A dialog is complete once visible, so one look tells what it is; windows that
             * need no answer are not queried again while the program runs. */
            if (Contains(&seen, window))
                continue;
            Remember(&seen, window);
            fprintf(out, "{\"event\":\"window\",\"hwnd\":%llu,\"class\":", HandleValue(window));
            PutJsonString(now.classes[i]);
            fputs(",\"title\":", out);
            PutJsonString(now.titles[i]);
            fprintf(out, ",\"exists\":%s", IsWindow(window) ? "true" : "false");
            EndLine();
            Collect(window, &controls);
            if (IsMessageBox(window, &controls))
                AnswerBox(window, &controls, script);
            else if (IsPrintDialog(window, &controls) && _stricmp(script->printDialog, "NONE"))
                AnswerPrintDialog(window, &controls, script);
        }
        if (wait == WAIT_OBJECT_0)
            break;
        if (GetTickCount() - started > script->timeout) {
            TerminateProcess(process.hProcess, 124);
            WaitForSingleObject(process.hProcess, 5000);
            fputs("{\"event\":\"timeout\"", out);
            EndLine();
            status = 124;
            break;
        }
    }
    if (hook)
        UnhookWindowsHookEx(hook);
    CopyShown(shownPath);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    fprintf(out, "{\"event\":\"exit\",\"code\":%lu", (unsigned long)code);
    EndLine();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

/* ---- dump and command ---- */

static HWND FindWindowByTitle(const char* prefix, DWORD pid, DWORD timeout) {
    static WindowList now;
    static ControlList controls;
    DWORD started = GetTickCount();
    size_t length = strlen(prefix);
    for (;;) {
        TopLevelWindows(pid, &now);
        for (int i = 0; i < now.count; i++) {
            char title[MAX_TEXT];
            WindowText(now.items[i], title, sizeof title);
            if (strncmp(title, prefix, length) != 0)
                continue;
            Collect(now.items[i], &controls);
            if (!IsMessageBox(now.items[i], &controls))
                return now.items[i];
        }
        if (GetTickCount() - started > timeout)
            return NULL;
        Sleep(POLL_MS);
    }
}

static int Dump(const char* prefix, DWORD pid, DWORD timeout) {
    static ControlList controls;
    HWND window = FindWindowByTitle(prefix, pid, timeout);
    if (!window) {
        fprintf(stderr, "winauto dump: no window \"%s\"\n", prefix);
        return 3;
    }
    Collect(window, &controls);
    RECT rect;
    GetWindowRect(window, &rect);
    GUITHREADINFO gui;
    ZeroMemory(&gui, sizeof gui);
    gui.cbSize = sizeof gui;
    int focus = 0;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &gui) && gui.hwndFocus)
        focus = (int)(GetWindowLongPtrA(gui.hwndFocus, GWLP_ID) & 0xFFFF);
    /* The edit of a combo box has the focus for the combo box. */
    if (gui.hwndFocus && GetParent(gui.hwndFocus) != window && GetParent(gui.hwndFocus))
        focus = (int)(GetWindowLongPtrA(GetParent(gui.hwndFocus), GWLP_ID) & 0xFFFF);
    PutWindowHead("dump", window);
    fprintf(out, ",\"enabled\":%s,\"rect\":[%ld,%ld,%ld,%ld],\"focus\":%d,",
            IsWindowEnabled(window) ? "true" : "false", rect.left, rect.top, rect.right,
            rect.bottom, focus);
    PutControls(&controls);
    EndLine();
    return 0;
}

static int Command(const char* prefix, DWORD pid, int id, DWORD timeout) {
    HWND window = FindWindowByTitle(prefix, pid, timeout);
    if (!window) {
        fprintf(stderr, "winauto command: no window \"%s\"\n", prefix);
        return 3;
    }
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    PutWindowHead("command", window);
    fprintf(out, ",\"id\":%d", id);
    EndLine();
    return 0;
}

/* ---- settext, check, select, listsel ---- */

static HWND FindControlOf(const char* prefix, DWORD pid, int id, DWORD timeout, HWND* window) {
    *window = FindWindowByTitle(prefix, pid, timeout);
    if (!*window) {
        fprintf(stderr, "winauto: no window \"%s\"\n", prefix);
        return NULL;
    }
    HWND control = GetDlgItem(*window, id);
    if (!control)
        fprintf(stderr, "winauto: no control %d in \"%s\"\n", id, prefix);
    return control;
}

static int Done(const char* verb, HWND window, int id) {
    PutWindowHead(verb, window);
    fprintf(out, ",\"id\":%d", id);
    EndLine();
    return 0;
}

static int SetText(const char* prefix, DWORD pid, int id, const char* text, DWORD timeout) {
    HWND window;
    HWND control = FindControlOf(prefix, pid, id, timeout, &window);
    if (!control)
        return 3;
    DWORD_PTR result;
    SendMessageTimeoutA(control, WM_SETTEXT, 0, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &result);
    return Done("settext", window, id);
}

static int Check(const char* prefix, DWORD pid, int id, int on, DWORD timeout) {
    HWND window;
    HWND control = FindControlOf(prefix, pid, id, timeout, &window);
    if (!control)
        return 3;
    LONG_PTR type = GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK;
    if (on && (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON)) {
        /* The other buttons of the group go off, as a click would do it. */
        HWND other = control;
        while ((other = GetNextDlgGroupItem(window, other, FALSE)) != NULL && other != control)
            SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageA(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    /* The window hears of it as of a click, so that its enabling rules run. */
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)control);
    return Done("check", window, id);
}

static int Select(const char* prefix, DWORD pid, int id, const char* text, DWORD timeout) {
    HWND window;
    HWND control = FindControlOf(prefix, pid, id, timeout, &window);
    if (!control)
        return 3;
    LRESULT index = SendMessageA(control, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
    if (index == CB_ERR) {
        fprintf(stderr, "winauto select: no entry \"%s\"\n", text);
        return 3;
    }
    SendMessageA(control, CB_SETCURSEL, (WPARAM)index, 0);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)control);
    return Done("select", window, id);
}

static int ListSelect(const char* prefix, DWORD pid, int id, const char* items, DWORD timeout) {
    HWND window;
    HWND control = FindControlOf(prefix, pid, id, timeout, &window);
    if (!control)
        return 3;
    SendMessageA(control, LB_SETSEL, FALSE, -1);
    for (const char* p = items; *p;) {
        int item = atoi(p);
        if (item >= 0)
            SendMessageA(control, LB_SETSEL, TRUE, (LPARAM)item);
        while (*p && *p != ',')
            p++;
        if (*p == ',')
            p++;
    }
    return Done("listsel", window, id);
}

static int Kill(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process)
        return 3;
    int ok = TerminateProcess(process, 124) && WaitForSingleObject(process, 10000) == 0;
    CloseHandle(process);
    return ok ? 0 : 3;
}

/* ---- printers ---- */

static int Printers(void) {
    DWORD needed = 0, count = 0;
    DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    EnumPrintersA(flags, NULL, 2, NULL, 0, &needed, &count);
    BYTE* buffer = (BYTE*)malloc(needed ? needed : 1);
    if (!buffer || !EnumPrintersA(flags, NULL, 2, buffer, needed, &needed, &count))
        count = 0;
    char name[1024];
    DWORD size = sizeof name;
    if (!GetDefaultPrinterA(name, &size))
        name[0] = 0;
    fputs("{\"event\":\"printers\",\"default\":", out);
    PutJsonString(name);
    fputs(",\"printers\":[", out);
    const PRINTER_INFO_2A* info = (const PRINTER_INFO_2A*)buffer;
    for (DWORD i = 0; i < count; i++) {
        fputs(i ? ",{\"name\":" : "{\"name\":", out);
        PutJsonString(info[i].pPrinterName ? info[i].pPrinterName : "");
        fputs(",\"port\":", out);
        PutJsonString(info[i].pPortName ? info[i].pPortName : "");
        fputs(",\"driver\":", out);
        PutJsonString(info[i].pDriverName ? info[i].pDriverName : "");
        fputc('}', out);
    }
    fputc(']', out);
    EndLine();
    free(buffer);
    return 0;
}

static int RawPrint(const char* printer, const char* title, const char* path) {
    FILE* file = fopen(path, "rb");
    if (!file) {
        fprintf(stderr, "winauto rawprint: cannot open %s\n", path);
        return 4;
    }
    HANDLE handle = NULL;
    int ok = OpenPrinterA((LPSTR)printer, &handle, NULL);
    DOC_INFO_1A doc = {(LPSTR)title, NULL, (LPSTR) "RAW"};
    DWORD job = ok ? StartDocPrinterA(handle, 1, (LPBYTE)&doc) : 0;
    ok = job && StartPagePrinter(handle);
    char chunk[51200];
    size_t n;
    while (ok && (n = fread(chunk, 1, sizeof chunk, file)) > 0) {
        DWORD written = 0;
        ok = WritePrinter(handle, chunk, (DWORD)n, &written) && written == n;
    }
    if (job) {
        EndPagePrinter(handle);
        if (ok)
            ok = EndDocPrinter(handle);
        else
            AbortPrinter(handle);
    }
    if (handle)
        ClosePrinter(handle);
    fclose(file);
    fprintf(out, "{\"event\":\"rawprint\",\"job\":%lu,\"ok\":%s", (unsigned long)job,
            ok ? "true" : "false");
    EndLine();
    return ok ? 0 : 4;
}

/* ---- arguments ---- */

static int Usage(void) {
    fputs("usage: winauto run|dump|command|settext|check|select|listsel|kill|printers|rawprint "
          "[options] (see the source)\n",
          stderr);
    return 2;
}

int main(int argc, char** argv) {
    out = stdout;
    startTick = GetTickCount();
    if (argc < 2)
        return Usage();
    const char* verb = argv[1];
    static Script script;
    lstrcpynA(script.printDialog, "OK", sizeof script.printDialog);
    script.timeout = 30000;
    const char* title = "Ravlen";
    const char* printer = NULL;
    const char* file = NULL;
    DWORD pid = 0;
    int id = -1;
    int on = 1;
    const char* text = NULL;
    int i = 2;
    for (; i < argc; i++) {
        const char* a = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : NULL;
        if (strcmp(a, "--") == 0)
            break;
        if (a[0] != '-' || a[1] != '-') {
            file = a;
            continue;
        }
        if (!value)
            return Usage();
        i++;
        if (strcmp(a, "--answers") == 0)
            lstrcpynA(script.answers, value, sizeof script.answers);
        else if (strcmp(a, "--print-dialog") == 0)
            lstrcpynA(script.printDialog, value, sizeof script.printDialog);
        else if (strcmp(a, "--timeout") == 0)
            script.timeout = (DWORD)strtoul(value, NULL, 10);
        else if (strcmp(a, "--log") == 0) {
            out = fopen(value, "w");
            if (!out) {
                fprintf(stderr, "winauto: cannot write %s\n", value);
                return 2;
            }
        } else if (strcmp(a, "--title") == 0)
            title = value;
        else if (strcmp(a, "--pid") == 0)
            pid = (DWORD)strtoul(value, NULL, 10);
        else if (strcmp(a, "--id") == 0)
            id = atoi(value);
        else if (strcmp(a, "--printer") == 0)
            printer = value;
        else if (strcmp(a, "--text") == 0 || strcmp(a, "--items") == 0)
            text = value;
        else if (strcmp(a, "--on") == 0)
            on = atoi(value);
        else
            return Usage();
    }
    script.next = script.answers;
    int status;
    if (strcmp(verb, "run") == 0)
        status = Run(&script);
    else if (strcmp(verb, "dump") == 0)
        status = Dump(title, pid, script.timeout);
    else if (strcmp(verb, "command") == 0)
        status = id < 0 ? Usage() : Command(title, pid, id, script.timeout);
    else if (strcmp(verb, "settext") == 0)
        status = id < 0 || !text ? Usage() : SetText(title, pid, id, text, script.timeout);
    else if (strcmp(verb, "check") == 0)
        status = id < 0 ? Usage() : Check(title, pid, id, on, script.timeout);
    else if (strcmp(verb, "select") == 0)
        status = id < 0 || !text ? Usage() : Select(title, pid, id, text, script.timeout);
    else if (strcmp(verb, "listsel") == 0)
        status = id < 0 || !text ? Usage() : ListSelect(title, pid, id, text, script.timeout);
    else if (strcmp(verb, "kill") == 0)
        status = pid ? Kill(pid) : Usage();
    else if (strcmp(verb, "printers") == 0)
        status = Printers();
    else if (strcmp(verb, "rawprint") == 0)
        status = printer && file ? RawPrint(printer, title, file) : Usage();
    else
        status = Usage();
    if (out != stdout)
        fclose(out);
    return status;
}
