// Classification of a file to print and the scan of its document structure.
// A non-PostScript file costs one read of the first bytes; a PostScript file
// is read line by line through a buffer of its own, so a document of
// thousands of pages is scanned at the speed of the disk and in fixed memory.
#include "file_analysis.h"

#include "../common/busy_status.h"
#include "../common/file_system.h"
#include "../common/line_reader.h"
#include "../common/messages.h"
#include "../settings/settings.h"
#include "../textfmt/text_encoding.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Bytes read from the start of the PostScript code; the last byte read is
// not looked at, so the examined window of a long file is 254 bytes.
const size_t kWindowBytes = 255;
// Lines are taken in pieces of at most this many bytes, as the line reader
// returns them, so that a comment is recognised at the same places.
const size_t kLinePiece = 254;
const size_t kScanBufferBytes = 64 * 1024;
// The end-of-job character looked for at the end of the code.
const size_t kTailBytes = 20;

unsigned long ReadLittleEndian32(const unsigned char* bytes) {
    return static_cast<unsigned long>(bytes[0]) | static_cast<unsigned long>(bytes[1]) << 8 |
           static_cast<unsigned long>(bytes[2]) << 16 | static_cast<unsigned long>(bytes[3]) << 24;
}

long long StreamSize(FILE* file) {
    if (!SeekStream(file, 0, SEEK_END))
        return 0;
    long long size = StreamPosition(file);
    std::rewind(file);
    return size < 0 ? 0 : size;
}

// The binary header of an encapsulated PostScript file names where its
// PostScript code lies. Offsets are held to the file: a damaged header must
// not make the output read past the end or send the header's binary parts.
void ReadBinaryHeader(FileAnalysis* analysis, long long fileSize) {
    analysis->psOffset = 0;
    analysis->psLength = fileSize;
    unsigned char header[12];
    // A header cut short names nothing: the file is taken as it stands.
    if (std::fread(header, 1, sizeof header, analysis->file) != sizeof header)
        return;
    static const unsigned char kSignature[4] = {0xC5, 0xD0, 0xD3, 0xC6};
    if (std::memcmp(header, kSignature, sizeof kSignature) != 0)
        return;
    long long offset = static_cast<long long>(ReadLittleEndian32(header + 4));
    long long length = static_cast<long long>(ReadLittleEndian32(header + 8));
    if (offset > fileSize)
        offset = fileSize;
    if (length > fileSize - offset)
        length = fileSize - offset;
    analysis->psOffset = offset;
    analysis->psLength = length;
}

// Whether a piece of a line begins with a comment, compared from its first byte.
template <size_t N> bool StartsWith(const char* piece, size_t size, const char (&prefix)[N]) {
    return size >= N - 1 && std::memcmp(piece, prefix, N - 1) == 0;
}

// Reads the lines of a stream in the pieces the line reader would return,
// from a buffer of fixed size. A read error ends the lines like an end of
// file and stays in the stream's error state.
struct LineScanner {
    FILE* file;
    char* buffer;
    size_t held;    // bytes in the buffer
    size_t next;    // index of the next piece
    long long base; // file offset of buffer[0]
    bool drained;   // the stream has nothing more
    char terminator;
};

bool StartScanner(LineScanner* scanner, FILE* file, long long offset, bool bareCarriageReturns) {
    scanner->file = file;
    scanner->buffer = static_cast<char*>(std::malloc(kScanBufferBytes));
    scanner->held = 0;
    scanner->next = 0;
    scanner->base = offset;
    scanner->drained = !SeekStream(file, offset, SEEK_SET);
    scanner->terminator = bareCarriageReturns ? '\r' : '\n';
    return scanner->buffer != nullptr;
}

void StopScanner(LineScanner* scanner) {
    std::free(scanner->buffer);
    scanner->buffer = nullptr;
}

long long ScannerPosition(const LineScanner* scanner) {
    return scanner->base + static_cast<long long>(scanner->next);
}

void Refill(LineScanner* scanner) {
    size_t rest = scanner->held - scanner->next;
    std::memmove(scanner->buffer, scanner->buffer + scanner->next, rest);
    scanner->base += static_cast<long long>(scanner->next);
    scanner->held = rest;
    scanner->next = 0;
    while (scanner->held < kScanBufferBytes && !scanner->drained) {
        size_t got = std::fread(scanner->buffer + scanner->held, 1,
                                kScanBufferBytes - scanner->held, scanner->file);
        if (got == 0)
            scanner->drained = true;
        scanner->held += got;
    }
}

// The next piece: up to and including the terminator, at most kLinePiece bytes.
bool NextPiece(LineScanner* scanner, const char** piece, size_t* size) {
    if (scanner->held - scanner->next < kLinePiece && !scanner->drained)
        Refill(scanner);
    size_t available = scanner->held - scanner->next;
    if (available == 0)
        return false;
    size_t limit = available < kLinePiece ? available : kLinePiece;
    const char* start = scanner->buffer + scanner->next;
    const char* end = static_cast<const char*>(std::memchr(start, scanner->terminator, limit));
    *size = end ? static_cast<size_t>(end - start) + 1 : limit;
    *piece = start;
    scanner->next += *size;
    return true;
}

// A piece as a text, cut at a NUL byte as every text search is.
void PieceText(const char* piece, size_t size, char* text) {
    std::memcpy(text, piece, size);
    text[size] = '\0';
}

const char* AfterColon(const char* text) {
    const char* colon = std::strchr(text, ':');
    return colon ? colon + 1 : text + std::strlen(text);
}

// The box of an encapsulated picture. A box deferred with "(atend)" is taken
// from the last complete box line of the code.
void ScanBoundingBox(FileAnalysis* analysis, bool bareCarriageReturns) {
    LineScanner scanner;
    if (!StartScanner(&scanner, analysis->file, analysis->psOffset, bareCarriageReturns)) {
        StopScanner(&scanner);
        return;
    }
    long long end = analysis->psOffset + analysis->psLength;
    bool deferred = false;
    const char* piece;
    size_t size;
    while (ScannerPosition(&scanner) < end && NextPiece(&scanner, &piece, &size)) {
        if (!StartsWith(piece, size, "%%BoundingBox:"))
            continue;
        char text[kLinePiece + 1];
        PieceText(piece, size, text);
        double box[4];
        int read =
            std::sscanf(AfterColon(text), "%lf %lf %lf %lf", &box[0], &box[1], &box[2], &box[3]);
        bool finite = read == 4 && std::isfinite(box[0]) && std::isfinite(box[1]) &&
                      std::isfinite(box[2]) && std::isfinite(box[3]);
        if (finite) {
            std::memcpy(analysis->boundingBox, box, sizeof box);
            analysis->kind = EncapsulatedPostScript;
            if (!deferred)
                break;
        } else if (std::strstr(text, "(atend)")) {
            deferred = true;
        } else {
            break;
        }
    }
    StopScanner(&scanner);
}

// A declared count above this is taken for damage, not for a document: the
// printer dialog numbers pages with 16 bits, and the page index and the file
// information would otherwise work with a count the file cannot hold.
const unsigned kMaxDeclaredPages = 65535;

enum DeclaredPages { kPageCountGiven, kPageCountBlank, kNoPageCount };

// What the text after "%%Pages:" declares. Blanks alone declare the count
// without changing it. A negative or absurd number is no usable count: the
// page comments are counted as if the line were not there.
DeclaredPages ReadDeclaredPages(const char* text, unsigned* count) {
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    if (*text == '\0')
        return kPageCountBlank;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    if (!std::isdigit(static_cast<unsigned char>(*text)))
        return kNoPageCount;
    unsigned long value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
        value = value * 10 + static_cast<unsigned long>(*text - '0');
        if (value > kMaxDeclaredPages)
            return kNoPageCount;
    }
    if (negative && value != 0)
        return kNoPageCount;
    *count = static_cast<unsigned>(value);
    return kPageCountGiven;
}

// Counts the pages. A count declared in the header ends the scan at the first
// page; a deferred count makes the scan run to the end of the code. Behind a
// binary header the code ends before the file does, and what follows it (a
// preview image) holds no pages.
void ScanPages(FileAnalysis* analysis, bool bareCarriageReturns) {
    LineScanner scanner;
    if (!StartScanner(&scanner, analysis->file, analysis->psOffset, bareCarriageReturns)) {
        StopScanner(&scanner);
        return;
    }
    bool pagesKnown = false;
    bool firstPageSeen = false;
    bool atend = false;
    unsigned pageCount = 0;
    const char* piece;
    size_t size;
    long long end = analysis->psOffset + analysis->psLength;
    while (!(pagesKnown && firstPageSeen)) {
        long long start = ScannerPosition(&scanner);
        if (start >= end || !NextPiece(&scanner, &piece, &size))
            break;
        if (size < 7 || piece[0] != '%' || piece[1] != '%')
            continue;
        if (!pagesKnown && StartsWith(piece, size, "%%Pages:")) {
            char text[kLinePiece + 1];
            PieceText(piece, size, text);
            DeclaredPages declared = ReadDeclaredPages(AfterColon(text), &pageCount);
            if (declared != kNoPageCount) {
                if (!atend)
                    pagesKnown = true;
            } else if (std::strstr(text, "(atend)")) {
                atend = true;
            }
            continue;
        }
        if (StartsWith(piece, size, "%%Page:")) {
            if (!firstPageSeen) {
                analysis->firstPageOffset = start;
                firstPageSeen = true;
            }
            if (!pagesKnown)
                ++pageCount;
        }
    }
    StopScanner(&scanner);
    if (pageCount != 0 && firstPageSeen) {
        analysis->pageCount = pageCount;
        analysis->kind = StructuredPostScript;
    } else {
        analysis->firstPageOffset = 0;
    }
}

// A Ctrl-D that ends the code would end the printer's job in the middle of
// the composed one; the code is cut just before it.
void TrimEndOfJob(FileAnalysis* analysis) {
    long long end = analysis->psOffset + analysis->psLength;
    long long tailBytes = static_cast<long long>(kTailBytes);
    long long from = analysis->psLength > tailBytes ? end - tailBytes : analysis->psOffset;
    char tail[kTailBytes];
    if (!SeekStream(analysis->file, from, SEEK_SET))
        return;
    size_t got = std::fread(tail, 1, static_cast<size_t>(end - from), analysis->file);
    for (size_t i = 0; i < got && tail[i] != '\0'; ++i) {
        if (tail[i] == '\x04') {
            analysis->psLength = from + static_cast<long long>(i) - analysis->psOffset;
            return;
        }
    }
}

void Classify(FileAnalysis* analysis) {
    unsigned char window[kWindowBytes];
    if (!SeekStream(analysis->file, analysis->psOffset, SEEK_SET))
        return;
    size_t read = std::fread(window, 1, kWindowBytes, analysis->file);
    if (read == 0)
        return;
    size_t examined = read - 1;
    window[examined] = '\0';
    const char* text = reinterpret_cast<const char*>(window);
    const char* start = std::strstr(text, "%!");
    if (!start) {
        bool textPrint = CurrentSettings.EnableTextPrint != 0;
        // UTF-16 text is full of zero bytes; its byte-order mark tells it from
        // printer data.
        bool readable = HasUtf16Mark(window, read) || !IsBinaryData(window, examined);
        analysis->kind = textPrint && readable ? Text : Binary;
        return;
    }
    analysis->kind = PlainPostScript;
    if (analysis->psOffset == 0) {
        // Whatever precedes "%!" (a job header, a stray Ctrl-D) is never sent.
        long long skip = static_cast<long long>(start - text);
        analysis->psOffset = skip;
        analysis->psLength = analysis->psLength > skip ? analysis->psLength - skip : 0;
    }
    if (!std::strstr(text, "%!PS-Adobe"))
        return;
    ShowStatus(LoadText(kTextStatusCheckingPs));
    SeekStream(analysis->file, analysis->psOffset, SEEK_SET);
    bool bareCarriageReturns = DetectLineEnds(analysis->file);
    if (std::strstr(text, "EPSF-")) {
        ScanBoundingBox(analysis, bareCarriageReturns);
    } else if (!std::strstr(text, "%%Creator: Ravlen")) {
        // The program's own output is sent as it stands, never wrapped twice.
        ShowStatus(LoadText(kTextStatusCounting));
        ScanPages(analysis, bareCarriageReturns);
    }
    if (analysis->kind == StructuredPostScript || analysis->kind == EncapsulatedPostScript)
        TrimEndOfJob(analysis);
}

} // namespace

FileAnalysis* AnalyzeFile(const char* path) {
    FileAnalysis* analysis = static_cast<FileAnalysis*>(std::calloc(1, sizeof(FileAnalysis)));
    if (!analysis) {
        errno = ENOMEM;
        return nullptr;
    }
    if (!CopyText(analysis->path, sizeof analysis->path, path)) {
        std::free(analysis);
        errno = ENAMETOOLONG;
        return nullptr;
    }
    CopyText(analysis->displayName, sizeof analysis->displayName, path);
    analysis->kind = Binary;
    analysis->file = OpenStream(path, "rb");
    if (!analysis->file) {
        int error = errno;
        std::free(analysis);
        errno = error;
        return nullptr;
    }
    ReadBinaryHeader(analysis, StreamSize(analysis->file));
    analysis->pageCount = 0;
    analysis->firstPageOffset = 0;
    Classify(analysis);
    return analysis;
}

bool ReleaseFile(FileAnalysis* analysis, bool deleteFile) {
    if (!analysis)
        return false;
    if (analysis->file)
        std::fclose(analysis->file);
    if (deleteFile)
        RemoveFile(analysis->path);
    std::free(analysis);
    return true;
}

bool IsBinaryData(const unsigned char* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (bytes[i] < 9 || bytes[i] == 27)
            return true;
    }
    return false;
}
