#include <cstring>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "textfmt/line_processing.h"
#include "textfmt/text_encoding.h"
#include "textfmt/text_print.h"
#include "textfmt_test_support.h"

namespace {

TextEncoding Detect(const std::string& bytes, int* mark = nullptr, bool atEnd = true) {
    int length = -1;
    TextEncoding encoding = DetectTextEncoding(reinterpret_cast<const unsigned char*>(bytes.data()),
                                               bytes.size(), atEnd, &length);
    if (mark)
        *mark = length;
    return encoding;
}

TEST(DetectTextEncoding, MarksDecideAndTheirLengthIsKnown) {
    int mark = -1;
    EXPECT_EQ(kEncodingUtf8, Detect("\xEF\xBB\xBFplain", &mark));
    EXPECT_EQ(3, mark);
    EXPECT_EQ(kEncodingUtf8, Detect("\xEF\xBB\xBF", &mark)); // a lone mark
    EXPECT_EQ(3, mark);
    EXPECT_EQ(kEncodingUtf16Le, Detect(std::string("\xFF\xFEh\0i\0", 6), &mark));
    EXPECT_EQ(2, mark);
    EXPECT_EQ(kEncodingUtf16Be, Detect(std::string("\xFE\xFF\0h\0", 5), &mark)); // odd count
    EXPECT_EQ(2, mark);
    EXPECT_EQ(kEncodingAnsi, Detect("", &mark));
    EXPECT_EQ(0, mark);
}

TEST(DetectTextEncoding, UnmarkedTextNeedsValidMultiByteSequences) {
    EXPECT_EQ(kEncodingAnsi, Detect("plain ASCII\r\n"));
    EXPECT_EQ(kEncodingUtf8, Detect("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_EQ(kEncodingAnsi, Detect("caf\xE9 in Latin-1"));
    EXPECT_EQ(kEncodingAnsi, Detect("\xC3\xA9 then \xE9"));   // valid, then not
    EXPECT_EQ(kEncodingAnsi, Detect("\xC0\xAF"));             // overlong slash
    EXPECT_EQ(kEncodingAnsi, Detect("\xE0\x80\xAF"));         // overlong, three bytes
    EXPECT_EQ(kEncodingAnsi, Detect("\xF0\x82\x82\xAC"));     // overlong, four bytes
    EXPECT_EQ(kEncodingAnsi, Detect("\xED\xA0\x80"));         // a surrogate
    EXPECT_EQ(kEncodingAnsi, Detect("\xF4\x90\x80\x80"));     // past U+10FFFF
    EXPECT_EQ(kEncodingAnsi, Detect("ends inside \xE2\x82")); // cut at the end of the file
    // The prefix of a longer file may end inside a sequence.
    EXPECT_EQ(kEncodingUtf8, Detect("\xC3\xA9 and \xE2\x82", nullptr, false));
}

TEST(Utf8Text, CountsAndConvertsCharactersNotBytes) {
    // 1-, 2-, 3- and 4-byte sequences, then a malformed byte.
    const std::string mixed = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xFF";
    int n = static_cast<int>(mixed.size());
    EXPECT_EQ(5, Utf8CharacterCount(mixed.data(), n));
    EXPECT_EQ(3, Utf8OffsetOfCharacter(mixed.data(), n, 2));
    EXPECT_EQ(n, Utf8OffsetOfCharacter(mixed.data(), n, 9));
    char16_t wide[16];
    ASSERT_EQ(6, Utf8ToUtf16(mixed.data(), n, wide, 16));
    EXPECT_EQ(u'a', wide[0]);
    EXPECT_EQ(u'\u00E9', wide[1]);
    EXPECT_EQ(u'\u20AC', wide[2]);
    EXPECT_EQ(0xD83D, wide[3]);
    EXPECT_EQ(0xDE00, wide[4]);
    EXPECT_EQ(0xFFFD, wide[5]);
    EXPECT_EQ(2, Utf8UnfinishedTail("ab\xE2\x82", 4));
    EXPECT_EQ(0, Utf8UnfinishedTail("ab\xE2\x82\xAC", 5));
    EXPECT_EQ(0, Utf8UnfinishedTail("ab\x82", 3)); // a stray continuation byte
}

TEST(Utf8Text, TwoAndThreeByteFormsAndTheirNeighbours) {
    struct Case {
        std::string bytes;
        std::u16string units; // one unit for each character here
    };
    const Case cases[] = {
        {"\xC2\x80\xDF\xBF", u"\u0080\u07FF"}, // the first and the last two-byte form
        {"\xC1\xBF", u"\uFFFD\uFFFD"},         // overlong: two malformed bytes
        {"\xC2\x41", u"\uFFFDA"},              // a lead without its continuation
        {"x\xC3", u"x\uFFFD"},                 // cut at the end
        {"\xC3\xA9\xC3", u"\u00E9\uFFFD"},
        {"\xE0\xA0\x80\xE0\x80", u"\u0800\uFFFD\uFFFD"}, // three bytes, then overlong
        {"\xE2\x82\xAC\xEF\xBF\xBD\xED\x9F\xBF", u"\u20AC\uFFFD\uD7FF"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // a surrogate: three malformed bytes
        {"\xE2\x82", u"\uFFFD\uFFFD"},           // cut
    };
    for (const Case& c : cases) {
        int n = static_cast<int>(c.bytes.size());
        char16_t wide[16];
        int units = Utf8ToUtf16(c.bytes.data(), n, wide, 16);
        EXPECT_EQ(c.units, std::u16string(wide, static_cast<size_t>(units))) << c.bytes;
        EXPECT_EQ(static_cast<int>(c.units.size()), Utf8CharacterCount(c.bytes.data(), n))
            << c.bytes;
        EXPECT_EQ(n, Utf8OffsetOfCharacter(c.bytes.data(), n, units)) << c.bytes;
    }
}

TEST(Utf8Text, Utf16FilesBecomeUtf8) {
    // "é€", a surrogate pair, a NUL, an unpaired surrogate and a last odd byte.
    ScratchFile le(std::string("\xE9\x00\xAC\x20\x3D\xD8\x00\xDE\x00\x00\x00\xD8x\x00y", 15));
    ScratchFile out("");
    FILE* to = tmpfile();
    ASSERT_TRUE(to);
    ASSERT_TRUE(ConvertUtf16File(le.file(), false, to));
    rewind(to);
    char bytes[64];
    size_t n = fread(bytes, 1, sizeof bytes, to);
    fclose(to);
    EXPECT_EQ(std::string("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80") + std::string(1, '\0') +
                  "\xEF\xBF\xBDx\xEF\xBF\xBD",
              std::string(bytes, n));
}

// A large UTF-16 file is copied with the windows kept alive; a stop or a read
// error leaves the copy unfinished and says so, rather than passing a cut
// document for the whole file.
TEST_F(TextFormatterTest, Utf16CopyPumpsAndEndsUnfinishedAtAStopOrAReadError) {
    const long kUnits = 200 * 1024;
    std::string units;
    for (long i = 0; i < kUnits; ++i)
        units += std::string("a\0", 2);
    ScratchFile whole(units);
    int pumps = 0;
    OtherParts.duringPump = [&pumps] { ++pumps; };
    FILE* to = tmpfile();
    ASSERT_TRUE(to);
    EXPECT_TRUE(ConvertUtf16File(whole.file(), false, to));
    EXPECT_EQ(kUnits, ftell(to));
    EXPECT_EQ(1, pumps);
    fclose(to);

    rewind(whole.file());
    OtherParts.duringPump = [] { StopRequested = true; };
    to = tmpfile();
    ASSERT_TRUE(to);
    EXPECT_FALSE(ConvertUtf16File(whole.file(), false, to));
    EXPECT_TRUE(StopRequested);
    EXPECT_LT(ftell(to), kUnits);
    fclose(to);

    // The file is cut off from the stream half-way, as a lost network drive
    // would: what the C library has buffered still reads, the rest fails.
    StopRequested = false;
    rewind(whole.file());
    getc(whole.file()); // one unit: the C library buffers what follows
    getc(whole.file());
    to = tmpfile(); // first: it would take the closed file's number
    ASSERT_TRUE(to);
    int fd = fileno(whole.file());
    int saved = dup(fd);
    close(fd);
    EXPECT_FALSE(ConvertUtf16File(whole.file(), false, to));
    EXPECT_FALSE(StopRequested);
    EXPECT_LT(ftell(to), kUnits);
    fclose(to);
    dup2(saved, fd);
    close(saved);
}

// "é" is two bytes, "€" three, "😀" four: each takes one column.
const char* const kE = "\xC3\xA9";
const char* const kEuro = "\xE2\x82\xAC";
const char* const kFace = "\xF0\x9F\x98\x80";

TEST(Utf8LineProcessing, BreaksTabsAndRowsCountCharacters) {
    std::string text = std::string("ab ") + kE + kEuro + kFace + "d gh";
    int n = static_cast<int>(text.size());
    EXPECT_EQ(0, FindBreak(text.data(), n, 10, true));
    // Width 6: the character at index 6 is 'd'... the last blank is at byte 2.
    EXPECT_EQ(3, FindBreak(text.data(), n, 6, true));
    EXPECT_EQ(3, CountRows(text.data(), n, 5, true));
    // No blank: the cut falls after whole characters.
    std::string word = std::string(kE) + kEuro + kFace + kE;
    EXPECT_EQ(9, FindBreak(word.data(), static_cast<int>(word.size()), 3, true));

    char line[kLineBufferSize];
    std::string tabbed = std::string(kEuro) + "\tb" + kFace + "\tc";
    strcpy(line, tabbed.c_str());
    int length = ExpandTabs(line, static_cast<int>(tabbed.size()), 4, true);
    EXPECT_EQ(std::string(kEuro) + "   b" + kFace + "  c", std::string(line, length));
}

TEST(Utf8LineProcessing, TabExpansionKeepsWholeSequencesAtTheLimit) {
    char line[kLineBufferSize];
    std::string text(kExpandedLimit - 1, 'a');
    text = "\t" + text.substr(1) + kEuro;
    memcpy(line, text.data(), text.size());
    int length = ExpandTabs(line, static_cast<int>(text.size()), 1, true);
    EXPECT_EQ(kExpandedLimit - 1, length); // the euro sign would not fit whole
}

RowOptions Utf8Options(int charsPerLine, bool wrap) {
    RowOptions options = RowOptions();
    options.charsPerLine = charsPerLine;
    options.tabWidth = 8;
    options.wrapLines = wrap;
    options.utf8 = true;
    return options;
}

std::vector<std::string> Rows(FILE* file, const RowOptions& options) {
    RowSource source;
    ResetRowSource(&source, file, options);
    std::vector<std::string> rows;
    Row row;
    for (int guard = 0; guard < 1000 && NextRow(&source, &row) == kRowText; ++guard)
        rows.push_back(std::string(row.text, static_cast<size_t>(row.length)));
    return rows;
}

TEST(Utf8LineProcessing, RowsWrapAndTruncateByCharacters) {
    std::string line = std::string(kE) + kEuro + kFace + "abc" + kE + "\n";
    ScratchFile wrapped(line);
    EXPECT_EQ(
        (std::vector<std::string>{std::string(kE) + kEuro + kFace + "a", "bc" + std::string(kE)}),
        Rows(wrapped.file(), Utf8Options(4, true)));
    ScratchFile cut(line);
    // The fourth character gives way to the marker, U+00BB in UTF-8.
    EXPECT_EQ((std::vector<std::string>{std::string(kE) + kEuro + kFace + "\xC2\xBB"}),
              Rows(cut.file(), Utf8Options(4, false)));
    ScratchFile exact(std::string(kE) + kEuro + kFace + "a\n");
    EXPECT_EQ((std::vector<std::string>{std::string(kE) + kEuro + kFace + "a"}),
              Rows(exact.file(), Utf8Options(4, false)));
}

TEST(Utf8LineProcessing, NoSequenceIsSplitAtAPieceBoundary) {
    // 998 bytes, then a three-byte sign across the 999-byte limit.
    std::string text = std::string(kLineLimit - 1, 'a') + kEuro + "z\n";
    ScratchFile file(text);
    TextReader reader;
    StartTextReader(&reader, file.file());
    const char* line = nullptr;
    EXPECT_EQ(kLineLimit - 1, TakeTextLine(&reader, &line, true));
    EXPECT_EQ(5, TakeTextLine(&reader, &line, true));
    EXPECT_EQ(std::string(kEuro) + "z\n", std::string(line, 5));
    // Bytes that start no sequence are cut like any other.
    ScratchFile ansi(std::string(kLineLimit - 1, 'a') + "\x82\x82\n");
    StartTextReader(&reader, ansi.file());
    EXPECT_EQ(kLineLimit, TakeTextLine(&reader, &line, true));
}

} // namespace
