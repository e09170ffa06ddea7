// File stamps for the spooler, as the file system keeps them, and this
// machine's tick count for the time between two looks: a file server's clock
// is not this one, and the spooler never compares the two.
//
// The claim is an open handle that reads and shares reading and deletion
// only, with bytes locked beyond the end of the file. Writers cannot open the
// file while it is held, the program's own streams, copies and conversion
// programs can read it, and the locks tell a second instance that opened it
// at the same moment that the file is taken. File servers keep share modes
// and byte-range locks for all their clients and drop them with the handle,
// also when the process that held it dies.
#include "spool_files.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "../common/wide_names_win32.h"

namespace {

long long Milliseconds(FILETIME time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<long long>(value.QuadPart / 10000);
}

FileStamp StampOf(const BY_HANDLE_FILE_INFORMATION& info) {
    FileStamp stamp;
    stamp.size = static_cast<long long>(
        (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    stamp.writeTime = Milliseconds(info.ftLastWriteTime);
    return stamp;
}

unsigned long long IndexOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

void SetErrnoFromLastError() {
    DWORD error = GetLastError();
    errno = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
}

typedef BOOL(WINAPI* SetInformationByHandle)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);

// Through the handle whose identity was checked, where the system offers
// that (Vista on); older systems delete by name, right after the check.
bool MarkForDeletion(HANDLE file, const char* path) {
    static FARPROC found =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle");
    bool done;
    if (found) {
        SetInformationByHandle setInformation =
            reinterpret_cast<SetInformationByHandle>(reinterpret_cast<void (*)()>(found));
        FILE_DISPOSITION_INFO disposition = {TRUE};
        done = setInformation(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
    } else {
        done = DeleteFileW(WideName(path).c_str()) != 0;
    }
    if (!done)
        SetErrnoFromLastError();
    return done;
}

} // namespace

bool ReadFileStamp(const char* path, FileStamp* stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WideName(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    stamp->size = static_cast<long long>(
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    stamp->writeTime = Milliseconds(data.ftLastWriteTime);
    return true;
}

// GetTickCount, whose 32 bits run round every 49.7 days, carried on in 64:
// the spooler looks at least once a scan, far more often than that.
long long LocalClockMs() {
    static DWORD last;
    static long long rounds;
    DWORD now = GetTickCount();
    if (now < last)
        ++rounds;
    last = now;
    return (rounds << 32) + now;
}

namespace {

bool LockClaimByte(HANDLE file, int offset, bool lock) {
    ULARGE_INTEGER at;
    at.QuadPart = static_cast<unsigned long long>(kClaimLockOffset[offset]);
    return lock ? LockFile(file, at.LowPart, at.HighPart, 1, 0) != 0
                : UnlockFile(file, at.LowPart, at.HighPart, 1, 0) != 0;
}

void UnlockClaimBytes(HANDLE file, unsigned locks) {
    for (int i = 0; i < kClaimLockOffsets; ++i)
        if (locks & (1u << i))
            LockClaimByte(file, i, false);
}

void Describe(unsigned long error, LockRefusal* refusal) {
    WCHAR text[256];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, 256, nullptr);
    while (length > 0 &&
           (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' '))
        --length;
    char reason[sizeof refusal->reason];
    if (!NameFromWide(text, length, reason, sizeof reason))
        reason[0] = '\0';
    snprintf(refusal->reason, sizeof refusal->reason, "System error %lu%s%s", error,
             reason[0] ? ": " : "", reason);
}

} // namespace

ClaimOutcome ClaimSpooledFile(const char* path, unsigned locks, SpoolClaim* claim,
                              LockRefusal* refusal) {
    HANDLE file =
        CreateFileW(WideName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kClaimRefused;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
        CloseHandle(file);
        return kClaimRefused;
    }
    FileStamp stamp = StampOf(info);
    unsigned held = 0;
    for (int i = 0; i < kClaimLockOffsets; ++i) {
        // A byte inside the data would keep the program's own readers out.
        if (!(locks & (1u << i)) || kClaimLockOffset[i] < stamp.size)
            continue;
        if (LockClaimByte(file, i, true)) {
            held |= 1u << i;
            continue;
        }
        DWORD error = GetLastError();
        UnlockClaimBytes(file, held);
        CloseHandle(file);
        if (error == ERROR_LOCK_VIOLATION)
            return kClaimRefused; // another instance holds it
        refusal->offset = i;
        refusal->error = error;
        Describe(error, refusal);
        return kClaimLockRefused;
    }
    claim->handle = file;
    claim->stamp = stamp;
    claim->volume = info.dwVolumeSerialNumber;
    claim->index = IndexOf(info);
    claim->locks = held;
    return kClaimTaken;
}

void ReleaseSpoolClaim(SpoolClaim* claim) {
    if (!claim->handle)
        return;
    // Closing would free the locks too, but only when the system gets to it.
    UnlockClaimBytes(claim->handle, claim->locks);
    CloseHandle(claim->handle);
    claim->handle = nullptr;
    claim->locks = 0;
}

namespace {

// Opens the name again with delete access, sharing everything so as to get
// past the claim itself; none, errno set, when it cannot be opened.
HANDLE OpenForRemoval(const char* path) {
    HANDLE file = CreateFileW(WideName(path).c_str(), DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        SetErrnoFromLastError();
    return file;
}

enum Identity { kSameFile, kOtherFile, kUnknown };

// Whether the open file is the one claimed, unchanged.
Identity IdentityOf(HANDLE file, const SpoolClaim& claim) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        SetErrnoFromLastError();
        return kUnknown;
    }
    FileStamp now = StampOf(info);
    bool same = info.dwVolumeSerialNumber == claim.volume && IndexOf(info) == claim.index &&
                now.size == claim.stamp.size && now.writeTime == claim.stamp.writeTime;
    return same ? kSameFile : kOtherFile;
}

// Onto another volume: a copy that may not replace anything, then the
// original deleted through the checked handle. A copy whose original cannot
// go is taken back, so that the file is in one place only.
ClaimedMove CopyAcrossVolumes(HANDLE file, const char* path, const char* target) {
    std::wstring to = WideName(target);
    if (!CopyFileW(WideName(path).c_str(), to.c_str(), TRUE)) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return kClaimTargetExists;
        SetErrnoFromLastError();
        return kClaimNotMoved;
    }
    if (MarkForDeletion(file, path))
        return kClaimMoved;
    int error = errno;
    DeleteFileW(to.c_str());
    errno = error;
    return kClaimNotMoved;
}

} // namespace

ClaimedDeletion DeleteClaimedFile(const char* path, const SpoolClaim& claim) {
    HANDLE file = OpenForRemoval(path);
    if (file == INVALID_HANDLE_VALUE)
        return kClaimNotDeleted;
    ClaimedDeletion result = kClaimNotDeleted;
    switch (IdentityOf(file, claim)) {
    case kSameFile:
        if (MarkForDeletion(file, path))
            result = kClaimDeleted;
        break;
    case kOtherFile:
        result = kClaimChanged;
        break;
    case kUnknown:
        break;
    }
    CloseHandle(file);
    return result;
}

// Renamed by name right after the check (the claim and the check's handle
// share deletion, so neither stands in the way), and never over a file that
// is there: the system refuses that without the replacing flag.
ClaimedMove MoveClaimedFile(const char* path, const SpoolClaim& claim, const char* target) {
    HANDLE file = OpenForRemoval(path);
    if (file == INVALID_HANDLE_VALUE)
        return kClaimNotMoved;
    ClaimedMove result = kClaimNotMoved;
    Identity identity = IdentityOf(file, claim);
    if (identity == kOtherFile)
        result = kClaimMoveChanged;
    else if (identity == kSameFile) {
        if (MoveFileExW(WideName(path).c_str(), WideName(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
            result = kClaimMoved;
        } else {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                result = kClaimTargetExists;
            else if (error == ERROR_NOT_SAME_DEVICE)
                result = CopyAcrossVolumes(file, path, target);
            else
                SetErrnoFromLastError();
        }
    }
    CloseHandle(file);
    return result;
}
