// Seam: one line of the activity log, which the shell keeps
// (app/activity_log.cpp). Every message shown is written to it; nothing is
// written while no log is open.
#pragma once

void LogLine(const char* prefix, const char* text);
