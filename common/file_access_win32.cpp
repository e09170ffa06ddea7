// Opening files by the program's own paths on Windows.
#include "file_system.h"

#include <windows.h>

FILE* OpenStream(const char* path, const char* mode) {
    return std::fopen(path, mode);
}

bool CanOpenExclusively(const char* path) {
    // Share mode 0: fails while any other handle to the file is open.
    HANDLE file =
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}
