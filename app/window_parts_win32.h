// What the files of the program's windows share among themselves.
#pragma once

#include <windows.h>

#include "shell_state.h"

inline HWND AsWindow(WindowRef window) {
    return static_cast<HWND>(window);
}
inline HWND MainHandle() {
    return AsWindow(MainWindow);
}
inline HWND MiniHandle() {
    return AsWindow(MiniWindow);
}

bool IsTopmost(HWND window);
// A batch is running: set by SetBusy.
bool IsBusy();

// The popup menu's commands that select the k-th settings set.
bool SelectListedSettingsSet(int k);
void CheckWindowTypeItem(int type);
void DestroyPopupMenu();

// The tray icon belongs to MainWindow and reports mouse clicks with this
// message.
enum { kTrayMessage = WM_USER + 10, kTrayMenuClosed = WM_USER };
enum TrayAction { kTrayAdd, kTrayModify, kTrayDelete };
// iconId 0 leaves the icon as it is; no tip leaves the tip.
void SetTrayIcon(TrayAction action, int iconId, const char* tip);
bool TrayIconShown();
void OnTrayNotification(UINT mouseMessage);
