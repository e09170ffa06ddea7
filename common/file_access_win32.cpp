// Opening files by the program's own paths on Windows.
#include "file_system.h"

#include <windows.h>

#include "wide_names_win32.h"

FILE* OpenStream(const char* path, const char* mode) {
    return _wfopen(WideName(path).c_str(), WideName(mode).c_str());
}

bool CanOpenExclusively(const char* path) {
    // Share mode 0: fails while any other handle to the file is open.
    HANDLE file = CreateFileW(WideName(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}
