// The native build's code pages (see code_pages.h): Latin-1 stands in for
// the ANSI code page and code page 437 for the OEM one.
#include "code_pages.h"

#include <cstring>
#include <vector>

#include "utf8.h"

namespace {

// The code points of code page 437's bytes 0x80 to 0xFF.
const unsigned short kOem437[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0, // F8
};

// The next code point of `p` (advanced past it); 0 after a byte that starts
// no complete sequence, which the callers take as a character they lack.
unsigned long NextCode(const unsigned char** p) {
    unsigned long code = *(*p)++;
    if (code < 0x80)
        return code;
    // A stray continuation byte counts as a sequence cut short.
    int more = code >= 0xF0 ? 3 : code >= 0xE0 ? 2 : code >= 0xC0 ? 1 : -1;
    code = more < 0 ? 0 : code & (0x3F >> more);
    for (; more > 0 && (**p & 0xC0) == 0x80; --more)
        code = (code << 6) | (*(*p)++ & 0x3F);
    return more == 0 ? code : 0;
}

// `utf8` in a single-byte code page whose byte for a code point `byteOf`
// gives (0 when it has none).
template <typename ByteOf>
bool Narrow(const char* utf8, char* out, size_t size, ByteOf byteOf, bool emptyOnLoss) {
    if (size == 0)
        return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    bool exact = true;
    size_t n = 0;
    while (*p) {
        unsigned long code = NextCode(&p);
        unsigned char byte =
            code < 0x80 && code != 0 ? static_cast<unsigned char>(code) : byteOf(code);
        if (byte == 0) {
            byte = '?';
            exact = false;
        }
        if (n + 1 >= size) {
            out[0] = '\0';
            return false;
        }
        out[n++] = static_cast<char>(byte);
    }
    out[n] = '\0';
    if (!exact && emptyOnLoss)
        out[0] = '\0';
    return exact;
}

unsigned char Latin1Byte(unsigned long code) {
    return code >= 0xA0 && code <= 0xFF ? static_cast<unsigned char>(code) : 0;
}

unsigned char Oem437Byte(unsigned long code) {
    for (unsigned i = 0; i < 128; ++i)
        if (code != 0 && kOem437[i] == code)
            return static_cast<unsigned char>(0x80 + i);
    return 0;
}

} // namespace

bool AnsiNameOf(const char* utf8, char* out, size_t size) {
    return Narrow(utf8, out, size, Latin1Byte, false);
}

std::string AnsiTextOf(const char* utf8) {
    std::vector<char> ansi(std::strlen(utf8) + 1);
    AnsiNameOf(utf8, ansi.data(), ansi.size());
    return ansi.data();
}

bool Utf8FromAnsi(const char* ansi, char* out, size_t size) {
    if (size == 0)
        return false;
    size_t n = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(ansi); *p; ++p) {
        char bytes[4];
        size_t length = EncodeUtf8(*p, bytes);
        if (n + length >= size) {
            out[0] = '\0';
            return false;
        }
        std::memcpy(out + n, bytes, length);
        n += length;
    }
    out[n] = '\0';
    return true;
}

std::string Utf8OfAnsi(const char* ansi) {
    std::vector<char> utf8(std::strlen(ansi) * 2 + 1);
    return Utf8FromAnsi(ansi, utf8.data(), utf8.size()) ? utf8.data() : std::string();
}

bool OemTextOf(const char* utf8, char* out, size_t size) {
    return Narrow(utf8, out, size, Oem437Byte, true);
}
