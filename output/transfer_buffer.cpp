// The transfer buffer: allocated once at start-up so that sending a file
// allocates nothing per chunk. Two bytes beyond a chunk leave room for the
// 16-bit count of a driver pass-through block.
#include "transfer_buffer.h"

#include <cstdlib>

char* TransferBuffer = nullptr;

bool AllocateTransferBuffer() {
    if (!TransferBuffer)
        TransferBuffer = static_cast<char*>(std::malloc(kTransferBufferSize));
    return TransferBuffer != nullptr;
}

void FreeTransferBuffer() {
    std::free(TransferBuffer);
    TransferBuffer = nullptr;
}
