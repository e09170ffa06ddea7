// Printing the clipboard or standard input through a temporary file.
#pragma once

#include "shell_state.h"

bool PrintClipboard(WindowRef owner, const char* fileName);
bool PrintStandardInput(WindowRef owner, const char* fileName);
