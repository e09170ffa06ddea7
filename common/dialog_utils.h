// Helpers for the program's dialogs (Windows build only).
#pragma once

// The offset from `first` of the first checked button among the ids first to
// end - 1; end - first when none is checked. dialog is the dialog's HWND.
int CheckedButtonIndex(void* dialog, int first, int end);
