// The texts are resources of the program's own module.
#include "string_table.h"

#include <windows.h>

int ReadStringTable(int id, char* buf, size_t size) {
    if (size == 0)
        return 0;
    buf[0] = '\0';
    int length =
        LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buf, static_cast<int>(size));
    return length > 0 ? length : 0;
}
