// Help for the program's windows. The WinHelp file is used when one lies
// beside the program; current Windows has no WinHelp viewer, so without it
// the HTML page beside the program opens in the user's browser instead.
#pragma once

#include <cstddef>

#include "shell_state.h"
#include "../common/help_topic.h"

// Closes the WinHelp viewer at exit; a browser is the user's and stays.
void CloseHelp(WindowRef owner);

// The HTML page in the directory of `helpFilePath`: "ravlen.html".
bool HelpPagePath(const char* helpFilePath, char* out, size_t size);
// The page's file URL at the anchor of `context`. Characters that end or
// escape a URL part are percent-encoded; other bytes stay as they are, so
// that the system turns a path in its own code page into the browser's
// characters as it does for any command line. False when it does not fit.
bool HelpPageUrl(const char* pagePath, int context, char* out, size_t size);
