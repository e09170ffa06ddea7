// The main window (the spooler window in spooler mode), MiniWindow, the popup
// menu and the tray icon: their creation, title and window type, the saved
// placement, and the placement every dialog uses.
#pragma once

#include "shell_state.h"
#include "../common/dialog_owner.h"

// Creates MainWindow and MiniWindow as modeless dialogs without owner and
// puts MiniWindow, topmost, into the top-right corner of the screen.
bool CreateMainWindows();
// Destroys the popup menu and both windows.
void DestroyMainWindows();
// Fills the spooler window's "files matching" text with the pattern.
void ShowSpoolerPattern(const char* pattern);

// Sets the title ("Ravlen", " Spooler", " - set name") and the tray icon as
// SysTray asks; without the tray icon it shows the visible window, unless
// told not to (start-up shows it itself, hidden or minimised as the mode
// asks, so that it does not flash up first).
void UpdateTitle(bool showWindow = true);
// Shows the window of `type` (127, 128 or 129) with `showCommand` and hides
// the other; any other value is only recorded.
void SetWindowType(int type, int showCommand);
void SetTopmost(WindowRef window, bool on);

// The window type, topmost state and position saved with the settings set.
// False when none is saved; the caller then shows the Normal window.
bool RestorePlacement();
void SavePlacement();
void RemoveTrayIcon();

// The popup menu: loaded once at start-up; its Settings submenu lists the
// settings sets and is rebuilt after each settings change.
bool LoadPopupMenu();
void BuildSettingsMenu();
void ShowPopupMenu(WindowRef window);

// The system's Open dialog with the program's filter list; `size` is the
// buffer's capacity in characters. False when cancelled or the choice does
// not fit.
bool ShowOpenDialog(WindowRef owner, char* buffer, int size, bool multiple);
