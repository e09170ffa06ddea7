// The code pages as the system has them (see code_pages.h).
#include "code_pages.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "bounded_text.h"
#include "wide_names_win32.h"

namespace {

// `utf8` in code page `codePage`. Without WC_NO_BEST_FIT_CHARS a letter the
// code page lacks may come out as a look-alike ("a" for "\u0101") and name
// another file; with it, it comes out as the default character "?". The way
// back shows whether anything was lost.
bool Narrow(UINT codePage, const char* utf8, char* out, size_t size) {
    if (size == 0)
        return false;
    out[0] = '\0';
    std::wstring wide = WideName(utf8);
    if (wide.empty())
        return utf8[0] == '\0';
    int units = static_cast<int>(wide.size()) + 1;
    BOOL lost = FALSE;
    int bytes = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.c_str(), units, out,
                                    static_cast<int>(size), "?", &lost);
    if (bytes <= 0) {
        out[0] = '\0';
        return false;
    }
    std::vector<WCHAR> back(static_cast<size_t>(units));
    return !lost && MultiByteToWideChar(codePage, 0, out, -1, back.data(), units) == units &&
           std::memcmp(wide.c_str(), back.data(), static_cast<size_t>(units) * sizeof(WCHAR)) == 0;
}

} // namespace

bool AnsiNameOf(const char* utf8, char* out, size_t size) {
    // Where the ANSI code page is UTF-8 itself, nothing is lost.
    if (GetACP() == CP_UTF8)
        return CopyText(out, size, utf8);
    return Narrow(CP_ACP, utf8, out, size);
}

std::string AnsiTextOf(const char* utf8) {
    // A character takes at most two bytes in any ANSI code page, one "?" when
    // the code page lacks it, and UTF-8 gives each at least one.
    std::vector<char> ansi(std::strlen(utf8) * 2 + 1);
    AnsiNameOf(utf8, ansi.data(), ansi.size());
    return ansi.data();
}

bool Utf8FromAnsi(const char* ansi, char* out, size_t size) {
    int units = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (units <= 0) {
        if (size > 0)
            out[0] = '\0';
        return false;
    }
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], units);
    return NameFromWide(wide.c_str(), static_cast<size_t>(units) - 1, out, size);
}

std::string Utf8OfAnsi(const char* ansi) {
    std::vector<char> utf8(std::strlen(ansi) * 3 + 1);
    return Utf8FromAnsi(ansi, utf8.data(), utf8.size()) ? utf8.data() : std::string();
}

bool OemTextOf(const char* utf8, char* out, size_t size) {
    bool exact = Narrow(CP_OEMCP, utf8, out, size);
    if (!exact && size > 0)
        out[0] = '\0';
    return exact;
}
