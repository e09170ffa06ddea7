// Process-wide state of the windows program's shell. One thread owns all of
// it. (What the command line set for the whole run, spooler mode among it,
// is the jobs layer's: jobs/command_line.h.)
#pragma once

#include "../common/bounded_text.h"
#include "../common/stop_request.h"
#include "../common/window_ref.h"
#include "../jobs/command_line.h"

enum WindowTypeId { kWindowNormal = 127, kWindowMinimal = 128, kWindowFixedMinimal = 129 };

extern WindowRef MainWindow; // the main window, or the spooler window in spooler mode
extern WindowRef MiniWindow; // the icon-only window of the Minimal window types
extern int WindowType;
extern char HelpFilePath[kPathSize];
