// Seam: what the shell asks of its main window: the busy state, status line
// and message pump that every layer uses (common/busy_status.h), and the drop
// target brought to the top. shell_ui_win32.cpp drives the real window; the
// native tests record calls.
#pragma once

#include "shell_state.h"
#include "../common/busy_status.h"

// Brings a window (the drop target) to the top.
void BringWindowToTop(WindowRef window);
// A text the user asked for, in a box of its own with an OK button (the
// list of services); not a message, so neither logged nor cut.
void ShowInformation(const char* title, const char* text);
