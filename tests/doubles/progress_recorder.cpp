// Doubles of the front end's progress report and of the timer between
// spooler scans: each records its call.
#include "common/progress_report.h"
#include "jobs/spooler.h"
#include "recorder.h"

static void Record(const std::string& line) {
    RecordedCalls.push_back(line);
}

void ProgressBegin(int count) {
    Record("progress begin " + std::to_string(count));
}
void ProgressNextFile(const char* fileName) {
    Record(std::string("progress file ") + fileName);
}
void ProgressPercent(double) {}
void ProgressWaiting() {}
void ProgressEnd() {
    Record("progress end");
}

void SetSpoolerTimer(bool on) {
    Record(on ? "spooler timer on" : "spooler timer off");
}
