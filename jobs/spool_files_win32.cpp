// File times for the spooler, on the file system's own clock: file times and
// the system time are both kept in UTC, so a writer's time zone cannot make a
// fresh file look old.
//
// The claim is an open handle that reads and shares reading and deletion
// only, with one byte locked far beyond the end of the file. Writers cannot
// open the file while it is held, the program's own streams, copies and
// conversion programs can read it, and the lock tells a second instance that
// opened it at the same moment that the file is taken. File servers keep
// share modes and byte-range locks for all their clients and drop them with
// the handle, also when the process that held it dies.
#include "spool_files.h"

#include <windows.h>

#include <cerrno>

#include "../common/wide_names_win32.h"

namespace {

// Offset 2^62: no spool file reaches it, so no reader of the data meets it.
const DWORD kClaimLockHigh = 0x40000000;

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

long long CurrentFileTime() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Milliseconds(now);
}

bool ClaimSpooledFile(const char* path, SpoolClaim* claim) {
    HANDLE file =
        CreateFileW(WideName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ||
        !LockFile(file, 0, kClaimLockHigh, 1, 0)) {
        CloseHandle(file);
        return false;
    }
    claim->handle = file;
    claim->stamp = StampOf(info);
    claim->volume = info.dwVolumeSerialNumber;
    claim->index = IndexOf(info);
    return true;
}

void ReleaseSpoolClaim(SpoolClaim* claim) {
    if (!claim->handle)
        return;
    // Closing would free the lock too, but only when the system gets to it.
    UnlockFile(claim->handle, 0, kClaimLockHigh, 1, 0);
    CloseHandle(claim->handle);
    claim->handle = nullptr;
}

ClaimedDeletion DeleteClaimedFile(const char* path, const SpoolClaim& claim) {
    // Sharing everything, so as to get past the claim itself.
    HANDLE file = CreateFileW(WideName(path).c_str(), DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return kClaimNotDeleted;
    }
    ClaimedDeletion result = kClaimNotDeleted;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        SetErrnoFromLastError();
    } else {
        FileStamp now = StampOf(info);
        bool same = info.dwVolumeSerialNumber == claim.volume && IndexOf(info) == claim.index &&
                    now.size == claim.stamp.size && now.writeTime == claim.stamp.writeTime;
        if (!same)
            result = kClaimChanged;
        else if (MarkForDeletion(file, path))
            result = kClaimDeleted;
    }
    CloseHandle(file);
    return result;
}
