// Spooler file-times double: sizes from the real files, last writes as the
// test sets them (OtherParts.writeTimes, on a file server's clock; files not
// listed were written at 0), this machine's clock as OtherParts.localClock.
// Claims are bookkeeping: refused for the names another instance holds
// (OtherParts.takenElsewhere), listed in OtherParts.claimsHeld while held;
// OtherParts.beforeClaim plays a writer that comes in just before one. The
// file server refuses every lock at or above OtherParts.serverLockLimit with
// error 87, and OtherParts.claimLocks records the offsets of each claim taken.
// Deletion is real, except for the names the test keeps
// (OtherParts.undeletable) and for files whose stamp has changed since they
// were claimed. Moves are real copies and deletions, refused for the names
// the test keeps (OtherParts.unmovable) and over an existing file.
#include "jobs/spool_files.h"
#include "common/file_system.h"
#include "common/paths.h"
#include "recorder.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace {

std::map<intptr_t, std::string> claims; // by handle
intptr_t lastClaim;

} // namespace

bool ReadFileStamp(const char* path, FileStamp* stamp) {
    if (!PathExists(path))
        return false;
    stamp->size = FileSizeOf(path);
    std::map<std::string, long long>::const_iterator written =
        OtherParts.writeTimes.find(FileNameOf(path));
    stamp->writeTime = written != OtherParts.writeTimes.end() ? written->second : 0;
    return true;
}

long long LocalClockMs() {
    return OtherParts.localClock;
}

ClaimOutcome ClaimSpooledFile(const char* path, unsigned locks, SpoolClaim* claim,
                              LockRefusal* refusal) {
    std::function<void()> before;
    before.swap(OtherParts.beforeClaim);
    if (before)
        before();
    std::string name = FileNameOf(path);
    FileStamp stamp;
    if (OtherParts.takenElsewhere.count(name) || !ReadFileStamp(path, &stamp))
        return kClaimRefused;
    unsigned held = 0;
    for (int i = 0; i < kClaimLockOffsets; ++i) {
        if (!(locks & (1u << i)) || kClaimLockOffset[i] < stamp.size)
            continue;
        if (kClaimLockOffset[i] >= OtherParts.serverLockLimit) {
            refusal->offset = i;
            refusal->error = 87;
            std::snprintf(refusal->reason, sizeof refusal->reason,
                          "System error 87: The parameter is incorrect.");
            return kClaimLockRefused;
        }
        held |= 1u << i;
    }
    claims[++lastClaim] = name;
    OtherParts.claimsHeld.insert(name);
    OtherParts.claimLocks.push_back(held);
    claim->handle = reinterpret_cast<void*>(lastClaim);
    claim->stamp = stamp;
    claim->locks = held;
    return kClaimTaken;
}

void ReleaseSpoolClaim(SpoolClaim* claim) {
    if (!claim->handle)
        return;
    std::map<intptr_t, std::string>::iterator held =
        claims.find(reinterpret_cast<intptr_t>(claim->handle));
    if (held != claims.end()) {
        std::multiset<std::string>::iterator listed = OtherParts.claimsHeld.find(held->second);
        if (listed != OtherParts.claimsHeld.end())
            OtherParts.claimsHeld.erase(listed);
        claims.erase(held);
    }
    claim->handle = nullptr;
}

ClaimedDeletion DeleteClaimedFile(const char* path, const SpoolClaim& claim) {
    FileStamp now;
    if (ReadFileStamp(path, &now) &&
        (now.size != claim.stamp.size || now.writeTime != claim.stamp.writeTime))
        return kClaimChanged;
    if (OtherParts.undeletable.count(FileNameOf(path))) {
        errno = EACCES;
        return kClaimNotDeleted;
    }
    return RemoveFile(path) ? kClaimDeleted : kClaimNotDeleted;
}

ClaimedMove MoveClaimedFile(const char* path, const SpoolClaim& claim, const char* target) {
    FileStamp now;
    if (ReadFileStamp(path, &now) &&
        (now.size != claim.stamp.size || now.writeTime != claim.stamp.writeTime))
        return kClaimMoveChanged;
    if (PathExists(target))
        return kClaimTargetExists;
    if (OtherParts.unmovable.count(FileNameOf(path))) {
        errno = EACCES;
        return kClaimNotMoved;
    }
    if (!CopyFileReplacing(path, target))
        return kClaimNotMoved;
    if (!RemoveFile(path)) {
        int error = errno;
        RemoveFile(target);
        errno = error;
        return kClaimNotMoved;
    }
    return kClaimMoved;
}
