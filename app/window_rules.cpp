#include "window_rules.h"

#include "../common/bounded_text.h"

#include <cstring>

ScreenPoint CenteredPosition(int screenWidth, int screenHeight, int width, int height) {
    ScreenPoint p = {(screenWidth - width) / 2, (screenHeight - height) / 4};
    if (p.x < 0)
        p.x = 0;
    if (p.y < 0)
        p.y = 0;
    return p;
}

ScreenPoint TopRightPosition(int screenWidth, int width) {
    ScreenPoint p = {screenWidth - width, 0};
    return p;
}

bool BuildWindowTitle(char* title, size_t size, const char* base, const char* spoolerWord,
                      const char* setName) {
    bool whole = CopyText(title, size, base);
    if (spoolerWord) {
        whole = AppendText(title, size, " ") && whole;
        whole = AppendText(title, size, spoolerWord) && whole;
    }
    if (setName) {
        whole = AppendText(title, size, " - ") && whole;
        whole = AppendText(title, size, setName) && whole;
    }
    return whole;
}

bool BuildOpenFilter(const char* list, char* out, size_t size) {
    if (size < 2)
        return false;
    size_t used = 0;
    const char* entry = list;
    while (*entry) {
        const char* end = std::strchr(entry, '|');
        const char* next = end ? end + 1 : entry + std::strlen(entry);
        if (!end)
            end = next;
        const char* first = entry;
        while (first < end && *first == ' ')
            ++first;
        const char* last = end;
        while (last > first && last[-1] == ' ')
            --last;
        size_t length = static_cast<size_t>(last - first);
        // This entry, its NUL, and room for the closing empty entry.
        if (used + length + 2 > size) {
            out[0] = out[1] = '\0';
            return false;
        }
        std::memcpy(out + used, first, length);
        used += length;
        out[used++] = '\0';
        entry = next;
    }
    out[used] = '\0';
    if (used == 0)
        out[1] = '\0';
    return true;
}

int InitialFilterIndex(int enableTextPrint) {
    return enableTextPrint == 1 ? 4 : 1;
}

bool WindowsVersionSupported(bool ntFamily, int majorVersion) {
    return ntFamily || majorVersion > 3;
}

ScreenPoint ClampedPosition(int left, int top, int width, int height, int screenWidth,
                            int screenHeight) {
    ScreenPoint p = {left, top};
    if (p.x > screenWidth - width)
        p.x = screenWidth - width;
    if (p.y > screenHeight - height)
        p.y = screenHeight - height;
    if (p.x < 0)
        p.x = 0;
    if (p.y < 0)
        p.y = 0;
    return p;
}

const char* NthListedName(const char* list, int k) {
    if (k < 0)
        return nullptr;
    const char* name = list;
    for (; *name; name += std::strlen(name) + 1) {
        if (k-- == 0)
            return name;
    }
    return nullptr;
}

bool MenuItemText(const char* name, char* out, size_t size) {
    if (size == 0)
        return false;
    size_t used = 0;
    for (const char* p = name; *p; ++p) {
        size_t need = *p == '&' ? 2 : 1;
        if (used + need >= size) {
            out[used] = '\0';
            return false;
        }
        out[used++] = *p;
        if (*p == '&')
            out[used++] = '&';
    }
    out[used] = '\0';
    return true;
}
