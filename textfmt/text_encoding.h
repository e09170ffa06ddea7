// Which character encoding a text file is in, and the UTF-8 pieces the line
// processing and drawing need: sequence lengths, character counts and the
// conversion to UTF-16 for the wide drawing calls.
#pragma once

#include <cstddef>
#include <cstdio>

enum TextEncoding {
    kEncodingAnsi,    // the ANSI (or, when translated, OEM) code page, byte by byte
    kEncodingUtf8,    // with or without a byte-order mark
    kEncodingUtf16Le, // only with a byte-order mark
    kEncodingUtf16Be
};

enum {
    kEncodingPrefix = 64 * 1024, // bytes looked at to decide
    kReplacementCharacter = 0xFFFD
};

// The encoding of a file that starts with `bytes`. atEnd: the n bytes are the
// whole file, so a sequence cut at the end is invalid rather than unfinished.
// *markLength is the length of the byte-order mark (0 when there is none).
TextEncoding DetectTextEncoding(const unsigned char* bytes, size_t n, bool atEnd, int* markLength);
// The same for an open file, from its first kEncodingPrefix bytes; the file is
// left at its start.
TextEncoding DetectFileEncoding(FILE* file, int* markLength);
// A UTF-16 byte-order mark at the start of these bytes (inline: the file
// classification uses it without the text formatter).
inline bool HasUtf16Mark(const unsigned char* bytes, size_t n) {
    return n >= 2 &&
           ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF));
}

// Bytes of the well-formed UTF-8 sequence at text (before end), or 1 for a
// byte that starts none: such a byte is one character of its own.
int Utf8SequenceLength(const char* text, const char* end);
int Utf8CharacterCount(const char* text, int length);
// Byte offset of character `index` (length when the text is shorter).
int Utf8OffsetOfCharacter(const char* text, int length, int index);
// Bytes at the end of a piece cut from a longer line that begin a sequence
// the piece does not finish: they belong to the next piece.
int Utf8UnfinishedTail(const char* text, int length);
// UTF-16 code units of the text into out (room for `size` units); malformed
// bytes become U+FFFD each. The number of units written.
int Utf8ToUtf16(const char* text, int length, char16_t* out, int size);
// Copies a UTF-16 file (after its mark) to `to` as UTF-8. Unpaired
// surrogates and a last odd byte become U+FFFD. Messages are pumped now and
// then, so a large file leaves the windows alive. False on a read or write
// error, and when a stop was requested meanwhile (StopRequested then says so).
bool ConvertUtf16File(FILE* from, bool bigEndian, FILE* to);
