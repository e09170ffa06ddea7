// The console program's side of the services every front end implements
// (common/message_box.h, busy_status.h, progress_report.h, dialog_owner.h,
// jobs/spooler.h's timer, jobs/entry_report.h): messages as lines on standard
// error, a progress line on a console, Ctrl+C as the stop request, and a line
// per file on standard output.
#pragma once

#include "console_options.h"

// How questions are answered and how the lines are written, for this run.
void UseConsoleOptions(const ConsoleOptions& options);
// What the files of the run came to so far.
const RunTally& ConsoleTally();
// Errors shown so far.
int ConsoleErrorsShown();
// Milliseconds until the spooler's next scan is due; -1 while its timer is off.
long long SpoolerScanDueIn();
// The message as one line: "ravlenc: error: " and the text, its line breaks
// joined with a blank.
std::string MessageLine(const char* text, int kind);
