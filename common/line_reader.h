// Reading lines of files that may end lines with a bare carriage return.
#pragma once

#include <cstdio>
#include <cstddef>

// Reads the next line (up to 254 characters) and decides whether the file uses
// bare CRs; the position is restored. The answer is kept for ReadLine.
bool DetectLineEnds(FILE* file);
// Next line with its terminator, in pieces of at most 254 characters; false
// only when nothing could be read. buf holds at least 255 bytes.
bool ReadLine(char* buf, FILE* file);
