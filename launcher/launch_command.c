/* The launcher's command building (see launch_command.h). Loops rather than
   the runtime's string functions, which the launcher does not link. */
#include "launch_command.h"

static size_t UnitsLength(const LaunchUnit* text) {
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

/* One code point from `p` (`left` bytes there): the bytes it takes, 0 when
   they are not UTF-8 (a stray or missing continuation byte, an overlong form,
   a code point beyond U+10FFFF). Surrogates are taken as code points. */
static size_t DecodeOne(const unsigned char* p, size_t left, unsigned long* code) {
    size_t length, i;
    unsigned long value, least;
    if (p[0] < 0x80) {
        *code = p[0];
        return 1;
    }
    if (p[0] >= 0xC2 && p[0] <= 0xDF) {
        length = 2, value = p[0] & 0x1F, least = 0x80;
    } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
        length = 3, value = p[0] & 0x0F, least = 0x800;
    } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
        length = 4, value = p[0] & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (p[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF)
        return 0;
    *code = value;
    return length;
}

int DecodeStoredCommand(const char* stored, size_t length, LaunchUnit* out, size_t size,
                        size_t* units) {
    const unsigned char* p = (const unsigned char*)stored;
    size_t n = 0;
    *units = 0;
    if (size == 0)
        return 0;
    while (length > 0) {
        unsigned long code;
        size_t taken = DecodeOne(p, length, &code);
        size_t needed = code >= 0x10000 ? 2 : 1;
        if (taken == 0 || n + needed >= size) {
            out[0] = 0;
            return 0;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out[n++] = (LaunchUnit)(0xD800 + (code >> 10));
            out[n++] = (LaunchUnit)(0xDC00 + (code & 0x3FF));
        } else {
            out[n++] = (LaunchUnit)code;
        }
        p += taken;
        length -= taken;
    }
    out[n] = 0;
    *units = n;
    return 1;
}

static int IsBlank(LaunchUnit c) {
    return c == ' ' || c == '\t';
}

const LaunchUnit* LauncherArguments(const LaunchUnit* commandLine) {
    static const LaunchUnit none[1] = {0};
    const LaunchUnit* p = commandLine;
    if (!p)
        return none;
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

size_t JoinedCommandSize(size_t storedUnits, const LaunchUnit* arguments) {
    size_t argumentsLength = UnitsLength(arguments);
    size_t fixed = storedUnits + 2; /* the blank and the NUL */
    if (fixed < storedUnits || argumentsLength > (size_t)-1 - fixed)
        return 0;
    return fixed + argumentsLength;
}

int JoinCommand(const LaunchUnit* stored, size_t storedUnits, const LaunchUnit* arguments,
                LaunchUnit* out, size_t size) {
    size_t needed = JoinedCommandSize(storedUnits, arguments);
    size_t i;
    if (size == 0)
        return 0;
    if (needed == 0 || needed > size) {
        out[0] = 0;
        return 0;
    }
    for (i = 0; i < storedUnits; ++i)
        out[i] = stored[i];
    out[i++] = ' ';
    while (*arguments)
        out[i++] = *arguments++;
    out[i] = 0;
    return 1;
}
