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

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

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

// A file that failed to print, waiting for its next attempt. Its reason is
// reported once, and again only when it changes; after the attempts its set
// allows, it is moved out of the spool directory. A file that changes starts
// again from the first attempt.
struct FailedFile {
    FileStamp stamp = {0, 0};         // as it was when it last failed
    int attempts = 0;                 // failed attempts so far
    long long wait = 0;               // the last wait
    long long due = 0;                // the next attempt, on this machine's clock
    std::vector<std::string> reasons; // what its last attempt said
    bool moveReported = false;        // a move that could not be made was reported
};
typedef std::map<std::string, FailedFile> FailedMap;

// What a scan learns about the files, for the next one. Each scan starts
// afresh and carries over only the files it still sees, so that files that
// have gone are forgotten.
struct ScanMemory {
    LookMap unsettled;  // not yet seen unchanged for long enough, as first seen so
    StampMap unprinted; // not printed by choice (logged once), as they were then
    PrintedMap printed;
    FailedMap failed;
};

ScanMemory memory;
bool scanRunning;
bool exitAfterScan;
bool paused;
// The claim lock offsets the file server has not refused in this run.
unsigned acceptedLocks = kEveryClaimLock;

// A name with any number of candidates for one that is free; beyond them
// the move counts as one that cannot be made.
const int kMaxFailedNumbers = 9999;
const char kReasonSuffix[] = ".reason.txt";

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
// the user's set comes back afterwards. A stop left from an earlier file is
// no stop of this one (its batch would clear it too, but only once started).
EntryOutcome PrintSpooledFile(const std::string& path) {
    StopRequested = false;
    Batch batch = SpooledFileBatch(path);
    RunBatch(&batch);
    return batch.entries[0].outcome;
}

// 5 s, 10 s, 20 s... up to the longest wait.
long long NextWait(const FailedFile& file) {
    if (file.attempts <= 1)
        return kSpoolRetryFirstMs;
    return std::min<long long>(file.wait * 2, kSpoolRetryLongestMs);
}

bool AttemptsSpent(const FailedFile& file, const Settings& set) {
    return set.SpoolRetries > 0 && file.attempts >= set.SpoolRetries;
}

// "name.ext", then "name (2).ext", "name (3).ext"...
std::string NumberedName(const std::string& directory, const char* fileName, int number) {
    std::string name = fileName;
    if (number > 1) {
        size_t dot = name.rfind('.');
        if (dot == std::string::npos || dot == 0)
            dot = name.size();
        name.insert(dot, " (" + std::to_string(number) + ")");
    }
    return directory + "\\" + name;
}

// Time, attempts and the last message, beside the moved file, in UTF-8.
bool WriteReasonFile(const std::string& reasonPath, const std::string& path,
                     const FailedFile& file) {
    FILE* out = OpenStream(reasonPath.c_str(), "wb");
    if (!out)
        return false;
    char stamp[64];
    FormatLogTime(static_cast<long long>(std::time(nullptr)), stamp, sizeof stamp);
    std::string last = file.reasons.empty() ? "" : file.reasons.back();
    char format[kLoadTextSize];
    CopyText(format, sizeof format, LoadText(kTextFailedReasonFile));
    std::vector<char> text(std::strlen(format) + path.size() + last.size() + 128);
    std::snprintf(text.data(), text.size(), format, path.c_str(), stamp, file.attempts,
                  last.c_str());
    bool written = std::fputs("\xEF\xBB\xBF", out) >= 0 && std::fputs(text.data(), out) >= 0;
    return std::fclose(out) == 0 && written;
}

// Moves a file whose attempts are spent into the failed directory, under a
// name that is free there, and writes its reason file. A move that cannot be
// made leaves the file where it is, reported once; it is tried again at the
// file's next due time, without printing it again.
void MoveToFailed(const std::string& path, SpoolClaim claim, FailedFile file, const Settings& set,
                  ScanMemory* next) {
    std::string directory = FailedDirectoryFor(set.SpoolFailedDir);
    ClaimedMove move = kClaimNotMoved;
    std::string target;
    int error = 0;
    if (directory.empty()) {
        error = ENAMETOOLONG;
    } else if (IsSpoolDirectory(directory.c_str())) {
        // Moved there, it would match the pattern again under a new name.
        error = EINVAL;
    } else if (!CreateDirectoryPath(directory.c_str())) {
        error = errno;
    } else {
        for (int number = 1; number <= kMaxFailedNumbers; ++number) {
            target = NumberedName(directory, FileNameOf(path.c_str()), number);
            if (target.size() + sizeof kReasonSuffix > kPathSize) {
                error = ENAMETOOLONG;
                break;
            }
            if (PathExists(target.c_str()) || PathExists((target + kReasonSuffix).c_str()))
                continue;
            move = MoveClaimedFile(path.c_str(), claim, target.c_str());
            error = errno;
            if (move != kClaimTargetExists)
                break;
        }
        if (move == kClaimTargetExists)
            error = EEXIST;
    }
    ReleaseSpoolClaim(&claim);
    switch (move) {
    case kClaimMoved:
        if (!WriteReasonFile(target + kReasonSuffix, path, file))
            ShowMessage(kTextCouldNotOpen, (target + kReasonSuffix).c_str(), errno, kMessageError);
        ShowMessage(kTextMovedToFailed, target.c_str(), 0, kMessageWarning);
        return;
    case kClaimMoveChanged:
        return; // new content under the name: a later scan prints it
    case kClaimTargetExists:
    case kClaimNotMoved:
        break;
    }
    if (!file.moveReported)
        ShowMessage(kTextMoveToFailedFailed, path.c_str(), error, kMessageError);
    file.moveReported = true;
    next->failed[path] = file;
}

// A failed attempt: counted, and the next one set; or, the attempts spent,
// the file moved out.
void CountFailure(const std::string& path, SpoolClaim claim, const FailedFile* before,
                  const std::vector<std::string>& said, ScanMemory* next) {
    FailedFile file = before ? *before : FailedFile();
    file.stamp = claim.stamp;
    ++file.attempts;
    file.wait = NextWait(file);
    file.due = LocalClockMs() + file.wait;
    if (!said.empty())
        file.reasons = said;
    Settings set = SettingsForFile(path.c_str());
    if (AttemptsSpent(file, set)) {
        MoveToFailed(path, claim, file, set, next);
        return;
    }
    next->failed[path] = file;
    ReleaseSpoolClaim(&claim);
}

// `settled` is the look that found the file settled.
void PrintAndDelete(const std::string& path, SpoolClaim claim, Look settled,
                    const FailedFile* failed, ScanMemory* next) {
    BeginMessageRecord(failed ? failed->reasons : std::vector<std::string>());
    EntryOutcome outcome = PrintSpooledFile(path);
    std::vector<std::string> said = EndMessageRecord();
    switch (outcome) {
    case kEntryNotReached:
    case kEntryFailed:
        if (StopRequested) {
            // Stopped: no attempt of the file's, which the next scan takes
            // again, unless it has changed meanwhile.
            if (failed)
                next->failed[path] = *failed;
            else
                next->unsettled[path] = settled;
            ReleaseSpoolClaim(&claim);
            return;
        }
        CountFailure(path, claim, failed, said, next);
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
    // A file that failed waits for its next attempt; one that has changed
    // since starts again as a new one. One that failed was settled then.
    long long now = LocalClockMs();
    const FailedFile* failed = Find(memory.failed, path);
    if (failed && !SameStamp(failed->stamp, stamp))
        failed = nullptr;
    if (failed && now < failed->due) {
        next->failed[path] = *failed;
        return;
    }
    const Look* before = Find(memory.unsettled, path);
    if (!failed && !Settled(stamp, before, now)) {
        // The first look that saw it so stays, so that a scan that comes
        // early does not start the wait again.
        bool same = before && SameStamp(stamp, before->stamp);
        next->unsettled[path] = same ? *before : Look{stamp, now};
        return;
    }
    Look settled = failed ? Look{stamp, now} : *before;
    // Still being written, held by another program, or taken by another
    // instance: a later scan looks again.
    SpoolClaim claim;
    if (!CanOpenExclusively(path.c_str()) || !Claim(path, &claim)) {
        if (failed)
            next->failed[path] = *failed;
        else
            next->unsettled[path] = settled;
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
    // Its attempts spent, but the move could not be made: only the move is
    // tried again.
    if (failed) {
        Settings set = SettingsForFile(path.c_str());
        if (AttemptsSpent(*failed, set)) {
            FailedFile file = *failed;
            file.wait = NextWait(file);
            file.due = now + file.wait;
            MoveToFailed(path, claim, file, set, next);
            return;
        }
    }
    PrintAndDelete(path, claim, settled, failed, next);
}

template <typename Map>
void CarryOver(const Map& known, const std::set<std::string>& reached, Map* next) {
    for (typename Map::const_iterator file = known.begin(); file != known.end(); ++file)
        if (!reached.count(file->first))
            next->insert(*file);
}

// The memory of the files a scan did not reach joins what it learnt, claims
// and all.
void CarryOverUnreached(const std::set<std::string>& reached, ScanMemory* next) {
    CarryOver(memory.unsettled, reached, &next->unsettled);
    CarryOver(memory.unprinted, reached, &next->unprinted);
    CarryOver(memory.failed, reached, &next->failed);
    // TakeFile has taken each printed file it reached out of the memory.
    next->printed.insert(memory.printed.begin(), memory.printed.end());
    memory.printed.clear();
}

} // namespace

void ResetSpoolerMemory() {
    ReleaseClaims(&memory.printed);
    memory = ScanMemory();
    exitAfterScan = false;
    paused = false;
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
    std::set<std::string> reached;
    {
        BusyHold busy;
        while (!exitAfterScan && !paused &&
               FindNextMatchingFile(SpoolerPattern, path, sizeof path, &search, false)) {
            reached.insert(path);
            TakeFile(path, &next);
        }
    }
    EndMatchSearch(&search);
    scanRunning = false;
    // A scan cut short by a pause keeps what it knew of the files it did not
    // reach: a printed file is not printed again, and no wait starts afresh.
    if (paused && !exitAfterScan)
        CarryOverUnreached(reached, &next);
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

void PauseSpooler(bool on) {
    paused = on;
}

bool SpoolerPaused() {
    return paused;
}

std::string FailedDirectoryFor(const char* spoolFailedDir) {
    char full[kPathSize];
    if (spoolFailedDir[0]) {
        if (!FullPathOf(spoolFailedDir, full, sizeof full))
            return std::string();
    } else {
        char spool[kPathSize];
        CopyText(spool, sizeof spool, PathComponents(SpoolerPattern, "drive,dir"));
        if (!FullPathOf(spool[0] ? spool : ".", full, sizeof full))
            return std::string();
    }
    std::string directory = full;
    // The native build's paths have slashes.
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    while (directory.size() > 1 && separator(directory.back()))
        directory.pop_back();
    if (spoolFailedDir[0])
        return directory;
    // Beside the spool directory: in its parent, unless it is a root
    // ("C:", "/", or a share "\\server\share"), which has none.
    size_t cut = directory.find_last_of("\\/");
    bool share = directory.size() > 2 && separator(directory[0]) && separator(directory[1]);
    bool root = cut == std::string::npos || directory == "/" ||
                (share && directory.find_first_of("\\/", 2) == cut);
    return (root ? directory : directory.substr(0, cut == 0 ? 1 : cut)) + "\\failed";
}
