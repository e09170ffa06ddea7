// The settings file through the private-profile functions of Windows.
#include <windows.h>

#include "profile.h"

int ReadProfileValue(const char* section, const char* key, const char* defaultValue, char* buf,
                     int size, const char* file) {
    if (!buf || size <= 0)
        return 0;
    return (int)GetPrivateProfileStringA(section, key, defaultValue, buf, (DWORD)size, file);
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

int ReadSystemProfileInt(const char* section, const char* key, int defaultValue) {
    return (int)GetProfileIntA(section, key, defaultValue);
}
