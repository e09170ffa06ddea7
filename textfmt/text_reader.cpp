#include "text_reader.h"

#include <cstring>

#include "../common/file_system.h"

namespace {

// Nothing known about the block: the next search starts afresh.
void ForgetAhead(ByteAhead* ahead) {
    ahead->from = 0;
    ahead->at = -1;
}

// The first ahead->byte at or after `from`, or the end of the block.
int FindAhead(const TextReader* reader, ByteAhead* ahead, int from) {
    if (from < ahead->from || from > ahead->at) {
        const void* found =
            memchr(reader->block + from, ahead->byte, static_cast<size_t>(reader->end - from));
        ahead->from = from;
        ahead->at =
            found ? static_cast<int>(static_cast<const char*>(found) - reader->block) : reader->end;
    }
    return ahead->at;
}

} // namespace

void StartTextReader(TextReader* reader, FILE* file) {
    reader->file = file;
    reader->blockStart = StreamPosition(file);
    if (reader->blockStart < 0)
        reader->blockStart = 0;
    reader->next = 0;
    reader->end = 0;
    reader->exhausted = false;
    reader->lineStart = 0;
    reader->feeds.byte = '\f';
    reader->tabs.byte = '\t';
    ForgetAhead(&reader->feeds);
    ForgetAhead(&reader->tabs);
}

long long TextReaderPosition(const TextReader* reader) {
    return reader->blockStart + reader->next;
}

int FillTextReader(TextReader* reader, int count) {
    int available = reader->end - reader->next;
    if (available >= count || reader->exhausted)
        return available;
    // What is left moves to the front, and the block fills up behind it.
    memmove(reader->block, reader->block + reader->next, static_cast<size_t>(available));
    reader->blockStart += reader->next;
    reader->next = 0;
    reader->end = available;
    ForgetAhead(&reader->feeds);
    ForgetAhead(&reader->tabs);
    // The file is put where the block ends first: others that share it (a
    // counting pass, the preview's drawing) may have moved it meanwhile.
    SeekStream(reader->file, reader->blockStart + reader->end, SEEK_SET);
    size_t room = static_cast<size_t>(kReadBlockSize - reader->end);
    size_t got = fread(reader->block + reader->end, 1, room, reader->file);
    reader->end += static_cast<int>(got);
    // A read error ends the text as the end of the file does; the caller
    // sees it on the stream.
    reader->exhausted = got == 0;
    return reader->end;
}

void UnreadText(TextReader* reader, int count) {
    reader->next -= count;
}

bool TakenLineHasFormFeed(TextReader* reader, int length) {
    return FindAhead(reader, &reader->feeds, reader->lineStart) < reader->lineStart + length;
}

bool TakenLineHasTab(TextReader* reader, int length) {
    return FindAhead(reader, &reader->tabs, reader->lineStart) < reader->lineStart + length;
}

int PeekText(TextReader* reader) {
    if (FillTextReader(reader, 1) < 1)
        return EOF;
    return static_cast<unsigned char>(reader->block[reader->next]);
}

void SettleTextFile(const TextReader* reader) {
    SeekStream(reader->file, TextReaderPosition(reader), SEEK_SET);
}
