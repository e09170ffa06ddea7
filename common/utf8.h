// UTF-8 and UTF-16, portable. The program holds names in UTF-8 and the Win32
// side of each seam converts them to the system's UTF-16 at the call.
//
// A Windows file name is any sequence of 16-bit units, and an unpaired
// surrogate in one is not rare (names made by programs that cut a string in
// the middle of a pair). Such a unit is kept as the three bytes UTF-8 would
// give its code point (ED A0..BF xx), so that the way back yields the very same
// name and the file can still be opened and deleted; a strict UTF-8 check
// (IsUtf8) refuses those bytes.
#pragma once

#include <cstddef>
#include <string>

// The UTF-8 form of `units` 16-bit units (unpaired surrogates kept as above)
// into `out` with its terminator. False, with `out` empty, when it does not
// fit: a name cut short would name another file.
bool Utf8FromUtf16(const char16_t* wide, size_t units, char* out, size_t size);

// The UTF-16 form of zero-terminated UTF-8 (surrogates written as above come
// back unpaired). False, with `out` empty, for bytes that are not UTF-8: an
// overlong form, a sequence cut short, a stray continuation byte, a code point
// above U+10FFFF, or a surrogate pair written as two three-byte sequences
// (which would come back as another name).
bool Utf16FromUtf8(const char* utf8, std::u16string* out);
// The same for a text that is only shown: each byte that starts no sequence
// shows as U+FFFD, and the rest of the text as it is.
std::u16string Utf16ForDisplay(const char* utf8);

// Writes the UTF-8 form of a code point (or of a lone surrogate, as above) to
// `out`, which has room for four bytes; returns the bytes written.
size_t EncodeUtf8(unsigned code, char* out);

// True when `size` bytes are strict UTF-8: no surrogates, no overlong forms.
bool IsUtf8(const char* text, size_t size);

// True when the text holds a byte above 0x7F.
bool HasNonAscii(const char* text);
