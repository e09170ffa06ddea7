#include "utf8.h"

namespace {

bool IsHighSurrogate(unsigned code) {
    return code >= 0xD800 && code <= 0xDBFF;
}

bool IsLowSurrogate(unsigned code) {
    return code >= 0xDC00 && code <= 0xDFFF;
}

// One code point from `p` (at most `left` bytes). Returns the number of bytes
// taken, 0 when they are not UTF-8. Surrogates are accepted only when
// `surrogates` is set.
size_t DecodeOne(const unsigned char* p, size_t left, bool surrogates, unsigned* code) {
    unsigned lead = p[0];
    if (lead < 0x80) {
        *code = lead;
        return 1;
    }
    size_t length;
    unsigned value;
    unsigned least;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        least = 0x10000;
    } else {
        return 0; // continuation byte, overlong lead, or beyond U+10FFFF
    }
    if (left < length)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (p[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF)
        return 0;
    if (!surrogates && value >= 0xD800 && value <= 0xDFFF)
        return 0;
    *code = value;
    return length;
}

size_t EncodedLength(unsigned code) {
    return code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
}

} // namespace

size_t EncodeUtf8(unsigned code, char* out) {
    size_t length = EncodedLength(code);
    if (length == 1) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    static const unsigned char kLeads[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (size_t i = length - 1; i > 0; --i) {
        out[i] = static_cast<char>(0x80 | (code & 0x3F));
        code >>= 6;
    }
    out[0] = static_cast<char>(kLeads[length] | code);
    return length;
}

bool Utf8FromUtf16(const char16_t* wide, size_t units, char* out, size_t size) {
    if (size == 0)
        return false;
    size_t n = 0;
    for (size_t i = 0; i < units; ++i) {
        unsigned code = wide[i];
        if (IsHighSurrogate(code) && i + 1 < units && IsLowSurrogate(wide[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (wide[i + 1] - 0xDC00u);
            ++i;
        }
        size_t length = EncodedLength(code);
        if (n + length >= size) {
            out[0] = '\0';
            return false;
        }
        EncodeUtf8(code, out + n);
        n += length;
    }
    out[n] = '\0';
    return true;
}

bool Utf16FromUtf8(const char* utf8, std::u16string* out) {
    out->clear();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    size_t left = 0;
    while (p[left])
        ++left;
    bool afterHigh = false; // the last unit was a high surrogate written alone
    while (left > 0) {
        unsigned code;
        size_t taken = DecodeOne(p, left, true, &code);
        // A high then a low surrogate, each on its own, would come back as a
        // pair: one character, not the two units the name was made of.
        if (taken == 0 || (afterHigh && IsLowSurrogate(code))) {
            out->clear();
            return false;
        }
        afterHigh = IsHighSurrogate(code);
        if (code >= 0x10000) {
            code -= 0x10000;
            out->push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out->push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out->push_back(static_cast<char16_t>(code));
        }
        p += taken;
        left -= taken;
    }
    return true;
}

std::u16string Utf16ForDisplay(const char* utf8) {
    std::u16string out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    size_t left = 0;
    while (p[left])
        ++left;
    while (left > 0) {
        unsigned code;
        size_t taken = DecodeOne(p, left, true, &code);
        if (taken == 0) {
            code = 0xFFFD;
            taken = 1;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        p += taken;
        left -= taken;
    }
    return out;
}

bool IsUtf8(const char* text, size_t size) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (size > 0) {
        unsigned code;
        size_t taken = DecodeOne(p, size, false, &code);
        if (taken == 0)
            return false;
        p += taken;
        size -= taken;
    }
    return true;
}

bool HasNonAscii(const char* text) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        if (*p >= 0x80)
            return true;
    return false;
}
