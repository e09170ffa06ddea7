// The services every front end gives the print jobs, as a service with no
// window gives them: no status line, no progress window, no dialog owner and
// no help; every turn of them is a turn of the message pump, where the
// service manager's requests are taken (service_run.cpp).
#include "../common/busy_status.h"
#include "../common/dialog_owner.h"
#include "../common/help_topic.h"
#include "../common/progress_report.h"
#include "../jobs/entry_report.h"

void SetBusy(bool) {
    PumpMessages();
}

bool ShowStatus(const char*) {
    return PumpMessages();
}

void ProgressBegin(int) {}
void ProgressNextFile(const char*) {}
void ProgressEnd() {}

void ProgressPercent(double) {
    PumpMessages();
}

void ProgressWaiting() {
    PumpMessages();
}

WindowRef VisibleWindow() {
    return nullptr;
}

void CenterWindow(WindowRef) {}

bool ShowHelpTopic(WindowRef, int) {
    return false;
}

// The activity log says what became of each file; a finished entry adds
// nothing to it.
void EntryFinished(const BatchEntry&) {}
