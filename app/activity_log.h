// The activity log: start and stop of a run, every message shown, and with /e
// a line before and after each printed file. Lines are "%s%s * %s\n" (prefix,
// text, time stamp), flushed one by one.
#pragma once

#include "../common/log_line.h"

// Opens the log at `name` ("+name" appends), or ravlen.log in the Windows
// directory when none. Fails while a log is open or when it cannot be opened.
bool LogOpen(const char* name);
void LogClose();
bool LogIsOpen();
// The time stamp of a log line, e.g. "Sun Dec 06 08:24:00 2026" (24 characters).
void FormatLogTime(long long unixTime, char* out, int size);
