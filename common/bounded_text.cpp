#include "bounded_text.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

bool CopyText(char* dest, size_t size, const char* src) {
    if (size == 0)
        return false;
    if (!src)
        src = "";
    size_t length = strlen(src);
    bool fits = length < size;
    if (!fits)
        length = size - 1;
    memmove(dest, src, length);
    dest[length] = '\0';
    return fits;
}

bool AppendText(char* dest, size_t size, const char* src) {
    if (size == 0)
        return false;
    // A destination without a terminator inside the buffer is taken as full.
    const char* end = static_cast<const char*>(memchr(dest, '\0', size));
    if (!end) {
        dest[size - 1] = '\0';
        return false;
    }
    size_t used = static_cast<size_t>(end - dest);
    return CopyText(dest + used, size - used, src);
}

bool FormatText(char* dest, size_t size, const char* format, ...) {
    if (size == 0)
        return false;
    va_list args;
    va_start(args, format);
    int length = vsnprintf(dest, size, format, args);
    va_end(args);
    if (length < 0) {
        dest[0] = '\0';
        return false;
    }
    return static_cast<size_t>(length) < size;
}

int CompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        int ca = tolower(static_cast<unsigned char>(*a));
        int cb = tolower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0)
            return ca - cb;
    }
}

bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix) {
        if (tolower(static_cast<unsigned char>(*text)) !=
            tolower(static_cast<unsigned char>(*prefix)))
            return false;
    }
    return true;
}
