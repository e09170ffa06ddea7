#include "line_reader.h"

#include <cstring>

// One line piece is at most this many characters; buffers hold one more.
enum { kLinePiece = 254 };

// Set by the last DetectLineEnds: lines end with a bare CR.
static bool bareCarriageReturns = false;

bool DetectLineEnds(FILE* file) {
    long start = ftell(file);
    char line[kLinePiece + 1];
    bareCarriageReturns = false;
    if (fgets(line, sizeof line, file)) {
        const char* cr = strchr(line, '\r');
        if (cr) {
            int next = static_cast<unsigned char>(cr[1]);
            // A CR that fills the last place of a full piece: its LF, if any,
            // is still in the file.
            if (next == '\0')
                next = getc(file);
            bareCarriageReturns = next != '\n';
        }
    }
    clearerr(file);
    if (start >= 0)
        fseek(file, start, SEEK_SET);
    return bareCarriageReturns;
}

bool ReadLine(char* buf, FILE* file) {
    if (!bareCarriageReturns)
        return fgets(buf, kLinePiece + 1, file) != nullptr;
    int length = 0;
    while (length < kLinePiece) {
        int c = getc(file); // an int, so that byte 255 is not taken for the end
        if (c == EOF)
            break;
        buf[length++] = static_cast<char>(c);
        if (c == '\r')
            break;
    }
    buf[length] = '\0';
    return length > 0;
}
