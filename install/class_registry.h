// Seam: keys below the registry's classes root, where file associations live.
// class_registry_win32.cpp uses the registry; the tests link a map.
#pragma once

#include <cstddef>

// The name of the index-th key directly below the root; false past the last.
bool ClassKeyNameAt(unsigned index, char* name, size_t size);
// The default value of `key` (a path below the root); false when it has none.
bool ReadClassDefault(const char* key, char* value, size_t size);
// Creates `key` as needed and sets its default value.
bool WriteClassDefault(const char* key, const char* value);
bool DeleteClassDefault(const char* key);
// Named string values of `key`; reading is false when there is no such value.
bool ReadClassValue(const char* key, const char* name, char* value, size_t size);
bool WriteClassValue(const char* key, const char* name, const char* value);
bool DeleteClassValue(const char* key, const char* name);
// True when `key` holds anything beside its default value: named values or
// subkeys (another program's "ShellNew", "OpenWithProgids"...).
bool ClassKeyHoldsMore(const char* key);
// Deletes `key` with everything below it.
bool DeleteClassKeyTree(const char* key);
