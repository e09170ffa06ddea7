// The conversions at the program's boundaries: a text crosses to the ANSI or
// the OEM code page exactly where that code page holds it, and is refused (or
// shown with stand-ins) where it does not. The cases hold for the native
// build's Latin-1 and code page 437 and for Windows' 1252 with 437 or 850.
#include "common/code_pages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CodePages, TextCrossesExactlyOrIsRefused) {
    struct Case {
        const char* utf8;
        const char* ansi; // with its stand-ins
        bool ansiExact;
        const char* oem; // none when the OEM code page lacks a letter
    } cases[] = {
        {"plain.txt", "plain.txt", true, "plain.txt"},
        {"B\xC3\xBCro", "B\xFCro", true, "B\x81ro"},
        {"caf\xC3\xA9 \xC3\x84", "caf\xE9 \xC4", true, "caf\x82 \x8E"},
        {"\xCE\xBB.txt", "?.txt", false, nullptr},
        {"\xE6\x96\x87\xE4\xBB\xB6", "??", false, nullptr},
        {"cut\xED\xA0\xBD", "cut?", false, nullptr}, // an unpaired surrogate
        {"", "", true, ""},
    };
    for (const Case& c : cases) {
        char out[64] = "left over";
        EXPECT_EQ(c.ansiExact, AnsiNameOf(c.utf8, out, sizeof out)) << c.utf8;
        EXPECT_STREQ(c.ansi, out) << c.utf8;
        EXPECT_EQ(c.ansi, AnsiTextOf(c.utf8)) << c.utf8;
        if (c.ansiExact) {
            EXPECT_EQ(c.utf8, Utf8OfAnsi(c.ansi)) << c.utf8;
            EXPECT_TRUE(Utf8FromAnsi(c.ansi, out, sizeof out)) << c.utf8;
            EXPECT_STREQ(c.utf8, out) << c.utf8;
        }
        EXPECT_EQ(c.oem != nullptr, OemTextOf(c.utf8, out, sizeof out)) << c.utf8;
        EXPECT_STREQ(c.oem ? c.oem : "", out) << c.utf8;
    }
}

TEST(CodePages, ATextThatDoesNotFitIsRefusedNotCut) {
    char out[4] = "xxx";
    EXPECT_FALSE(AnsiNameOf("B\xC3\xBCro", out, 4));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(Utf8FromAnsi("B\xFCr", out, 4));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(OemTextOf("B\xC3\xBCro", out, 4));
    EXPECT_STREQ("", out);
    EXPECT_TRUE(AnsiNameOf("B\xC3\xBCr", out, 4));
    EXPECT_STREQ("B\xFCr", out);
}

} // namespace
