// The driver's PASSTHROUGH escape on a printer device context.
#include "escape_channel.h"

#include <windows.h>

bool SupportsPassThrough(DeviceContext dc) {
    int escape = PASSTHROUGH;
    return Escape(static_cast<HDC>(dc), QUERYESCSUPPORT, sizeof escape,
                  reinterpret_cast<LPCSTR>(&escape), nullptr) > 0;
}

void PassThroughBlock(DeviceContext dc, const void* block, size_t size) {
    Escape(static_cast<HDC>(dc), PASSTHROUGH, static_cast<int>(size), static_cast<LPCSTR>(block),
           nullptr);
}
