// The busy state of the main window, its status line and the message pump
// that keeps the windows alive while a batch runs.
#include "shell_ui.h"

#include "progress_dialog_win32.h"
#include "../jobs/entry_report.h"
#include "../jobs/spooler.h"
#include "window_parts_win32.h"
#include "../common/program_instance_win32.h"
#include "../common/messages.h"
#include "../common/wide_names_win32.h"
#include "../resources/resource.h"

namespace {

bool busy;

// The button that Enter presses when idle: Print File..., or Exit in the
// spooler window, which has no Print File... button.
int IdleDefaultButton(HWND main) {
    return GetDlgItem(main, IDC_PRINT_FILE) ? IDC_PRINT_FILE : IDC_EXIT;
}

void EnableCommandButtons(HWND main, bool on) {
    static const int kButtons[] = {IDC_PRINT_FILE, IDC_HELP_BUTTON, IDC_SETTINGS, IDC_ABOUT,
                                   IDC_EXIT};
    for (int id : kButtons) {
        HWND button = GetDlgItem(main, id);
        if (button)
            EnableWindow(button, on);
    }
    EnableWindow(GetDlgItem(main, IDC_STOP), !on);
}

// Moves the keyboard focus inside the main window, but only while it is the
// active window: setting the focus would otherwise activate it and take the
// user away from whatever they are doing while a spooler batch runs.
void FocusControl(HWND main, int id) {
    HWND control = GetDlgItem(main, id);
    if (control && GetActiveWindow() == main)
        SendMessageA(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void ShowButtonState(bool on) {
    HWND main = MainHandle();
    if (!main)
        return;
    EnableCommandButtons(main, !on);
    if (on) {
        // The focused button may just have been disabled; keyboard users can
        // still stop the batch.
        HWND focus = GetFocus();
        if (focus && IsChild(main, focus) && !IsWindowEnabled(focus))
            FocusControl(main, IDC_STOP);
    } else {
        int defaultButton = IdleDefaultButton(main);
        SendMessageA(main, DM_SETDEFID, static_cast<WPARAM>(defaultButton), 0);
        FocusControl(main, defaultButton);
    }
}

void ShowStateIcon(int iconId) {
    if (MiniHandle())
        SendDlgItemMessageA(
            MiniHandle(), IDC_PROGRAM_ICON, STM_SETICON,
            reinterpret_cast<WPARAM>(LoadIconA(ProgramInstance, MAKEINTRESOURCEA(iconId))), 0);
    // Whatever the set in force says: a batch ends, idle, while its last
    // file's set is still in force, and that set may have the icon off
    // while the user's own set shows it.
    if (TrayIconShown())
        SetTrayIcon(kTrayModify, iconId, nullptr);
}

} // namespace

bool IsBusy() {
    return busy;
}

void SetBusy(bool on) {
    // The spooler keeps the window busy from one file of a scan to the next:
    // the buttons and the icon are left as they are, and each file only
    // shows its own status.
    if (!(on && busy)) {
        busy = on;
        ShowButtonState(on);
        ShowStateIcon(on ? IDI_BUSY : IDI_RAVLEN);
    }
    ShowStatus(LoadText(on ? kTextStatusPreparing : kTextStatusIdle));
}

bool ShowStatus(const char* text) {
    if (MainHandle())
        SetWindowName(GetDlgItem(MainHandle(), IDC_STATUS_TEXT), text);
    return PumpMessages();
}

bool PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The quit belongs to the main loop: put it back for the loop and
            // stop whatever is running.
            PostQuitMessage(static_cast<int>(message.wParam));
            StopRequested = true;
            break;
        }
        if (ProgressDialogMessage(&message))
            continue;
        if (MainHandle() && IsDialogMessageA(MainHandle(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return StopRequested;
}

void BringWindowToTop(WindowRef window) {
    if (window)
        ::BringWindowToTop(AsWindow(window));
}

void SetSpoolerTimer(bool on) {
    if (!MainHandle())
        return;
    if (on)
        SetTimer(MainHandle(), kSpoolerTimerId, kSpoolerIntervalMs, nullptr);
    else
        KillTimer(MainHandle(), kSpoolerTimerId);
}

void ShowInformation(const char* title, const char* text) {
    MessageBoxW(GetActiveWindow(), WideName(text).c_str(), WideName(title).c_str(),
                MB_OK | MB_ICONINFORMATION);
}
// The windows program shows each file's progress and its messages as it
// prints; a finished entry adds nothing to them.
void EntryFinished(const BatchEntry&) {}
