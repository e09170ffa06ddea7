// One spooler scan: which files print, which stay for a later scan, backup
// copies, and the timer stopped while the scan runs.
#include "app/spooler.h"

#include "app_test_support.h"
#include "common/messages.h"

namespace {

class SpoolerTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        SpoolerMode = true;
        CopyText(SpoolerPattern, sizeof SpoolerPattern, Path("*.prn").c_str());
    }
};

TEST_F(SpoolerTest, PrintsAndDeletesWhatItCanAndLeavesTheRestForLater) {
    std::string a = Write("a.prn"), b = Write("b.prn"), c = Write("c.prn");
    std::string readOnly = Write("r.prn"), other = Write("x.txt");
    SetReadOnly(readOnly, true);
    OtherParts.dispatchFailsFor = "b.prn";
    DeleteAfterPrint = true; // has no say here: the scan deletes, after the backup

    SpoolerTick();
    EXPECT_EQ(RecordedCalls.front(), "spooler timer off");
    EXPECT_EQ(RecordedCalls.back(), "spooler timer on");
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 3u);
    EXPECT_FALSE(PathExists(a.c_str()));
    EXPECT_TRUE(PathExists(b.c_str()));
    EXPECT_FALSE(PathExists(c.c_str()));
    EXPECT_TRUE(PathExists(readOnly.c_str()));
    EXPECT_TRUE(PathExists(other.c_str()));

    // The failed file is tried again at the next scan.
    ResetDoubles();
    SpoolerTick();
    EXPECT_EQ(CallsStartingWith("dispatch"), (Strings{"dispatch " + b + " with Default settings"}));
    EXPECT_FALSE(PathExists(b.c_str()));
    SetReadOnly(readOnly, false);
}

TEST_F(SpoolerTest, BackupCopiesReplaceEarlierOnes) {
    std::string saved = Path("saved");
    ASSERT_TRUE(MakeDirectory(saved.c_str()));
    CopyText(BackupDirectory, sizeof BackupDirectory, saved.c_str());
    Write("a.prn", "first");
    SpoolerTick();
    Write("a.prn", "second");
    SpoolerTick();
    EXPECT_EQ(ReadTestFile(saved + "\\a.prn"), "second");
    EXPECT_FALSE(PathExists(Path("a.prn").c_str()));
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(SpoolerTest, AFailedBackupIsReportedAndTheFileDeletedAllTheSame) {
    std::string missing = Path("missing") + "\\";
    CopyText(BackupDirectory, sizeof BackupDirectory, missing.c_str());
    std::string a = Write("a.prn");
    SpoolerTick();
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text, "Failed to create backup copy file: " + missing + "a.prn");
    EXPECT_FALSE(PathExists(a.c_str()));
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
    SpoolerTick();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 3u);
    EXPECT_TRUE(CallsStartingWith("printer dialog").empty());
    EXPECT_STREQ(CurrentSetName, "Mine");
    EXPECT_EQ(CurrentSettings.ShowPrintDlg, 0);
    EXPECT_EQ(CurrentSettings.ProgrBar, 0);
    EXPECT_EQ(ReadTestFile(Path("ravlen.ini")), ini);
}

TEST_F(SpoolerTest, APatternMatchingNothingEndsQuietly) {
    CopyText(SpoolerPattern, sizeof SpoolerPattern, Path("none\\*.prn").c_str());
    SpoolerTick();
    EXPECT_EQ(RecordedCalls, (Strings{"spooler timer off", "spooler timer on"}));
}

#ifdef _WIN32
// Only Windows can tell that another handle holds the file.
TEST_F(SpoolerTest, AFileHeldOpenWaitsUntilItIsClosed) {
    std::string a = Write("a.prn");
    FILE* held = fopen(a.c_str(), "rb");
    ASSERT_NE(held, nullptr);
    SpoolerTick();
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    fclose(held);
    SpoolerTick();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u);
    EXPECT_FALSE(PathExists(a.c_str()));
}
#endif

} // namespace
