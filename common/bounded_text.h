// Copying and formatting into fixed-size text buffers. Every operation writes
// at most `size` bytes including the terminating zero and reports whether the
// whole text fitted, so a long name is cut (or refused by the caller), never
// written past the end of its buffer.
#pragma once

#include <cstddef>

// Buffer sizes shared by the program.
enum {
    kPathChars = 770, // paths and batch entries
    kPathSize = kPathChars + 1,
    kShortPathSize = 260,   // results of the platform's path functions
    kSettingTextSize = 255, // most texts of a settings set
    kMessageSize = 256,     // a formatted message or title
    kLoadTextSize = 1000    // the string loader's buffer
};

bool CopyText(char* dest, size_t size, const char* src);
bool AppendText(char* dest, size_t size, const char* src);
bool FormatText(char* dest, size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// Letter-case-insensitive comparison of ASCII texts (set names, qualifiers).
int CompareNoCase(const char* a, const char* b);
bool StartsWithNoCase(const char* text, const char* prefix);
