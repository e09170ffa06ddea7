#include "text_encoding.h"

#include <cstring>

#include "../common/busy_status.h"
#include "../common/utf8.h"

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Expected length of a sequence that starts with c, 0 for a byte that can
// start none (a continuation byte, C0, C1 or F5 and above).
int LeadLength(unsigned char c) {
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return 2;
    if (c >= 0xE0 && c <= 0xEF)
        return 3;
    if (c >= 0xF0 && c <= 0xF4)
        return 4;
    return 0;
}

// The second byte's range is narrower after some leads: that rules out
// overlong forms, surrogates and code points past U+10FFFF.
bool SecondByteFits(unsigned char lead, unsigned char second) {
    if (lead == 0xE0)
        return second >= 0xA0 && second <= 0xBF;
    if (lead == 0xED)
        return second >= 0x80 && second <= 0x9F;
    if (lead == 0xF0)
        return second >= 0x90 && second <= 0xBF;
    if (lead == 0xF4)
        return second >= 0x80 && second <= 0x8F;
    return IsContinuation(second);
}

// Length of the sequence at p when it is well formed, or when it is a good
// start cut off by end (then *cut is set); 0 when it is malformed.
int ValidLength(const unsigned char* p, const unsigned char* end, bool* cut) {
    *cut = false;
    int need = LeadLength(p[0]);
    if (need <= 1)
        return need;
    for (int i = 1; i < need; ++i) {
        if (p + i >= end) {
            *cut = true;
            return i;
        }
        bool fits = i == 1 ? SecondByteFits(p[0], p[1]) : IsContinuation(p[i]);
        if (!fits)
            return 0;
    }
    return need;
}

// A two-byte sequence (Latin letters, Greek, Cyrillic...) at p: its lead
// byte has no second-byte range of its own to check.
bool IsTwoByteSequence(const unsigned char* p, const unsigned char* end) {
    return p[0] >= 0xC2 && p[0] <= 0xDF && end - p >= 2 && IsContinuation(p[1]);
}

// The same for three bytes (the euro sign, box drawing, CJK...): the leads
// other than E0 and ED, which have narrower second bytes.
bool IsThreeByteSequence(const unsigned char* p, const unsigned char* end) {
    return p[0] >= 0xE1 && p[0] <= 0xEF && p[0] != 0xED && end - p >= 3 && IsContinuation(p[1]) &&
           IsContinuation(p[2]);
}

// Utf8SequenceLength. Most text is ASCII even in a UTF-8 file, and most of
// the rest two- and three-byte sequences: these are settled before the
// general checks.
int LengthAt(const unsigned char* p, const unsigned char* end) {
    if (p[0] < 0x80)
        return 1;
    if (IsTwoByteSequence(p, end))
        return 2;
    if (IsThreeByteSequence(p, end))
        return 3;
    bool cut = false;
    int length = ValidLength(p, end, &cut);
    return length == 0 || cut ? 1 : length;
}

unsigned long DecodeAt(const unsigned char* p, int length) {
    static const unsigned char kLeadMask[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    unsigned long code = p[0] & kLeadMask[length];
    for (int i = 1; i < length; ++i)
        code = (code << 6) | (p[i] & 0x3F);
    return code;
}

} // namespace

TextEncoding DetectTextEncoding(const unsigned char* bytes, size_t n, bool atEnd, int* markLength) {
    *markLength = 0;
    if (n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        *markLength = 3;
        return kEncodingUtf8;
    }
    if (HasUtf16Mark(bytes, n)) {
        *markLength = 2;
        return bytes[0] == 0xFF ? kEncodingUtf16Le : kEncodingUtf16Be;
    }
    const unsigned char* p = bytes;
    const unsigned char* end = bytes + n;
    bool multiByte = false;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        bool cut = false;
        int length = ValidLength(p, end, &cut);
        if (cut && !atEnd)
            break; // the prefix ends inside a sequence: judge what came before
        if (length == 0 || cut)
            return kEncodingAnsi;
        multiByte = true;
        p += length;
    }
    return multiByte ? kEncodingUtf8 : kEncodingAnsi;
}

TextEncoding DetectFileEncoding(FILE* file, int* markLength) {
    static unsigned char prefix[kEncodingPrefix + 1];
    rewind(file);
    size_t n = fread(prefix, 1, sizeof prefix, file);
    bool atEnd = n <= kEncodingPrefix;
    if (n > kEncodingPrefix)
        n = kEncodingPrefix;
    rewind(file);
    return DetectTextEncoding(prefix, n, atEnd, markLength);
}

int Utf8SequenceLength(const char* text, const char* end) {
    return LengthAt(reinterpret_cast<const unsigned char*>(text),
                    reinterpret_cast<const unsigned char*>(end));
}

int Utf8CharacterCount(const char* text, int length) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    int count = 0;
    for (; p < end; p += LengthAt(p, end))
        ++count;
    return count;
}

int Utf8OffsetOfCharacter(const char* text, int length, int index) {
    const unsigned char* start = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = start + length;
    const unsigned char* p = start;
    for (int i = 0; i < index && p < end; ++i)
        p += LengthAt(p, end);
    return static_cast<int>(p - start);
}

int Utf8UnfinishedTail(const char* text, int length) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = bytes + length;
    for (int back = 1; back <= 3 && back <= length; ++back) {
        const unsigned char* p = end - back;
        if (IsContinuation(*p))
            continue;
        bool cut = false;
        ValidLength(p, end, &cut);
        return cut ? back : 0;
    }
    return 0;
}

int Utf8ToUtf16(const char* text, int length, char16_t* out, int size) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    int units = 0;
    while (p < end && units < size) {
        // The common forms first, as in LengthAt.
        if (*p < 0x80) {
            out[units++] = *p++;
            continue;
        }
        if (IsTwoByteSequence(p, end)) {
            out[units++] = static_cast<char16_t>(((p[0] & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
            continue;
        }
        if (IsThreeByteSequence(p, end)) {
            out[units++] =
                static_cast<char16_t>(((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            p += 3;
            continue;
        }
        bool cut = false;
        int n = ValidLength(p, end, &cut);
        unsigned long code = kReplacementCharacter;
        if (n > 0 && !cut)
            code = DecodeAt(p, n);
        else
            n = 1;
        if (code >= 0x10000) {
            if (units + 2 > size)
                break;
            code -= 0x10000;
            out[units++] = static_cast<char16_t>(0xD800 + (code >> 10));
            out[units++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out[units++] = static_cast<char16_t>(code);
        }
        p += n;
    }
    return units;
}

namespace {

// The next UTF-16 unit, or -1 at the end; a last lone byte gives -2.
long ReadUnit(FILE* from, bool bigEndian) {
    int a = getc(from);
    if (a == EOF)
        return -1;
    int b = getc(from);
    if (b == EOF)
        return -2;
    return bigEndian ? (a << 8) | b : (b << 8) | a;
}

bool IsHighSurrogate(long unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(long unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Units copied between two looks at the message queue: often enough for the
// windows and Stop, rarely enough to cost nothing.
const long kUnitsBetweenPumps = 64 * 1024;

} // namespace

bool ConvertUtf16File(FILE* from, bool bigEndian, FILE* to) {
    char out[8];
    long units = 0;
    long unit = ReadUnit(from, bigEndian);
    while (unit != -1) {
        if (++units % kUnitsBetweenPumps == 0 && PumpMessages())
            return false;
        long next = -1;
        unsigned long code = kReplacementCharacter;
        if (unit >= 0 && IsHighSurrogate(unit)) {
            next = ReadUnit(from, bigEndian);
            if (IsLowSurrogate(next)) {
                code = 0x10000 + ((static_cast<unsigned long>(unit) - 0xD800) << 10) +
                       (static_cast<unsigned long>(next) - 0xDC00);
                next = ReadUnit(from, bigEndian);
            }
        } else {
            if (unit >= 0 && !IsLowSurrogate(unit))
                code = static_cast<unsigned long>(unit);
            next = unit == -2 ? -1 : ReadUnit(from, bigEndian);
        }
        size_t n = EncodeUtf8(static_cast<unsigned>(code), out);
        if (fwrite(out, 1, n, to) != n)
            return false;
        unit = next;
    }
    // A read error ends the units as the end of the file does; taken for
    // the end, it would print a cut document as a whole one.
    return !ferror(from) && fflush(to) == 0;
}
