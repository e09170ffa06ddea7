#include "common/utf8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct RoundTrip {
    const char* what;
    std::u16string wide;
    const char* utf8;
};

// Names as the system gives them and as the program holds them, both ways.
TEST(Utf8, NamesGoBothWaysUnchanged) {
    const RoundTrip cases[] = {
        {"ASCII", u"report.txt", "report.txt"},
        {"Latin-1", u"M\u00fcller.txt", "M\xc3\xbcller.txt"},
        {"Greek", u"\u0391\u03b8\u03ae\u03bd\u03b1", "\xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1"},
        {"Chinese", u"\u6587\u4ef6", "\xe6\x96\x87\xe4\xbb\xb6"},
        {"emoji (a pair)", u"a\U0001F600b",
         "a\xf0\x9f\x98\x80"
         "b"},
        {"unpaired high", u"x\xD83D.txt", "x\xed\xa0\xbd.txt"},
        {"unpaired low", u"\xDE00x", "\xed\xb8\x80x"},
        {"low before high", u"\xDE00\xD83D", "\xed\xb8\x80\xed\xa0\xbd"},
        {"high at the end", u"ab\xD800", "ab\xed\xa0\x80"},
    };
    for (const RoundTrip& c : cases) {
        char out[64];
        ASSERT_TRUE(Utf8FromUtf16(c.wide.data(), c.wide.size(), out, sizeof out)) << c.what;
        EXPECT_STREQ(c.utf8, out) << c.what;
        std::u16string back;
        ASSERT_TRUE(Utf16FromUtf8(out, &back)) << c.what;
        EXPECT_EQ(c.wide, back) << c.what;
        // Only a name without a lone surrogate is strict UTF-8.
        bool lone = std::strstr(c.utf8, "\xed") != nullptr;
        EXPECT_EQ(!lone, IsUtf8(out, std::strlen(out))) << c.what;
    }
}

// The code points on either side of every change of length in UTF-8 and at
// both ends of each surrogate range: a pair ending in 0xDFFF is one character
// (U+103FF, U+10FFFF) like any other, and U+0800 is the first of three bytes.
TEST(Utf8, EveryLengthAndSurrogateEdgeIsEncodedExactly) {
    struct Edge {
        unsigned code;
        std::u16string wide;
        const char* utf8;
    };
    const Edge cases[] = {
        {0x7F, u"\x7F", "\x7f"},
        {0x80, u"\x80", "\xc2\x80"},
        {0x7FF, u"\u07FF", "\xdf\xbf"},
        {0x800, u"\u0800", "\xe0\xa0\x80"},
        {0xD7FF, u"\uD7FF", "\xed\x9f\xbf"},
        {0xE000, u"\uE000", "\xee\x80\x80"},
        {0xFFFF, u"\uFFFF", "\xef\xbf\xbf"},
        {0x10000, u"\xD800\xDC00", "\xf0\x90\x80\x80"},
        {0x103FF, u"\xD800\xDFFF", "\xf0\x90\x8f\xbf"},
        {0x10FC00, u"\xDBFF\xDC00", "\xf4\x8f\xb0\x80"},
        {0x10FFFF, u"\xDBFF\xDFFF", "\xf4\x8f\xbf\xbf"},
    };
    for (const Edge& c : cases) {
        const size_t length = std::strlen(c.utf8);
        char one[4] = {};
        ASSERT_EQ(length, EncodeUtf8(c.code, one)) << std::hex << c.code;
        EXPECT_EQ(std::string(c.utf8), std::string(one, length)) << std::hex << c.code;
        // Exactly room for the bytes and the terminator, and one byte less.
        char out[8];
        EXPECT_TRUE(Utf8FromUtf16(c.wide.data(), c.wide.size(), out, length + 1))
            << std::hex << c.code;
        EXPECT_STREQ(c.utf8, out) << std::hex << c.code;
        EXPECT_FALSE(Utf8FromUtf16(c.wide.data(), c.wide.size(), out, length))
            << std::hex << c.code;
        std::u16string back;
        EXPECT_TRUE(Utf16FromUtf8(c.utf8, &back)) << std::hex << c.code;
        EXPECT_EQ(c.wide, back) << std::hex << c.code;
        EXPECT_TRUE(IsUtf8(c.utf8, length)) << std::hex << c.code;
    }
}

TEST(Utf8, ANameThatDoesNotFitIsRefusedNotCut) {
    const std::u16string wide = u"\u6587\u4ef6"; // six bytes and the terminator
    char out[7] = "xxxxxx";
    EXPECT_FALSE(Utf8FromUtf16(wide.data(), wide.size(), out, 6));
    EXPECT_STREQ("", out);
    EXPECT_TRUE(Utf8FromUtf16(wide.data(), wide.size(), out, 7));
    // Neither is half a surrogate pair kept.
    const std::u16string pair = u"\U0001F600";
    EXPECT_FALSE(Utf8FromUtf16(pair.data(), pair.size(), out, 4));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(Utf8FromUtf16(pair.data(), pair.size(), out, 0));
}

TEST(Utf8, BytesThatAreNotUtf8AreRefused) {
    const char* bad[] = {
        "M\xfcller",            // ANSI, not UTF-8
        "\x80",                 // stray continuation byte
        "a\xc3",                // cut short at the end
        "\xe6\x96z",            // cut short in the middle
        "\xc0\xaf",             // overlong "/"
        "\xe0\x80\xaf",         // overlong "/"
        "\xf4\x90\x80\x80",     // above U+10FFFF
        "\xf8\x88\x80\x80\x80", // five bytes
        // A pair written as two surrogates would come back as one character.
        "\xed\xa0\xbd\xed\xb8\x80",
    };
    for (const char* text : bad) {
        std::u16string wide = u"left over";
        EXPECT_FALSE(Utf16FromUtf8(text, &wide)) << text;
        EXPECT_TRUE(wide.empty()) << text;
        EXPECT_FALSE(IsUtf8(text, std::strlen(text))) << text;
    }
    EXPECT_TRUE(IsUtf8("", 0));
    // A byte-order mark is a character like any other.
    EXPECT_TRUE(IsUtf8("\xef\xbb\xbf"
                       "a",
                       4));
}

TEST(Utf8, NonAsciiIsAnyByteAbove127) {
    EXPECT_FALSE(HasNonAscii("plain name.txt"));
    EXPECT_TRUE(HasNonAscii("M\xfcller"));
    EXPECT_TRUE(HasNonAscii("\xe6\x96\x87"));
}

} // namespace
