#include <algorithm>
#include <cstring>

#include "textfmt/line_processing.h"
#include "textfmt/text_encoding.h"
#include "textfmt_test_support.h"

namespace {

// Every row the source hands out, "#n:" before numbered ones, "|" for page
// breaks and "_" for skipped positions.
std::vector<std::string> AllRows(FILE* file, const RowOptions& options) {
    RowSource source;
    ResetRowSource(&source, file, options);
    std::vector<std::string> rows;
    for (int guard = 0; guard < 10000; ++guard) {
        Row row;
        RowKind kind = NextRow(&source, &row);
        if (kind == kRowEndOfFile)
            break;
        if (kind == kRowPageBreak)
            rows.push_back("|");
        else if (kind == kRowSkipped)
            rows.push_back("_");
        else
            rows.push_back((row.lineNumber ? "#" + std::to_string(row.lineNumber) + ":" : "") +
                           std::string(row.text, static_cast<size_t>(row.length)));
    }
    return rows;
}

RowOptions Options(int charsPerLine, bool wrap) {
    RowOptions options = {charsPerLine, 8, wrap, false, false, false, false};
    return options;
}

TEST(FindBreak, BreaksAfterTheLastBlankThatFits) {
    const char* text = "hello world";
    EXPECT_EQ(5, FindBreak(text, 11, 5));
    EXPECT_EQ(1, FindBreak(" world", 6, 5));
    EXPECT_EQ(0, FindBreak("world", 5, 5));
    EXPECT_EQ(3, CountRows(text, 11, 5));

    EXPECT_EQ(3, FindBreak("ab cdef gh", 10, 6));
    EXPECT_EQ(5, FindBreak("cdef gh", 7, 6));
    EXPECT_EQ(3, CountRows("ab cdef gh", 10, 6));

    EXPECT_EQ(4, FindBreak("abcdefgh", 8, 4)); // no blank: the word is cut
    EXPECT_EQ(1, CountRows("", 0, 4));
    // A width below one still makes progress.
    EXPECT_EQ(1, FindBreak("abc", 3, 0));
    EXPECT_EQ(3, CountRows("abc", 3, -5));
}

TEST(ExpandTabs, MovesToTheNextStop) {
    char line[kLineBufferSize] = "a\tb";
    EXPECT_EQ(5, ExpandTabs(line, 3, 4));
    EXPECT_STREQ("a   b", line);
    strcpy(line, "abcd\tx");
    EXPECT_EQ(9, ExpandTabs(line, 6, 4));
    EXPECT_STREQ("abcd    x", line);
    strcpy(line, "\t\tz");
    EXPECT_EQ(3, ExpandTabs(line, 3, 0)); // a width of 0 counts as 1
    EXPECT_STREQ("  z", line);
}

TEST(ExpandTabs, StopsAtTheEndOfTheBuffer) {
    char line[kLineBufferSize];
    memset(line, '\t', 999);
    line[999] = '\0';
    EXPECT_EQ(kExpandedLimit, ExpandTabs(line, 999, 8));
    EXPECT_EQ(std::string(kExpandedLimit, ' '), line);
    memset(line, '\t', 10);
    EXPECT_EQ(kExpandedLimit, ExpandTabs(line, 10, 2000000000));
    memset(line, 'x', 999);
    EXPECT_EQ(kExpandedLimit, ExpandTabs(line, 999, 8));
}

// The tab rule one character at a time: blanks to the next stop, stops
// counting characters in UTF-8 text, nothing past the limit and no sequence
// cut there.
std::string ExpandedByTheRule(const std::string& line, long long tabWidth, bool utf8) {
    std::string out;
    long long column = 0;
    for (size_t i = 0; i < line.size() && out.size() < kExpandedLimit;) {
        if (line[i] == '\t') {
            long long blanks = tabWidth - column % tabWidth;
            blanks =
                std::min<long long>(blanks, kExpandedLimit - static_cast<long long>(out.size()));
            out.append(static_cast<size_t>(blanks), ' ');
            column += blanks;
            ++i;
            continue;
        }
        const char* p = line.data() + i;
        size_t n = utf8 ? static_cast<size_t>(Utf8SequenceLength(p, line.data() + line.size())) : 1;
        if (out.size() + n > kExpandedLimit)
            break;
        out.append(p, n);
        ++column;
        i += n;
    }
    return out;
}

TEST(ExpandTabs, FollowsTheRuleOnLinesOfEveryShape) {
    const char* pieces[] = {"\t",  "a", "word ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                            "\x80"};
    unsigned seed = 28;
    for (int round = 0; round < 400; ++round) {
        std::string line;
        size_t target = static_cast<size_t>(round % 2 ? 990 + round % 12 : round * 3 % 200);
        while (line.size() < target) {
            seed = seed * 1103515245u + 12345u;
            line += pieces[(seed >> 16) % 7];
        }
        line.resize(std::min<size_t>(line.size(), kLineLimit));
        int widths[] = {1, 3, 8, 25, 2000000000};
        int width = widths[round % 5];
        for (bool utf8 : {false, true}) {
            char buffer[kLineBufferSize];
            memcpy(buffer, line.data(), line.size());
            int length = ExpandTabs(buffer, static_cast<int>(line.size()), width, utf8);
            ASSERT_EQ(ExpandedByTheRule(line, width, utf8),
                      std::string(buffer, static_cast<size_t>(length)))
                << "round " << round << (utf8 ? " UTF-8" : " ANSI");
        }
    }
}

TEST(HasOemCharacters, LooksForTheDosRange) {
    EXPECT_FALSE(HasOemCharacters("plain \xA5 text", 13));
    EXPECT_TRUE(HasOemCharacters("caf\x82", 4));
    EXPECT_TRUE(HasOemCharacters("\xA4", 1));
    EXPECT_FALSE(HasOemCharacters("\xE9\xFF\x7F", 3));
}

TEST(RowProducer, FormFeedInsideALineStartsTheNextLogicalPage) {
    ScratchFile file("abc\fdef\nghi\n");
    EXPECT_EQ((std::vector<std::string>{"abc", "|", "def", "ghi"}),
              AllRows(file.file(), Options(80, false)));
}

TEST(RowProducer, FormFeedLinesAndLeadingFormFeeds) {
    ScratchFile file("\f\r\nfirst\n\f\r\nsecond\n\fthird\n\f\xE9t\xE9\n");
    EXPECT_EQ(
        (std::vector<std::string>{"_", "first", "|", "second", "|", "third", "|", "\xE9t\xE9"}),
        AllRows(file.file(), Options(80, false)));
}

TEST(RowProducer, TruncatesWithAMarkerAndLeavesExactFitsAlone) {
    ScratchFile file("abcdefghijklm\r\n0123456789\n");
    EXPECT_EQ((std::vector<std::string>{"abcdefghi\xBB", "0123456789"}),
              AllRows(file.file(), Options(10, false)));
}

TEST(RowProducer, ContinuationRowsCarryNoNumber) {
    ScratchFile file("hello world\n\tx\n\fab cdef gh\n");
    RowOptions options = Options(5, true);
    options.lineNumbers = true;
    options.tabWidth = 4;
    EXPECT_EQ((std::vector<std::string>{"#1:hello", " ", "world", "#2:    x", "|", "#3:ab ",
                                        "cdef ", "gh"}),
              AllRows(file.file(), options));
    // A new copy starts counting again.
    rewind(file.file());
    EXPECT_EQ("#1:hello", AllRows(file.file(), options)[0]);
}

// A word that ends exactly at the last column stays in its row; the blank
// after it starts the next row, and the counting pass agrees.
TEST(RowProducer, AWordEndingAtTheLastColumnKeepsItsRow) {
    ScratchFile file("ab cd efgh\nabcde fg\n");
    EXPECT_EQ((std::vector<std::string>{"ab cd", " efgh", "abcde", " fg"}),
              AllRows(file.file(), Options(5, true)));
    rewind(file.file());
    CountOptions count = {5, 8, 60, true, false, false};
    bool oem = false;
    EXPECT_EQ(4, CountTextRows(file.file(), count, &oem));
}

TEST(RowProducer, LongLinesArriveInPiecesOf999Bytes) {
    std::string longLine(1500, 'x');
    ScratchFile file(longLine + "\n");
    RowOptions options = Options(1000, false);
    options.lineNumbers = true;
    std::vector<std::string> rows = AllRows(file.file(), options);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("#1:" + std::string(999, 'x'), rows[0]);
    EXPECT_EQ("#2:" + std::string(501, 'x'), rows[1]);
}

TEST(RowProducer, ANarrowWidthStillPrintsEveryCharacter) {
    ScratchFile file("abc\n");
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), AllRows(file.file(), Options(0, true)));
    rewind(file.file());
    EXPECT_EQ((std::vector<std::string>{"\xBB"}), AllRows(file.file(), Options(-3, false)));
}

TEST(RowProducer, TranslatesDosText) {
    ScratchFile file("caf\x82 \x81\x84\n");
    RowOptions options = Options(80, false);
    options.translateOem = true;
    EXPECT_EQ((std::vector<std::string>{"caf\xE9 \xFC\xE4"}), AllRows(file.file(), options));
}

TEST(CountTextRows, WrapsAndRoundsPageBreaksUp) {
    ScratchFile file("\fhello world\nab\n\fc\n\f\nd\n");
    bool oem = false;
    CountOptions options = {5, 8, 3, true, true, false};
    // The leading break's empty row, 3 + 1 rows, a break (to 6), 1 row, a
    // break (to 9), 1 row.
    EXPECT_EQ(10, CountTextRows(file.file(), options, &oem));
    EXPECT_FALSE(oem);
    rewind(file.file());
    options.wrapLines = false;
    // 3 rows fill the first page, so the break after them makes an empty one.
    EXPECT_EQ(10, CountTextRows(file.file(), options, &oem));
}

TEST(CountTextRows, NotesDosTextAnywhere) {
    ScratchFile file("one\ntwo\nthree \x94\n");
    bool oem = false;
    CountOptions options = {80, 8, 60, false, true, false};
    EXPECT_EQ(3, CountTextRows(file.file(), options, &oem));
    EXPECT_TRUE(oem);
}

// Several read blocks of lines whose ends fall anywhere: short, empty, at and
// beyond the line limit, some with tabs, form feeds or (utf8) two-byte letters.
std::string LinesOverBlocks(bool utf8) {
    static const int kLengths[] = {0, 1, 37, 998, 999, 1000, 1500, 80, 12};
    std::string text;
    for (int i = 0; text.size() < 3 * kReadBlockSize + 500; ++i) {
        int length = kLengths[i % 9] + i % 5;
        std::string line;
        while (static_cast<int>(line.size()) < length)
            line += i % 4 == 0 ? "wor\td " : utf8 && i % 3 == 0 ? "\xC3\xA9t\xC3\xA9 " : "word ";
        line.resize(static_cast<size_t>(length));
        if (i % 23 == 0)
            line += "\f";
        text += line + (i % 7 == 0 ? "\r\n" : "\n");
    }
    return text;
}

TEST(TextReader, HandsOutEveryByteOnceWithItsPosition) {
    for (bool utf8 : {false, true}) {
        std::string text = LinesOverBlocks(utf8);
        ScratchFile file(text);
        TextReader reader;
        StartTextReader(&reader, file.file());
        std::string again;
        const char* line = nullptr;
        int length = 0;
        while ((length = TakeTextLine(&reader, &line, utf8)) >= 0) {
            ASSERT_LE(length, kLineLimit);
            again.append(line, static_cast<size_t>(length));
            ASSERT_EQ(static_cast<long long>(again.size()), TextReaderPosition(&reader));
        }
        EXPECT_EQ(text, again) << utf8;
        // A line cut at a form feed puts the rest back, also where the line
        // came from the end of one block and the start of the next; tabs and
        // form feeds are found where the lines hold them.
        rewind(file.file());
        StartTextReader(&reader, file.file());
        for (long long at = 0; (length = TakeTextLine(&reader, &line, utf8)) >= 0;) {
            // What the reader found ahead is what the line holds.
            for (int part : {length, length / 2}) {
                ASSERT_EQ(memchr(line, '\t', static_cast<size_t>(part)) != nullptr,
                          TakenLineHasTab(&reader, part));
                ASSERT_EQ(memchr(line, '\f', static_cast<size_t>(part)) != nullptr,
                          TakenLineHasFormFeed(&reader, part));
            }
            if (CutAtFormFeed(&reader, line, &length))
                ASSERT_EQ('\f', text[static_cast<size_t>(at)]);
            else
                ASSERT_EQ(text.substr(static_cast<size_t>(at),
                                      static_cast<size_t>(TextReaderPosition(&reader) - at)),
                          std::string(line, static_cast<size_t>(length)));
            at = TextReaderPosition(&reader);
        }
    }
}

TEST(RowSource, ResumesFromEveryRestartPointWhileOthersMoveTheFile) {
    ScratchFile file(LinesOverBlocks(true));
    RowOptions options = Options(30, true);
    options.utf8 = true;
    RowSource source;
    ResetRowSource(&source, file.file(), options);
    std::vector<RowRestart> restarts;
    std::vector<std::string> rows;
    Row row;
    do {
        restarts.push_back(RowRestartPoint(&source));
        // The preview draws other sheets from the same file meanwhile.
        if (rows.size() % 50 == 0)
            fseek(file.file(), 0, SEEK_SET);
        NextRow(&source, &row);
        rows.push_back(std::string(row.text ? row.text : "", static_cast<size_t>(row.length)));
    } while (!source.finished && rows.size() < 100000);
    ASSERT_TRUE(source.finished);
    ASSERT_GT(rows.size(), 300u);
    for (size_t i = 0; i < rows.size(); i += 7) {
        RowSource resumed;
        ASSERT_TRUE(ResumeRowSource(&resumed, file.file(), options, restarts[i])) << i;
        for (size_t k = i; k < i + 3 && k < rows.size(); ++k) {
            NextRow(&resumed, &row);
            ASSERT_EQ(rows[k],
                      std::string(row.text ? row.text : "", static_cast<size_t>(row.length)))
                << "row " << k << " resumed at " << i;
        }
    }
}

TEST(CountTextRows, CountsOnWhereTheLastCallLeftTheFile) {
    ScratchFile file(LinesOverBlocks(false));
    CountOptions options = {40, 8, 60, true, true, false};
    bool oem = false;
    long long whole = CountTextRows(file.file(), options, &oem);
    rewind(file.file());
    RowCount count = {0, false, false};
    int calls = 1;
    while (!CountMoreTextRows(file.file(), options, &count, 11))
        ++calls;
    EXPECT_EQ(whole, count.rows);
    EXPECT_GT(calls, 10);
}

} // namespace
