// The program part of a command line, found the way CreateProcess finds it.
#include "process.h"

#include "../common/bounded_text.h"
#include "../common/paths.h"

#include <cstring>

bool ProgramOfCommand(const char* command, char* out, size_t size) {
    const char* end;
    if (command[0] == '"') {
        ++command;
        end = std::strchr(command, '"');
    } else {
        end = std::strchr(command, ' ');
    }
    size_t length = end ? static_cast<size_t>(end - command) : std::strlen(command);
    if (length >= size)
        return false;
    std::memcpy(out, command, length);
    out[length] = '\0';
    return true;
}

bool ProgramDirectoryOf(const char* command, char* out, size_t size) {
    char program[kPathSize];
    if (!ProgramOfCommand(command, program, sizeof program)) {
        if (size > 0)
            out[0] = '\0';
        return false;
    }
    return CopyText(out, size, PathComponents(program, "drive,dir"));
}
