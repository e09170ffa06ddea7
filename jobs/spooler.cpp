// Spooler mode: one scan of the pattern. The timer is stopped while the scan
// runs, so however long printing takes, scans never overlap.
#include "spooler.h"

#include "activity_log.h"
#include "job_runner.h"
#include "spool_files.h"
#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../common/stop_request.h"
#include "../settings/settings.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <string>

namespace {

typedef std::map<std::string, FileStamp> StampMap;

// A printed file that is still there: its backup copy or its deletion
// failed. Printed once is enough; later scans only finish the job, while
// the file is unchanged. The claim stays held meanwhile, so that no other
// instance prints it again.
struct PrintedFile {
    SpoolClaim claim;
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

void ReleaseClaims(PrintedMap* printed) {
    for (PrintedMap::iterator file = printed->begin(); file != printed->end(); ++file)
        ReleaseSpoolClaim(&file->second.claim);
}

// Backs up and deletes a printed file. One that stays is remembered, so that
// it is not printed again at every scan: without its backup copy the file
// would be the only one left. A failure is reported the first time. A file
// whose content has changed since it was taken stays for a later scan.
void FinishPrinted(const std::string& path, PrintedFile file, ScanMemory* next, bool report) {
    if (BackupDirectory[0] && !file.backedUp) {
        file.backedUp = BackUp(path.c_str(), report);
        if (!file.backedUp) {
            next->printed[path] = file;
            return;
        }
    }
    ClaimedDeletion deletion = DeleteClaimedFile(path.c_str(), file.claim);
    int error = errno;
    if (deletion == kClaimNotDeleted && PathExists(path.c_str())) {
        next->printed[path] = file;
        if (report)
            ShowMessage(kTextAccessError, path.c_str(), error, kMessageError);
        return;
    }
    ReleaseSpoolClaim(&file.claim);
}

// Each file is a batch of its own, so its set is chosen by its extension and
// the user's set comes back afterwards.
EntryOutcome PrintSpooledFile(const std::string& path) {
    Batch batch = SpooledFileBatch(path);
    RunBatch(&batch);
    return batch.entries[0].outcome;
}

void PrintAndDelete(const std::string& path, SpoolClaim claim, ScanMemory* next) {
    switch (PrintSpooledFile(path)) {
    case kEntryNotReached:
    case kEntryFailed:
        ReleaseSpoolClaim(&claim);
        return; // failed or stopped: the next scan tries again
    case kEntryNotPrinted:
        // Left where it is, and left alone until it changes.
        next->unprinted[path] = claim.stamp;
        ReleaseSpoolClaim(&claim);
        LogLine(LoadText(kTextLogNotPrinted), path.c_str());
        return;
    case kEntryPrinted:
        FinishPrinted(path, PrintedFile{claim, false}, next, true);
        return;
    }
}

// One matching file: printed when settled and free, deleted afterwards.
void TakeFile(const std::string& path, ScanMemory* next) {
    FileStamp stamp;
    if (!ReadFileStamp(path.c_str(), &stamp))
        return; // gone since the directory was read
    PrintedMap::iterator printed = memory.printed.find(path);
    if (printed != memory.printed.end()) {
        PrintedFile file = printed->second;
        memory.printed.erase(printed);
        if (SameStamp(file.claim.stamp, stamp)) {
            FinishPrinted(path, file, next, false);
            return;
        }
        ReleaseSpoolClaim(&file.claim); // a new file of that name
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
    // Still being written, held by another program, or taken by another
    // instance: a later scan looks again.
    SpoolClaim claim;
    if (!CanOpenExclusively(path.c_str()) || !ClaimSpooledFile(path.c_str(), &claim))
        return;
    // Written to since it was judged settled (by a writer that ignores the
    // sharing rules, or as a new file after another instance deleted the
    // old one): it waits until it has settled again.
    if (!SameStamp(claim.stamp, stamp)) {
        next->unsettled[path] = claim.stamp;
        ReleaseSpoolClaim(&claim);
        return;
    }
    PrintAndDelete(path, claim, next);
}

} // namespace

void ResetSpoolerMemory() {
    ReleaseClaims(&memory.printed);
    memory = ScanMemory();
    exitAfterScan = false;
}

void SpoolerTick() {
    SetSpoolerTimer(false);
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
    // Printed files this scan did not reach, or found gone, are let go.
    ReleaseClaims(&memory.printed);
    memory = next;
    // Exit during the scan: the program ends now, without another scan.
    if (exitAfterScan)
        return;
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
