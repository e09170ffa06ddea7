// The device-escape channel: PostScript handed to the printer driver through
// its pass-through escape, behind the driver's own header.
#pragma once

#include "../textfmt/text_device.h"

#include <cstddef>

// The device context of the open pass-through job, or none.
extern DeviceContext EscapeDevice;
// A pass-through job is open: the driver-header mode's writes go to it.
bool EscapeJobOpen();

// Hands n bytes (at most one transfer chunk) to the driver as one block: a
// 16-bit count followed by the bytes, built in the transfer buffer. The
// driver's answer says nothing useful, so the write counts as done.
bool WritePassThrough(const void* bytes, size_t n);

// Seam (escape_device_win32.cpp; escape_device_none.cpp where there are no
// printer drivers): the driver's PASSTHROUGH escape.
bool SupportsPassThrough(DeviceContext dc);
void PassThroughBlock(DeviceContext dc, const void* block, size_t size);
