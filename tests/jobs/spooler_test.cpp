// One spooler scan: which files print, which stay for a later scan, backup
// copies, and the timer stopped while the scan runs.
#include "jobs/job_runner.h"
#include "jobs/spool_files.h"
#include "jobs/spooler.h"

#include "tests/app/app_test_support.h"
#include "common/messages.h"
#include "common/paths.h"

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
    EXPECT_FALSE(PathExists(a.c_str()));
    EXPECT_TRUE(PathExists(b.c_str()));
    EXPECT_FALSE(PathExists(c.c_str()));
    EXPECT_TRUE(PathExists(readOnly.c_str()));
    EXPECT_TRUE(PathExists(other.c_str()));

    // The failed file is tried again at the next scan.
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

} // namespace
