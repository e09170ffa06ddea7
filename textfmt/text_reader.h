// A text file read a block at a time for the line processing: a line costs a
// search in memory rather than a library call per byte (on Windows each such
// call also takes the stream's lock). Bytes handed out can be put back, so
// that a line cut at a form feed or before a UTF-8 sequence leaves the rest
// for the next line, and the reader knows the file position of its next
// byte, which is where the file would stand if it were read byte by byte.
//
// Form feeds and tabs are looked for ahead, over the block, rather than in
// every line: most lines have neither, and one long search costs far less
// than a short one for each line.
#pragma once

#include <cstdio>

enum {
    // Large enough that refills are rare next to the lines taken, small enough
    // for a reader on the stack.
    kReadBlockSize = 16 * 1024
};

// Where the next `byte` lies in the block: none in [from, at), and at is
// either that byte or the end of the block.
struct ByteAhead {
    char byte;
    int from, at;
};

struct TextReader {
    FILE* file;
    long long blockStart; // the file position of block[0]
    int next;             // the next byte to hand out
    int end;              // the bytes in block
    bool exhausted;       // the last read found nothing more
    int lineStart;        // where the line last taken begins in block
    ByteAhead feeds, tabs;
    char block[kReadBlockSize];
};

// Starts at the file's current position.
void StartTextReader(TextReader* reader, FILE* file);
// The file position of the next byte to hand out.
long long TextReaderPosition(const TextReader* reader);
// Makes at least `count` bytes (below kReadBlockSize) from the next one
// available in the block, or all that are left; the number available.
int FillTextReader(TextReader* reader, int count);
// Takes back the last `count` bytes handed out.
void UnreadText(TextReader* reader, int count);
// The line last taken starts at reader->lineStart; whether its first
// `length` bytes hold a form feed, or a tab.
bool TakenLineHasFormFeed(TextReader* reader, int length);
bool TakenLineHasTab(TextReader* reader, int length);
// The next byte without taking it, or EOF.
int PeekText(TextReader* reader);
// Puts the file itself at the reader's position, for a caller that goes on
// with the file.
void SettleTextFile(const TextReader* reader);
