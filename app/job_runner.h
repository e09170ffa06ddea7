// The print job runner: every file the program prints passes PrintEntry, one
// entry of a batch. Index 1 starts a batch, index == count ends it; index 0 of
// count 1 is a line of a list file inside the enclosing batch.
#pragma once

#include "shell_state.h"
#include <string>
#include <vector>

extern char BatchSettingsName[256];
extern char FileSettingsName[256];

bool PrintEntry(const char* entry, WindowRef owner, int index, int count);
bool PrintListFile(const char* path);
// The Open dialog's result: one path, or a directory and names, NUL-separated
// and ending with an empty text.
bool PrintOpenSelection(const char* buffer, WindowRef owner);
// Files dropped on `window`, in the order of the drop.
void PrintDroppedFiles(WindowRef window, const std::vector<std::string>& names);
