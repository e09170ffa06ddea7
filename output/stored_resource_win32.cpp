// The procedure sets as RCDATA resources of the program (procsets.rc).
#include "stored_resource.h"

#include <windows.h>

bool LoadStoredResource(int id, const char** data, size_t* size) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10)); // RT_RCDATA
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(nullptr, found);
    if (!loaded)
        return false;
    const void* bytes = LockResource(loaded);
    if (!bytes)
        return false;
    *data = static_cast<const char*>(bytes);
    *size = SizeofResource(nullptr, found);
    return true;
}
