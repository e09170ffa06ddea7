#include <algorithm>
#include <cstring>

#include "textfmt/line_processing.h"
#include "textfmt/text_encoding.h"
#include "textfmt/text_print.h"
#include "textfmt_test_support.h"

namespace {

// French, German, Greek, Cyrillic, the euro sign and box drawing.
const std::string kSample =
    "d\xC3\xA9j\xC3\xA0 Stra\xC3\x9F"
    "e \xCE\xB1\xCE\xB2\xCE\xB3 \xD0\xB4\xD0\xB0 \xE2\x82\xAC \xE2\x94\x8C\xE2\x94\x80";

std::string Utf16(const std::string& utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    char16_t wide[kLineBufferSize];
    int units = Utf8ToUtf16(utf8.data(), static_cast<int>(utf8.size()), wide, kLineBufferSize);
    for (int i = 0; i < units; ++i) {
        char hi = static_cast<char>(wide[i] >> 8), lo = static_cast<char>(wide[i] & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

class UnicodePrintTest : public TextFormatterTest {
  protected:
    void SetUp() override {
        TextFormatterTest::SetUp();
        OneCellFillingThePage();
        Settings& s = CurrentSettings;
        s.SizeOp = 2; // 40 characters per row
        s.Chars = 40;
        s.Lines = 75;
        s.OEMTrans = 0;
        DeviceScript.resY = 3000;
    }
    int Print(const std::string& text) {
        ScratchFile file(text);
        return PrintTextFile(file.file(), "notes.txt", RecorderDevice(), 1, nullptr);
    }
    int Count(const std::string& text) {
        ScratchFile file(text);
        return CountTextPagesOn(file.file(), RecorderDevice());
    }
    int Pages() const {
        return static_cast<int>(std::count(DeviceEvents.begin(), DeviceEvents.end(), "start page"));
    }
    // Texts drawn, wide ones marked "W:".
    std::vector<std::string> Drawn() const {
        std::vector<std::string> out;
        for (const DrawnText& t : DrawnTexts)
            out.push_back((t.wide ? "W:" : "") + t.text);
        return out;
    }
};

TEST_F(UnicodePrintTest, EveryUnicodeFormDrawsTheSameCharactersWide) {
    const std::string expected = "W:" + kSample;
    for (const std::string& file :
         {kSample + "\r\n", "\xEF\xBB\xBF" + kSample + "\r\n", Utf16(kSample + "\r\n", false),
          Utf16(kSample + "\r\n", true)}) {
        ResetTextDevice();
        ASSERT_EQ(1, Print(file));
        EXPECT_EQ(std::vector<std::string>{expected}, Drawn());
    }
}

TEST_F(UnicodePrintTest, FileNamesInHeadersKeepTheirCharacters) {
    strcpy(CurrentSettings.HeaderStr, "&f");
    ScratchFile file(kSample + "\n");
    ASSERT_EQ(1,
              PrintTextFile(file.file(), "r\xC3\xA9sum\xC3\xA9.txt", RecorderDevice(), 1, nullptr));
    EXPECT_EQ("W:r\xC3\xA9sum\xC3\xA9.txt", Drawn().front());
}

TEST_F(UnicodePrintTest, AnsiTextStillDrawsItsBytes) {
    // Latin-1 letters that are not UTF-8, as before.
    const std::string ansi = "caf\xE9 \xC0\xFF \xD6l";
    ASSERT_EQ(1, Print(ansi + "\n"));
    EXPECT_EQ(std::vector<std::string>{ansi}, Drawn());
    // Always translating from DOS turns detection off: UTF-8 bytes stay bytes.
    ResetTextDevice();
    CurrentSettings.OEMTrans = 2;
    ASSERT_EQ(1, Print("\xE2\x94\x80\n"));
    ASSERT_EQ(1u, DrawnTexts.size());
    EXPECT_FALSE(DrawnTexts[0].wide);
}

TEST_F(UnicodePrintTest, AutomaticDosTranslationLeavesUtf8Alone) {
    // The euro sign's 0x82 and 0xAC would look like DOS characters.
    CurrentSettings.OEMTrans = 1;
    ASSERT_EQ(1, Print("\xE2\x82\xAC 5\n"));
    EXPECT_EQ(std::vector<std::string>{"W:\xE2\x82\xAC 5"}, Drawn());
    EXPECT_FALSE(LastTextLayout().oemDetected);
}

TEST_F(UnicodePrintTest, WrapsAtTheSameColumnAsTheAsciiTwin) {
    CurrentSettings.WrapLines = 1;
    std::string ascii, unicode;
    for (int i = 0; i < 12; ++i) {
        ascii += "eeee ";
        unicode += "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xCE\xB1 ";
    }
    ASSERT_EQ(1, Print(ascii + "\n"));
    std::vector<int> asciiRows;
    for (const DrawnText& t : DrawnTexts)
        asciiRows.push_back(Utf8CharacterCount(t.text.data(), static_cast<int>(t.text.size())));
    ResetTextDevice();
    ASSERT_EQ(1, Print(unicode + "\n"));
    std::vector<int> unicodeRows;
    for (const DrawnText& t : DrawnTexts)
        unicodeRows.push_back(Utf8CharacterCount(t.text.data(), static_cast<int>(t.text.size())));
    EXPECT_EQ((std::vector<int>{40, 20}), asciiRows);
    EXPECT_EQ(asciiRows, unicodeRows);
}

TEST_F(UnicodePrintTest, CountingAndPrintingAgreeOnPages) {
    CurrentSettings.WrapLines = 1;
    // 200 lines of 60 two-byte characters: 2 rows each, 400 rows, 6 pages of 75.
    std::string text;
    for (int i = 0; i < 200; ++i) {
        for (int j = 0; j < 60; ++j)
            text += "\xD0\xB4";
        text += "\n";
    }
    EXPECT_EQ(6, Count(text));
    strcpy(CurrentSettings.HeaderStr, "&t");
    ASSERT_EQ(1, Print(text));
    EXPECT_EQ(6, Pages());
}

TEST_F(UnicodePrintTest, BadInputPrintsEveryCharacter) {
    // Valid for 70 KB, then a Latin-1 byte: it shows as U+FFFD.
    std::string text;
    while (text.size() < 70 * 1024)
        text += "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 ok\n";
    ASSERT_EQ(1, Print(text + "caf\xE9!\n"));
    EXPECT_EQ("W:caf\xEF\xBF\xBD!", Drawn().back());
    // A NUL in the middle of a UTF-16 file keeps what follows it.
    ResetTextDevice();
    ASSERT_EQ(1, Print(Utf16(std::string("ab", 2) + std::string(1, '\0') + "cd\n", false)));
    EXPECT_EQ(std::vector<std::string>{"W:ab" + std::string(1, '\0') + "cd"}, Drawn());
}

TEST_F(UnicodePrintTest, StopWhileAUtf16FileIsCopiedPrintsNothingAndIsNoFailure) {
    std::string text = "\xFF\xFE";
    for (int i = 0; i < 100 * 1024; ++i)
        text += std::string("a\0\n\0", 4);
    OtherParts.duringPump = [] { StopRequested = true; };
    EXPECT_EQ(1, Print(text));
    EXPECT_TRUE(StopRequested);
    EXPECT_EQ(0, Pages());
}

TEST_F(UnicodePrintTest, TenMegabytesWithoutALineEnd) {
    CurrentSettings.WrapLines = 1;
    std::string text;
    text.reserve(10 * 1024 * 1024);
    while (text.size() < 10 * 1024 * 1024)
        text += "\xE2\x82\xAC\xE2\x94\x80";
    ScratchFile file(text);
    ASSERT_EQ(1, PrintTextFile(file.file(), "big.txt", RecorderDevice(), 1, nullptr));
    // It arrives in pieces of 999 bytes, 333 characters: 9 rows of at most 40.
    long long pieces = static_cast<long long>(text.size()) / kLineLimit;
    long long rest = (static_cast<long long>(text.size()) % kLineLimit) / 3;
    long long rows = pieces * 9 + (rest + 39) / 40;
    EXPECT_EQ((rows + 74) / 75, Pages());
    long long characters = 0;
    for (const DrawnText& t : DrawnTexts)
        characters += Utf8CharacterCount(t.text.data(), static_cast<int>(t.text.size()));
    EXPECT_EQ(static_cast<long long>(text.size()) / 3, characters);
}

} // namespace
