// What /delete and the spooler delete, with the real dispatcher printing into
// a scripted printer: only a file that printed whole goes. A file its set
// leaves out stays, and so does one the printer did not take.
#include "jobs/job_runner.h"
#include "jobs/spooler.h"

#include "tests/app/app_test_support.h"
#include "output/channels.h"
#include "output/transfer_buffer.h"
#include "tests/doubles/text_device_recorder.h"
#include "tests/output/output_doubles.h"

namespace {

const std::string kPrinterData("\x1b"
                               "E\0printer data",
                               15);
const std::string kText = "text\r\n";

class PrintedFilesTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        // The default set leaves text files out; the set of ".tiny" files
        // would print them too small to read (which fails).
        UseSettings("EnableTextPrint=-1\r\n"
                    "[Tiny]\r\nShowPrintDlg=0\r\nFileTypes=.tiny;\r\nEnableTextPrint=1\r\n"
                    "SizeOp=0\r\nHeight=100\r\nLines=500\r\n",
                    "Tiny=1\r\n");
        ResetPrinter();
        ResetTextDevice();
        Output.driverHeaderMode = false;
        ASSERT_TRUE(AllocateTransferBuffer());
    }
};

TEST_F(PrintedFilesTest, DeleteAfterPrintTakesOnlyAFileThatPrinted) {
    struct Case {
        const char* name;
        void (*script)();
        EntryOutcome outcome;
        bool kept;
        const char* message; // none: no message
    } cases[] = {
        {"a.prn", [] {}, kEntryPrinted, false, nullptr},
        {"b.txt", [] {}, kEntryNotPrinted, true, nullptr},
        {"c.prn", [] { Printer.writesBeforeFailure = 0; }, kEntryFailed, true,
         "Failed to access the printer"},
    };
    for (const Case& c : cases) {
        ResetDoubles();
        ResetPrinter();
        c.script();
        bool text = std::string(c.name).find(".prn") == std::string::npos;
        std::string path = Write(c.name, text ? kText : kPrinterData);
        Batch batch = CommandLineBatch({path}, MainWindow, true);
        RunBatch(&batch);
        EXPECT_EQ(batch.entries[0].outcome, c.outcome) << c.name;
        EXPECT_EQ(PathExists(path.c_str()), c.kept) << c.name;
        if (c.message)
            EXPECT_EQ(ShownBoxes.size() == 1 ? ShownBoxes[0].text : "", c.message) << c.name;
        else
            EXPECT_TRUE(ShownBoxes.empty()) << c.name;
    }
    EXPECT_STREQ(CurrentSetName, "Default settings");
}

// The spooler prints what it finds; what did not print stays. A file its set
// leaves out is logged once and left alone until it changes; one that
// failed is tried again once its wait is over, and says why only once.
TEST_F(PrintedFilesTest, TheSpoolerLeavesWhatDidNotPrint) {
    ASSERT_TRUE(MakeDirectory(Path("spool").c_str()));
    SpoolerMode = true;
    ResetSpoolerMemory();
    CopyText(SpoolerPattern, sizeof SpoolerPattern, Path("spool\\*.*").c_str());
    std::string log = Path("spool.log");
    ASSERT_TRUE(LogOpen(log.c_str()));
    EchoToLog = true;
    std::string printed = Write("spool\\a.prn", kPrinterData);
    std::string ignored = Write("spool\\b.txt", kText), failing = Write("spool\\c.tiny", kText);
    auto logged = [&](const std::string& prefix, const std::string& file) {
        size_t lines = 0;
        for (const std::string& line : ReadTestLines(log))
            lines += line.rfind(prefix + file + " * ", 0) == 0;
        return lines;
    };
    auto notPrinted = [&] { return logged("! Not printed:    ", ignored); };

    // The first look, and the scan that finds the files unchanged.
    auto nextScan = [] {
        ShownBoxes.clear();
        OtherParts.localClock += kSpoolerIntervalMs;
        SpoolerTick();
    };
    SpoolerTick();
    nextScan();
    EXPECT_EQ(Printer.jobs.size(), 1u);
    EXPECT_FALSE(PathExists(printed.c_str()));
    EXPECT_TRUE(PathExists(ignored.c_str()));
    EXPECT_TRUE(PathExists(failing.c_str()));
    EXPECT_EQ(notPrinted(), 1u);
    EXPECT_EQ(ShownBoxes.size(), 1u);

    nextScan();
    EXPECT_EQ(notPrinted(), 1u);
    EXPECT_EQ(logged("! Start printing: ", failing), 2u) << "the failed file is tried again";
    EXPECT_TRUE(ShownBoxes.empty()) << "for the same reason, which was reported";

    Write("spool\\b.txt", "changed\n");
    nextScan(); // seen changed
    nextScan();
    EXPECT_EQ(notPrinted(), 2u);
    EXPECT_TRUE(PathExists(ignored.c_str()));
    EXPECT_EQ(Printer.jobs.size(), 1u);
    LogClose();
}

} // namespace
