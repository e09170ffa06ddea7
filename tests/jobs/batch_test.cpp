// The batch each source builds: its entries in order, how it runs, and the
// list file read into entries.
#include "jobs/batch.h"

#include "tests/app/app_test_support.h"
#include "common/paths.h"

namespace {

class BatchTest : public ShellTest {};

Strings Names(const Batch& batch) {
    Strings names;
    for (const BatchEntry& entry : batch.entries)
        names.push_back(entry.name);
    return names;
}

TEST_F(BatchTest, EachSourceBuildsItsEntriesAndHowTheyRun) {
    ASSERT_TRUE(ChangeDirectory(dir));
    std::string a = Write("a.txt"), b = Write("b.txt");
    WindowRef window = reinterpret_cast<WindowRef>(0x10);
    std::string names = std::string("a.txt") + '\0' + "b.txt" + '\0' + '\0';
    struct Case {
        const char* source;
        Batch batch;
        Strings entries;
        WindowRef owner;
        bool unattended, deleteAfterPrint, echoToLog;
    };
    EchoToLog = true;
    std::string fullA = ResolvePath("a.txt", true), fullB = ResolvePath("b.txt", true);
    const Case cases[] = {
        // Relative names become full long paths; a list reference stays as given.
        {"command line", CommandLineBatch({"a.txt", "@b.lst", "b.txt"}, window, true),
         {fullA, "@b.lst", fullB}, window, false, true, true},
        {"open dialog, one path", OpenSelectionBatch((a + '\0' + '\0').c_str(), window), {a},
         window, false, false, true},
        {"open dialog, directory and names", OpenSelectionBatch((dir + '\0' + names).c_str(), window),
         {a, b}, window, false, false, true},
        {"open dialog, root directory", OpenSelectionBatch((dir + "\\" + '\0' + names).c_str(), window),
         {a, b}, window, false, false, true},
        {"drop", DroppedFilesBatch({b, a}, window), {b, a}, window, false, false, true},
        {"one file", SingleFileBatch(a, nullptr), {a}, nullptr, false, false, true},
        {"spooler", SpooledFileBatch(a), {a}, nullptr, true, false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Names(c.batch), c.entries) << c.source;
        EXPECT_EQ(c.batch.owner, c.owner) << c.source;
        EXPECT_EQ(c.batch.unattended, c.unattended) << c.source;
        EXPECT_EQ(c.batch.deleteAfterPrint, c.deleteAfterPrint) << c.source;
        EXPECT_EQ(c.batch.echoToLog, c.echoToLog) << c.source;
        EXPECT_TRUE(c.batch.endAtFailure) << c.source;
        for (const BatchEntry& entry : c.batch.entries)
            EXPECT_EQ(entry.outcome, kEntryNotReached) << c.source;
    }
    EXPECT_FALSE(SpooledFileBatch(a).deleteAfterPrint) << "the spooler deletes, after its backup";
    EchoToLog = false;
    EXPECT_FALSE(SingleFileBatch(a, nullptr).echoToLog);
}

TEST_F(BatchTest, AListFileBecomesItsLinesInItsEncoding) {
    struct Case {
        const char* what;
        std::string text;
        Strings lines;
        std::vector<bool> overlong;
    };
    const std::string tooLong(kPathChars + 1, 'x');
    const Case cases[] = {
        {"CR LF, empty lines kept", "a\r\n\r\nb\r\n", {"a", "", "b"}, {false, false, false}},
        {"no line end after the last", "a\nb", {"a", "b"}, {false, false}},
        {"UTF-8 with a mark", "\xEF\xBB\xBF\xCE\xB1\n", {"\xCE\xB1"}, {false}},
        {"ANSI: the mark's bytes are letters", "\xEF\xBB\xBF" "caf\xE9\n",
         {"\xC3\xAF\xC2\xBB\xC2\xBF" "caf\xC3\xA9"}, {false}},
        {"a line longer than any path", tooLong + "\na\n", {tooLong.substr(0, kPathChars), "a"},
         {true, false}},
    };
    for (const Case& c : cases) {
        std::vector<BatchEntry> lines;
        ASSERT_TRUE(ReadListFile(Write("list.lst", c.text).c_str(), &lines)) << c.what;
        Strings names;
        std::vector<bool> overlong;
        for (const BatchEntry& line : lines) {
            names.push_back(line.name);
            overlong.push_back(line.overlong);
        }
        EXPECT_EQ(names, c.lines) << c.what;
        EXPECT_EQ(overlong, c.overlong) << c.what;
    }
    std::vector<BatchEntry> lines;
    EXPECT_FALSE(ReadListFile(Path("none.lst").c_str(), &lines));
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text.rfind("Failed to open list file ", 0), 0u);
}

} // namespace
