// One spooler scan: which files print, which stay for a later scan, backup
// copies, and the timer stopped while the scan runs.
#include "jobs/job_runner.h"
#include "jobs/spool_files.h"
#include "jobs/spooler.h"

#include "tests/app/app_test_support.h"
#include "common/messages.h"
#include "common/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <set>

namespace {

class SpoolerTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        SpoolerMode = true;
        ResetSpoolerMemory();
        CopyText(SpoolerPattern, sizeof SpoolerPattern, Path("*.prn").c_str());
    }
    // The next scan, one timer interval later; the script stays.
    static void NextTick() {
        RecordedCalls.clear();
        ShownBoxes.clear();
        OtherParts.localClock += kSpoolerIntervalMs;
        SpoolerTick();
    }
    // A first scan that sees the files, and the next one, which finds them
    // unchanged and prints them.
    static void SeeThenTick() {
        RecordedCalls.clear();
        SpoolerTick();
        EXPECT_TRUE(CallsStartingWith("dispatch").empty()) << "printed at first sight";
        NextTick();
    }
};

TEST_F(SpoolerTest, PrintsAndDeletesWhatItCanAndLeavesTheRestForLater) {
    std::string a = Write("a.prn"), b = Write("b.prn"), c = Write("c.prn");
    std::string readOnly = Write("r.prn"), other = Write("x.txt");
    SetReadOnly(readOnly, true);
    OtherParts.dispatchFailsFor = "b.prn";

    SeeThenTick();
    EXPECT_EQ(RecordedCalls.front(), "spooler timer off");
    EXPECT_EQ(RecordedCalls.back(), "spooler timer on");
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 3u);
    // The window stays busy from one file to the next and goes idle once,
    // after the last.
    EXPECT_EQ(CallsStartingWith("idle").size(), 1u);
    auto idle = std::find(RecordedCalls.begin(), RecordedCalls.end(), "idle");
    EXPECT_EQ(std::find_if(idle, RecordedCalls.end(),
                           [](const std::string& call) { return call.rfind("dispatch", 0) == 0; }),
              RecordedCalls.end());
    EXPECT_FALSE(PathExists(a.c_str()));
    EXPECT_TRUE(PathExists(b.c_str()));
    EXPECT_FALSE(PathExists(c.c_str()));
    EXPECT_TRUE(PathExists(readOnly.c_str()));
    EXPECT_TRUE(PathExists(other.c_str()));

    // The failed file is tried again at the next scan, after its first wait.
    OtherParts.dispatchFailsFor.clear();
    NextTick();
    EXPECT_EQ(CallsStartingWith("dispatch"), (Strings{"dispatch " + b + " with Default settings"}));
    EXPECT_FALSE(PathExists(b.c_str()));
    SetReadOnly(readOnly, false);
}

TEST_F(SpoolerTest, BackupCopiesReplaceEarlierOnes) {
    std::string saved = Path("saved");
    ASSERT_TRUE(MakeDirectory(saved.c_str()));
    CopyText(BackupDirectory, sizeof BackupDirectory, saved.c_str());
    Write("a.prn", "first");
    SeeThenTick();
    Write("a.prn", "second");
    SeeThenTick();
    EXPECT_EQ(ReadTestFile(saved + "\\a.prn"), "second");
    EXPECT_FALSE(PathExists(Path("a.prn").c_str()));
    EXPECT_TRUE(ShownBoxes.empty());
}

// A printed file that is still there after the scan (its backup copy or its
// deletion failed) was printed once, and that is enough: later scans finish
// the job without printing it again, unless the file has changed since.
TEST_F(SpoolerTest, APrintedFileThatStaysIsNotPrintedAgainUntilItChanges) {
    std::string saved = Path("saved");
    struct Case {
        const char* name;
        std::string backup;
        const char* message;
        std::function<void(bool)> refuse;
    } cases[] = {
        {"deletion refused", "", "An error occured when accessing ",
         [](bool on) {
             OtherParts.undeletable.clear();
             if (on)
                 OtherParts.undeletable.insert("a.prn");
         }},
        {"backup copy refused", saved, "Failed to create backup copy file: ",
         [saved](bool on) {
             on ? RemoveDirectoryTree(saved.c_str()) : MakeDirectory(saved.c_str());
         }},
    };
    for (const Case& c : cases) {
        CopyText(BackupDirectory, sizeof BackupDirectory, c.backup.c_str());
        c.refuse(true);
        std::string a = Write("a.prn", "first");
        SeeThenTick();
        EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u) << c.name;
        ASSERT_EQ(ShownBoxes.size(), 1u) << c.name;
        EXPECT_EQ(ShownBoxes[0].text.rfind(c.message, 0), 0u) << c.name;
        EXPECT_EQ(ShownBoxes[0].kind, kMessageError) << c.name;
        EXPECT_EQ(ReadTestFile(a), "first") << c.name;

        NextTick(); // neither printed nor reported again
        EXPECT_TRUE(CallsStartingWith("dispatch").empty()) << c.name;
        EXPECT_TRUE(ShownBoxes.empty()) << c.name;
        EXPECT_TRUE(PathExists(a.c_str())) << c.name;

        Write("a.prn", "second"); // a new file of the same name prints
        SeeThenTick();
        EXPECT_EQ(OtherParts.dispatchedBytes, "second") << c.name;
        EXPECT_EQ(ShownBoxes.size(), 1u) << c.name;

        c.refuse(false);
        NextTick(); // the job finished without printing it twice
        EXPECT_TRUE(CallsStartingWith("dispatch").empty()) << c.name;
        EXPECT_TRUE(ShownBoxes.empty()) << c.name;
        EXPECT_FALSE(PathExists(a.c_str())) << c.name;
        if (!c.backup.empty()) {
            EXPECT_EQ(ReadTestFile(saved + "\\a.prn"), "second");
        }
    }
}

// Several spoolers on one directory: a file another instance has taken is
// skipped without a word and printed later if it is still there; the claim
// is let go after every outcome but one, a printed file that could not be
// deleted, which stays taken until it goes or changes.
TEST_F(SpoolerTest, AFileIsPrintedOnlyWhileThisInstanceHasTakenIt) {
    std::string a = Write("a.prn"), b = Write("b.prn");
    OtherParts.takenElsewhere.insert("a.prn");
    SeeThenTick();
    EXPECT_EQ(CallsStartingWith("dispatch"), (Strings{"dispatch " + b + " with Default settings"}));
    EXPECT_TRUE(PathExists(a.c_str()));
    EXPECT_TRUE(ShownBoxes.empty());
    OtherParts.takenElsewhere.clear();
    NextTick();
    EXPECT_EQ(CallsStartingWith("dispatch"), (Strings{"dispatch " + a + " with Default settings"}));
    EXPECT_FALSE(PathExists(a.c_str()));
    EXPECT_TRUE(OtherParts.claimsHeld.empty());

    struct Case {
        const char* name;
        std::function<void(bool)> outcome;
        bool stays;
    } cases[] = {
        {"failed", [](bool on) { OtherParts.dispatchFailsFor = on ? "c.prn" : ""; }, true},
        {"stopped", [](bool on) { OtherParts.stopDuringDispatch = on; }, true},
        {"left out", [](bool on) { OtherParts.dispatchSkipsFor = on ? "c.prn" : ""; }, true},
        {"printed", [](bool) {}, false},
    };
    for (const Case& c : cases) {
        std::string file = Write("c.prn", c.name);
        c.outcome(true);
        SeeThenTick();
        c.outcome(false);
        EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u) << c.name;
        EXPECT_EQ(PathExists(file.c_str()), c.stays) << c.name;
        EXPECT_TRUE(OtherParts.claimsHeld.empty()) << c.name;
        RemoveFile(file.c_str());
    }

    // Not deleted: held, so that no other instance prints it again, until
    // it has gone.
    std::string d = Write("d.prn");
    OtherParts.undeletable.insert("d.prn");
    SeeThenTick();
    EXPECT_EQ(OtherParts.claimsHeld, (std::multiset<std::string>{"d.prn"}));
    NextTick();
    EXPECT_EQ(OtherParts.claimsHeld, (std::multiset<std::string>{"d.prn"}));
    ASSERT_TRUE(RemoveFile(d.c_str()));
    NextTick();
    EXPECT_TRUE(OtherParts.claimsHeld.empty());
}

// Content written into a file by a program that ignores the claim (a writer
// on the file server's own side), while it prints or just before it is taken,
// is newer than what would print: it stays, and a later scan prints it.
TEST_F(SpoolerTest, AFileWrittenToWhileBeingTakenOrPrintedIsNotLost) {
    std::string a = Write("a.prn", "first");
    std::function<void()> rewriteWhilePrinting = [&] {
        if (CallsStartingWith("dispatch").empty())
            OtherParts.duringPump = rewriteWhilePrinting;
        else
            Write("a.prn", "second, longer");
    };
    OtherParts.duringPump = rewriteWhilePrinting;
    SeeThenTick();
    EXPECT_EQ(OtherParts.dispatchedBytes, "first");
    EXPECT_EQ(ReadTestFile(a), "second, longer");
    EXPECT_TRUE(ShownBoxes.empty());
    EXPECT_TRUE(OtherParts.claimsHeld.empty());
    SeeThenTick();
    EXPECT_EQ(OtherParts.dispatchedBytes, "second, longer");
    EXPECT_FALSE(PathExists(a.c_str()));

    // Written to between the look at its times and the claim: it has not
    // settled after all.
    std::string b = Write("b.prn", "first");
    OtherParts.beforeClaim = [&] {
        Write("b.prn", "first and more");
        OtherParts.writeTimes["b.prn"] = 7;
    };
    SeeThenTick();
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    EXPECT_TRUE(OtherParts.claimsHeld.empty());
    NextTick();
    EXPECT_EQ(OtherParts.dispatchedBytes, "first and more");
    EXPECT_FALSE(PathExists(b.c_str()));
}

// A file server without large-file locking refuses a lock far beyond the
// end, not because another instance holds it. That is said once, with the
// server's error, and the claim goes on at the lower offsets the server
// takes (the log says which), so the file prints, and the next one without a
// word; a server that takes no lock at all leaves the share mode alone.
TEST_F(SpoolerTest, ALockTheServerRefusesIsReportedOnceAndTheClaimFallsBack) {
    struct Case {
        const char* name;
        long long serverLockLimit;
        unsigned locks;    // the offsets claims lock from then on
        size_t refusals;   // warnings shown, one for each offset refused
        const char* moved; // the last "Claim lock at" line; none when empty
    } cases[] = {
        {"large-file locking", 0x7FFFFFFFFFFFFFFFLL, kEveryClaimLock, 0, ""},
        {"32-bit offsets", 1LL << 32, 6, 1, "4294967294, 2147483646"},
        {"signed 32-bit offsets", 1LL << 31, 4, 2, "2147483646"},
        {"no locks", 0, 0, 3,
         "no offset: the file server takes no lock, and only the share mode holds a claimed "
         "file"},
    };
    const std::string offsets[] = {"4611686018427387904", "4294967294", "2147483646"};
    for (const Case& c : cases) {
        ResetSpoolerMemory();
        std::string log = Path("spool.log");
        ASSERT_TRUE(LogOpen(log.c_str()));
        OtherParts.serverLockLimit = c.serverLockLimit;
        std::string a = Write("a.prn");
        SeeThenTick();
        EXPECT_EQ(CallsStartingWith("dispatch"),
                  (Strings{"dispatch " + a + " with Default settings"}))
            << c.name;
        ASSERT_EQ(ShownBoxes.size(), c.refusals) << c.name;
        for (size_t i = 0; i < c.refusals; ++i) {
            EXPECT_EQ(ShownBoxes[i].text,
                      "The file server refused the spooler's claim lock at offset " + offsets[i] +
                          "; from now on the claim locks only at the offsets it accepts\n"
                          "System error 87: The parameter is incorrect.")
                << c.name;
            EXPECT_EQ(ShownBoxes[i].kind, kMessageWarning) << c.name;
        }
        ASSERT_FALSE(OtherParts.claimLocks.empty()) << c.name;
        EXPECT_EQ(OtherParts.claimLocks.back(), c.locks) << c.name;

        std::string b = Write("b.prn");
        SeeThenTick();
        EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u) << c.name;
        EXPECT_TRUE(ShownBoxes.empty()) << c.name;
        EXPECT_EQ(OtherParts.claimLocks.back(), c.locks) << c.name;
        LogClose();

        std::string moved;
        for (const std::string& line : ReadTestLines(log))
            if (line.rfind("! Claim lock at:   ", 0) == 0)
                moved = line.substr(19, line.find(" * ") - 19);
        EXPECT_EQ(moved, c.moved) << c.name;
        RemoveFile(log.c_str());
    }
}

// Unattended means no printer dialog and no progress window, whichever set
// prints a file and whichever set comes back after it.
TEST_F(SpoolerTest, NoSetLoadedDuringTheRunBringsThePrinterDialogBack) {
    UseSettings("[Mine]\r\nProgrBar=1\r\n[Bound]\r\nProgrBar=1\r\nFileTypes=.prn;\r\n",
                "Mine=1\r\nBound=1\r\n");
    std::string ini = ReadTestFile(Path("ravlen.ini"));
    ASSERT_TRUE(LoadSettingsSet("Mine"));
    CurrentSettings.ShowPrintDlg = 0; // as the spooler's start-up leaves them
    CurrentSettings.ProgrBar = 0;
    Write("a.prn"), Write("b.prn"), Write("c.prn");
    SeeThenTick();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 3u);
    EXPECT_TRUE(CallsStartingWith("printer dialog").empty());
    EXPECT_STREQ(CurrentSetName, "Mine");
    EXPECT_EQ(CurrentSettings.ShowPrintDlg, 0);
    EXPECT_EQ(CurrentSettings.ProgrBar, 0);
    EXPECT_EQ(ReadTestFile(Path("ravlen.ini")), ini);
}

// Each file of a scan is a batch of its own; an Exit must end the scan, not
// only the file in hand, and no further scan may follow.
TEST_F(SpoolerTest, ExitDuringAScanStopsTheFileInHandAndLeavesTheRest) {
    std::string a = Write("a.prn"), b = Write("b.prn"), c = Write("c.prn");
    // The Exit arrives while the first file prints.
    std::function<void()> exitWhilePrinting = [&] {
        if (CallsStartingWith("dispatch").empty())
            OtherParts.duringPump = exitWhilePrinting;
        else
            EndSpoolerAfterScan();
    };
    SpoolerTick(); // the first look
    OtherParts.duringPump = exitWhilePrinting;
    NextTick();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    EXPECT_TRUE(PathExists(a.c_str()));
    EXPECT_TRUE(PathExists(b.c_str()));
    EXPECT_TRUE(PathExists(c.c_str()));
    EXPECT_EQ(CallsStartingWith("spooler timer"), (Strings{"spooler timer off"}));
    EXPECT_TRUE(SpoolerExitPending());
    EXPECT_FALSE(SpoolerScanRunning());
    EXPECT_TRUE(ShownBoxes.empty());
}

// An Exit once the file in hand has gone to the spooler: that file has
// printed and goes; the others stay for the next start.
TEST_F(SpoolerTest, ExitAfterTheJobLeavesTheFilePrintedOnce) {
    std::string a = Write("a.prn"), b = Write("b.prn");
    StopOnceAJobIsDone(EndSpoolerAfterScan);
    SeeThenTick();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    EXPECT_FALSE(PathExists(a.c_str()) && PathExists(b.c_str()));
    EXPECT_TRUE(PathExists(a.c_str()) || PathExists(b.c_str()));
    EXPECT_TRUE(SpoolerExitPending());
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(SpoolerTest, APatternMatchingNothingEndsQuietly) {
    CopyText(SpoolerPattern, sizeof SpoolerPattern, Path("none\\*.prn").c_str());
    SpoolerTick();
    EXPECT_EQ(RecordedCalls, (Strings{"spooler timer off", "spooler timer on"}));
}

// A file has settled when two looks, some seconds apart by this machine's
// clock, find the same size and last write. The last write is the file
// server's time, which is compared with nothing else: whether the server's
// clock is behind, ahead or right, a writer that closes and reopens the file
// between pieces is waited for, and a finished file is not waited for again.
TEST_F(SpoolerTest, AFileSettlesWhenTwoLooksSecondsApartFindItUnchanged) {
    struct Case {
        const char* name;
        long long serverAhead; // the server's clock against this one
    } cases[] = {
        {"server an hour behind", -3600000},
        {"server a minute ahead", 60000},
        {"server right", 0},
    };
    for (const Case& c : cases) {
        auto written = [&] {
            OtherParts.writeTimes["a.prn"] = OtherParts.localClock + c.serverAhead;
        };
        std::string a = Write("a.prn", "first piece ");
        written();
        NextTick();
        EXPECT_TRUE(CallsStartingWith("dispatch").empty()) << c.name;
        // Closed and reopened between the scans for the second piece.
        Write("a.prn", "first piece second piece");
        written();
        NextTick();
        EXPECT_TRUE(CallsStartingWith("dispatch").empty()) << c.name;
        // A look sooner than the settle time after the last change is no
        // second look yet.
        RecordedCalls.clear();
        OtherParts.localClock += kSpoolerSettleMs - 1;
        SpoolerTick();
        EXPECT_TRUE(CallsStartingWith("dispatch").empty()) << c.name;
        NextTick();
        EXPECT_EQ(CallsStartingWith("dispatch"),
                  (Strings{"dispatch " + a + " with Default settings"}))
            << c.name;
        EXPECT_EQ(OtherParts.dispatchedBytes, "first piece second piece") << c.name;
        EXPECT_FALSE(PathExists(a.c_str())) << c.name;
    }
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(SpoolerTest, AStoppedFileStaysAndPrintsAtTheNextScan) {
    std::string a = Write("a.prn");
    OtherParts.stopDuringDispatch = true;
    SeeThenTick();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    EXPECT_TRUE(PathExists(a.c_str()));
    EXPECT_TRUE(ShownBoxes.empty());
    OtherParts.stopDuringDispatch = false;
    NextTick();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    EXPECT_FALSE(PathExists(a.c_str()));
}

TEST_F(SpoolerTest, NoFileBringsThePrinterDialogBackAfterASetOfItsOwn) {
    // Stored with the dialog on, as the default set has it; spooler mode
    // turns it off for the run only.
    std::string ini = Write("spool.ini", "[Settings List]\r\nDefault settings=1\r\nLogs=1\r\n"
                                         "[Logs]\r\nFileTypes=.log\r\n");
    SelectSettingsFile(ini.c_str());
    ASSERT_EQ(CurrentSettings.ShowPrintDlg, 1);
    ASSERT_TRUE(MakeDirectory(Path("spool").c_str()));
    CopyText(SpoolerPattern, sizeof SpoolerPattern, Path("spool\\*.*").c_str());
    CurrentSettings.ShowPrintDlg = 0; // as the spooler's start-up leaves them
    CurrentSettings.ProgrBar = 0;
    std::string log = Write("spool\\a.log");
    SeeThenTick();
    EXPECT_EQ(CallsStartingWith("dispatch"), (Strings{"dispatch " + log + " with Logs"}));
    std::string prn = Write("spool\\b.prn");
    SeeThenTick();
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{"dispatch " + prn + " with Default settings"}));
    EXPECT_TRUE(CallsStartingWith("printer dialog").empty());
    EXPECT_EQ(CurrentSettings.ProgrBar, 0);
}

TEST_F(SpoolerTest, APatternWhoseDirectoryGoesAwayResumesWhenItIsBack) {
    std::string spool = Path("spool");
    ASSERT_TRUE(MakeDirectory(spool.c_str()));
    CopyText(SpoolerPattern, sizeof SpoolerPattern, (spool + "\\*.prn").c_str());
    ASSERT_TRUE(RemoveDirectoryTree(spool.c_str()));
    SpoolerTick();
    EXPECT_EQ(RecordedCalls, (Strings{"spooler timer off", "spooler timer on"}));
    EXPECT_TRUE(ShownBoxes.empty());
    ASSERT_TRUE(MakeDirectory(spool.c_str()));
    std::string a = Write("spool\\a.prn");
    SeeThenTick();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    EXPECT_FALSE(PathExists(a.c_str()));
}

#ifdef _WIN32
// Only Windows keeps a file that another handle holds from being deleted.
TEST_F(SpoolerTest, APrintedFileThatCannotBeDeletedIsNotPrintedAgain) {
    std::string a = Write("a.prn");
    OtherParts.holdDuringDispatch = "a.prn";
    SeeThenTick();
    FILE* held = OtherParts.heldFile;
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text.rfind("An error occured when accessing " + a + "\n", 0), 0u);
    EXPECT_TRUE(PathExists(a.c_str()));

    NextTick(); // still held: neither printed nor reported again
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    EXPECT_TRUE(ShownBoxes.empty());
    fclose(held);
    NextTick(); // released: deleted without printing it twice
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    EXPECT_FALSE(PathExists(a.c_str()));
}

// Only Windows can tell that another handle holds the file.
TEST_F(SpoolerTest, AFileHeldOpenWaitsUntilItIsClosed) {
    std::string a = Write("a.prn");
    FILE* held = fopen(a.c_str(), "rb");
    ASSERT_NE(held, nullptr);
    SeeThenTick();
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    fclose(held);
    NextTick();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    EXPECT_FALSE(PathExists(a.c_str()));
}
#endif

// Paused, a scan takes no file, and what the spooler knew of the files it
// did not reach holds when it goes on: a printed file that stayed is not
// printed again, and a file seen settling needs no fresh look.
TEST_F(SpoolerTest, APausedScanTakesNothingAndForgetsNothing) {
    std::string kept = Write("kept.prn");
    OtherParts.undeletable.insert("kept.prn");
    SeeThenTick();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    std::string fresh = Write("fresh.prn");
    NextTick();
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());

    PauseSpooler(true);
    NextTick();
    NextTick();
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    PauseSpooler(false);
    OtherParts.undeletable.clear();
    NextTick();
    EXPECT_EQ(CallsStartingWith("dispatch"),
              (Strings{"dispatch " + fresh + " with Default settings"}));
    NextTick();
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    EXPECT_FALSE(PathExists(kept.c_str()) || PathExists(fresh.c_str()));
}

// A file that will not print: its reason reported once and again only when
// it changes, retried after 5 s and twice the last wait each time up to five
// minutes, and after its set's number of attempts moved, whole, into the
// failed directory beside a note of why.
class FailedFileTest : public SpoolerTest {
  public:
    using ShellTest::Path;
    using ShellTest::Write;

  protected:
    void SetUp() override {
        SpoolerTest::SetUp();
        ASSERT_TRUE(MakeDirectory(Path("spool").c_str()));
        CopyText(SpoolerPattern, sizeof SpoolerPattern, Path("spool\\*.prn").c_str());
        Retries(3);
        OtherParts.dispatchFailsFor = "a.prn";
        OtherParts.failureReason = "P1";
        file = Write("spool\\a.prn", "the job");
        SeeFile();
    }
    // A first scan sees the file; the next one may print it.
    static void SeeFile() {
        SpoolerTick();
        OtherParts.localClock += kSpoolerIntervalMs;
    }
    void Retries(int count, const std::string& more = "") {
        UseSettings("SpoolRetries=" + std::to_string(count) + "\r\n" + more);
    }
    // The next scan after `ms`; whether the file was tried.
    bool TickAfter(long long ms) {
        RecordedCalls.clear();
        ShownBoxes.clear();
        OtherParts.localClock += ms;
        SpoolerTick();
        return !CallsStartingWith("dispatch").empty();
    }

  public:
    static std::string Failure(const std::string& printer) {
        return "Failed to use printer \"" + printer + "\"";
    }
    std::string Moved(const std::string& name) const {
        return "A file that could not be printed has been moved to " + Path("failed\\" + name) +
               ", beside a note of why";
    }
    std::string file;
};

TEST_F(FailedFileTest, IsTriedAfterFiveSecondsThenTwiceTheLastWaitUpToFiveMinutes) {
    Retries(0); // never moved
    std::vector<long long> tried;
    long long start = OtherParts.localClock;
    for (int scan = 0; scan < 200; ++scan) {
        if (TickAfter(scan == 0 ? 0 : kSpoolerIntervalMs))
            tried.push_back((OtherParts.localClock - start) / 1000);
    }
    EXPECT_EQ(tried, (std::vector<long long>{0, 5, 15, 35, 75, 155, 315, 615, 915}));
    EXPECT_TRUE(PathExists(file.c_str()));
    EXPECT_FALSE(PathExists(Path("failed").c_str()));
}

TEST_F(FailedFileTest, ReportsItsReasonOnceAndAgainOnlyWhenItChanges) {
    struct Step {
        const char* reason; // what the printing says this time
        Strings boxes;      // what is shown
    } steps[] = {
        {"P1", {Failure("P1")}}, {"P1", {}}, {"P2", {Failure("P2")}}, {"P2", {}},
        {"P1", {Failure("P1")}},
    };
    Retries(0);
    long long wait = 0;
    for (const Step& step : steps) {
        OtherParts.failureReason = step.reason;
        EXPECT_TRUE(TickAfter(wait)) << step.reason;
        EXPECT_EQ(ShownTexts(), step.boxes) << step.reason;
        wait = wait ? wait * 2 : static_cast<long long>(kSpoolRetryFirstMs);
    }
}

TEST_F(FailedFileTest, MoveRule) {
    struct Step {
        const char* name;
        std::function<void(FailedFileTest*)> before; // what happens first
        long long after;                             // since the scan before
        bool tried;                                  // the file was printed again
        std::function<Strings(FailedFileTest*)> boxes;
        const char* movedAs; // its name in the failed directory, or still in the spool
    };
    auto none = [](FailedFileTest*) { return Strings{}; };
    auto failure = [](FailedFileTest*) { return Strings{Failure("P1")}; };
    auto moved = [](const char* name) {
        return [name](FailedFileTest* t) { return Strings{t->Moved(name)}; };
    };
    auto nothing = [](FailedFileTest*) {};
    struct Case {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"the set's attempts, then moved",
         {{"first", nothing, 0, true, failure, nullptr},
          {"waiting", nothing, 4000, false, none, nullptr},
          {"second", nothing, 1000, true, none, nullptr},
          {"third", nothing, 10000, true, moved("a.prn"), "a.prn"}}},
        {"changed after a failure: from the first attempt again",
         {{"first", nothing, 0, true, failure, nullptr},
          {"second", nothing, 5000, true, none, nullptr},
          {"changed", [](FailedFileTest* t) { t->Write("spool\\a.prn", "the job, again"); }, 1000,
           false, none, nullptr},
          {"settled again", nothing, 5000, true, failure, nullptr},
          {"second again", nothing, 5000, true, none, nullptr},
          {"third again", nothing, 10000, true, moved("a.prn"), "a.prn"}}},
        {"a name already there gets a number",
         {{"first",
           [](FailedFileTest* t) {
               ASSERT_TRUE(MakeDirectory(t->Path("failed").c_str()));
               t->Write("failed\\a.prn", "an earlier one");
               t->Write("failed\\a (2).prn.reason.txt", "a note left alone");
           },
           0, true, failure, nullptr},
          {"second", nothing, 5000, true, none, nullptr},
          {"third", nothing, 10000, true, moved("a (3).prn"), "a (3).prn"}}},
        {"a move that cannot be made: reported once, printed no more",
         {{"first", [](FailedFileTest*) { OtherParts.unmovable.insert("a.prn"); }, 0, true, failure,
           nullptr},
          {"second", nothing, 5000, true, none, nullptr},
          {"third", nothing, 10000, true,
           [](FailedFileTest* t) {
               return Strings{"Failed to move " + t->file +
                              " into the directory of files that could not be printed\n" +
                              std::strerror(EACCES)};
           },
           nullptr},
          {"its next time", nothing, 20000, false, none, nullptr},
          {"movable again", [](FailedFileTest*) { OtherParts.unmovable.clear(); }, 40000, false,
           moved("a.prn"), "a.prn"}}},
        {"a stop is no attempt",
         {{"first", nothing, 0, true, failure, nullptr},
          {"stopped", [](FailedFileTest*) { OtherParts.stopDuringDispatch = true; }, 5000, true,
           none, nullptr},
          {"second", [](FailedFileTest*) { OtherParts.stopDuringDispatch = false; }, 5000, true,
           none, nullptr},
          {"third", nothing, 10000, true, moved("a.prn"), "a.prn"}}},
    };
    for (const Case& c : cases) {
        ResetSpoolerMemory();
        OtherParts.unmovable.clear();
        RemoveDirectoryTree(Path("failed").c_str());
        Write("spool\\a.prn", "the job");
        SeeFile();
        for (const Step& step : c.steps) {
            step.before(this);
            std::string content = ReadTestFile(file);
            EXPECT_EQ(TickAfter(step.after), step.tried) << c.name << ": " << step.name;
            EXPECT_EQ(ShownTexts(), step.boxes(this)) << c.name << ": " << step.name;
            EXPECT_EQ(PathExists(file.c_str()), step.movedAs == nullptr)
                << c.name << ": " << step.name;
            if (step.movedAs) {
                std::string there = Path(std::string("failed\\") + step.movedAs);
                EXPECT_EQ(ReadTestFile(there), content) << c.name;
                Strings note = ReadTestLines(there + ".reason.txt");
                ASSERT_EQ(note.size(), 4u) << c.name;
                EXPECT_EQ(note[0], "File: " + file) << c.name;
                EXPECT_EQ(note[1].rfind("Time: ", 0), 0u) << c.name;
                EXPECT_EQ(note[2], "Attempts: 3") << c.name;
                EXPECT_EQ(note[3], "Last message: " + Failure("P1")) << c.name;
            }
        }
        EXPECT_TRUE(OtherParts.claimsHeld.empty()) << c.name;
    }
    EXPECT_EQ(ReadTestFile(Path("failed\\a.prn")), "the job");
}

// The number of attempts and the folder are the file's set's.
TEST_F(FailedFileTest, TheFilesOwnSetSaysHowOftenAndWhere) {
    UseSettings(
        "SpoolRetries=5\r\n[Once]\r\nShowPrintDlg=0\r\nFileTypes=.prn;\r\nSpoolRetries=1\r\n"
        "SpoolFailedDir=" +
            Path("kept") + "\r\n",
        "Once=1\r\n");
    EXPECT_TRUE(TickAfter(0));
    EXPECT_FALSE(PathExists(file.c_str()));
    EXPECT_EQ(ReadTestFile(Path("kept\\a.prn")), "the job");
    EXPECT_TRUE(PathExists(Path("kept\\a.prn.reason.txt").c_str()));
    EXPECT_STREQ(CurrentSetName, "Default settings");
}

TEST(FailedDirectory, BesideTheSpoolDirectoryUnlessItIsARootOrNamed) {
    struct Case {
        const char* pattern;
        const char* setting;
        const char* expected;
    } cases[] = {
#ifdef _WIN32
        {"C:\\print\\spool\\*.prn", "", "C:\\print\\failed"},
        {"C:\\print\\spool\\", "", "C:\\print\\failed"},
        {"C:\\spool\\*.prn", "", "C:\\failed"},
        {"C:\\*.prn", "", "C:\\failed"},
        {"\\\\server\\share\\*.prn", "", "\\\\server\\share\\failed"},
        {"\\\\server\\share\\in\\*.prn", "", "\\\\server\\share\\failed"},
        {"C:\\spool\\*.prn", "D:\\kept\\", "D:\\kept"},
#else
        {"/print/spool/*.prn", "", "/print\\failed"},
        {"/spool/*.prn", "", "/\\failed"},
        {"/spool/*.prn", "/kept/", "/kept"},
#endif
    };
    for (const Case& c : cases) {
        CopyText(SpoolerPattern, sizeof SpoolerPattern, c.pattern);
        EXPECT_EQ(FailedDirectoryFor(c.setting), c.expected) << c.pattern;
    }
    SpoolerPattern[0] = '\0';
}

} // namespace
