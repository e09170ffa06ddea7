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

// One look at a file: its stamp, and when it was seen so on this machine's
// clock.
struct Look {
    FileStamp stamp;
    long long seenAt;
};
typedef std::map<std::string, Look> LookMap;

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
    LookMap unsettled;  // not yet seen unchanged for long enough, as first seen so
    StampMap unprinted; // not printed by choice (logged once), as they were then
    PrintedMap printed;
};

ScanMemory memory;
bool scanRunning;
bool exitAfterScan;
// The claim lock offsets the file server has not refused in this run.
unsigned acceptedLocks = kEveryClaimLock;

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    return a.size == b.size && a.writeTime == b.writeTime;
}

template <typename Map>
const typename Map::mapped_type* Find(const Map& map, const std::string& path) {
    typename Map::const_iterator found = map.find(path);
    return found == map.end() ? nullptr : &found->second;
}

// Seen with the same size and last write at least kSpoolerSettleMs earlier by
// this machine's clock. The last write is the file server's time, and the
// server's clock may be behind or ahead: compared with the local time it
// would make a file that is still being written look old, or a finished one
// look fresh for ever.
bool Settled(const FileStamp& stamp, const Look* before, long long now) {
    return before && SameStamp(stamp, before->stamp) && now - before->seenAt >= kSpoolerSettleMs;
}

// The offsets of acceptedLocks, for the log.
std::string AcceptedOffsets() {
    std::string text;
    for (int i = 0; i < kClaimLockOffsets; ++i) {
        if (!(acceptedLocks & (1u << i)))
            continue;
        char offset[32];
        FormatText(offset, sizeof offset, "%lld", kClaimLockOffset[i]);
        text += text.empty() ? "" : ", ";
        text += offset;
    }
    return text.empty() ? LoadText(kTextLogNoClaimLock) : text;
}

// Takes the file for this instance. A lock the file server refuses for any
// reason other than another holder (a server without large-file locking
// refuses the highest offset) is reported once, with the server's error, and
// the claim goes on at the offsets that are left, as the log says; otherwise
// the file would be skipped silently at every scan.
bool Claim(const std::string& path, SpoolClaim* claim) {
    for (;;) {
        LockRefusal refusal;
        ClaimOutcome outcome = ClaimSpooledFile(path.c_str(), acceptedLocks, claim, &refusal);
        if (outcome != kClaimLockRefused)
            return outcome == kClaimTaken;
        acceptedLocks &= ~(1u << refusal.offset);
        char offset[32];
        FormatText(offset, sizeof offset, "%lld", kClaimLockOffset[refusal.offset]);
        ShowMessageWithReason(kTextClaimLockRefused, offset, refusal.reason, kMessageWarning);
        LogLine(LoadText(kTextLogClaimLock), AcceptedOffsets().c_str());
    }
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

// `settled` is the look that found the file settled.
void PrintAndDelete(const std::string& path, SpoolClaim claim, Look settled, ScanMemory* next) {
    switch (PrintSpooledFile(path)) {
    case kEntryNotReached:
    case kEntryFailed:
        // Failed or stopped: the next scan tries again, unless it has
        // changed meanwhile.
        next->unsettled[path] = settled;
        ReleaseSpoolClaim(&claim);
        return;
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
    long long now = LocalClockMs();
    const Look* before = Find(memory.unsettled, path);
    if (!Settled(stamp, before, now)) {
        // The first look that saw it so stays, so that a scan that comes
        // early does not start the wait again.
        bool same = before && SameStamp(stamp, before->stamp);
        next->unsettled[path] = same ? *before : Look{stamp, now};
        return;
    }
    // Still being written, held by another program, or taken by another
    // instance: a later scan looks again.
    SpoolClaim claim;
    if (!CanOpenExclusively(path.c_str()) || !Claim(path, &claim)) {
        next->unsettled[path] = *before;
        return;
    }
    // Written to since it was judged settled (by a writer that ignores the
    // sharing rules, or as a new file after another instance deleted the
    // old one): it waits until it has settled again.
    if (!SameStamp(claim.stamp, stamp)) {
        next->unsettled[path] = Look{claim.stamp, now};
        ReleaseSpoolClaim(&claim);
        return;
    }
    PrintAndDelete(path, claim, *before, next);
}

} // namespace

void ResetSpoolerMemory() {
    ReleaseClaims(&memory.printed);
    memory = ScanMemory();
    exitAfterScan = false;
    acceptedLocks = kEveryClaimLock;
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
