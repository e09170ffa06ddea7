// Classification of a file to print and the scan of its document structure.
#pragma once

#include <cstdio>
#include "../common/bounded_text.h"

enum FileKind {
    Binary = 0,                // printer-ready data, sent unchanged
    Text = 1,                  // plain text, formatted by the program
    PlainPostScript = 2,       // PostScript sent unchanged
    StructuredPostScript = 3,  // DSC PostScript with known pages
    EncapsulatedPostScript = 4 // EPS with a bounding box
};

inline bool IsPostScript(int kind) {
    return kind >= PlainPostScript;
}

struct FileAnalysis {
    char path[kPathSize];
    char displayName[kPathSize];
    FILE* file;
    int kind;
    // 64-bit file positions: printer files of 2 GiB and more are common.
    long long psOffset;
    long long psLength;
    unsigned pageCount;
    long long firstPageOffset;
    double boundingBox[4]; // llx, lly, urx, ury in points
};

// Opens and classifies `path`; none when it cannot be opened (errno tells why).
FileAnalysis* AnalyzeFile(const char* path);
// Closes and frees the record, deleting the file when asked; false for none.
bool ReleaseFile(FileAnalysis* analysis, bool deleteFile);
// True when any of the first n bytes is below 9 or is ESC.
bool IsBinaryData(const unsigned char* bytes, size_t n);
