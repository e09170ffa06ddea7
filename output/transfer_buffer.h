// The one buffer through which all raw and PostScript output passes.
#pragma once

#include <cstddef>

enum { kTransferChunk = 51200, kTransferBufferSize = 51202 };

extern char* TransferBuffer;

bool AllocateTransferBuffer();
void FreeTransferBuffer();
