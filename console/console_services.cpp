// The console program's implementations of the front end's services.
#include "console_services.h"

#include "console_io.h"
#include "outcome_lines.h"
#include "../common/busy_status.h"
#include "../common/dialog_owner.h"
#include "../common/help_topic.h"
#include "../common/message_box.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../common/progress_report.h"
#include "../common/stop_request.h"
#include "../jobs/entry_report.h"
#include "../jobs/spooler.h"

namespace {

ConsoleOptions options;
RunTally tally;
int errorsShown = 0;
int stopsTaken = 0;
long long scanDue = -1;

// The progress line, while one shows on the console.
std::string progressName;
bool progressShown = false;

void ClearProgressLine() {
    if (!progressShown)
        return;
    WriteConsoleText(kStandardError, "\r" + std::string(79, ' ') + "\r");
    progressShown = false;
}

void ShowProgressLine(const std::string& text) {
    if (!StreamIsConsole(kStandardError))
        return;
    std::string line = text.size() > 79 ? text.substr(0, 79) : text;
    WriteConsoleText(kStandardError, "\r" + line + std::string(79 - line.size(), ' ') + "\r");
    progressShown = true;
}

const char* KindName(int kind) {
    if (kind == kMessageWarning)
        return "warning";
    return kind == kMessageQuestion ? "question" : "error";
}

// Asked at the console only when the user wants it and can answer.
bool AskedAnswerIsYes(const std::string& line) {
    ClearProgressLine();
    WriteConsoleText(kStandardError, line + " [y/N] ");
    std::string answer;
    if (!ReadConsoleLine(&answer))
        return false;
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

} // namespace

void UseConsoleOptions(const ConsoleOptions& chosen) {
    options = chosen;
    tally = RunTally();
    errorsShown = 0;
    stopsTaken = StopSignals();
    scanDue = -1;
}

const RunTally& ConsoleTally() {
    return tally;
}

int ConsoleErrorsShown() {
    return errorsShown;
}

long long SpoolerScanDueIn() {
    return scanDue < 0 ? -1 : std::max(0LL, scanDue - ConsoleClock());
}

std::string MessageLine(const char* text, int kind) {
    std::string line = std::string("ravlenc: ") + KindName(kind) + ": ";
    for (const char* c = text; *c; ++c) {
        if (*c == '\r')
            continue;
        if (*c != '\n')
            line += *c;
        else if (line.back() != ' ')
            line += ' ';
    }
    while (line.back() == ' ')
        line.pop_back();
    return line;
}

// --- common/message_box.h ---------------------------------------------------

int PlatformMessageBox(const char* text, const char*, int kind) {
    std::string line = MessageLine(text, kind);
    if (kind == kMessageQuestion) {
        if (options.ask && !options.yesToAll && InputIsConsole())
            return AskedAnswerIsYes(line) ? kAnswerYes : kAnswerNo;
        bool yes = DefaultAnswerIsYes(options);
        line += yes ? " Yes" : " No";
        ClearProgressLine();
        WriteConsoleText(kStandardError, line + "\r\n");
        return yes ? kAnswerYes : kAnswerNo;
    }
    if (kind != kMessageWarning)
        ++errorsShown;
    ClearProgressLine();
    WriteConsoleText(kStandardError, line + "\r\n");
    return kAnswerOk;
}

void PlatformBeep(int) {}

// --- common/busy_status.h ---------------------------------------------------

void SetBusy(bool) {}

bool ShowStatus(const char*) {
    return PumpMessages();
}

// Ctrl+C stops the file in hand, as the Stop button does; during a spooler
// scan it ends the scan too, as Exit does.
bool PumpMessages() {
    int signals = StopSignals();
    if (signals > stopsTaken) {
        stopsTaken = signals;
        StopRequested = true;
        tally.stopped = true;
        if (SpoolerScanRunning())
            EndSpoolerAfterScan();
    }
    return StopRequested;
}

// --- common/dialog_owner.h, help_topic.h: no windows, so no dialogs --------

WindowRef VisibleWindow() {
    return nullptr;
}

void CenterWindow(WindowRef) {}

bool ShowHelpTopic(WindowRef, int) {
    return false;
}

// --- common/progress_report.h -----------------------------------------------

void ProgressBegin(int) {}

void ProgressNextFile(const char* fileName) {
    progressName = fileName;
    ClearProgressLine();
}

void ProgressPercent(double fraction) {
    int percent = static_cast<int>(fraction * 100 + 0.5);
    percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    ShowProgressLine(std::to_string(percent) + " %  " + progressName);
    PumpMessages();
}

void ProgressWaiting() {
    ShowProgressLine("...  " + progressName);
    PumpMessages();
}

void ProgressEnd() {
    ClearProgressLine();
}

// --- jobs/spooler.h: the wait between scans ---------------------------------

void SetSpoolerTimer(bool on) {
    scanDue = on ? ConsoleClock() + kSpoolerIntervalMs : -1;
}

// --- jobs/entry_report.h ----------------------------------------------------

// A file stopped by Ctrl+C stays, as one the Stop button stops: it was not
// printed, and the run ends with the exit code of a failure all the same.
void EntryFinished(const BatchEntry& entry) {
    if (entry.isList)
        return;
    BatchEntry told = entry;
    if (told.outcome == kEntryFailed && tally.stopped)
        told.outcome = kEntryNotPrinted;
    CountOutcome(told, &tally);
    ClearProgressLine();
    WriteConsoleText(kStandardOutput,
                     (options.json ? OutcomeJson(told) : OutcomeLine(told)) + "\r\n");
}
