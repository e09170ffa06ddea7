// Reading the user's own registry values (Windows build only).
#pragma once

#include <cstddef>

// keyAndValue is a key path below HKEY_CURRENT_USER, a backslash and a value
// name; it is cut at that backslash. The value is read into buf as a
// zero-terminated UTF-8 text. True only when the value was read whole.
bool ReadUserRegistryValue(char* keyAndValue, char* buf, size_t size);
