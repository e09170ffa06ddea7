// The main window (or the spooler window), MiniWindow and the About box: one
// window procedure for all three, the commands, the title, the window types
// and the placement of windows.
#include "main_window.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch_sources.h"
#include "file_information_command.h"
#include "help.h"
#include "preview_window.h"
#include "shell_ui.h"
#include "window_parts_win32.h"
#include "window_rules.h"
#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/messages.h"
#include "../common/program_instance_win32.h"
#include "../common/wide_names_win32.h"
#include "../jobs/activity_log.h"
#include "../jobs/capture.h"
#include "../jobs/job_runner.h"
#include "../jobs/spooler.h"
#include "../resources/resource.h"
#include "../settings/settings.h"
#include "../settings/settings_dialog.h"

HINSTANCE ProgramInstance;

namespace {

const char kVersion[] = "2.1.5";
const char kVersionDate[] = "Sep  8 2001";

enum {
    kOpenBufferChars = 10240,
    kOpenBufferSize = kOpenBufferChars + 2 // room for the list's closing NULs
};

char* openBuffer;    // the Open dialog's result: from the first window to Exit
int openFilterIndex; // remembered for the life of the process; 0 until first use
bool commandActive;  // a command is being handled: tray clicks are ignored

HICON ProgramIcon(int id) {
    return LoadIconA(ProgramInstance, MAKEINTRESOURCEA(id));
}

int ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}

int ScreenHeight() {
    return GetSystemMetrics(SM_CYSCREEN);
}

void MoveWindowTo(HWND window, ScreenPoint place) {
    SetWindowPos(window, nullptr, place.x, place.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Gives MiniWindow its caption (Minimal) or takes it away (Fixed Minimal),
// growing or shrinking the window by the caption's height so that the icon
// keeps its room.
void SetMiniCaption(bool on) {
    HWND mini = MiniHandle();
    LONG_PTR style = GetWindowLongPtrA(mini, GWL_STYLE);
    bool hasCaption = (style & WS_CAPTION) == WS_CAPTION;
    if (hasCaption == on)
        return;
    RECT frame;
    GetWindowRect(mini, &frame);
    int captionHeight = GetSystemMetrics(SM_CYCAPTION);
    if (on)
        style |= WS_CAPTION;
    else
        style = (style & ~static_cast<LONG_PTR>(WS_DLGFRAME)) | WS_BORDER;
    SetWindowLongPtrA(mini, GWL_STYLE, style);
    SetWindowPos(mini, nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top + (on ? captionHeight : -captionHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Where a window is when not minimised: a minimised window's own rectangle
// is parked off the screen.
RECT RestoredFrame(HWND window) {
    RECT frame;
    GetWindowRect(window, &frame);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (IsIconic(window) && GetWindowPlacement(window, &placement))
        frame = placement.rcNormalPosition;
    return frame;
}

// --- The Open dialog -------------------------------------------------------

// The Explorer-style dialog calls the hook for a child of its frame; the
// frame has its final size once the dialog reports its set-up complete.
UINT_PTR CALLBACK OpenDialogHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == CDN_INITDONE)
        CenterWindow(GetParent(child));
    return 0;
}

// --- Commands ---------------------------------------------------------------

void PrintFileCommand(HWND window) {
    if (!openBuffer)
        return;
    // Enter still reaches the command while a batch runs (before it shows
    // itself busy, the button is even enabled); a second Open dialog would
    // refill the buffer under the first batch.
    if (BatchRunning()) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    openBuffer[0] = '\0';
    if (ShowOpenDialog(window, openBuffer, kOpenBufferChars, true))
        PrintOpenSelection(openBuffer, window);
}

// Print Preview...: one file from the Open dialog, in the preview window.
void PreviewCommand(HWND window) {
    if (BatchRunning()) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    char path[kPathSize] = "";
    if (ShowOpenDialog(window, path, sizeof path, false))
        RunPreview(window, path);
}

// Print Clipboard: a batch of one, owned by the window that gave the command.
void PrintClipboardCommand(HWND window) {
    Batch how;
    how.owner = window;
    PrintClipboard(how, nullptr);
}

void ExitCommand(HWND window) {
    // Escape and the close box still reach Exit while a batch runs (the
    // button itself is disabled then). Pulling the log and the quit out from
    // under the running batch would leave it writing to a closed log and the
    // quit lost in its message pump, so Exit stops the batch instead, for as
    // long as the batch runs: also while its first file is analysed and
    // while its end pumps messages, when the window no longer shows it busy.
    //
    // In a spooler scan each file is a batch of its own, whose start would
    // clear the stop: the scan ends instead, and the program once the scan
    // has returned (the timer message goes on to Exit).
    if (SpoolerScanRunning()) {
        EndSpoolerAfterScan();
        return;
    }
    if (BatchRunning()) {
        StopRequested = true;
        return;
    }
    if (!SpoolerMode) {
        DragAcceptFiles(MainHandle(), FALSE);
        DragAcceptFiles(MiniHandle(), FALSE);
    }
    CloseHelp(window);
    SetSpoolerTimer(false);
    LogClose();
    PostQuitMessage(0);
    std::free(openBuffer);
    openBuffer = nullptr;
    RemoveTrayIcon();
}

void SettingsCommand(HWND window) {
    ShowSettingsDialog(window);
    UpdateTitle();
    BuildSettingsMenu();
}

void FillVersionText(HWND dialog) {
    char format[kMessageSize];
    char text[kMessageSize];
    GetDlgItemTextA(dialog, IDC_VERSION_TEXT, format, sizeof format);
    FormatText(text, sizeof text, format, kVersion, kVersionDate);
    SetDlgItemTextA(dialog, IDC_VERSION_TEXT, text);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog);
        FillVersionText(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case IDC_HELP_BUTTON:
            ShowHelpTopic(dialog, kHelpAbout);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// The spooler window has no way to print by hand; only the accelerators
// would still reach these commands, and a timer tick in the middle of such a
// job would start a scan inside it.
bool ManualPrintingCommand(int id) {
    return id == IDC_PRINT_FILE || id == IDC_PRINT_CLIPBOARD || id == IDC_FILE_INFO ||
           id == IDC_PRINT_PREVIEW;
}

bool RunCommand(HWND window, int id) {
    if (SpoolerMode && ManualPrintingCommand(id))
        return true;
    switch (id) {
    case IDC_PRINT_FILE:
        PrintFileCommand(window);
        return true;
    case IDC_EXIT:
        ExitCommand(window);
        return true;
    case IDC_HELP_BUTTON:
        ShowHelpTopic(window, kHelpMainWindow);
        return true;
    case IDC_SETTINGS:
        SettingsCommand(window);
        return true;
    case IDC_ABOUT:
        DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutProc, 0);
        return true;
    case IDC_PRINT_CLIPBOARD:
        PrintClipboardCommand(window);
        return true;
    case IDC_FILE_INFO:
        ShowFileInformation(window);
        return true;
    case IDC_PRINT_PREVIEW:
        PreviewCommand(window);
        return true;
    case IDC_TYPE_NORMAL:
    case IDC_TYPE_MINIMAL:
    case IDC_TYPE_FIXED_MINIMAL:
        SetWindowType(id, SW_SHOW);
        return true;
    case IDC_ALWAYS_ON_TOP:
        SetTopmost(window, !IsTopmost(window));
        return true;
    case IDC_HELP_MENU:
        ShowHelpTopic(window, kHelpMenu);
        return true;
    case IDC_STOP:
        StopRequested = true;
        return true;
    }
    if (id >= IDC_SETTINGS_SET_FIRST)
        return SelectListedSettingsSet(id - IDC_SETTINGS_SET_FIRST);
    return false;
}

bool OnCommand(HWND window, int id) {
    bool outer = commandActive;
    commandActive = true;
    bool handled = RunCommand(window, id);
    commandActive = outer;
    return handled;
}

// --- Other messages ---------------------------------------------------------

void OnInitDialog(HWND window) {
    SetClassLongPtrA(window, GCLP_HICON, reinterpret_cast<LONG_PTR>(ProgramIcon(IDI_RAVLEN)));
    HANDLE smallIcon =
        LoadImageA(ProgramInstance, MAKEINTRESOURCEA(IDI_RAVLEN), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SetClassLongPtrA(window, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(smallIcon));
    if (!SpoolerMode)
        DragAcceptFiles(window, TRUE);
    CenterWindow(window);
    if (!openBuffer)
        openBuffer = static_cast<char*>(std::calloc(kOpenBufferSize, 1));
}

void OnDropFiles(HWND window, HDROP drop) {
    if (BatchRunning()) {
        // A drop in the middle of a batch would start a second batch inside
        // it, whose end would put the window back to idle while the first
        // still prints. The user drops again once the batch is done.
        DragFinish(drop);
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    SetForegroundWindow(window);
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> names;
    for (UINT i = 0; i < count; ++i) {
        // A name longer than the program's paths is passed whole rather than
        // cut: a cut name could name another file. The wide call keeps the
        // letters the ANSI code page lacks.
        UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        DragQueryFileW(drop, i, &name[0], length + 1);
        name.resize(length);
        names.push_back(NameFromWide(name.c_str()));
    }
    DragFinish(drop);
    PrintDroppedFiles(window, names);
}

void OnTrayMessage(UINT mouseMessage) {
    if (!commandActive)
        OnTrayNotification(mouseMessage);
}

INT_PTR CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(window, LOWORD(wParam)) ? TRUE : FALSE;
    case WM_SIZE:
        // Minimised, the window is reached through the tray icon.
        if (wParam == SIZE_MINIMIZED && CurrentSettings.SysTray && TrayIconShown())
            ShowWindow(window, SW_HIDE);
        return FALSE;
    case WM_TIMER:
        if (wParam == kSpoolerTimerId) {
            SpoolerTick();
            if (SpoolerExitPending())
                ExitCommand(window);
        }
        return TRUE;
    case WM_RBUTTONDOWN:
        ShowPopupMenu(window);
        return TRUE;
    case WM_DROPFILES:
        OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case kTrayMessage:
        OnTrayMessage(static_cast<UINT>(lParam));
        return TRUE;
    case WM_CLOSE:
        OnCommand(window, IDC_EXIT);
        return TRUE;
    }
    return FALSE;
}

} // namespace

// --- Windows, title and type --------------------------------------------------

bool CreateMainWindows() {
    int mainId = SpoolerMode ? IDD_SPOOLER : IDD_MAIN;
    MainWindow =
        CreateDialogParamA(ProgramInstance, MAKEINTRESOURCEA(mainId), nullptr, WindowProc, 0);
    MiniWindow =
        CreateDialogParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_MINI), nullptr, WindowProc, 0);
    if (!MainWindow || !MiniWindow)
        return false;
    RECT frame;
    GetWindowRect(MiniHandle(), &frame);
    ScreenPoint corner = TopRightPosition(ScreenWidth(), frame.right - frame.left);
    SetWindowPos(MiniHandle(), HWND_TOPMOST, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void DestroyMainWindows() {
    DestroyPopupMenu();
    if (MainWindow)
        DestroyWindow(MainHandle());
    if (MiniWindow)
        DestroyWindow(MiniHandle());
    MainWindow = MiniWindow = nullptr;
}

void ShowSpoolerPattern(const char* pattern) {
    char format[kMessageSize];
    char text[kMessageSize];
    GetDlgItemTextA(MainHandle(), IDC_SPOOLER_TEXT, format, sizeof format);
    FormatText(text, sizeof text, format, pattern);
    SetWindowName(GetDlgItem(MainHandle(), IDC_SPOOLER_TEXT), text);
}

void UpdateTitle(bool showWindow) {
    char base[kMessageSize];
    char spoolerWord[kMessageSize];
    char title[kMessageSize];
    CopyText(base, sizeof base, LoadText(kTextWindowTitle));
    CopyText(spoolerWord, sizeof spoolerWord, LoadText(kTextWordSpooler));
    BuildWindowTitle(title, sizeof title, base, SpoolerMode ? spoolerWord : nullptr,
                     CurrentSettings.NameInHeader ? CurrentSetName : nullptr);
    SetWindowTextA(MainHandle(), title);

    // The title holds the set's name, in the settings file's ANSI code page,
    // as the ANSI calls of the title and the tray take it; the pattern is
    // UTF-8 and is brought to that code page with its stand-ins.
    char tip[kMessageSize];
    std::string pattern = AnsiTextOf(SpoolerPattern);
    BuildWindowTitle(tip, sizeof tip, title, nullptr, SpoolerMode ? pattern.c_str() : nullptr);
    if (CurrentSettings.SysTray)
        SetTrayIcon(TrayIconShown() ? kTrayModify : kTrayAdd, IDI_RAVLEN, tip);
    else
        RemoveTrayIcon();
    // Without an icon (switched off, or refused by the shell) the window is
    // the only way back to the program.
    if (!TrayIconShown() && showWindow)
        ShowWindow(AsWindow(VisibleWindow()), SW_SHOWNORMAL);
}

void SetWindowType(int type, int showCommand) {
    CheckWindowTypeItem(type);
    switch (type) {
    case kWindowNormal:
        ShowWindow(MainHandle(), showCommand);
        ShowWindow(MiniHandle(), SW_HIDE);
        break;
    case kWindowMinimal:
    case kWindowFixedMinimal:
        ShowWindow(MainHandle(), SW_HIDE);
        SetMiniCaption(type == kWindowMinimal);
        ShowWindow(MiniHandle(), showCommand);
        break;
    }
    WindowType = type;
}

WindowRef VisibleWindow() {
    return WindowType == kWindowNormal ? MainWindow : MiniWindow;
}

bool IsTopmost(HWND window) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

void SetTopmost(WindowRef window, bool on) {
    SetWindowPos(AsWindow(window), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CenterWindow(WindowRef window) {
    HWND hwnd = AsWindow(window);
    RECT frame;
    if (!hwnd || !GetWindowRect(hwnd, &frame))
        return;
    MoveWindowTo(hwnd, CenteredPosition(ScreenWidth(), ScreenHeight(), frame.right - frame.left,
                                        frame.bottom - frame.top));
}

// --- Saved placement ------------------------------------------------------------

bool RestorePlacement() {
    int type, onTop, left, top;
    if (!ReadWindowPlacement(&type, &onTop, &left, &top))
        return false;
    // A type the program does not know would leave both windows hidden and
    // the program out of reach.
    if (type < kWindowNormal || type > kWindowFixedMinimal)
        type = kWindowNormal;
    WindowType = type;
    HWND window = AsWindow(VisibleWindow());
    SetTopmost(window, onTop != 0);
    RECT frame;
    GetWindowRect(window, &frame);
    MoveWindowTo(window, ClampedPosition(left, top, frame.right - frame.left,
                                         frame.bottom - frame.top, ScreenWidth(), ScreenHeight()));
    SetWindowType(type, SW_SHOW);
    return true;
}

void SavePlacement() {
    HWND window = AsWindow(VisibleWindow());
    if (!window)
        return;
    RECT frame = RestoredFrame(window);
    SaveWindowPlacement(WindowType, IsTopmost(window) ? 1 : 0, frame.left, frame.top);
}

// --- The Open dialog ---------------------------------------------------------------

bool ShowOpenDialog(WindowRef owner, char* buffer, int size, bool multiple) {
    char filter[kLoadTextSize + 2];
    BuildOpenFilter(LoadText(kTextOpenFilter), filter, sizeof filter);
    if (openFilterIndex == 0)
        openFilterIndex = InitialFilterIndex(CurrentSettings.EnableTextPrint);
    // The wide dialog: names with letters the ANSI code page lacks come back
    // whole, and are held in UTF-8 like every other name.
    std::wstring wideFilter = WideNameList(filter);
    std::wstring wideFile(static_cast<size_t>(size), L'\0');
    std::wstring initial = WideName(buffer);
    if (initial.size() < wideFile.size())
        wideFile.replace(0, initial.size(), initial);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = AsWindow(owner);
    dialog.lpstrFilter = wideFilter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(openFilterIndex);
    dialog.lpstrFile = &wideFile[0];
    dialog.nMaxFile = static_cast<DWORD>(size);
    // The program's current directory stays where it was: relative names
    // given earlier (a /p: definitions file read later, a prolog, a
    // converter) would otherwise resolve in the folder the user browsed to.
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER |
                   OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_NOCHANGEDIR |
                   (multiple ? OFN_ALLOWMULTISELECT : 0);
    dialog.lpfnHook = OpenDialogHook;
    bool chosen = GetOpenFileNameW(&dialog) != 0;
    // A selection longer in UTF-8 than the buffer is refused whole: cut, it
    // would name other files.
    if (chosen && !NameListFromWide(wideFile.c_str(), buffer, static_cast<size_t>(size))) {
        ShowMessage(kTextCouldNotOpen, "", ENAMETOOLONG, kMessageError);
        chosen = false;
    }
    if (dialog.nFilterIndex > 0)
        openFilterIndex = static_cast<int>(dialog.nFilterIndex);
    return chosen;
}
