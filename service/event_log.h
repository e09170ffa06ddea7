// Seam: the Windows Application event log, where the service's messages go
// under the source "Ravlen", as errors, warnings or (for a question, which
// nobody can answer) warnings too. event_log_win32.cpp reports the event;
// the native tests record it.
#pragma once

// kind as in common/messages.h.
void WriteEventLog(int kind, const char* text);
