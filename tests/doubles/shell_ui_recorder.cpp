// Main window double: records the busy state and status texts. Like the real
// window, both directions of the busy state pump messages, and the pump runs
// what a test scripted for it (a command arriving in the middle of a batch).
#include "app/shell_ui.h"
#include "jobs/entry_report.h"
#include "recorder.h"

void SetBusy(bool on) {
    RecordedCalls.push_back(on ? "busy" : "idle");
    PumpMessages();
}

bool ShowStatus(const char* text) {
    RecordedCalls.push_back(std::string("status ") + text);
    return PumpMessages();
}

bool PumpMessages() {
    // Taken before it runs: what it does may pump again.
    std::function<void()> pending;
    pending.swap(OtherParts.duringPump);
    if (pending)
        pending();
    return StopRequested;
}

void BringWindowToTop(WindowRef) {
    RecordedCalls.push_back("to top");
}

void ShowInformation(const char* title, const char* text) {
    RecordedCalls.push_back(std::string("information ") + title + ": " + text);
}

void EntryFinished(const BatchEntry& entry) {
    static const char* const kWords[] = {"not reached", "printed", "not printed", "failed"};
    OtherParts.finishedEntries.push_back(std::string(kWords[entry.outcome]) + " " + entry.name);
}
