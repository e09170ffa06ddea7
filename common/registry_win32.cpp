#include "registry.h"

#include <windows.h>

#include <cstring>

bool ReadUserRegistryValue(char* keyAndValue, char* buf, size_t size) {
    if (size == 0)
        return false;
    buf[0] = '\0';
    char* separator = strrchr(keyAndValue, '\\');
    if (!separator)
        return false;
    *separator = '\0';
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyAndValue, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD length = static_cast<DWORD>(size);
    LONG result = RegQueryValueExA(key, separator + 1, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(buf), &length);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        buf[0] = '\0';
        return false;
    }
    // A stored text need not carry its terminator.
    if (length == 0 || buf[length - 1] != '\0') {
        if (length >= size) {
            buf[0] = '\0';
            return false;
        }
        buf[length] = '\0';
    }
    return true;
}
