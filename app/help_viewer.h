// Seam: the viewers that show help. help_viewer_win32.cpp calls WinHelp and
// the shell; the native tests link a recorder.
#pragma once

#include "shell_state.h"

// The WinHelp viewer at a numbered topic of `helpFile`.
bool RunWinHelp(WindowRef owner, const char* helpFile, int context);
// Tells the WinHelp viewer, if one runs, to close.
void QuitWinHelp(WindowRef owner);
// The user's browser at `url`; false when it could not be started.
bool OpenUrlInBrowser(WindowRef owner, const char* url);
