// The classes root of the registry (see class_registry.h).
#include <windows.h>

#include "class_registry.h"

bool ClassKeyNameAt(unsigned index, char* name, size_t size) {
    LONG status = RegEnumKeyA(HKEY_CLASSES_ROOT, index, name, static_cast<DWORD>(size));
    if (status == ERROR_MORE_DATA && size > 0) {
        // A name too long for the buffer is no extension of ours; the scan
        // goes on past it rather than stopping there.
        name[0] = '\0';
        return true;
    }
    return status == ERROR_SUCCESS;
}

bool ReadClassDefault(const char* key, char* value, size_t size) {
    LONG length = static_cast<LONG>(size);
    return key[0] && RegQueryValueA(HKEY_CLASSES_ROOT, key, value, &length) == ERROR_SUCCESS;
}

bool WriteClassDefault(const char* key, const char* value) {
    return RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, value,
                        static_cast<DWORD>(lstrlenA(value))) == ERROR_SUCCESS;
}

bool DeleteClassDefault(const char* key) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    bool ok = RegDeleteValueA(handle, nullptr) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}

bool ReadClassValue(const char* key, const char* name, char* value, size_t size) {
    HKEY handle;
    if (size == 0 ||
        RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD length = static_cast<DWORD>(size - 1);
    bool ok = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(value),
                               &length) == ERROR_SUCCESS &&
              type == REG_SZ;
    RegCloseKey(handle);
    // The stored text need not end with its NUL; length is below size.
    if (ok)
        value[length] = '\0';
    return ok;
}

bool WriteClassValue(const char* key, const char* name, const char* value) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                             static_cast<DWORD>(lstrlenA(value) + 1)) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}

bool DeleteClassValue(const char* key, const char* name) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    bool ok = RegDeleteValueA(handle, name) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}

bool ClassKeyHoldsMore(const char* key) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                      &handle) != ERROR_SUCCESS)
        return false;
    DWORD subkeys = 0;
    DWORD values = 0;
    bool more = RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                 &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
                subkeys > 0;
    for (DWORD i = 0; !more && i < values; ++i) {
        char name[256];
        DWORD length = sizeof name;
        LONG status = RegEnumValueA(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        more = status != ERROR_SUCCESS || name[0] != '\0';
    }
    RegCloseKey(handle);
    return more;
}

// Each subkey's own subkeys go first: the key is removed only once empty.
static bool DeleteTree(HKEY parent, const char* key) {
    HKEY handle;
    if (RegOpenKeyExA(parent, key, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &handle) !=
        ERROR_SUCCESS)
        return false;
    char name[256];
    DWORD index = 0;
    while (RegEnumKeyA(handle, index, name, sizeof name) == ERROR_SUCCESS) {
        if (!DeleteTree(handle, name))
            ++index; // passed over, so that the loop ends
    }
    RegCloseKey(handle);
    return RegDeleteKeyA(parent, key) == ERROR_SUCCESS;
}

bool DeleteClassKeyTree(const char* key) {
    return key[0] && DeleteTree(HKEY_CLASSES_ROOT, key);
}
