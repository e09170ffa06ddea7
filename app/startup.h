// What the windows program makes of its command line: the installer or the
// uninstaller, a capture printed without a window, or the windows with the
// files to print or preview.
#pragma once

#include "../jobs/command_line.h"

#include <string>
#include <vector>

enum StartOutcome { kStartWindows, kStartEnd };

// Parses the command line; runs what takes over before any window exists
// (the installer, the uninstaller, a capture) and then says end with
// `exitCode`, else says: open the windows for `line`.
StartOutcome StartFromCommandLine(const std::vector<std::string>& arguments, CommandLine* line,
                                  int* exitCode);

enum AfterCommandLine { kQuitNow, kEnterMessageLoop };

// Prints the file arguments as one batch (with /v shows each in the preview
// window instead, one after the other); says whether to quit.
AfterCommandLine PrintCommandLineFiles(const CommandLine& line);
