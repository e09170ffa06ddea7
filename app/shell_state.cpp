// The shell's process-wide state. Everything here is touched by the one
// user-interface thread only, so plain globals are enough.
#include "shell_state.h"

WindowRef MainWindow = nullptr;
WindowRef MiniWindow = nullptr;
int WindowType = kWindowNormal;
char HelpFilePath[kPathSize] = "";
