// The progress window as a modeless dialog. It only copies what it is told
// into its controls; what to say and when is progress.cpp's.
#include "progress_window.h"

#include <windows.h>
#include <commctrl.h>

#include "main_window.h"
#include "progress_dialog_win32.h"
#include "../common/program_instance_win32.h"
#include "progress_rules.h"
#include "window_parts_win32.h"
#include "../common/wide_names_win32.h"
#include "../resources/resource.h"

namespace {

HWND progress;
bool runningWithoutEnd; // the bar is in marquee mode

// The reference's frame as the user last saw it: a minimised window's own
// rectangle lies far off the screen.
RECT ReferenceFrame(HWND reference) {
    RECT frame = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!reference)
        return frame;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (IsIconic(reference) && GetWindowPlacement(reference, &placement))
        return placement.rcNormalPosition;
    GetWindowRect(reference, &frame);
    return frame;
}

void PlaceOverOwner(HWND dialog) {
    RECT own;
    GetWindowRect(dialog, &own);
    RECT reference = ReferenceFrame(AsWindow(VisibleWindow()));
    ScreenPoint place = PlaceOverReference(
        reference.left, reference.top, reference.right, reference.bottom, own.right - own.left,
        own.bottom - own.top, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(dialog, nullptr, place.x, place.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        PlaceOverOwner(dialog);
        return TRUE;
    case WM_COMMAND:
        // Cancel, and Escape, which the dialog's keyboard handling turns into
        // IDCANCEL: the batch stops at its next look at the messages.
        if (LOWORD(wParam) == IDC_STOP || LOWORD(wParam) == IDCANCEL) {
            StopRequested = true;
            return TRUE;
        }
        break;
    }
    return FALSE;
}

HWND Bar() {
    return GetDlgItem(progress, IDC_PROGRESS_BAR);
}

void SetMarquee(bool on) {
    if (runningWithoutEnd == on)
        return;
    runningWithoutEnd = on;
    HWND bar = Bar();
    LONG_PTR style = GetWindowLongPtrA(bar, GWL_STYLE);
    SetWindowLongPtrA(bar, GWL_STYLE, on ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
    SendMessageA(bar, PBM_SETMARQUEE, on ? TRUE : FALSE, 30);
}

} // namespace

bool OpenProgressWindow() {
    if (progress)
        return true;
    progress = CreateDialogParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_PROGRESS),
                                  AsWindow(VisibleWindow()), ProgressProc, 0);
    runningWithoutEnd = false;
    return progress != nullptr;
}

void CloseProgressWindow() {
    if (progress)
        DestroyWindow(progress);
    progress = nullptr;
}

void ShowProgressWindow() {
    // Shown without taking the focus from whatever the user is doing; a
    // click on Cancel still reaches it.
    if (progress && !IsWindowVisible(progress))
        ShowWindow(progress, SW_SHOWNA);
}

void SetProgressCaption(const char* text) {
    if (progress)
        SetWindowName(progress, text);
}

void SetProgressFileLine(const char* text) {
    if (progress)
        SetWindowName(GetDlgItem(progress, IDC_PROGRESS_FILES), text);
}

void ShowProgressFileLine(bool shown) {
    if (progress)
        ShowWindow(GetDlgItem(progress, IDC_PROGRESS_FILES), shown ? SW_SHOW : SW_HIDE);
}

void SetProgressBar(int percent) {
    if (!progress)
        return;
    SetMarquee(percent == kProgressBarWaiting);
    if (percent != kProgressBarWaiting)
        SendMessageA(Bar(), PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void SetProgressPercentText(const char* text) {
    if (progress)
        SetDlgItemTextA(progress, IDC_PROGRESS_PERCENT, text);
}

bool ProgressDialogMessage(MSG* message) {
    return progress && IsDialogMessageA(progress, message);
}
