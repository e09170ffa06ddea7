// File times for the spooler, on the file system's own clock: file times and
// the system time are both kept in UTC, so a writer's time zone cannot make a
// fresh file look old.
#include "spool_files.h"

#include <windows.h>

#include "../common/file_system.h"

namespace {

long long Milliseconds(FILETIME time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<long long>(value.QuadPart / 10000);
}

} // namespace

bool ReadFileStamp(const char* path, FileStamp* stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
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

bool DeleteSpooledFile(const char* path) {
    return RemoveFile(path);
}
