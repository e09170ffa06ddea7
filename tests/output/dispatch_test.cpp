// The dispatcher and the channels below it, against a recorded printer.
#include "output_test_support.h"

#include "common/messages.h"
#include "output/dispatch.h"

#include <cstdio>

namespace {

const char kPlain[] = "%!\n/Helvetica findfont 12 scalefont setfont\nshowpage\n";
const char kStructured[] =
    "%!PS-Adobe-3.0\n%%Pages: 2\n%%EndComments\n/rvl_test 1 def\n"
    "%%Page: 1 1\n(one) show showpage\n%%Page: 2 2\n(two) show showpage\n%%EOF\n";

class Dispatch : public OutputTest {};

TEST_F(Dispatch, BinaryFileGoesOutInChunksOfOneRawJob) {
    std::string data = BinaryBytes(120000);
    FileAnalysis* file = Analyze(data, "C:\\docs\\data.bin");
    ASSERT_EQ(Binary, file->kind);
    EXPECT_TRUE(DispatchFile(file, false));

    ASSERT_EQ(1u, Printer.jobs.size());
    const SpoolerJob& job = Printer.jobs[0];
    EXPECT_EQ("Capture", job.printer);
    EXPECT_EQ("Ravlen - data.bin", job.document);
    EXPECT_EQ("RAW", job.dataType);
    EXPECT_EQ("", job.outputFile);
    EXPECT_EQ((std::vector<size_t>{51200, 51200, 17600}), job.writes);
    EXPECT_TRUE(job.bytes == data);
    EXPECT_TRUE(job.closed);
    EXPECT_FALSE(job.aborted);
    EXPECT_TRUE(ShownBoxes.empty());
    EXPECT_NE(std::find(RecordedCalls.begin(), RecordedCalls.end(), "status Printing: data.bin"),
              RecordedCalls.end());
}

TEST_F(Dispatch, XpsDriverReceivesTheSameBytesAsXpsPass) {
    Printer.xpsDriver = true;
    std::string data = BinaryBytes(1000);
    EXPECT_TRUE(DispatchFile(Analyze(data), false));
    ASSERT_EQ(1u, Printer.jobs.size());
    EXPECT_EQ("XPS_PASS", Printer.jobs[0].dataType);
    EXPECT_TRUE(Printer.jobs[0].bytes == data);
}

TEST_F(Dispatch, CopiesRepeatTheFileWithinOneJob) {
    std::string data = BinaryBytes(70000);
    struct Case {
        int dialog, device, expected;
    } cases[] = {{3, 1, 3}, {1, 3, 3}, {2, 0, 2}, {1, -4, 1}, {0, 0, 1}};
    for (const Case& c : cases) {
        ResetPrinter();
        Printer.choices.dialogCopies = c.dialog;
        Printer.choices.deviceCopies = c.device;
        EXPECT_TRUE(DispatchFile(Analyze(data), false));
        ASSERT_EQ(1u, Printer.jobs.size());
        std::string expected;
        for (int i = 0; i < c.expected; ++i)
            expected += data;
        EXPECT_TRUE(Printer.jobs[0].bytes == expected)
            << "dialog " << c.dialog << " device " << c.device;
    }
}

TEST_F(Dispatch, PrintToFileAsksForTheFileFirst) {
    Printer.choices.printToFile = true;
    EXPECT_TRUE(DispatchFile(Analyze(BinaryBytes(10)), false));
    ASSERT_EQ(1u, Printer.jobs.size());
    EXPECT_EQ("C:\\out\\job.prn", Printer.jobs[0].outputFile);

    // Cancelling the name fails the job, reported by kind.
    ResetPrinter();
    Printer.choices.printToFile = true;
    Printer.outputFileChosen = false;
    EXPECT_FALSE(DispatchFile(Analyze(BinaryBytes(10)), false));
    EXPECT_FALSE(DispatchFile(Analyze(kPlain, "C:\\docs\\a.ps"), false));
    EXPECT_TRUE(Printer.jobs.empty());
    EXPECT_EQ(2, Printer.outputFileQuestions);
    ASSERT_EQ(2u, ShownBoxes.size());
    EXPECT_EQ("Failed to access the printer", ShownBoxes[0].text);
    EXPECT_EQ("PostScript file printing failed", ShownBoxes[1].text);
}

TEST_F(Dispatch, PrinterThatCannotStartAJobFailsTheFile) {
    Printer.jobStarts = false;
    EXPECT_FALSE(DispatchFile(Analyze(BinaryBytes(10)), false));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("Failed to access the printer", ShownBoxes[0].text);
}

// What the printer did not take whole did not print: nobody may delete the
// file. The printer's refusal is reported; a stop is the user's own doing.
TEST_F(Dispatch, AJobThePrinterDidNotTakeWholeFailsTheFile) {
    struct Case {
        const char* name;
        const char* bytes; // none: that many bytes of printer data
        size_t binary;
        void (*script)();
        const char* message; // none: no message
    } cases[] = {
        {"write refused", nullptr, 120000, [] { Printer.writesBeforeFailure = 1; },
         "Failed to access the printer"},
        {"PostScript write refused", kPlain, 0, [] { Printer.writesBeforeFailure = 0; },
         "PostScript file printing failed"},
        {"end of the job refused", nullptr, 10, [] { Printer.jobEnds = false; },
         "Failed to access the printer"},
        {"end of the driver's document refused", kPlain, 0,
         [] {
             CurrentSettings.DrvHead = 1;
             DeviceScript.endDocFails = true;
         },
         "PostScript file printing failed"},
        {"end of the text document refused", "text\r\n", 0,
         [] {
             CurrentSettings.EnableTextPrint = 1;
             DeviceScript.endDocFails = true;
         },
         "Text file printing failed"},
        {"text too small", "text\r\n", 0,
         [] {
             CurrentSettings.EnableTextPrint = 1;
             CurrentSettings.Lines = 1000;
         },
         "The current settings renders a text height which is too small"},
        {"stopped", nullptr, 120000, [] { Printer.writesBeforeStop = 1; }, nullptr},
        {"stopped with copies to come", nullptr, 100,
         [] {
             Printer.choices.dialogCopies = 3;
             Printer.writesBeforeStop = 1;
         },
         nullptr},
    };
    for (const Case& c : cases) {
        SetUp();
        c.script();
        std::string bytes = c.bytes ? c.bytes : BinaryBytes(c.binary);
        EXPECT_EQ(kPrintFailed, DispatchFile(Analyze(bytes, "C:\\docs\\a.ps"), false)) << c.name;
        if (c.message) {
            ASSERT_EQ(1u, ShownBoxes.size()) << c.name;
            EXPECT_EQ(c.message, ShownBoxes[0].text) << c.name;
            EXPECT_EQ(kMessageError, ShownBoxes[0].kind) << c.name;
        } else {
            EXPECT_TRUE(ShownBoxes.empty()) << c.name;
        }
        // A raw job is taken back unless it was its end that was refused.
        for (const SpoolerJob& job : Printer.jobs)
            EXPECT_EQ(Printer.jobEnds, job.aborted) << c.name;
        StopRequested = false;
    }
    // Of the three copies only the first went out.
    EXPECT_EQ(100u, Printer.jobs.at(0).bytes.size());
}

TEST_F(Dispatch, NonPostScriptPrinterAsksBeforePostScript) {
    CurrentSettings.WarnNonPS = 1;
    Printer.postScript = false;
    FileAnalysis* file = Analyze(kPlain, "C:\\docs\\a.ps");
    EXPECT_EQ(kNotPrintedByChoice, DispatchFile(file, false)); // No, the default
    EXPECT_TRUE(Printer.jobs.empty());
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(kMessageQuestion, ShownBoxes[0].kind);
    EXPECT_EQ(0u, ShownBoxes[0].text.find("You are about to send a PostScript file"));

    QueueMessageAnswer(kAnswerYes);
    EXPECT_EQ(kPrinted, DispatchFile(file, false));
    ASSERT_EQ(1u, Printer.jobs.size());
    EXPECT_EQ(kPlain, Printer.jobs[0].bytes);

    // Printer-ready data is nobody's business but the printer's.
    EXPECT_TRUE(DispatchFile(Analyze(BinaryBytes(10)), false));
    EXPECT_EQ(2u, ShownBoxes.size());
    EXPECT_EQ(2u, Printer.jobs.size());
}

TEST_F(Dispatch, PostScriptIsSentAsComposedForEveryCopy) {
    CurrentSettings.PSEOFChar = 1;
    Printer.choices.dialogCopies = 2;
    EXPECT_TRUE(DispatchFile(Analyze(kPlain, "C:\\docs\\a.ps"), false));
    ASSERT_EQ(1u, Printer.jobs.size());
    std::string one = std::string("\x04\n") + kPlain + "\x04";
    EXPECT_EQ(one + one, Printer.jobs[0].bytes);
    EXPECT_EQ("Ravlen - a.ps", Printer.jobs[0].document);
}

TEST_F(Dispatch, DriverHeaderJobGoesThroughThePassThroughEscape) {
    CurrentSettings.DrvHead = 1;
    CurrentSettings.PSEOFChar = 1; // never with the driver's header
    Printer.choices.dialogCopies = 1;
    Printer.choices.deviceCopies = 3; // made by the driver itself
    std::string code = kPlain + std::string(60000, ' ') + "\n";
    EXPECT_TRUE(DispatchFile(Analyze(code, "C:\\docs\\a.ps"), false));

    EXPECT_TRUE(Printer.jobs.empty());
    EXPECT_FALSE(Printer.badBlockCount);
    std::string tail = LoadText(kTextPsDriverHeaderTail);
    EXPECT_TRUE(Printer.passThroughBytes ==
                "\n0 3300 translate 300 72 div 300 72 div neg scale\n\n" + code + tail);
    for (size_t block : Printer.passThroughBlocks)
        EXPECT_LE(block, 51202u);
    EXPECT_EQ(std::vector<bool>{false}, Printer.deviceContexts);
    EXPECT_EQ((std::vector<std::string>{"start doc Ravlen - a.ps", "end doc", "delete dc"}),
              DeviceEvents);
    EXPECT_FALSE(Output.driverHeaderMode);

    // Print to file goes to the driver's own file port.
    ResetTextDevice();
    Printer.choices.printToFile = true;
    EXPECT_TRUE(DispatchFile(Analyze(kPlain, "C:\\docs\\b.ps"), false));
    EXPECT_EQ("start doc Ravlen - b.ps to FILE:", DeviceEvents.at(0));
    EXPECT_EQ(0, Printer.outputFileQuestions);
}

TEST_F(Dispatch, DriverWithoutPassThroughFailsThePostScriptJob) {
    CurrentSettings.DrvHead = 1;
    Printer.passThrough = false;
    EXPECT_FALSE(DispatchFile(Analyze(kPlain, "C:\\docs\\a.ps"), false));
    EXPECT_EQ(std::vector<std::string>{"delete dc"}, DeviceEvents);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("PostScript file printing failed", ShownBoxes[0].text);
    EXPECT_FALSE(Output.driverHeaderMode);

    // Without a device context at all, the same.
    ResetDoubles();
    Printer.haveDevice = false;
    EXPECT_FALSE(DispatchFile(Analyze(kPlain, "C:\\docs\\a.ps"), false));
    EXPECT_EQ(1u, ShownBoxes.size());
    EXPECT_TRUE(Printer.jobs.empty());
}

TEST_F(Dispatch, TextFilesAreFormattedOrIgnored) {
    std::string text = "first line\r\nsecond line\r\n";
    CurrentSettings.EnableTextPrint = 1;
    Printer.choices.printToFile = true;
    EXPECT_TRUE(DispatchFile(Analyze(text, "C:\\docs\\notes.txt"), false));
    EXPECT_EQ(std::vector<bool>{true}, Printer.deviceContexts);
    ASSERT_FALSE(DeviceEvents.empty());
    EXPECT_EQ("start doc Ravlen - notes.txt to FILE:", DeviceEvents[0]);
    EXPECT_TRUE(Printer.jobs.empty());

    ResetPrinter();
    ResetTextDevice();
    CurrentSettings.EnableTextPrint = -1; // ignore text files
    EXPECT_EQ(kNotPrintedByChoice, DispatchFile(Analyze(text, "C:\\docs\\notes.txt"), false));
    EXPECT_TRUE(Printer.deviceContexts.empty());
    EXPECT_TRUE(Printer.jobs.empty());

    CurrentSettings.EnableTextPrint = 1;
    Printer.haveDevice = false;
    EXPECT_FALSE(DispatchFile(Analyze(text, "C:\\docs\\notes.txt"), false));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("Text file printing failed", ShownBoxes[0].text);
}

TEST_F(Dispatch, ReadErrorIsReportedAfterTheJob) {
#ifdef _WIN32
    GTEST_SKIP() << "this C runtime reads nothing from a write-only stream without an error";
#endif
    FileAnalysis* file = Analyze(BinaryBytes(5000));
    // A stream that cannot be read: every read sets its error state.
    std::fclose(file->file);
    file->file = OpenStream(file->path, "ab");
    ASSERT_NE(nullptr, file->file);
    EXPECT_EQ(kPrintFailed, DispatchFile(file, false));
    ASSERT_EQ(1u, Printer.jobs.size());
    EXPECT_TRUE(Printer.jobs[0].aborted);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(0u, ShownBoxes[0].text.find(std::string("An error occured when accessing ") +
                                          file->path + "\n"));
}

TEST_F(Dispatch, ChosenPageRangeAppliesToOneFile) {
    FileAnalysis* file = Analyze(kStructured, "C:\\docs\\s.ps");
    ASSERT_EQ(StructuredPostScript, file->kind);
    Printer.choices.fromPage = 2;
    Printer.choices.toPage = 2;
    Printer.choices.maxPage = 2;
    EXPECT_TRUE(DispatchFile(file, true));
    EXPECT_EQ(std::vector<std::string>{"2-2 of 2"}, Printer.pageSelections);
    EXPECT_EQ(std::vector<std::string>{" 2 2"}, Printer.pageLabels);
    // The document up to its first page, then page 2 with the trailer.
    std::string doc = kStructured;
    size_t first = doc.find("%%Page: 1 1");
    ASSERT_EQ(1u, Printer.jobs.size());
    EXPECT_EQ(doc.substr(0, first) + doc.substr(doc.find("%%Page: 2 2")), Printer.jobs[0].bytes);

    // A range chosen for a file without pages is dropped with it.
    EXPECT_TRUE(DispatchFile(Analyze(BinaryBytes(10)), true));
    EXPECT_EQ(1u, Printer.pageSelections.size());
}

TEST_F(Dispatch, PagesPickedInTheDialogGoOutForEveryCopy) {
    std::string doc = "%!PS-Adobe-3.0\n%%Pages: 3\n%%EndProlog\n"
                      "%%Page: a 1\n(one)\n%%Page: b 2\n(two)\n%%Page: c 3\n(three)\n%%EOF\n";
    Printer.choices = {2, 1, false, 1, 3, 3, false};
    Printer.pageChoice = {true, false, true};
    EXPECT_TRUE(DispatchFile(Analyze(doc, "C:\\docs\\pick.ps"), true));
    EXPECT_EQ((std::vector<std::string>{" a 1", " b 2", " c 3"}), Printer.pageLabels);
    std::string one = "%!PS-Adobe-3.0\n%%Pages: 3\n%%EndProlog\n%%Page: a 1\n(one)\n"
                      "%%Page: c 3\n(three)\n%%EOF\n";
    ASSERT_EQ(1u, Printer.jobs.size());
    EXPECT_EQ(one + one, Printer.jobs[0].bytes);
}

TEST_F(Dispatch, CancelledPageSelectionPrintsNothing) {
    Printer.choices = {1, 1, false, 1, 2, 2, false};
    Printer.pagesConfirmed = false;
    EXPECT_EQ(kNotPrintedByChoice, DispatchFile(Analyze(kStructured, "C:\\docs\\s.ps"), true));
    EXPECT_TRUE(Printer.jobs.empty());
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(Dispatch, DriverHeaderTailFollowsTheLastCopyOnly) {
    CurrentSettings.DrvHead = 1;
    Printer.choices.dialogCopies = 3;
    EXPECT_TRUE(DispatchFile(Analyze(kPlain, "C:\\docs\\a.ps"), false));
    std::string line = "\n0 3300 translate 300 72 div 300 72 div neg scale\n\n";
    std::string copy = line + kPlain;
    // Anything after the tail is discarded by the printer: a tail after the
    // first copy would swallow the other two.
    EXPECT_EQ(copy + copy + copy + LoadText(kTextPsDriverHeaderTail), Printer.passThroughBytes);
}

} // namespace
