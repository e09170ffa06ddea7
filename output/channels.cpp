// The file channel and the transfer of file ranges. The spooler channel is
// the raw-job seam; the pass-through channel is escape_channel.cpp.
#include "channels.h"

#include "escape_channel.h"
#include "spooler_channel.h"
#include "transfer_buffer.h"
#include "../common/progress_report.h"
#include "../common/busy_status.h"
#include "../common/file_system.h"

#include <cstring>

OutputState Output = {nullptr, false, 0, 0, 0, false, 0};

namespace {

// A write the printer refused: the job it belongs to did not print.
bool NotedWrite(bool written) {
    if (!written)
        Output.writeFailed = true;
    return written;
}

} // namespace

bool FileChannelOpen() {
    return Output.outputStream != nullptr;
}

bool OpenOutputFile(const char* path) {
    CloseOutputFile();
    Output.outputStream = OpenStream(path, "wb");
    return Output.outputStream != nullptr;
}

bool CloseOutputFile() {
    bool closed = !Output.outputStream || std::fclose(Output.outputStream) == 0;
    Output.outputStream = nullptr;
    return closed;
}

bool WriteBytes(const void* bytes, size_t n) {
    if (n == 0)
        return true;
    bool written;
    if (Output.driverHeaderMode && EscapeJobOpen())
        written = NotedWrite(WritePassThrough(bytes, n));
    else if (Output.outputStream)
        written = std::fwrite(bytes, 1, n, Output.outputStream) == n;
    else
        written = NotedWrite(WriteRawJob(bytes, n));
    if (written)
        Output.bytesWritten += static_cast<long long>(n);
    return written;
}

bool WriteText(const char* text) {
    size_t length = std::strlen(text);
    // Texts are short; a long one still goes out in chunks the channels take.
    while (length > 0) {
        size_t n = length < kTransferChunk ? length : static_cast<size_t>(kTransferChunk);
        if (!WriteBytes(text, n))
            return false;
        text += n;
        length -= n;
    }
    return true;
}

bool SendFileRange(FILE* stream, long long offset, long long length, long long progressTotal) {
    if (!AllocateTransferBuffer())
        return false;
    if (length <= 0)
        return !std::ferror(stream) && !PumpMessages();
    if (!SeekStream(stream, offset, SEEK_SET))
        return false;
    long long remaining = length;
    bool written = true;
    while (remaining > 0) {
        if (PumpMessages())
            return false;
        size_t want = remaining < kTransferChunk ? static_cast<size_t>(remaining)
                                                 : static_cast<size_t>(kTransferChunk);
        size_t got = std::fread(TransferBuffer, 1, want, stream);
        if (got == 0)
            break;
        remaining -= static_cast<long long>(got);
        if (!WriteBytes(TransferBuffer, got)) {
            written = false;
            break;
        }
        if (progressTotal != 0) {
            offset += static_cast<long long>(got);
            ProgressPercent(static_cast<double>(offset) / static_cast<double>(progressTotal));
        }
    }
    return written && !std::ferror(stream) && !PumpMessages();
}
