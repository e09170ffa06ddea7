// The service's message sink: nobody sits at its screen, so no message waits
// for a click. ShowMessage has written each message to the activity log
// already; here it goes to the event log as well, and a question gets the
// answer that prints nothing and deletes nothing.
#include "../common/message_box.h"

#include "event_log.h"
#include "../common/messages.h"

int PlatformMessageBox(const char* text, const char*, int kind) {
    WriteEventLog(kind, text);
    return kind == kMessageQuestion ? kAnswerNo : kAnswerOk;
}

// Nobody hears it.
void PlatformBeep(int) {}
