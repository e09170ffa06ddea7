// The clipboard's text in the system's ANSI code page.
#include "clipboard.h"

#include <windows.h>

#include <cstring>

bool ReadClipboardText(std::string* text) {
    text->clear();
    if (!OpenClipboard(nullptr))
        return false;
    bool read = true;
    if (IsClipboardFormatAvailable(CF_TEXT)) {
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* chars = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
        if (chars) {
            // Another program's data: trust its terminating zero only within
            // the memory it handed over.
            SIZE_T size = GlobalSize(data);
            const void* end = std::memchr(chars, '\0', size);
            text->assign(chars, end ? static_cast<const char*>(end) - chars : size);
            GlobalUnlock(data);
        } else {
            read = false;
        }
    }
    CloseClipboard();
    return read;
}
