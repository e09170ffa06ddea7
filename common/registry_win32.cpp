#include "registry.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "wide_names_win32.h"

// Through the wide calls: a folder such as the desktop may lie under a user
// name in any script, and the program's texts are UTF-8.
bool ReadUserRegistryValue(char* keyAndValue, char* buf, size_t size) {
    if (size == 0)
        return false;
    buf[0] = '\0';
    char* separator = strrchr(keyAndValue, '\\');
    if (!separator)
        return false;
    *separator = '\0';
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, WideName(keyAndValue).c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    std::wstring name = WideName(separator + 1);
    DWORD length = 0;
    LONG result = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, &length);
    // A stored text need not carry its terminator: room for one more unit.
    std::vector<WCHAR> value(length / sizeof(WCHAR) + 2, L'\0');
    length = static_cast<DWORD>((value.size() - 1) * sizeof(WCHAR));
    if (result == ERROR_SUCCESS)
        result = RegQueryValueExW(key, name.c_str(), nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(value.data()), &length);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return false;
    value[length / sizeof(WCHAR)] = L'\0';
    return NameFromWide(value.data(), buf, size);
}
