// The record every double writes to, and the script they answer from.
#include "recorder.h"

#include <deque>

std::vector<std::string> RecordedCalls;
std::vector<ShownBox> ShownBoxes;
OtherPartsScript OtherParts;
static std::deque<int> answers;

std::vector<std::string> ShownTexts() {
    std::vector<std::string> texts;
    for (const ShownBox& box : ShownBoxes)
        texts.push_back(box.text);
    return texts;
}

void QueueMessageAnswer(int answer) {
    answers.push_back(answer);
}

int NextQueuedAnswer(int unscripted) {
    if (answers.empty())
        return unscripted;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

void ResetDoubles() {
    RecordedCalls.clear();
    ShownBoxes.clear();
    answers.clear();
    OtherParts = OtherPartsScript();
}
