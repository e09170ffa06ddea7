#include "text_utils.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

// Callers hand in buffers of this size; a longer result would run past them.
enum { kReplaceBufferSize = 260 };

bool ReplaceFirst(char* text, const char* token, const char* replacement) {
    if (!token[0])
        return false;
    char* found = strstr(text, token);
    if (!found)
        return false;
    size_t before = static_cast<size_t>(found - text);
    size_t tokenLength = strlen(token);
    size_t replacementLength = strlen(replacement);
    size_t after = strlen(found + tokenLength);
    if (before + replacementLength + after >= kReplaceBufferSize)
        return false;
    char result[kReplaceBufferSize];
    memcpy(result, text, before);
    memcpy(result + before, replacement, replacementLength);
    memcpy(result + before + replacementLength, found + tokenLength, after + 1);
    memcpy(text, result, before + replacementLength + after + 1);
    return true;
}

void SplitAtSeparator(char* text, char separator) {
    if (separator == '\0')
        return;
    for (char* p = text; *p; ++p) {
        if (*p == separator)
            *p = '\0';
    }
}

void UpperCase(char* text) {
    for (char* p = text; *p; ++p)
        *p = static_cast<char>(toupper(static_cast<unsigned char>(*p)));
}

char* DuplicateText(const char* text) {
    if (!text)
        return nullptr;
    size_t size = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy)
        memcpy(copy, text, size);
    return copy;
}
