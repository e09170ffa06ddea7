// The clipboard's text: in the system's ANSI code page when that holds every
// character of it, so that such text prints byte for byte as any ANSI text
// file would, and otherwise as UTF-8 after a byte-order mark, which the text
// printer reads in its own characters.
#include "clipboard.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "../common/code_pages.h"
#include "../common/file_system.h"
#include "../common/wide_names_win32.h"

namespace {

// Another program's data: its terminating zero is trusted only within the
// memory it handed over. False when the data cannot be read.
template <typename Char> bool ReadFormat(UINT format, std::basic_string<Char>* text) {
    HANDLE data = GetClipboardData(format);
    const Char* chars = data ? static_cast<const Char*>(GlobalLock(data)) : nullptr;
    if (!chars)
        return false;
    size_t size = GlobalSize(data) / sizeof(Char);
    size_t length = 0;
    while (length < size && chars[length])
        ++length;
    text->assign(chars, length);
    GlobalUnlock(data);
    return true;
}

// The UTF-8 form of Unicode text whose characters the ANSI code page lacks;
// empty when it holds them all (or there is no Unicode text).
bool UnicodeOnlyText(std::string* utf8) {
    utf8->clear();
    std::wstring wide;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !ReadFormat(CF_UNICODETEXT, &wide))
        return false;
    std::string text = NameFromWide(wide.c_str());
    std::vector<char> ansi(text.size() + 1);
    if (text.empty() || AnsiNameOf(text.c_str(), ansi.data(), ansi.size()))
        return false;
    *utf8 = text;
    return true;
}

} // namespace

bool ReadClipboardText(std::string* text) {
    text->clear();
    if (!OpenClipboard(nullptr))
        return false;
    bool read = true;
    std::string utf8;
    if (UnicodeOnlyText(&utf8))
        *text = "\xEF\xBB\xBF" + utf8;
    else if (IsClipboardFormatAvailable(CF_TEXT))
        read = ReadFormat(CF_TEXT, text);
    CloseClipboard();
    return read;
}
