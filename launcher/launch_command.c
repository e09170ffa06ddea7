/* The launcher's command building (see launch_command.h). Loops rather than
   the runtime's string functions, which the launcher does not link. */
#include "launch_command.h"

static size_t TextLength(const char* text) {
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

size_t StoredCommandLength(const char* area, size_t capacity) {
    size_t length = 0;
    while (length < capacity && area[length])
        ++length;
    return length;
}

static int IsBlank(char c) {
    return c == ' ' || c == '\t';
}

const char* LauncherArguments(const char* commandLine) {
    const char* p = commandLine;
    if (!p)
        return "";
    if (*p == '"') {
        /* A quoted program name ends at the next quote; blanks inside it are
           part of the name. */
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p)
            ++p;
    } else {
        while (*p && !IsBlank(*p))
            ++p;
    }
    while (IsBlank(*p))
        ++p;
    return p;
}

size_t JoinedCommandSize(size_t storedLength, const char* arguments) {
    size_t argumentsLength = TextLength(arguments);
    size_t fixed = storedLength + 2; /* the blank and the NUL */
    if (fixed < storedLength || argumentsLength > (size_t)-1 - fixed)
        return 0;
    return fixed + argumentsLength;
}

int JoinCommand(const char* stored, size_t storedLength, const char* arguments, char* out,
                size_t size) {
    size_t needed = JoinedCommandSize(storedLength, arguments);
    size_t i;
    if (size == 0)
        return 0;
    if (needed == 0 || needed > size) {
        out[0] = '\0';
        return 0;
    }
    for (i = 0; i < storedLength; ++i)
        out[i] = stored[i];
    out[i++] = ' ';
    while (*arguments)
        out[i++] = *arguments++;
    out[i] = '\0';
    return 1;
}
