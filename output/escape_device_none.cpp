// Where there are no printer drivers there is no pass-through escape: a job
// that needs one cannot start.
#include "escape_channel.h"

bool SupportsPassThrough(DeviceContext) {
    return false;
}

void PassThroughBlock(DeviceContext, const void*, size_t) {}
