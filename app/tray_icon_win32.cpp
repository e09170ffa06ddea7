// The notification-area icon: the way back to the program while its window
// is hidden, and a sign of a running batch.
#include "window_parts_win32.h"

#include <shellapi.h>

#include "main_window.h"
#include "../common/program_instance_win32.h"
#include "../common/bounded_text.h"

namespace {

enum { kTrayIconId = 0, kTipChars = 63 };

bool shown;

} // namespace

bool TrayIconShown() {
    return shown;
}

void SetTrayIcon(TrayAction action, int iconId, const char* tip) {
    static const DWORD kMessages[] = {NIM_ADD, NIM_MODIFY, NIM_DELETE};
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = MainHandle();
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = kTrayMessage;
    HICON icon = nullptr;
    if (iconId) {
        icon = static_cast<HICON>(
            LoadImageA(ProgramInstance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, 0));
        data.hIcon = icon;
        data.uFlags |= NIF_ICON;
    }
    if (tip) {
        CopyText(data.szTip, kTipChars + 1, tip);
        data.uFlags |= NIF_TIP;
    }
    bool done = Shell_NotifyIconA(kMessages[action], &data) != FALSE;
    if (icon)
        DestroyIcon(icon);
    // An icon the shell refused is not there to bring the window back.
    if (action == kTrayAdd)
        shown = done;
    else if (action == kTrayDelete)
        shown = false;
}

void RemoveTrayIcon() {
    if (shown)
        SetTrayIcon(kTrayDelete, 0, nullptr);
}

void OnTrayNotification(UINT mouseMessage) {
    HWND window = AsWindow(VisibleWindow());
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (IsWindowVisible(window)) {
            ShowWindow(window, SW_HIDE);
        } else {
            ShowWindow(window, SW_SHOWNORMAL);
            SetForegroundWindow(window);
        }
        break;
    case WM_RBUTTONDOWN:
        // The menu closes when the user clicks elsewhere only if its window
        // is in the foreground and gets a message after it.
        SetForegroundWindow(window);
        ShowPopupMenu(window);
        PostMessageA(window, kTrayMenuClosed, 0, 0);
        break;
    }
}
