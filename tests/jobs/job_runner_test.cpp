// The print job runner: batches from list files, drops and the Open dialog,
// the settings set per file and its restoration, the log lines, deletion
// after printing, and a stop in the middle of a batch.
#include "jobs/job_runner.h"
#include "app/batch_sources.h"

#include "tests/app/app_test_support.h"
#include "analysis/file_analysis.h"
#include "common/code_pages.h"
#include "common/file_system.h"
#include "common/messages.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const char kSets[] = "Log set=1\r\nMine=1\r\n";
const char kSections[] = "[Log set]\r\nShowPrintDlg=0\r\nFileTypes=.log;.lst\r\n"
                         "[Mine]\r\nShowPrintDlg=0\r\n";

class JobRunnerTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        UseSettings(kSections, kSets);
        ResetDoubles();
    }
    static std::string Dispatch(const std::string& path, const char* set) {
        return "dispatch " + path + " with " + set;
    }
    static size_t Count(const std::string& call) {
        return static_cast<size_t>(std::count(RecordedCalls.begin(), RecordedCalls.end(), call));
    }
    // A batch of these entries, from the main window; true when it printed through.
    bool PrintBatch(const Strings& entries) {
        Batch batch = DroppedFilesBatch(entries, MainWindow);
        batch.deleteAfterPrint = deleteAfterPrint;
        return RunBatch(&batch);
    }
    bool Print(const std::string& entry) {
        return PrintBatch({entry});
    }
    bool deleteAfterPrint = false;
};

TEST_F(JobRunnerTest, ListFileStopsAtAMissingEntryAndTheBatchSetComesBack) {
    std::string a = Write("a.txt"), b = Write("b.log"), c = Write("c.txt");
    std::string missing = Path("missing.txt");
    // Written on Windows: CRLF line ends.
    std::string list = Write("files.lst", a + "\r\n" + b + "\r\n" + missing + "\r\n" + c + "\r\n");
    ASSERT_TRUE(LoadSettingsSet("Mine"));
    ResetDoubles();

    EXPECT_FALSE(Print("@" + list));
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{Dispatch(a, "Mine"), Dispatch(b, "Log set")}));
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text.rfind("Could not open " + missing + " \n", 0), 0u);
    EXPECT_EQ(ShownBoxes[0].kind, kMessageError);
    EXPECT_EQ(CallsStartingWith("progress begin"),
              (Strings{"progress begin 1", "progress begin 4"}));
    EXPECT_EQ(Count("progress end"), 2u); // the missing entry's and the list's
    EXPECT_EQ(RecordedCalls.back(), "progress end");
    EXPECT_STREQ(CurrentSetName, "Mine");
}

// A list that is UTF-8 names files in their own characters; any other list
// is in the ANSI code page, whose letters become the same names.
TEST_F(JobRunnerTest, ListFileIsReadAsUtf8WhenItIsAndAsAnsiOtherwise) {
    std::string greek = Write("\xCE\xB1\xCE\xB2.txt"), chinese = Write("\xE6\x96\x87.txt");
    std::string cafe = Write("caf\xC3\xA9.txt"), plain = Write("a.txt");
    char ansiCafe[kPathSize];
    ASSERT_TRUE(AnsiNameOf(cafe.c_str(), ansiCafe, sizeof ansiCafe)); // "caf\xE9" in 1252
    struct Case {
        const char* what;
        std::string list;
        Strings printed;
    };
    const Case cases[] = {
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + greek + "\r\n" + chinese + "\r\n", {greek, chinese}},
        {"UTF-8 without", plain + "\n" + cafe + "\n" + greek, {plain, cafe, greek}},
        {"ANSI", plain + "\n" + ansiCafe + "\n", {plain, cafe}},
    };
    for (const Case& c : cases) {
        ResetDoubles();
        std::string list = Write("files.lst", c.list);
        EXPECT_TRUE(Print("@" + list)) << c.what;
        Strings expected;
        for (const std::string& name : c.printed)
            expected.push_back(Dispatch(name, "Default settings"));
        EXPECT_EQ(CallsStartingWith("dispatch"), expected) << c.what;
        EXPECT_TRUE(ShownBoxes.empty()) << c.what;
    }
}

TEST_F(JobRunnerTest, NestedListPrintsWithinTheSameBatch) {
    std::string a = Write("a.txt"), b = Write("b.txt"), c = Write("c.txt"), d = Write("d.txt");
    std::string other = Write("other.lst", c + "\n" + d); // no line end after the last
    std::string list = Write("main.lst", a + "\n@" + other + "\n" + b + "\n");
    EXPECT_TRUE(Print("@" + list));
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{Dispatch(a, "Default settings"), Dispatch(c, "Default settings"),
                       Dispatch(d, "Default settings"), Dispatch(b, "Default settings")}));
    EXPECT_EQ(Count("idle"), 1u);
    EXPECT_EQ(Count("progress end"), 1u);
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(JobRunnerTest, AnAtNameIsAFileWhenSuchAFileExists) {
    ASSERT_TRUE(ChangeDirectory(dir));
    Write("@notes");
    std::string a = Write("a.txt");
    Write("notes", a + "\n");
    EXPECT_TRUE(Print("@notes"));
    ASSERT_TRUE(RemoveFile("@notes"));
    EXPECT_TRUE(Print("@notes"));
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{Dispatch("@notes", "Default settings"), Dispatch(a, "Default settings")}));
}

TEST_F(JobRunnerTest, EachFileGetsTheSetOfItsTypeAndTheUsersSetComesBack) {
    std::string a = Write("a.txt"), b = Write("b.LOG"), c = Write("c.txt");
    ASSERT_TRUE(LoadSettingsSet("Mine"));
    ResetDoubles();
    PrintDroppedFiles(MainWindow, {a, b, c});
    EXPECT_EQ(RecordedCalls.front(), "to top");
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{Dispatch(a, "Mine"), Dispatch(b, "Log set"), Dispatch(c, "Mine")}));
    EXPECT_EQ(CallsStartingWith("progress file"),
              (Strings{"progress file a.txt", "progress file b.LOG", "progress file c.txt"}));
    EXPECT_STREQ(CurrentSetName, "Mine");
}

// Whether text is formatted or sent raw belongs to the set that prints the
// file, not to the set of the file before it.
TEST_F(JobRunnerTest, EachFileIsClassifiedWithTheSetThatPrintsIt) {
    std::string one = Write("one.txt"), two = Write("two.lst"), three = Write("three.txt");
    UseSettings("[Plain lists]\r\nShowPrintDlg=0\r\nFileTypes=.lst;\r\nEnableTextPrint=0\r\n",
                "Plain lists=1\r\n");
    PrintDroppedFiles(MainWindow, {one, two, three});
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{Dispatch(one, "Default settings"), Dispatch(two, "Plain lists"),
                       Dispatch(three, "Default settings")}));
    EXPECT_EQ(OtherParts.dispatchedKinds, (std::vector<int>{Text, Binary, Text}));

    // The other way round: the user's set sends text raw, the bound set formats it.
    UseSettings("[Raw]\r\nShowPrintDlg=0\r\nEnableTextPrint=0\r\n"
                "[Formatted lists]\r\nShowPrintDlg=0\r\nFileTypes=.lst;\r\n",
                "Raw=1\r\nFormatted lists=1\r\n");
    ASSERT_TRUE(LoadSettingsSet("Raw"));
    ResetDoubles();
    PrintDroppedFiles(MainWindow, {one, two, three});
    EXPECT_EQ(OtherParts.dispatchedKinds, (std::vector<int>{Binary, Text, Binary}));
    EXPECT_STREQ(CurrentSetName, "Raw");
    EXPECT_EQ(CurrentSettings.EnableTextPrint, 0);
    EXPECT_TRUE(ShownBoxes.empty());
}

// Apply puts a set in force without saving it: a name the file does not
// list, or a listed set's values that differ from the file's. Loading the
// user's set by name again would lose it to the set of the file before.
TEST_F(JobRunnerTest, AnAppliedSetComesBackAsAppliedAfterAFileOfAnotherSet) {
    std::string a = Write("a.txt"), b = Write("b.log"), c = Write("c.txt");
    for (const char* applied : {"Unsaved", "Mine"}) {
        ASSERT_TRUE(LoadSettingsSet("Mine"));
        int stored = CurrentSettings.Lines;
        CurrentSettings.Lines = stored + 11; // as the dialog's Apply leaves it
        CopyText(CurrentSetName, sizeof CurrentSetName, applied);
        ResetDoubles();
        PrintDroppedFiles(MainWindow, {a, b, c});
        EXPECT_EQ(CallsStartingWith("dispatch"),
                  (Strings{Dispatch(a, applied), Dispatch(b, "Log set"), Dispatch(c, applied)}));
        EXPECT_EQ(OtherParts.dispatchedLines, (std::vector<int>{stored + 11, stored, stored + 11}))
            << applied;
        EXPECT_STREQ(CurrentSetName, applied);
        EXPECT_EQ(CurrentSettings.Lines, stored + 11) << applied;
        // The batch's last file had a set of its own.
        PrintDroppedFiles(MainWindow, {b});
        EXPECT_STREQ(CurrentSetName, applied);
        EXPECT_EQ(CurrentSettings.Lines, stored + 11) << applied;
    }
}

// Selecting the batch's printer again after a file of another set gives it
// its own copy count back; the batch's count (/#:) comes back with it.
TEST_F(JobRunnerTest, TheBatchsCopiesComeBackWithItsSet) {
    std::string a = Write("a.txt"), b = Write("b.log"), c = Write("c.txt");
    OtherParts.deviceCopies = 3; // as /#:3 left the device settings
    PrintDroppedFiles(MainWindow, {a, b, c});
    EXPECT_EQ(OtherParts.deviceCopies, 3);
    Strings copies;
    for (const std::string& call : RecordedCalls)
        if (call.rfind("select printer", 0) == 0 || call.rfind("copies", 0) == 0 ||
            call.rfind("dispatch", 0) == 0)
            copies.push_back(call);
    EXPECT_EQ(copies, (Strings{Dispatch(a, "Default settings"), "select printer ",
                               Dispatch(b, "Log set"), "select printer ", "copies 3",
                               Dispatch(c, "Default settings")}));
}

TEST_F(JobRunnerTest, AFailedFirstEntryDoesNotBringBackAnEarlierBatchSet) {
    std::string b = Write("b.log");
    EXPECT_TRUE(Print(b));
    EXPECT_STREQ(CurrentSetName, "Default settings");
    ASSERT_TRUE(LoadSettingsSet("Mine"));
    EXPECT_FALSE(Print(Path("missing.txt")));
    EXPECT_STREQ(CurrentSetName, "Mine");
}

TEST_F(JobRunnerTest, EchoWritesStartAndDoneLinesInOrder) {
    std::string a = Write("a.txt"), b = Write("b.txt"), log = Path("echo.log");
    ASSERT_TRUE(LogOpen(log.c_str()));
    EchoToLog = true;
    PrintDroppedFiles(MainWindow, {a, b});
    LogClose();
    std::vector<std::string> lines = ReadTestLines(log);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1].rfind("! Start printing: " + a + " * ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("! Done printing:  " + a + " * ", 0), 0u);
    EXPECT_EQ(lines[3].rfind("! Start printing: " + b + " * ", 0), 0u);
    EXPECT_EQ(lines[4].rfind("! Done printing:  " + b + " * ", 0), 0u);
}

TEST_F(JobRunnerTest, DeleteAfterPrintDeletesOnlyWhatWasPrinted) {
    std::string a = Write("a.txt"), b = Write("b.txt"), log = Path("echo.log");
    std::string c = Write("c.txt"), d = Write("d.txt");
    deleteAfterPrint = true;
    OtherParts.dispatchSucceeds = false;
    EXPECT_FALSE(Print(a));
    EXPECT_TRUE(PathExists(a.c_str())) << "a file that did not print is kept";
    OtherParts.dispatchSucceeds = true;
    OtherParts.stopDuringDispatch = true;
    EXPECT_FALSE(Print(c));
    EXPECT_TRUE(PathExists(c.c_str())) << "a stopped file is kept";
    OtherParts.stopDuringDispatch = false;
    StopRequested = false;
    EXPECT_TRUE(Print(d));
    EXPECT_FALSE(PathExists(d.c_str()));

    ASSERT_TRUE(LogOpen(log.c_str()));
    EchoToLog = true;
    CurrentSettings.ShowPrintDlg = 1;
    ResetDoubles();
    OtherParts.printerDialogConfirmed = false;
    EXPECT_FALSE(PrintBatch({b, d}));
    EXPECT_TRUE(PathExists(b.c_str()));
    EXPECT_EQ(CallsWithoutBeeps(), (Strings{"busy", "printer dialog " + b, "idle"}));
    LogClose();
    EXPECT_EQ(ReadTestLines(log).size(), 2u); // started and stopped only
}

TEST_F(JobRunnerTest, StopDuringTheFirstOfThreeEndsTheBatch) {
    std::string a = Write("a.txt"), b = Write("b.txt"), c = Write("c.txt");
    OtherParts.stopDuringDispatch = true;
    PrintDroppedFiles(MainWindow, {a, b, c});
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    EXPECT_EQ(RecordedCalls.back(), "progress end");
    EXPECT_EQ(Count("idle"), 1u);
    EXPECT_TRUE(ShownBoxes.empty());

    // The next batch starts afresh.
    OtherParts.stopDuringDispatch = false;
    EXPECT_TRUE(Print(b));
}

// Once a file's job is with the spooler the file has printed; a stop that
// comes then ends the batch after it. Taken for a failure, the file would
// stay (and a spooler would print it again).
TEST_F(JobRunnerTest, AStopAfterTheJobEndsTheBatchButTheFileHasPrinted) {
    std::string a = Write("a.txt"), b = Write("b.txt");
    StopOnceAJobIsDone([] { StopRequested = true; });
    Batch batch = DroppedFilesBatch({a, b}, MainWindow);
    batch.deleteAfterPrint = true;
    EXPECT_FALSE(RunBatch(&batch));
    EXPECT_EQ(batch.entries[0].outcome, kEntryPrinted);
    EXPECT_EQ(batch.entries[1].outcome, kEntryNotReached);
    EXPECT_FALSE(PathExists(a.c_str()));
    EXPECT_TRUE(PathExists(b.c_str()));
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    EXPECT_EQ(RecordedCalls.back(), "progress end");
}

TEST_F(JobRunnerTest, CancelledSettingsDialogDropsNothing) {
    std::string a = Write("a.txt");
    CurrentSettings.EnablePrefsDD = 1;
    OtherParts.settingsDialogConfirmed = false;
    PrintDroppedFiles(MainWindow, {a});
    EXPECT_EQ(RecordedCalls, (Strings{"to top", "settings dialog"}));
}

TEST_F(JobRunnerTest, OpenSelectionOfOnePathOrOfADirectoryAndNames) {
    std::string a = Write("a.txt"), b = Write("b.txt");
    EXPECT_TRUE(PrintOpenSelection(std::string(a + '\0' + '\0').c_str(), MainWindow));
    std::string names = std::string("a.txt") + '\0' + "b.txt" + '\0' + '\0';
    EXPECT_TRUE(PrintOpenSelection((dir + '\0' + names).c_str(), MainWindow));
    EXPECT_TRUE(PrintOpenSelection((dir + "\\" + '\0' + names).c_str(), MainWindow));
    const char* set = "Default settings";
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{Dispatch(a, set), Dispatch(a, set), Dispatch(b, set), Dispatch(a, set),
                       Dispatch(b, set)}));
    EXPECT_EQ(CallsStartingWith("progress begin"),
              (Strings{"progress begin 1", "progress begin 2", "progress begin 2"}));

    // After the first failure the other names are skipped.
    ResetDoubles();
    std::string missingFirst = std::string("none.txt") + '\0' + "a.txt" + '\0' + '\0';
    EXPECT_FALSE(PrintOpenSelection((dir + '\0' + missingFirst).c_str(), MainWindow));
    EXPECT_EQ(ShownBoxes.size(), 1u);
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
}

// The Open dialog's buffer belongs to the window, which frees it at Exit,
// and Exit can arrive through the pump while the batch still runs.
TEST_F(JobRunnerTest, TheOpenSelectionIsWalkedFromTheBatchsOwnCopy) {
    std::string a = Write("a.txt"), b = Write("b.txt"), c = Write("c.txt");
    std::string selection = dir + '\0' + "a.txt" + '\0' + "b.txt" + '\0' + "c.txt" + '\0' + '\0';
    char* buffer = static_cast<char*>(std::malloc(selection.size()));
    ASSERT_NE(buffer, nullptr);
    std::memcpy(buffer, selection.data(), selection.size());
    OtherParts.duringPump = [buffer] { std::free(buffer); };
    EXPECT_TRUE(PrintOpenSelection(buffer, MainWindow));
    const char* set = "Default settings";
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{Dispatch(a, set), Dispatch(b, set), Dispatch(c, set)}));
}

// The pump hands out the user's commands while a batch runs. One that would
// start another batch is refused, even while the first file is still being
// analysed, before the window shows itself busy.
TEST_F(JobRunnerTest, NoBatchStartsInsideARunningOne) {
    std::string ps = Write("a.ps", "%!PS-Adobe-3.0\n%%Pages: 1\n%%Page: 1 1\nshowpage\n");
    std::string other = Write("b.txt");
    std::string selection = other + '\0' + '\0';
    bool refused = false, running = false;
    OtherParts.duringPump = [&] {
        running = BatchRunning();
        PrintDroppedFiles(MainWindow, {other});
        refused = !PrintOpenSelection(selection.c_str(), MainWindow) &&
                  !Print(other);
    };
    EXPECT_TRUE(Print(ps));
    EXPECT_TRUE(running);
    EXPECT_TRUE(refused);
    EXPECT_FALSE(BatchRunning());
    EXPECT_EQ(RecordedCalls.front(), "status Checking PostScript file");
    EXPECT_EQ(Count("beep 1"), 3u);
    EXPECT_EQ(CallsStartingWith("dispatch"), (Strings{Dispatch(ps, "Default settings")}));
    EXPECT_EQ(Count("busy"), 1u);
    EXPECT_EQ(Count("idle"), 1u);
    EXPECT_TRUE(ShownBoxes.empty());

    // Once it has ended, the next batch runs.
    EXPECT_TRUE(PrintOpenSelection(selection.c_str(), MainWindow));
}

TEST_F(JobRunnerTest, AListThatNamesItselfEndsWithAMessageNotACrash) {
    std::string list = Path("self.lst");
    Write("self.lst", "@" + list + "\n");
    EXPECT_FALSE(Print("@" + list));
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text.rfind("Failed to open list file " + list, 0), 0u);
    EXPECT_STREQ(CurrentSetName, "Default settings");
}

TEST_F(JobRunnerTest, AListNamingItselfPrintsItsFilesOnlyABoundedNumberOfTimes) {
    std::string a = Write("a.txt"), b = Write("b.txt"), list = Path("self.lst");
    Write("self.lst", a + "\n@" + list + "\n" + b + "\n");
    EXPECT_FALSE(Print("@" + list));
    // Each level prints a.txt before it names itself again; a sane depth of
    // nesting, not hundreds of copies, and the failure ends every level, so
    // b.txt is never reached.
    size_t printed = Count(Dispatch(a, "Default settings"));
    EXPECT_GE(printed, 2u);
    EXPECT_LE(printed, 32u);
    EXPECT_EQ(Count(Dispatch(b, "Default settings")), 0u);
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text.rfind("Failed to open list file " + list, 0), 0u);
    EXPECT_EQ(RecordedCalls.back(), "progress end");
}

// A list line longer than any path would otherwise be read in pieces, each
// taken for a file of its own.
TEST_F(JobRunnerTest, AnOverlongListLineIsRefusedAndTheListGoesOn) {
    std::string a = Write("a.txt");
    std::string list = Write("files.lst", std::string(kPathChars + 30, 'x') + "\n" + a + "\n");
    EXPECT_TRUE(Print("@" + list));
    EXPECT_EQ(CallsStartingWith("dispatch"), (Strings{Dispatch(a, "Default settings")}));
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text.rfind("Could not open xxx", 0), 0u);
    EXPECT_EQ(ShownBoxes[0].kind, kMessageError);
    EXPECT_EQ(CallsStartingWith("progress begin"),
              (Strings{"progress begin 1", "progress begin 2"}));
}

TEST_F(JobRunnerTest, MissingListFileIsReported) {
    EXPECT_FALSE(Print("@" + Path("none.lst")));
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text.rfind("Failed to open list file ", 0), 0u);
    EXPECT_EQ(RecordedCalls.back(), "progress end");
}

#ifndef _WIN32
// Windows' ANSI file functions stop at 260 characters, so a list entry of
// the full 770 can only be opened here.
TEST_F(JobRunnerTest, ALineOfExactlyTheBufferLengthIsOneEntry) {
    std::string a = Write("a.txt"), other = Write("other.lst", a + "\n");
    std::string padded = dir;
    while (1 + padded.size() + 2 + std::string("\\other.lst").size() <= kPathChars)
        padded += "\\.";
    std::string entry = "@" + padded + "\\other.lst";
    entry.insert(1, kPathChars - entry.size(), '/');
    ASSERT_EQ(entry.size(), static_cast<size_t>(kPathChars));
    std::string list = Write("main.lst", entry + "\n" + a + "\n");
    EXPECT_TRUE(Print("@" + list));
    EXPECT_TRUE(ShownBoxes.empty());
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 2u);
}
#endif

#ifndef _WIN32
// Under /delete a line made of two names, the first of them exactly as long
// as the buffer, would print and delete both files.
TEST_F(JobRunnerTest, AnOverlongListLineDeletesNothing) {
    std::string a = Write("a.txt"), b = Write("b.txt"), c = Write("c.txt");
    std::string line = PaddedPath(a, kPathChars) + b;
    std::string list = Write("files.lst", line + "\n" + c + "\n");
    deleteAfterPrint = true;
    EXPECT_TRUE(Print("@" + list));
    EXPECT_EQ(CallsStartingWith("dispatch"), (Strings{Dispatch(c, "Default settings")}));
    EXPECT_TRUE(PathExists(a.c_str()));
    EXPECT_TRUE(PathExists(b.c_str()));
    EXPECT_FALSE(PathExists(c.c_str()));
    EXPECT_EQ(ShownBoxes.size(), 1u);
}
#endif

} // namespace
