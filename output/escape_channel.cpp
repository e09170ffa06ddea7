// The pass-through writer. The block's count goes in front of the data, in
// the two bytes the transfer buffer keeps beyond a chunk, so that sending a
// file allocates nothing per chunk.
#include "escape_channel.h"

#include "transfer_buffer.h"

#include <cstring>

DeviceContext EscapeDevice = nullptr;

bool EscapeJobOpen() {
    return EscapeDevice != nullptr;
}

bool WritePassThrough(const void* bytes, size_t n) {
    if (n == 0)
        return true;
    // The count is 16 bits wide; the channels never hand over more than a chunk.
    if (!EscapeDevice || n > kTransferChunk || !AllocateTransferBuffer())
        return false;
    // The data is often the transfer buffer's own chunk: memmove shifts it.
    std::memmove(TransferBuffer + 2, bytes, n);
    TransferBuffer[0] = static_cast<char>(n & 0xFF);
    TransferBuffer[1] = static_cast<char>((n >> 8) & 0xFF);
    PassThroughBlock(EscapeDevice, TransferBuffer, n + 2);
    return true;
}
