// Spooler mode: one scan of the pattern. The timer is stopped while the scan
// runs, so however long printing takes, scans never overlap.
#include "spooler.h"

#include "activity_log.h"
#include "job_runner.h"
#include "shell_state.h"
#include "spool_files.h"
#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../settings/settings.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <string>

namespace {

typedef std::map<std::string, FileStamp> StampMap;

// A printed file that is still there: its backup copy or its deletion
// failed. Printed once is enough; later scans only finish the job, while
// the file is unchanged.
struct PrintedFile {
    FileStamp stamp;
    bool backedUp;
};
typedef std::map<std::string, PrintedFile> PrintedMap;

// What a scan learns about the files, for the next one. Each scan starts
// afresh and carries over only the files it still sees, so that files that
// have gone are forgotten.
struct ScanMemory {
    StampMap unsettled; // too fresh to print, as they were then
    StampMap unprinted; // not printed by choice (logged once), as they were then
    PrintedMap printed;
};

ScanMemory memory;
bool scanRunning;
bool exitAfterScan;

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    return a.size == b.size && a.writeTime == b.writeTime;
}

template <typename Map>
const typename Map::mapped_type* Find(const Map& map, const std::string& path) {
    typename Map::const_iterator found = map.find(path);
    return found == map.end() ? nullptr : &found->second;
}

// Old enough, or unchanged since the previous scan: the second covers a
// writer whose clock runs ahead, whose files would otherwise look fresh for
// ever.
bool Settled(const FileStamp& stamp, const FileStamp* before) {
    return CurrentFileTime() - stamp.writeTime >= kSpoolerSettleMs ||
           (before && SameStamp(stamp, *before));
}

// The backup copy; a failure is reported the first time only.
bool BackUp(const char* path, bool report) {
    char backup[kPathSize];
    CopyText(backup, sizeof backup, BackupDirectory);
    size_t length = std::strlen(backup);
    bool fits =
        (length > 0 && backup[length - 1] == '\\') || AppendText(backup, sizeof backup, "\\");
    fits = fits && AppendText(backup, sizeof backup, FileNameOf(path));
    if (fits && CopyFileReplacing(path, backup))
        return true;
    if (report)
        ShowMessage(kTextBackupFailed, backup, 0, kMessageError);
    return false;
}

// Backs up and deletes a printed file. One that stays is remembered, so that
// it is not printed again at every scan: without its backup copy the file
// would be the only one left. A failure is reported the first time.
void FinishPrinted(const std::string& path, PrintedFile file, ScanMemory* next, bool report) {
    if (BackupDirectory[0] && !file.backedUp) {
        file.backedUp = BackUp(path.c_str(), report);
        if (!file.backedUp) {
            next->printed[path] = file;
            return;
        }
    }
    if (DeleteSpooledFile(path.c_str()) || !PathExists(path.c_str()))
        return;
    int error = errno;
    next->printed[path] = file;
    if (report)
        ShowMessage(kTextAccessError, path.c_str(), error, kMessageError);
}

void PrintAndDelete(const std::string& path, const FileStamp& stamp, ScanMemory* next) {
    switch (PrintEntryOutcome(path.c_str(), MainWindow, 1, 1)) {
    case kPrintFailed:
        return; // failed or stopped: the next scan tries again
    case kNotPrintedByChoice:
        // Left where it is, and left alone until it changes.
        next->unprinted[path] = stamp;
        LogLine(LoadText(kTextLogNotPrinted), path.c_str());
        return;
    case kPrinted:
        FinishPrinted(path, PrintedFile{stamp, false}, next, true);
        return;
    }
}

// One matching file: printed when settled and free, deleted afterwards.
void TakeFile(const std::string& path, ScanMemory* next) {
    FileStamp stamp;
    if (!ReadFileStamp(path.c_str(), &stamp))
        return; // gone since the directory was read
    const PrintedFile* printed = Find(memory.printed, path);
    if (printed && SameStamp(printed->stamp, stamp)) {
        FinishPrinted(path, *printed, next, false);
        return;
    }
    const FileStamp* unprinted = Find(memory.unprinted, path);
    if (unprinted && SameStamp(*unprinted, stamp)) {
        next->unprinted[path] = stamp;
        return;
    }
    if (!Settled(stamp, Find(memory.unsettled, path))) {
        next->unsettled[path] = stamp;
        return;
    }
    // Still being written, or held by another program: a later scan takes it.
    if (CanOpenExclusively(path.c_str()))
        PrintAndDelete(path, stamp, next);
}

} // namespace

void ResetSpoolerMemory() {
    memory = ScanMemory();
    exitAfterScan = false;
}

void SpoolerTick() {
    SetSpoolerTimer(false);
    // The spooler deletes each printed file itself, after its backup copy;
    // the runner must not delete it first.
    DeleteAfterPrint = false;
    scanRunning = true;
    ScanMemory next;
    char path[kPathSize] = "";
    MatchSearch* search = nullptr;
    // Read-only entries and directories are never returned by the search; a
    // pattern whose directory has gone matches nothing until it is back.
    while (!exitAfterScan &&
           FindNextMatchingFile(SpoolerPattern, path, sizeof path, &search, false))
        TakeFile(path, &next);
    EndMatchSearch(&search);
    scanRunning = false;
    // Exit during the scan: the program ends now, without another scan.
    if (exitAfterScan)
        return;
    memory = next;
    SetSpoolerTimer(true);
}

bool SpoolerScanRunning() {
    return scanRunning;
}

void EndSpoolerAfterScan() {
    StopRequested = true;
    exitAfterScan = true;
}

bool SpoolerExitPending() {
    return exitAfterScan;
}
