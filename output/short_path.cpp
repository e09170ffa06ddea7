// The short form of a program's path, for command lines that are split at
// blanks.
#include "conversion_command.h"

#include "../common/bounded_text.h"
#include "../common/paths.h"

bool ShortProgramPath(const char* program, char* out, size_t size) {
    if (!FileExists(program))
        return false;
    const char* resolved = ResolvePath(program, false);
    return resolved && CopyText(out, size, resolved);
}
