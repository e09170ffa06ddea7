/* winauto: drives another Windows program the way a user would, for the end-to-end bench.
 *
 *   winauto run [--answers OK,YES,NO] [--print-dialog OK|CANCEL|NONE] [--timeout MS]
 *               [--log FILE] [--stdin FILE] -- PROGRAM ARGS...
 *       Starts the program (reading FILE as its standard input when given) and, until it ends,
 *       answers its message boxes and print dialogs. Every top-level window the program shows
 *       (seen by polling, and by winauto_hook.dll in the program as "shown"), every box (title,
 *       text, buttons, the answer given) and the exit code are written as JSON lines to the log
 *       (or stdout).
 *   winauto dump [--title PREFIX] [--class NAME] [--control ID] [--hidden 1] [--pid N]
 *                [--timeout MS]
 *       Waits for a visible top-level window whose title starts with PREFIX (message boxes
 *       excepted) and prints it with its child controls as one JSON object (for each its
 *       class, id, text, enabled and visible state, a button's check state, an edit's
 *       selection, a list's or combo box's items and a list's selected items; and the control
 *       with the focus).
 *       --class and
 *       --control (a child with that id) narrow the choice; --hidden 1 takes hidden windows
 *       too (a window reached only through its tray icon).
 *   winauto command --id N [window options as for dump]
 *       Posts WM_COMMAND N to that window, as a click on a button with that id would.
 *   winauto post --msg N [--wparam W] [--lparam L] [window options as for dump]
 *       Posts message N, as the shell does for a click on a tray icon.
 *   winauto keys --keys NAME,NAME... [window options; the class defaults to #32768]
 *       Presses keys (DOWN, UP, LEFT, RIGHT, RETURN, ESCAPE) in an open menu, the way a user
 *       chooses an item with the keyboard.
 *   winauto settext --id N --text TEXT [window options as for dump]
 *       Sets the text of that window's control N (an edit field), as typing would.
 *   winauto send --id N --msg M [--wparam W] [--lparam L] [window options]
 *       Sends message M with number arguments to control N (checking a box, selecting list
 *       entries) and prints the result.
 *   winauto restore [window options as for dump]
 *       Restores that window from its minimised state and brings it to the front.
 *   winauto check --id N --on 0|1 [window options]
 *       Checks or clears button N, and clears the other radio buttons of its group.
 *   winauto select --id N --text TEXT [window options]
 *       Chooses the entry TEXT of combo box N and tells the window, as a user's choice does.
 *   winauto listsel --id N --items I,J,... [window options]
 *       Selects exactly those items of the multiple-selection list box N.
 *   winauto kill --pid N
 *       Ends process N (a program whose test failed half-way), so that it cannot disturb the
 *       next test.
 *   winauto printers
 *       Prints the printers and the default printer as the program under test sees them.
 *   winauto rawprint --printer NAME --title TITLE FILE
 *       Sends FILE to the printer as one raw spooler job.
 *   winauto clip [--text TEXT | --file FILE | --empty | --bitmap] [--unicode]
 *       Puts TEXT (or FILE's bytes) on the clipboard as text, empties it, or leaves only a
 *       picture on it. With --unicode the bytes are UTF-8, put there as Unicode text only.
 *   winauto write [--pieces N] [--delay MS] [--hold MS] MANIFEST
 *       For each line "SOURCE|DEST" of MANIFEST creates DEST (others may read it, nobody may
 *       write or delete it) and copies SOURCE into it in N pieces, all files a piece at a
 *       time with MS milliseconds between rounds; keeps them open MS more (--hold), then
 *       closes them all. Writes the way a slow Windows program prints to a spool directory.
 *
 * Exit codes: 0 success (run: the program's exit code is in the log), 2 bad usage, 3 window
 * not found, 4 printing failed, 124 the program was still running at the timeout and was ended.
 */
#include <windows.h>
#include <winspool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

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

/* A combo box's items, the same way (CB_GETLBTEXT is marshalled like LB_GETTEXT). */
static void PutComboItems(HWND combo) {
    LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    fputs(",\"items\":[", out);
    for (LRESULT i = 0; i < count && i < 1000; i++) {
        WCHAR wide[MAX_TEXT] = L"";
        char item[MAX_TEXT] = "";
        if (SendMessageW(combo, CB_GETLBTEXTLEN, (WPARAM)i, 0) < MAX_TEXT / 2 &&
            SendMessageW(combo, CB_GETLBTEXT, (WPARAM)i, (LPARAM)wide) >= 0)
            WideCharToMultiByte(CP_ACP, 0, wide, -1, item, sizeof item, NULL, NULL);
        if (i)
            fputc(',', out);
        PutJsonString(item);
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
        else if (_stricmp(c->className, "ComboBox") == 0)
            PutComboItems(c->window);
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
    const char* stdinPath;
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
 * the program's arguments is kept; in UTF-16, so that names outside the ANSI code page reach the
 * program as the system keeps them. */
static const WCHAR* CommandTail(void) {
    const WCHAR* line = GetCommandLineW();
    const WCHAR* p = wcsstr(line, L" -- ");
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
    const WCHAR* command = CommandTail();
    if (!command) {
        fprintf(stderr, "winauto run: no program after --\n");
        return 2;
    }
    WCHAR line[32768];
    lstrcpynW(line, command, sizeof line / sizeof line[0]);
    STARTUPINFOW startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    HANDLE input = INVALID_HANDLE_VALUE;
    if (script->stdinPath) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
        input = CreateFileA(script->stdinPath, GENERIC_READ, FILE_SHARE_READ, &inherit,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (input == INVALID_HANDLE_VALUE) {
            fprintf(stderr, "winauto run: cannot read %s\n", script->stdinPath);
            return 2;
        }
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    char shownPath[MAX_PATH];
    NameShownFile(shownPath, sizeof shownPath);
    BOOL created = CreateProcessW(NULL, line, NULL, NULL, input != INVALID_HANDLE_VALUE,
                                  CREATE_SUSPENDED, NULL, NULL, &startup, &process);
    if (input != INVALID_HANDLE_VALUE)
        CloseHandle(input);
    if (!created) {
        fprintf(out, "{\"event\":\"error\",\"error\":%lu", (unsigned long)GetLastError());
        EndLine();
        return 2;
    }
    HHOOK hook = HookShows(process.dwThreadId);
    fprintf(out, "{\"event\":\"start\",\"pid\":%lu,\"hooked\":%s,\"command\":",
            (unsigned long)process.dwProcessId, hook ? "true" : "false");
    char commandText[MAX_TEXT];
    WideCharToMultiByte(CP_ACP, 0, command, -1, commandText, sizeof commandText, NULL, NULL);
    commandText[sizeof commandText - 1] = 0;
    PutJsonString(commandText);
    /* Tests that look at the hook's records while the program runs read them here. */
    fputs(",\"shown\":", out);
    PutJsonString(shownPath);
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

/* Which window a verb acts on. */
typedef struct {
    const char* prefix;    /* title prefix */
    const char* className; /* NULL: any class */
    int control;           /* a child control id the window must have; 0: any */
    int hidden;            /* hidden windows count too */
    DWORD pid;
} WindowFilter;

typedef struct {
    const WindowFilter* filter;
    HWND found;
} FindState;

static int Matches(HWND window, const WindowFilter* filter) {
    static ControlList controls;
    char title[MAX_TEXT];
    char name[64];
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (filter->pid && pid != filter->pid)
        return 0;
    if (!filter->hidden && !IsWindowVisible(window))
        return 0;
    GetClassNameA(window, name, sizeof name);
    if (filter->className && strcmp(name, filter->className) != 0)
        return 0;
    WindowText(window, title, sizeof title);
    if (strncmp(title, filter->prefix, strlen(filter->prefix)) != 0)
        return 0;
    if (filter->control && !GetDlgItem(window, filter->control))
        return 0;
    Collect(window, &controls);
    return !IsMessageBox(window, &controls);
}

static BOOL CALLBACK FindMatching(HWND window, LPARAM param) {
    FindState* state = (FindState*)param;
    if (!Matches(window, state->filter))
        return TRUE;
    state->found = window;
    return FALSE;
}

static HWND FindWindowByFilter(const WindowFilter* filter, DWORD timeout) {
    DWORD started = GetTickCount();
    for (;;) {
        FindState state = {filter, NULL};
        EnumWindows(FindMatching, (LPARAM)&state);
        if (state.found)
            return state.found;
        if (GetTickCount() - started > timeout)
            return NULL;
        Sleep(POLL_MS);
    }
}

static int Dump(const WindowFilter* filter, DWORD timeout) {
    static ControlList controls;
    HWND window = FindWindowByFilter(filter, timeout);
    if (!window) {
        fprintf(stderr, "winauto dump: no window \"%s\"\n", filter->prefix);
        return 3;
    }
    Collect(window, &controls);
    RECT rect;
    GetWindowRect(window, &rect);
    LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
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
    fprintf(out,
            ",\"enabled\":%s,\"visible\":%s,\"iconic\":%s,\"topmost\":%s,\"caption\":%s,"
            "\"rect\":[%ld,%ld,%ld,%ld],\"screen\":[%d,%d],\"focus\":%d,",
            IsWindowEnabled(window) ? "true" : "false", IsWindowVisible(window) ? "true" : "false",
            IsIconic(window) ? "true" : "false", (exStyle & WS_EX_TOPMOST) ? "true" : "false",
            (style & WS_CAPTION) == WS_CAPTION ? "true" : "false", rect.left, rect.top, rect.right,
            rect.bottom, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), focus);
    PutControls(&controls);
    EndLine();
    return 0;
}

static int Command(const WindowFilter* filter, int id, DWORD timeout) {
    HWND window = FindWindowByFilter(filter, timeout);
    if (!window) {
        fprintf(stderr, "winauto command: no window \"%s\"\n", filter->prefix);
        return 3;
    }
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    PutWindowHead("command", window);
    fprintf(out, ",\"id\":%d", id);
    EndLine();
    return 0;
}

/* A control of the window found by title; none when either is missing. */
static HWND FindChildControl(const char* verb, const WindowFilter* filter, int id, DWORD timeout) {
    HWND window = FindWindowByFilter(filter, timeout);
    HWND control = window ? GetDlgItem(window, id) : NULL;
    if (!control)
        fprintf(stderr, "winauto %s: no control %d in \"%s\"\n", verb, id, filter->prefix);
    return control;
}

static int SetText(const WindowFilter* filter, int id, const char* text, DWORD timeout) {
    HWND control = FindChildControl("settext", filter, id, timeout);
    DWORD_PTR result = 0;
    if (!control ||
        !SendMessageTimeoutA(control, WM_SETTEXT, 0, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &result))
        return 3;
    PutWindowHead("settext", control);
    fprintf(out, ",\"id\":%d", id);
    EndLine();
    return 0;
}

static int Send(const WindowFilter* filter, int id, UINT message, WPARAM wParam, LPARAM lParam,
                DWORD timeout) {
    HWND control = FindChildControl("send", filter, id, timeout);
    DWORD_PTR result = 0;
    if (!control ||
        !SendMessageTimeoutA(control, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        return 3;
    PutWindowHead("send", control);
    fprintf(out, ",\"id\":%d,\"result\":%lld", id, (long long)result);
    EndLine();
    return 0;
}

static int Post(const WindowFilter* filter, UINT message, WPARAM wParam, LPARAM lParam,
                DWORD timeout) {
    HWND window = FindWindowByFilter(filter, timeout);
    if (!window) {
        fprintf(stderr, "winauto post: no window \"%s\"\n", filter->prefix);
        return 3;
    }
    PostMessageA(window, message, wParam, lParam);
    PutWindowHead("post", window);
    fprintf(out, ",\"message\":%u", message);
    EndLine();
    return 0;
}

/* Has the program's hook write the text records of the sheet picture the window shows (see
 * winauto_hook.c); the test reads them from the shown-windows file. */
static int SheetText(const WindowFilter* filter, DWORD timeout) {
    HWND window = FindWindowByFilter(filter, timeout);
    DWORD_PTR result = 0;
    if (!window || !SendMessageTimeoutA(window, RegisterWindowMessageA("winauto_sheet_text"), 0, 0,
                                        SMTO_ABORTIFHUNG, 5000, &result))
        return 3;
    PutWindowHead("sheettext", window);
    EndLine();
    return 0;
}

static int KeyCode(const char* name) {
    static const struct {
        const char* name;
        int code;
    } keys[] = {{"DOWN", VK_DOWN},   {"UP", VK_UP},         {"LEFT", VK_LEFT},
                {"RIGHT", VK_RIGHT}, {"RETURN", VK_RETURN}, {"ESCAPE", VK_ESCAPE},
                {"PGUP", VK_PRIOR},  {"PGDN", VK_NEXT}};
    for (size_t i = 0; i < sizeof keys / sizeof keys[0]; i++)
        if (_stricmp(name, keys[i].name) == 0)
            return keys[i].code;
    return 0;
}

/* A menu tracks the keyboard messages of its thread whatever window they are posted to; any
   other window gets them through its thread's message loop. */
static int Keys(const WindowFilter* filter, const char* list, DWORD timeout) {
    HWND window = FindWindowByFilter(filter, timeout);
    if (!window) {
        fprintf(stderr, "winauto keys: no window of class %s\n",
                filter->className ? filter->className : "any");
        return 3;
    }
    char names[256];
    lstrcpynA(names, list, sizeof names);
    for (char* name = strtok(names, ","); name; name = strtok(NULL, ",")) {
        int code = KeyCode(name);
        if (!code)
            return 2;
        PostMessageA(window, WM_KEYDOWN, (WPARAM)code, 1);
        PostMessageA(window, WM_KEYUP, (WPARAM)code, (LPARAM)0xC0000001u);
        Sleep(100);
    }
    PutWindowHead("keys", window);
    fputs(",\"keys\":", out);
    PutJsonString(list);
    EndLine();
    return 0;
}

static int Restore(const WindowFilter* filter, DWORD timeout) {
    HWND window = FindWindowByFilter(filter, timeout);
    if (!window)
        return 3;
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    PutWindowHead("restore", window);
    EndLine();
    return 0;
}

/* ---- check, select, listsel ---- */

static HWND FindControlOf(const WindowFilter* filter, int id, DWORD timeout, HWND* window) {
    *window = FindWindowByFilter(filter, timeout);
    if (!*window) {
        fprintf(stderr, "winauto: no window \"%s\"\n", filter->prefix);
        return NULL;
    }
    HWND control = GetDlgItem(*window, id);
    if (!control)
        fprintf(stderr, "winauto: no control %d in \"%s\"\n", id, filter->prefix);
    return control;
}

static int Done(const char* verb, HWND window, int id) {
    PutWindowHead(verb, window);
    fprintf(out, ",\"id\":%d", id);
    EndLine();
    return 0;
}

static int Check(const WindowFilter* filter, int id, int on, DWORD timeout) {
    HWND window;
    HWND control = FindControlOf(filter, id, timeout, &window);
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

static int Select(const WindowFilter* filter, int id, const char* text, DWORD timeout) {
    HWND window;
    HWND control = FindControlOf(filter, id, timeout, &window);
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

static int ListSelect(const WindowFilter* filter, int id, const char* items, DWORD timeout) {
    HWND window;
    HWND control = FindControlOf(filter, id, timeout, &window);
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

/* ---- clipboard ---- */

/* The UTF-8 bytes as CF_UNICODETEXT. */
static int SetUnicodeText(const char* bytes, size_t size) {
    int units = MultiByteToWideChar(CP_UTF8, 0, bytes, (int)size, NULL, 0);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, ((size_t)units + 1) * sizeof(WCHAR));
    WCHAR* target = memory ? (WCHAR*)GlobalLock(memory) : NULL;
    if (!target)
        return 0;
    MultiByteToWideChar(CP_UTF8, 0, bytes, (int)size, target, units);
    target[units] = 0;
    GlobalUnlock(memory);
    return SetClipboardData(CF_UNICODETEXT, memory) != NULL;
}

static int Clip(const char* text, const char* file, int empty, int bitmap, int unicode) {
    char* bytes = NULL;
    size_t size = 0;
    if (file) {
        FILE* f = fopen(file, "rb");
        if (!f)
            return 4;
        fseek(f, 0, SEEK_END);
        size = (size_t)ftell(f);
        fseek(f, 0, SEEK_SET);
        bytes = (char*)malloc(size + 1);
        if (!bytes || fread(bytes, 1, size, f) != size) {
            fclose(f);
            free(bytes);
            return 4;
        }
        fclose(f);
    } else if (text) {
        size = strlen(text);
        bytes = _strdup(text);
    }
    /* The clipboard may be held for a moment by whoever used it last. */
    int opened = 0;
    for (int tries = 0; tries < 100 && !(opened = OpenClipboard(NULL)); tries++)
        Sleep(20);
    if (!opened) {
        free(bytes);
        return 4;
    }
    int ok = EmptyClipboard();
    if (ok && bytes && !empty && unicode) {
        ok = SetUnicodeText(bytes, size);
    } else if (ok && bytes && !empty) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size + 1);
        char* target = memory ? (char*)GlobalLock(memory) : NULL;
        ok = target != NULL;
        if (ok) {
            memcpy(target, bytes, size);
            target[size] = 0;
            GlobalUnlock(memory);
            ok = SetClipboardData(CF_TEXT, memory) != NULL;
        }
    } else if (ok && bitmap) {
        HDC screen = GetDC(NULL);
        HBITMAP picture = CreateCompatibleBitmap(screen, 8, 8);
        ReleaseDC(NULL, screen);
        ok = picture && SetClipboardData(CF_BITMAP, picture) != NULL;
    }
    CloseClipboard();
    free(bytes);
    fprintf(out, "{\"event\":\"clip\",\"ok\":%s", ok ? "true" : "false");
    EndLine();
    return ok ? 0 : 4;
}

/* ---- slow writers ---- */

#define MAX_WRITES 2048

typedef struct {
    HANDLE file;
    char* bytes;
    size_t size;
    size_t done;
} SlowWrite;

static int ReadManifest(const char* manifest, SlowWrite* writes, int* count) {
    FILE* list = fopen(manifest, "r");
    if (!list)
        return 0;
    char line[2 * MAX_PATH + 8];
    *count = 0;
    while (*count < MAX_WRITES && fgets(line, sizeof line, list)) {
        line[strcspn(line, "\r\n")] = 0;
        char* bar = strchr(line, '|');
        if (!bar)
            continue;
        *bar = 0;
        FILE* source = fopen(line, "rb");
        if (!source)
            continue;
        SlowWrite* w = &writes[*count];
        fseek(source, 0, SEEK_END);
        w->size = (size_t)ftell(source);
        fseek(source, 0, SEEK_SET);
        w->bytes = (char*)malloc(w->size + 1);
        int read = w->bytes && fread(w->bytes, 1, w->size, source) == w->size;
        fclose(source);
        w->done = 0;
        w->file = read ? CreateFileA(bar + 1, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, NULL)
                       : INVALID_HANDLE_VALUE;
        if (w->file == INVALID_HANDLE_VALUE) {
            free(w->bytes);
            continue;
        }
        (*count)++;
    }
    fclose(list);
    return 1;
}

static int WriteSlowly(const char* manifest, int pieces, DWORD delay, DWORD hold) {
    static SlowWrite writes[MAX_WRITES];
    int count = 0;
    if (!ReadManifest(manifest, writes, &count))
        return 4;
    if (pieces < 1)
        pieces = 1;
    int ok = 1;
    for (int piece = 1; piece <= pieces; piece++) {
        if (piece > 1)
            Sleep(delay);
        for (int i = 0; i < count; i++) {
            SlowWrite* w = &writes[i];
            size_t until = w->size * (size_t)piece / (size_t)pieces;
            DWORD written = 0;
            if (until > w->done && (!WriteFile(w->file, w->bytes + w->done,
                                               (DWORD)(until - w->done), &written, NULL) ||
                                    written != until - w->done))
                ok = 0;
            w->done = until;
        }
    }
    Sleep(hold);
    for (int i = 0; i < count; i++) {
        CloseHandle(writes[i].file);
        free(writes[i].bytes);
    }
    fprintf(out, "{\"event\":\"write\",\"files\":%d,\"ok\":%s", count, ok ? "true" : "false");
    EndLine();
    return ok ? 0 : 4;
}

/* ---- arguments ---- */

static int Usage(void) {
    fputs("usage: winauto "
          "run|dump|command|settext|send|post|sheettext|keys|restore|check|select|listsel|"
          "clip|write|kill|printers|rawprint [options] (see the source)\n",
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
    WindowFilter filter = {"Ravlen", NULL, 0, 0, 0};
    const char* printer = NULL;
    const char* keys = NULL;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    const char* file = NULL;
    DWORD pid = 0;
    int id = -1;
    const char* text = NULL;
    const char* source = NULL;
    int empty = 0, bitmap = 0, unicode = 0, pieces = 1;
    DWORD delay = 0, hold = 0;
    int on = 1;
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
        if (strcmp(a, "--empty") == 0 || strcmp(a, "--bitmap") == 0 ||
            strcmp(a, "--unicode") == 0) {
            if (a[2] == 'e')
                empty = 1;
            else if (a[2] == 'b')
                bitmap = 1;
            else
                unicode = 1;
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
            filter.prefix = value;
        else if (strcmp(a, "--class") == 0)
            filter.className = value;
        else if (strcmp(a, "--control") == 0)
            filter.control = atoi(value);
        else if (strcmp(a, "--hidden") == 0)
            filter.hidden = atoi(value);
        else if (strcmp(a, "--msg") == 0)
            message = (UINT)strtoul(value, NULL, 0);
        else if (strcmp(a, "--wparam") == 0)
            wParam = (WPARAM)strtoull(value, NULL, 0);
        else if (strcmp(a, "--lparam") == 0)
            lParam = (LPARAM)strtoll(value, NULL, 0);
        else if (strcmp(a, "--keys") == 0)
            keys = value;
        else if (strcmp(a, "--pid") == 0)
            pid = (DWORD)strtoul(value, NULL, 10);
        else if (strcmp(a, "--id") == 0)
            id = atoi(value);
        else if (strcmp(a, "--printer") == 0)
            printer = value;
        else if (strcmp(a, "--stdin") == 0)
            script.stdinPath = value;
        else if (strcmp(a, "--text") == 0 || strcmp(a, "--items") == 0)
            text = value;
        else if (strcmp(a, "--on") == 0)
            on = atoi(value);
        else if (strcmp(a, "--file") == 0)
            source = value;
        else if (strcmp(a, "--pieces") == 0)
            pieces = atoi(value);
        else if (strcmp(a, "--delay") == 0)
            delay = (DWORD)strtoul(value, NULL, 10);
        else if (strcmp(a, "--hold") == 0)
            hold = (DWORD)strtoul(value, NULL, 10);
        else
            return Usage();
    }
    script.next = script.answers;
    filter.pid = pid;
    int status;
    if (strcmp(verb, "run") == 0)
        status = Run(&script);
    else if (strcmp(verb, "dump") == 0)
        status = Dump(&filter, script.timeout);
    else if (strcmp(verb, "command") == 0)
        status = id < 0 ? Usage() : Command(&filter, id, script.timeout);
    else if (strcmp(verb, "settext") == 0)
        status = id < 0 || !text ? Usage() : SetText(&filter, id, text, script.timeout);
    else if (strcmp(verb, "send") == 0)
        status = id < 0 || !message ? Usage()
                                    : Send(&filter, id, message, wParam, lParam, script.timeout);
    else if (strcmp(verb, "post") == 0)
        status = message ? Post(&filter, message, wParam, lParam, script.timeout) : Usage();
    else if (strcmp(verb, "sheettext") == 0)
        status = SheetText(&filter, script.timeout);
    else if (strcmp(verb, "keys") == 0) {
        // The open menu, unless a window is named by its title.
        if (!filter.className && (!filter.prefix || !filter.prefix[0]))
            filter.className = "#32768";
        status = keys ? Keys(&filter, keys, script.timeout) : Usage();
    } else if (strcmp(verb, "restore") == 0)
        status = Restore(&filter, script.timeout);
    else if (strcmp(verb, "check") == 0)
        status = id < 0 ? Usage() : Check(&filter, id, on, script.timeout);
    else if (strcmp(verb, "select") == 0)
        status = id < 0 || !text ? Usage() : Select(&filter, id, text, script.timeout);
    else if (strcmp(verb, "listsel") == 0)
        status = id < 0 || !text ? Usage() : ListSelect(&filter, id, text, script.timeout);
    else if (strcmp(verb, "kill") == 0)
        status = pid ? Kill(pid) : Usage();
    else if (strcmp(verb, "printers") == 0)
        status = Printers();
    else if (strcmp(verb, "clip") == 0)
        status = Clip(text, source, empty, bitmap, unicode);
    else if (strcmp(verb, "write") == 0)
        status = file ? WriteSlowly(file, pieces, delay, hold) : Usage();
    else if (strcmp(verb, "rawprint") == 0)
        status = printer && file ? RawPrint(printer, filter.prefix, file) : Usage();
    else
        status = Usage();
    if (out != stdout)
        fclose(out);
    return status;
}
