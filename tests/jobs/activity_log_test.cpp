// The activity log: line format and time stamp, write versus append, the
// first log of a run winning, and lines written only while a log is open.
#include "jobs/activity_log.h"

#include "tests/app/app_test_support.h"
#include "common/code_pages.h"
#include "common/file_system.h"
#include "common/messages.h"

#include <ctime>

namespace {

class ActivityLogTest : public ShellTest {};

void UseUniversalTime() {
#ifdef _WIN32
    _putenv("TZ=UTC0");
    _tzset();
#else
    setenv("TZ", "UTC", 1);
    tzset();
#endif
}

TEST(FormatLogTime, FixedWidthWithZeroPaddedDay) {
    UseUniversalTime();
    char stamp[64];
    FormatLogTime(1796545440LL, stamp, sizeof stamp); // 2026-12-06 08:24:00 UTC
    EXPECT_STREQ(stamp, "Sun Dec 06 08:24:00 2026");
    FormatLogTime(1796545440LL + 3 * 86400 + 15 * 3600 + 35 * 60 + 59, stamp, sizeof stamp);
    EXPECT_STREQ(stamp, "Wed Dec 09 23:59:59 2026");
    FormatLogTime(0, stamp, sizeof stamp);
    EXPECT_STREQ(stamp, "Thu Jan 01 00:00:00 1970");
    char small[8];
    FormatLogTime(0, small, sizeof small);
    EXPECT_STREQ(small, "Thu Jan"); // cut, not overrun
}

// "Sun Dec 06 08:24:00 2026": letters, digits and separators where they belong.
bool IsStamp(const std::string& text) {
    const char shape[] = "Aaa Aaa 00 00:00:00 0000";
    if (text.size() != sizeof shape - 1)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i], want = shape[i];
        bool fits = want == 'A'   ? (c >= 'A' && c <= 'Z')
                    : want == 'a' ? (c >= 'a' && c <= 'z')
                    : want == '0' ? (c >= '0' && c <= '9')
                                  : c == want;
        if (!fits)
            return false;
    }
    return true;
}

// The line is `record`, " * " and a time stamp.
bool IsLogLine(const std::string& line, const std::string& record) {
    return line.size() > record.size() + 3 && line.compare(0, record.size(), record) == 0 &&
           line.compare(record.size(), 3, " * ") == 0 && IsStamp(line.substr(record.size() + 3));
}

TEST_F(ActivityLogTest, LinesArePrefixTextSeparatorAndStamp) {
    std::string log = Path("run.log");
    ASSERT_TRUE(LogOpen(log.c_str()));
    LogLine("! Start printing: ", "C:\\a b.txt");
    ShowMessage(kTextClipboardNoText, "", 0, kMessageError);
    LogClose();
    LogLine("* ", "after the close");
    std::vector<std::string> lines = ReadTestLines(log);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(IsLogLine(lines[0], "-- Ravlen started")) << lines[0];
    EXPECT_TRUE(IsLogLine(lines[1], "! Start printing: C:\\a b.txt")) << lines[1];
    EXPECT_TRUE(IsLogLine(lines[2], "* The clipboard does not contain any text")) << lines[2];
    EXPECT_TRUE(IsLogLine(lines[3], "-- Ravlen stopped")) << lines[3];
    EXPECT_FALSE(LogIsOpen());
}

TEST_F(ActivityLogTest, PlusAppendsOtherwiseTheLogStartsAfresh) {
    std::string log = Path("run.log");
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(LogOpen(("+" + log).c_str()));
        LogClose();
    }
    EXPECT_EQ(ReadTestLines(log).size(), 4u);
    ASSERT_TRUE(LogOpen(log.c_str()));
    EXPECT_TRUE(LogIsOpen());
    LogClose();
    EXPECT_EQ(ReadTestLines(log).size(), 2u);
}

// Names are written so that they read back: a new log is UTF-8 with its mark;
// an older log in the ANSI code page stays in it, with <U+XXXX> for the
// letters it lacks and its own bytes for those it holds. Every text logged is
// UTF-8: one from the settings file was converted where it was read.
TEST_F(ActivityLogTest, NamesKeepTheirLettersInTheLogsEncoding) {
    const std::string greek = "\xCE\xB1\xCE\xB2.txt", cafe = "caf\xC3\xA9";
    char ansiCafe[16];
    ASSERT_TRUE(AnsiNameOf(cafe.c_str(), ansiCafe, sizeof ansiCafe));
    struct Case {
        const char* what;
        std::string before; // none: no file
        bool append;
        std::string expected; // the file up to the first stamp, then the name line's start
    } cases[] = {
        {"new", "", false, "\xEF\xBB\xBF-- Ravlen started * "},
        {"appended to nothing", "", true, "\xEF\xBB\xBF-- Ravlen started * "},
        {"appended in UTF-8", "\xEF\xBB\xBFold\n", true, "\xEF\xBB\xBFold\n-- Ravlen started * "},
        {"appended in ANSI", "old\n", true, "old\n-- Ravlen started * "},
    };
    for (const Case& c : cases) {
        std::string log = Path("names.log");
        RemoveFile(log.c_str());
        if (!c.before.empty()) {
            ASSERT_TRUE(WriteTestFile(log, c.before));
        }
        ASSERT_TRUE(LogOpen(((c.append ? "+" : "") + log).c_str())) << c.what;
        LogLine("! ", (greek + " " + cafe).c_str());
        LogClose();
        std::string text = ReadTestFile(log);
        EXPECT_EQ(0u, text.find(c.expected)) << c.what;
        bool ansi = c.before == "old\n";
        std::string name =
            ansi ? "<U+03B1><U+03B2>.txt " + std::string(ansiCafe) : greek + " " + cafe;
        EXPECT_NE(std::string::npos, text.find("\n! " + name + " * ")) << c.what;
    }
}

TEST_F(ActivityLogTest, TheFirstLogOfARunWinsAndFailuresAreSilent) {
    std::string first = Path("first.log"), second = Path("second.log");
    ASSERT_TRUE(LogOpen(first.c_str()));
    EXPECT_FALSE(LogOpen(second.c_str()));
    EXPECT_FALSE(PathExists(second.c_str()));
    LogClose();

    EXPECT_FALSE(LogOpen(Path("no such dir\\x.log").c_str()));
    EXPECT_FALSE(LogIsOpen());
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(ActivityLogTest, LinesAreOnDiskBeforeTheLogCloses) {
    std::string log = Path("run.log");
    ASSERT_TRUE(LogOpen(log.c_str()));
    LogLine("* ", "first");
    EXPECT_EQ(ReadTestLines(log).size(), 2u);
}

} // namespace
