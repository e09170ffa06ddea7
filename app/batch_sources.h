// The windows program's own sources of batches: the Open dialog's selection
// and files dropped on a window.
#pragma once

#include "../common/window_ref.h"

#include <string>
#include <vector>

// The Open dialog's result: one path, or a directory and names, NUL-separated
// and ending with an empty text. False when it did not print through.
bool PrintOpenSelection(const char* buffer, WindowRef owner);
// Files dropped on `window`, in the order of the drop, after the settings
// dialog when the set asks for it first.
void PrintDroppedFiles(WindowRef window, const std::vector<std::string>& names);
