#include "wide_names_win32.h"

#include <cstring>
#include <cwchar>
#include <vector>

#include "code_pages.h"
#include "utf8.h"

static_assert(sizeof(WCHAR) == sizeof(char16_t), "UTF-16 units");

std::wstring WideName(const char* name) {
    std::u16string units;
    if (!Utf16FromUtf8(name, &units))
        return std::wstring();
    return std::wstring(units.begin(), units.end());
}

std::wstring WideText(const char* text) {
    std::u16string units = Utf16ForDisplay(text);
    return std::wstring(units.begin(), units.end());
}

bool NameFromWide(const WCHAR* wide, size_t units, char* out, size_t size) {
    return Utf8FromUtf16(reinterpret_cast<const char16_t*>(wide), units, out, size);
}

bool NameFromWide(const WCHAR* wide, char* out, size_t size) {
    return NameFromWide(wide, std::wcslen(wide), out, size);
}

std::string NameFromWide(const WCHAR* wide) {
    size_t units = std::wcslen(wide);
    std::string name(units * 3 + 1, '\0');
    if (!NameFromWide(wide, units, &name[0], name.size()))
        return std::string();
    name.resize(std::strlen(name.c_str()));
    return name;
}

std::wstring WideNameList(const char* list) {
    std::wstring wide;
    for (const char* text = list; *text; text += std::strlen(text) + 1) {
        wide += WideName(text);
        wide += L'\0';
    }
    wide += L'\0';
    return wide;
}

bool NameListFromWide(const WCHAR* list, char* out, size_t size) {
    size_t used = 0;
    for (const WCHAR* text = list; *text; text += std::wcslen(text) + 1) {
        if (used >= size || !NameFromWide(text, out + used, size - used)) {
            if (size > 0)
                out[0] = '\0';
            return false;
        }
        used += std::strlen(out + used) + 1;
    }
    if (used >= size) {
        if (size > 0)
            out[0] = '\0';
        return false;
    }
    out[used] = '\0';
    return true;
}

void SetWindowName(HWND window, const char* text) {
    std::vector<char> ansi(std::strlen(text) * 2 + 1);
    if (AnsiNameOf(text, ansi.data(), ansi.size())) {
        SetWindowTextA(window, ansi.data());
    } else {
        std::wstring wide = WideText(text);
        DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        InvalidateRect(window, nullptr, TRUE);
    }
}

bool WindowNameOf(HWND window, char* out, size_t size) {
    int length = GetWindowTextLengthW(window);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    int got = GetWindowTextW(window, &wide[0], length + 1);
    return NameFromWide(wide.c_str(), static_cast<size_t>(got > 0 ? got : 0), out, size);
}

void SetFieldName(HWND field, const char* text) {
    SetWindowTextW(field, WideName(text).c_str());
}
