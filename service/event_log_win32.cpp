// Events of the source "Ravlen" in the Application log. The source's
// message file (the service program, registered at install) holds one
// message, "%1", so that the viewer shows each text as it was written.
#include "event_log.h"

#include <windows.h>

#include "../common/messages.h"
#include "../common/wide_names_win32.h"

namespace {

const DWORD kTextEvent = 1; // the message table's one entry

} // namespace

void WriteEventLog(int kind, const char* text) {
    static HANDLE source = RegisterEventSourceW(nullptr, L"Ravlen");
    if (!source)
        return;
    // A question, answered by itself, is worth knowing of, not a fault.
    WORD type = kind < kMessageWarning    ? EVENTLOG_ERROR_TYPE
                : kind == kMessageWarning ? EVENTLOG_WARNING_TYPE
                                          : EVENTLOG_INFORMATION_TYPE;
    std::wstring wide = WideName(text);
    LPCWSTR strings[] = {wide.c_str()};
    ReportEventW(source, type, 0, kTextEvent, nullptr, 1, 0, strings, nullptr);
}
