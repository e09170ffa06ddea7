// The print job runner. Every file the program prints passes RunBatch, so
// this is where a batch starts and ends: busy state, printer dialog, progress
// window, the settings set per file and its restoration, and the log lines.
#include "job_runner.h"

#include "activity_log.h"
#include "entry_report.h"
#include "../analysis/file_analysis.h"
#include "../common/bounded_text.h"
#include "../common/busy_status.h"
#include "../common/file_system.h"
#include "../common/message_box.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../common/progress_report.h"
#include "../common/stop_request.h"
#include "../output/dispatch.h"
#include "../output/printer_selection.h"

#include <cerrno>
#include <cstring>

namespace {

// List files may name list files. A list naming itself (directly or round a
// circle) would otherwise recurse until the stack runs out.
const int kMaxListDepth = 16;

// Batches running (a batch may be asked for through the message pump while
// one runs), and sources feeding one.
int batchesRunning = 0;
int sourcesRunning = 0;
// Busy holds alive, and whether a batch has ended under them.
int busyHolds = 0;
bool idleOwed = false;

void RefuseNewBatch() {
    PlatformBeep(kMessageWarning);
}

bool IsListReference(const char* entry) {
    return entry[0] == '@' && !PathExists(entry);
}

void ShowIdle() {
    if (busyHolds > 0)
        idleOwed = true;
    else
        SetBusy(false);
}

void EndBatch(Batch* batch) {
    ShowIdle();
    ProgressEnd();
    EndBatchSettings(batch);
}

// The first entry of a batch: a cancelled printer dialog prints nothing and
// keeps the file, even under /delete.
bool StartBatch(Batch* batch, FileAnalysis* analysis, int count) {
    if (!batch->unattended && CurrentSettings.ShowPrintDlg) {
        PrinterChoices chosen;
        if (!ShowPrinterDialog(batch->owner, analysis, &chosen)) {
            ShowIdle();
            ReleaseFile(analysis, false);
            return false;
        }
        batch->pageRangeChosen = chosen.pageRangeChosen;
    }
    StopRequested = false;
    ProgressBegin(count);
    BeginBatchSettings(batch);
    batch->started = true;
    return true;
}

// A file is analysed before its set is known (the printer dialog of a batch's
// first file wants it), so under the set of the file before. The set decides
// how the file prints (text formatted or sent raw), so a file whose own set
// is another one is analysed again under it. None when it cannot be reopened,
// which is then reported.
FileAnalysis* AnalyzeUnderOwnSet(FileAnalysis* analysis, const char* entry,
                                 const char* analysedWith) {
    if (SameSetName(analysedWith, CurrentSetName))
        return analysis;
    ReleaseFile(analysis, false);
    FileAnalysis* again = AnalyzeFile(entry);
    if (!again)
        ShowMessage(kTextCouldNotOpen, entry, errno, kMessageError);
    return again;
}

// The analysis of an entry that names a file. A name longer than any path is
// refused whole: cut, it could name another file.
FileAnalysis* OpenEntry(const char* entry) {
    if (std::strlen(entry) > kPathChars) {
        errno = ENAMETOOLONG;
        return nullptr;
    }
    return AnalyzeFile(entry);
}

void LogEntry(const Batch& batch, int prefixId, const char* entry) {
    if (batch.echoToLog)
        LogLine(LoadText(prefixId), entry);
}

// Where an entry stands in its batch: the first to get so far starts it, the
// last ends it; a line of a list file does neither.
struct EntryPlace {
    bool last;
    int count; // entries of the batch, for the progress window
    int depth; // lists the entry is read from
};

EntryOutcome RunEntry(Batch* batch, BatchEntry* entry, const EntryPlace& place);

// True when an entry ends the batch: a stop always, a failure where
// failures do.
bool EndsBatch(const Batch& batch, EntryOutcome outcome) {
    return StopRequested || (outcome == kEntryFailed && batch.endAtFailure);
}

// The lines of a list file, as entries inside the running batch.
bool RunList(Batch* batch, BatchEntry* entry, int depth) {
    const char* path = entry->name.c_str() + 1;
    if (depth >= kMaxListDepth) {
        ShowMessage(kTextListFileOpenFailed, path, EMFILE, kMessageError);
        return false;
    }
    if (!ReadListFile(path, &entry->lines))
        return false;
    ProgressBegin(static_cast<int>(entry->lines.size()));
    EntryPlace inside = {false, 1, depth + 1};
    for (BatchEntry& line : entry->lines) {
        if (line.overlong) {
            ShowMessage(kTextCouldNotOpen, line.name.c_str(), ENAMETOOLONG, kMessageError);
            line.outcome = kEntryFailed;
            EntryFinished(line);
            continue;
        }
        if (EndsBatch(*batch, RunEntry(batch, &line, inside)))
            return false;
    }
    return true;
}

// Analyses, prints, logs and releases one entry.
EntryOutcome PrintOneEntry(Batch* batch, BatchEntry* entry, const EntryPlace& place) {
    const char* name = entry->name.c_str();
    bool isList = entry->name.size() <= kPathChars && IsListReference(name);
    entry->isList = isList;
    FileAnalysis* analysis = nullptr;
    char analysedWith[sizeof CurrentSetName];
    CopyText(analysedWith, sizeof analysedWith, CurrentSetName);
    if (!isList) {
        analysis = OpenEntry(name);
        if (!analysis) {
            ShowMessage(kTextCouldNotOpen, name, errno, kMessageError);
            if (place.last || EndsBatch(*batch, kEntryFailed))
                EndBatch(batch);
            return kEntryFailed;
        }
    }
    SetBusy(true);
    // A cancelled printer dialog ends the batch, as a stop would.
    bool starts = place.depth == 0 && !batch->started;
    if (starts && !StartBatch(batch, analysis, place.count))
        return kEntryFailed;
    ProgressNextFile(FileNameOf(name));
    LogEntry(*batch, kTextLogStartPrinting, name);

    EntryOutcome outcome;
    if (isList) {
        outcome = RunList(batch, entry, place.depth) ? kEntryPrinted : kEntryFailed;
    } else {
        UseFileSettings(batch, name);
        analysis = AnalyzeUnderOwnSet(analysis, name, analysedWith);
        // The printer dialog's page range belongs to the file it was shown for.
        bool range = starts && batch->pageRangeChosen;
        outcome = analysis ? OutcomeOf(DispatchFile(analysis, range, &entry->sent)) : kEntryFailed;
    }
    // Only a file that went out whole may go: a failed, stopped or skipped
    // entry keeps its file, whatever /delete asked for. A job that reached
    // the spooler has printed, whatever stop came meanwhile: the stop ends
    // the batch after it (undone, the job would print the file twice).
    if (analysis)
        ReleaseFile(analysis, batch->deleteAfterPrint && outcome == kEntryPrinted);
    PumpMessages();
    if (place.last || EndsBatch(*batch, outcome))
        EndBatch(batch);
    LogEntry(*batch, kTextLogDonePrinting, name);
    return outcome;
}

EntryOutcome RunEntry(Batch* batch, BatchEntry* entry, const EntryPlace& place) {
    entry->outcome = PrintOneEntry(batch, entry, place);
    EntryFinished(*entry);
    return entry->outcome;
}

} // namespace

bool RunBatch(Batch* batch) {
    // A batch started inside a running one would end it: its idle state and
    // its restored set would take effect while the outer batch still prints.
    if (batchesRunning > 0) {
        RefuseNewBatch();
        return false;
    }
    ++batchesRunning;
    int count = static_cast<int>(batch->entries.size());
    bool through = true;
    for (int i = 0; i < count && through; ++i) {
        EntryPlace place = {i == count - 1, count, 0};
        through =
            !EndsBatch(*batch, RunEntry(batch, &batch->entries[static_cast<size_t>(i)], place));
    }
    --batchesRunning;
    return through;
}

bool BatchRunning() {
    return batchesRunning > 0 || sourcesRunning > 0;
}

BusyHold::BusyHold() {
    ++busyHolds;
}

BusyHold::~BusyHold() {
    if (--busyHolds == 0 && idleOwed) {
        idleOwed = false;
        SetBusy(false);
    }
}

BatchSource::BatchSource() : claimed(!BatchRunning()) {
    if (claimed)
        ++sourcesRunning;
    else
        RefuseNewBatch();
}

BatchSource::~BatchSource() {
    if (claimed)
        --sourcesRunning;
}
