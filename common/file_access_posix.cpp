// Opening files by the program's own paths in the native build: backslashes
// become slashes, as in the rest of the POSIX file system side.
#include "file_system.h"

#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

std::string NativePath(const char* path) {
    std::string native = path;
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return native;
}

} // namespace

FILE* OpenStream(const char* path, const char* mode) {
    return std::fopen(NativePath(path).c_str(), mode);
}

// POSIX has no share modes; a file that can be opened at all is taken. The
// spooler's tests that need a held file run on the Windows side.
bool CanOpenExclusively(const char* path) {
    int fd = open(NativePath(path).c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}
