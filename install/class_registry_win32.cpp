// The classes root of the registry (see class_registry.h). The wide calls,
// with the program's UTF-8 texts: the open command and the icon name the
// installed program by a path that may hold letters of any script.
#include <windows.h>

#include <string>
#include <vector>

#include "class_registry.h"
#include "../common/wide_names_win32.h"

namespace {

// A key name read by index, in UTF-8; an empty name (and true) for one too
// long for `size`, which is no extension of ours.
bool KeyNameAt(HKEY parent, DWORD index, char* name, size_t size) {
    WCHAR wide[256];
    LONG status = RegEnumKeyW(parent, index, wide, 256);
    if (status == ERROR_MORE_DATA && size > 0) {
        name[0] = '\0';
        return true;
    }
    if (status != ERROR_SUCCESS)
        return false;
    if (!NameFromWide(wide, name, size) && size > 0)
        name[0] = '\0';
    return true;
}

// A REG_SZ value (the default value for an empty name) in UTF-8; false
// when there is none or it does not fit.
bool ReadText(HKEY handle, const char* name, char* value, size_t size) {
    if (size == 0)
        return false;
    std::wstring wideName = WideName(name);
    DWORD type = 0;
    DWORD length = 0;
    if (RegQueryValueExW(handle, wideName.c_str(), nullptr, &type, nullptr, &length) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    // The stored text need not end with its NUL: room for one more unit.
    std::vector<WCHAR> text(length / sizeof(WCHAR) + 2, L'\0');
    length = static_cast<DWORD>((text.size() - 1) * sizeof(WCHAR));
    if (RegQueryValueExW(handle, wideName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(text.data()), &length) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    text[length / sizeof(WCHAR)] = L'\0';
    return NameFromWide(text.data(), value, size);
}

bool WriteText(HKEY handle, const char* name, const char* value) {
    std::wstring wide = WideName(value);
    return RegSetValueExW(handle, WideName(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(WCHAR))) == ERROR_SUCCESS;
}

// Each subkey's own subkeys go first: the key is removed only once empty.
bool DeleteTree(HKEY parent, const std::wstring& key) {
    HKEY handle;
    if (RegOpenKeyExW(parent, key.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &handle) !=
        ERROR_SUCCESS)
        return false;
    WCHAR name[256];
    DWORD index = 0;
    while (RegEnumKeyW(handle, index, name, 256) == ERROR_SUCCESS) {
        if (!DeleteTree(handle, name))
            ++index; // passed over, so that the loop ends
    }
    RegCloseKey(handle);
    return RegDeleteKeyW(parent, key.c_str()) == ERROR_SUCCESS;
}

} // namespace

bool ClassKeyNameAt(unsigned index, char* name, size_t size) {
    return KeyNameAt(HKEY_CLASSES_ROOT, index, name, size);
}

bool ReadClassDefault(const char* key, char* value, size_t size) {
    return key[0] && ReadClassValue(key, "", value, size);
}

bool WriteClassDefault(const char* key, const char* value) {
    HKEY handle;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, WideName(key).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = WriteText(handle, "", value);
    RegCloseKey(handle);
    return ok;
}

bool DeleteClassDefault(const char* key) {
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, WideName(key).c_str(), 0, KEY_SET_VALUE, &handle) !=
        ERROR_SUCCESS)
        return false;
    bool ok = RegDeleteValueW(handle, nullptr) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}

bool ReadClassValue(const char* key, const char* name, char* value, size_t size) {
    HKEY handle;
    if (size == 0 || RegOpenKeyExW(HKEY_CLASSES_ROOT, WideName(key).c_str(), 0, KEY_QUERY_VALUE,
                                   &handle) != ERROR_SUCCESS)
        return false;
    bool ok = ReadText(handle, name, value, size);
    RegCloseKey(handle);
    return ok;
}

bool WriteClassValue(const char* key, const char* name, const char* value) {
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, WideName(key).c_str(), 0, KEY_SET_VALUE, &handle) !=
        ERROR_SUCCESS)
        return false;
    bool ok = WriteText(handle, name, value);
    RegCloseKey(handle);
    return ok;
}

bool DeleteClassValue(const char* key, const char* name) {
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, WideName(key).c_str(), 0, KEY_SET_VALUE, &handle) !=
        ERROR_SUCCESS)
        return false;
    bool ok = RegDeleteValueW(handle, WideName(name).c_str()) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}

bool ClassKeyHoldsMore(const char* key) {
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, WideName(key).c_str(), 0,
                      KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &handle) != ERROR_SUCCESS)
        return false;
    DWORD subkeys = 0;
    DWORD values = 0;
    bool more = RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                 &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
                subkeys > 0;
    for (DWORD i = 0; !more && i < values; ++i) {
        WCHAR name[256];
        DWORD length = 256;
        LONG status = RegEnumValueW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        more = status != ERROR_SUCCESS || name[0] != L'\0';
    }
    RegCloseKey(handle);
    return more;
}

bool DeleteClassKeyTree(const char* key) {
    return key[0] && DeleteTree(HKEY_CLASSES_ROOT, WideName(key));
}
