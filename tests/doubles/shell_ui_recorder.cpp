// Main window double: records the busy state and status texts.
#include "app/shell_ui.h"
#include "recorder.h"

void SetBusy(bool on) {
    RecordedCalls.push_back(on ? "busy" : "idle");
}

bool ShowStatus(const char* text) {
    RecordedCalls.push_back(std::string("status ") + text);
    return PumpMessages();
}

bool PumpMessages() {
    return StopRequested;
}

void BringWindowToTop(WindowRef) {
    RecordedCalls.push_back("to top");
}
