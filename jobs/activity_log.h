// The activity log: start and stop of a run, every message shown, and with /e
// a line before and after each printed file. Lines are "%s%s * %s\n" (prefix,
// text, time stamp), flushed one by one.
#pragma once

#include "../common/log_line.h"

// Opens the log at `name` ("+name" appends), or ravlen.log in the Windows
// directory when none. A new or empty log is UTF-8 and begins with the
// byte-order mark; an appended one keeps its encoding: UTF-8 after the mark,
// else the ANSI code page, with <U+XXXX> for a character that code page lacks. Fails while a log is
// open or when it cannot be opened.
bool LogOpen(const char* name);
void LogClose();
bool LogIsOpen();
// The time stamp of a log line, e.g. "Sun Dec 06 08:24:00 2026" (24 characters).
void FormatLogTime(long long unixTime, char* out, int size);
