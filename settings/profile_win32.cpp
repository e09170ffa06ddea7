// The settings file through the private-profile functions of Windows.
#include <windows.h>

#include <cstring>
#include <string>

#include "profile.h"
#include "../common/file_system.h"

namespace {

// The private-profile functions keep the ANSI calls (the values stay in the
// ANSI code page), so the file's name, held in UTF-8 like every name, goes to
// them in that code page; where it lacks a letter of the name, the name's
// short (8.3) form, when there is one, names the same file.
std::string AnsiFileName(const char* file) {
    if (!file)
        return "";
    std::string ansi(std::strlen(file) * 2 + 1, '\0');
    AnsiPathOf(file, &ansi[0], ansi.size());
    return ansi.c_str();
}

const char* OrNone(const std::string& name, const char* file) {
    return file ? name.c_str() : nullptr;
}

} // namespace

int ReadProfileValue(const char* section, const char* key, const char* defaultValue, char* buf,
                     int size, const char* file) {
    if (!buf || size <= 0)
        return 0;
    std::string name = AnsiFileName(file);
    return (int)GetPrivateProfileStringA(section, key, defaultValue, buf, (DWORD)size,
                                         OrNone(name, file));
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
    std::string name = AnsiFileName(file);
    return WritePrivateProfileStringA(section, key, value, OrNone(name, file)) != FALSE;
}

int ReadSystemProfileInt(const char* section, const char* key, int defaultValue) {
    return (int)GetProfileIntA(section, key, defaultValue);
}
