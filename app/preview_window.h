// The print preview window (preview_window_win32.cpp): modal to `owner`,
// one at a time, never in spooler mode, and refused (with a beep) while a
// batch prints. Returns when the user closes it.
#pragma once

#include "shell_state.h"

void RunPreview(WindowRef owner, const char* path);
