// The argument vector: the C runtime's splitting rules and the program's own
// wildcard expansion.
#include "jobs/arguments.h"

#include "tests/app/app_test_support.h"

namespace {

std::vector<std::string> Texts(const std::vector<Argument>& arguments) {
    std::vector<std::string> texts;
    for (const Argument& arg : arguments)
        texts.push_back(arg.text);
    return texts;
}

std::vector<std::string> Split(const char* commandLine) {
    return Texts(SplitCommandLine(commandLine));
}

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(Split("ravlen.exe  a.txt\t/q"), (Strings{"ravlen.exe", "a.txt", "/q"}));
    EXPECT_EQ(Split("ravlen \"my file.txt\" b"), (Strings{"ravlen", "my file.txt", "b"}));
    EXPECT_EQ(Split("ravlen a\"b c\"d"), (Strings{"ravlen", "ab cd"}));
    EXPECT_EQ(Split("ravlen \"\" x"), (Strings{"ravlen", "", "x"}));
    EXPECT_EQ(Split("ravlen \"open to the end"), (Strings{"ravlen", "open to the end"}));
    EXPECT_TRUE(Split("").empty());
    EXPECT_TRUE(Split("   ").empty());
}

TEST(SplitCommandLine, BackslashesBeforeQuotes) {
    // 2n backslashes: n of them and the quote groups; 2n+1: n and a quote.
    EXPECT_EQ(Split("p a\\\\\"b c\""), (Strings{"p", "a\\b c"}));
    EXPECT_EQ(Split("p a\\\"b"), (Strings{"p", "a\"b"}));
    EXPECT_EQ(Split("p a\\\\\\\"b"), (Strings{"p", "a\\\"b"}));
    // Backslashes not before a quote are plain.
    EXPECT_EQ(Split("p C:\\dir\\\\x.txt"), (Strings{"p", "C:\\dir\\\\x.txt"}));
    // A doubled quote inside a group is a quote, and the group goes on.
    EXPECT_EQ(Split("p \"a\"\"b c\""), (Strings{"p", "a\"b c"}));
}

TEST(SplitCommandLine, ProgramNameKeepsItsBackslashes) {
    EXPECT_EQ(Split("\"C:\\Program Files\\ravlen\\\" /q"),
              (Strings{"C:\\Program Files\\ravlen\\", "/q"}));
    EXPECT_EQ(Split("C:\\r\\ravlen.exe x"), (Strings{"C:\\r\\ravlen.exe", "x"}));
}

TEST(SplitCommandLine, RecordsWhichArgumentsBeganWithAQuote) {
    std::vector<Argument> args = SplitCommandLine("p \"*.txt\" *.txt a\"*\"");
    ASSERT_EQ(args.size(), 4u);
    EXPECT_TRUE(args[1].quoted);
    EXPECT_FALSE(args[2].quoted);
    EXPECT_FALSE(args[3].quoted); // the quote is not its first character
}

class ExpandArgumentsTest : public ShellTest {};

TEST_F(ExpandArgumentsTest, MatchesSortedWithoutRegardToCaseDirectoryKept) {
    Write("B.TXT");
    Write("a.txt");
    Write("c.doc");
    ASSERT_TRUE(MakeDirectory(Path("sub.txt").c_str()));
    std::vector<std::string> expanded =
        ExpandArguments({{"first", false}, {Path("*.txt"), false}, {"last", false}});
    EXPECT_EQ(expanded, (Strings{"first", Path("a.txt"), Path("B.TXT"), Path("sub.txt"), "last"}));
}

TEST_F(ExpandArgumentsTest, RelativePatternKeepsItsDirectoryPartAndSkipsDotEntries) {
    ASSERT_TRUE(MakeDirectory(Path("sub").c_str()));
    Write("sub\\x.ps");
    Write("sub\\y.prn");
    ASSERT_TRUE(ChangeDirectory(dir));
    EXPECT_EQ(ExpandArguments({{"sub\\?.p*", false}}), (Strings{"sub\\x.ps", "sub\\y.prn"}));
    EXPECT_EQ(ExpandArguments({{"sub\\*", false}}), (Strings{"sub\\x.ps", "sub\\y.prn"}));
}

TEST_F(ExpandArgumentsTest, QuotedAndUnmatchedArgumentsStayAsWritten) {
    Write("a.txt");
    std::string pattern = Path("*.txt");
    EXPECT_EQ(ExpandArguments({{pattern, true}}), (Strings{pattern}));
    EXPECT_EQ(ExpandArguments({{Path("*.none"), false}}), (Strings{Path("*.none")}));
    EXPECT_EQ(ExpandArguments({{Path("nodir\\*.txt"), false}}), (Strings{Path("nodir\\*.txt")}));
    EXPECT_EQ(ExpandArguments({{"/n:set?", false}}), (Strings{"/n:set?"}));
}

// A program of the ANSI code page gets "?" or a look-alike letter in place of
// each letter the code page lacks; the line the system keeps whole decides,
// and each name keeps its own characters, as a pattern too.
TEST_F(ExpandArgumentsTest, NamesWithLettersTheCodePageLacksKeepThem) {
    const std::string greek = "\xCE\xB1\xCE\xB2\xCE\xB3";
    const std::string chinese = "\xE6\x96\x87\xE4\xBB\xB6";
    Write("abcdefgh.txt");
    Write("a.txt");
    Write(greek + ".txt");
    Write(chinese + ".txt");
    ASSERT_TRUE(ChangeDirectory(dir));
    struct Case {
        std::string ansi;
        std::string whole; // empty: the system keeps no other line
        Strings expected;
    };
    const Case kCases[] = {
        {"p ???.txt", "p " + greek + ".txt", {greek + ".txt"}},
        {"p a.txt", "p \xC4\x81.txt", {"\xC4\x81.txt"}}, // a look-alike for a-macron
        {"p \"\xCE\xB1 b\"\\x ?.txt", "p \"\xCE\xB1 b\"\\x ?.txt", {"\xCE\xB1 b\\x", "a.txt"}},
        {"p caf\xE9.txt", "p caf\xC3\xA9.txt", {"caf\xC3\xA9.txt"}},
        {"p ?*.txt ?*", "p \xCE\xB1*.txt \xE6\x96\x87*", {greek + ".txt", chinese + ".txt"}},
        {"p ab??efgh.txt", "", {"abcdefgh.txt"}},
    };
    for (const Case& c : kCases) {
        std::vector<Argument> split = SplitProgramCommandLine(c.ansi.c_str(), c.whole.c_str());
        ASSERT_FALSE(split.empty()) << c.ansi;
        EXPECT_EQ("p", split[0].text);
        split.erase(split.begin());
        EXPECT_EQ(c.expected, ExpandArguments(split)) << c.ansi;
    }
}

} // namespace
