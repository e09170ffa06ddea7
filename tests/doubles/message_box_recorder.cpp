// Message box double: records each box and answers from a script.
#include "common/message_box.h"
#include "common/messages.h"
#include "recorder.h"

#include <deque>

std::vector<std::string> RecordedCalls;
std::vector<ShownBox> ShownBoxes;
OtherPartsScript OtherParts;
static std::deque<int> answers;

void QueueMessageAnswer(int answer) {
    answers.push_back(answer);
}

void ResetDoubles() {
    RecordedCalls.clear();
    ShownBoxes.clear();
    answers.clear();
    OtherParts = OtherPartsScript();
}

int PlatformMessageBox(const char* text, const char* title, int kind) {
    ShownBoxes.push_back({title, text, kind});
    RecordedCalls.push_back(std::string("box ") + text);
    if (!answers.empty()) {
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return kind == kMessageQuestion ? kAnswerNo : kAnswerOk;
}

void PlatformBeep(int kind) {
    RecordedCalls.push_back("beep " + std::to_string(kind));
}
