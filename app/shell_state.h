// Process-wide state of the application shell. One thread owns all of it.
#pragma once

#include "../common/bounded_text.h"
#include "../common/stop_request.h"
#include "../common/window_ref.h"

enum WindowTypeId { kWindowNormal = 127, kWindowMinimal = 128, kWindowFixedMinimal = 129 };

extern WindowRef MainWindow; // the main window, or the spooler window in spooler mode
extern WindowRef MiniWindow; // the icon-only window of the Minimal window types
extern int WindowType;
extern bool SpoolerMode;
extern char SpoolerPattern[kPathSize];
extern char BackupDirectory[kPathSize];
extern bool QuitAfterCommandLine; // /q
extern bool PreviewFiles;         // /v: the file arguments are previewed, not printed
extern bool DeleteAfterPrint;     // /delete
extern bool EchoToLog;            // /e
extern char HelpFilePath[kPathSize];
