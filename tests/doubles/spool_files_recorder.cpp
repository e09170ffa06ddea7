// Spooler file-times double: sizes from the real files, times from the
// test's own clock (OtherParts.fileClock and writeTimes); files not listed
// were written at its start, long before. Deletion is real, except for the
// names the test keeps (OtherParts.undeletable).
#include "app/spool_files.h"
#include "common/file_system.h"
#include "common/paths.h"
#include "recorder.h"

#include <cerrno>

bool ReadFileStamp(const char* path, FileStamp* stamp) {
    if (!PathExists(path))
        return false;
    stamp->size = FileSizeOf(path);
    std::map<std::string, long long>::const_iterator written =
        OtherParts.writeTimes.find(FileNameOf(path));
    stamp->writeTime = written != OtherParts.writeTimes.end() ? written->second : 0;
    return true;
}

long long CurrentFileTime() {
    return OtherParts.fileClock;
}

bool DeleteSpooledFile(const char* path) {
    if (OtherParts.undeletable.count(FileNameOf(path))) {
        errno = EACCES;
        return false;
    }
    return RemoveFile(path);
}
