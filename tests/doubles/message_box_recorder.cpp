// Message box double: records each box and answers from a script.
#include "common/message_box.h"
#include "common/messages.h"
#include "recorder.h"

int PlatformMessageBox(const char* text, const char* title, int kind) {
    ShownBoxes.push_back({title, text, kind});
    RecordedCalls.push_back(std::string("box ") + text);
    return NextQueuedAnswer(kind == kMessageQuestion ? kAnswerNo : kAnswerOk);
}

void PlatformBeep(int kind) {
    RecordedCalls.push_back("beep " + std::to_string(kind));
}
