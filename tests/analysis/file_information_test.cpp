// The descriptions of the File Information dialog, and the command around it
// with its two dialogs played by doubles.
#include "analysis/file_information.h"

#include "analysis_test_support.h"
#include "app/file_information_command.h"
#include "jobs/job_runner.h"
#include "app/batch_sources.h"
#include "app/main_window.h"
#include "common/bounded_text.h"
#include "output/printer_selection.h"
#include "tests/doubles/text_device_recorder.h"

namespace {

std::string chosenFile; // what the Open dialog returns; empty: cancelled
std::vector<std::string> shownInformation;
bool printRequested;

std::string CallsText() {
    std::string text;
    for (const std::string& call : RecordedCalls)
        text += call + "\n";
    return text;
}

} // namespace

bool ShowOpenDialog(WindowRef, char* buffer, int size, bool) {
    return !chosenFile.empty() &&
           CopyText(buffer, static_cast<size_t>(size) + 1, chosenFile.c_str());
}

bool ShowInformationDialog(WindowRef, FileAnalysis* analysis) {
    char text[1000];
    DescribeFile(*analysis, text, sizeof text);
    shownInformation.push_back(text);
    return printRequested;
}

DeviceContext CreatePrinterDC(bool) {
    return RecorderDevice();
}

namespace {

class FileInformation : public AnalysisTest {
  protected:
    void TearDown() override {
        MetricUnits = false;
        AnalysisTest::TearDown();
    }
    std::string Describe(const FileAnalysis& analysis) {
        char text[1000];
        DescribeFile(analysis, text, sizeof text);
        return text;
    }
};

// The command runs one at a time, as a batch does: a drop while it counts
// (the count pumps messages) is refused rather than printed in the middle.
// Print then prints the file as a batch of one.
TEST_F(FileInformation, TheCommandIsOneAtATimeAndPrintsItsFileAsABatchOfOne) {
    ResetTextDevice();
    CurrentSettings.ShowPrintDlg = 0;
    CurrentSettings.HeaderStr[0] = '\0';
    CurrentSettings.Lines = 50;
    std::string text;
    for (int line = 0; line < 120; ++line)
        text += "line\n";
    chosenFile = MakeFile(text);
    std::string dropped = MakeFile("dropped\n");
    shownInformation.clear();
    printRequested = true;
    OtherParts.duringPump = [dropped] { PrintDroppedFiles(nullptr, {dropped}); };

    ShowFileInformation(nullptr);
    EXPECT_EQ(std::vector<std::string>{"This is a text file. With the current settings the "
                                       "file's 3 logical pages will require 2 printout pages. "
                                       "The size of the file is 600 bytes."},
              shownInformation);
    std::string calls = CallsText();
    EXPECT_NE(std::string::npos, calls.find("beep "));
    EXPECT_EQ(std::string::npos, calls.find("dispatch " + dropped));
    EXPECT_NE(std::string::npos, calls.find("dispatch " + chosenFile));
    EXPECT_FALSE(BatchRunning());
}

TEST_F(FileInformation, SheetsRoundUp) {
    EXPECT_EQ(4, SheetCount(7, 2));
    EXPECT_EQ(7, SheetCount(7, 1));
    EXPECT_EQ(0, SheetCount(0, 2));
    EXPECT_EQ(1, SheetCount(1, 10000));
    EXPECT_EQ(5, SheetCount(5, 0)); // a grid from a hand-edited file
    EXPECT_EQ(5, SheetCount(5, -6));
}

TEST_F(FileInformation, TextFileCountsSheetsOfTheGrid) {
    FileAnalysis* text = Analyze(std::string(500, 'a'));
    ASSERT_EQ(Text, text->kind);
    text->pageCount = 7; // counted with the current settings by the caller
    EXPECT_EQ("This is a text file. With the current settings the file's 7 logical pages will "
              "require 4 printout pages. The size of the file is 500 bytes.",
              Describe(*text));
    CurrentSettings.Width = -3; // a sheet has one cell at least
    EXPECT_NE(std::string::npos, Describe(*text).find("7 logical pages will require 7 "));
}

TEST_F(FileInformation, StructuredFileCountsSheetsOnlyWithNup) {
    std::string doc = "\n\n" + DscDocument("%%Pages: 7", 7);
    doc[0] = 'x'; // bytes ahead of the code
    FileAnalysis* ps = Analyze(doc + std::string(2500 - doc.size(), '\n'));
    ASSERT_EQ(StructuredPostScript, ps->kind);
    CurrentSettings.NUpPs = 0;
    EXPECT_EQ("This is a DSC compliant PostScript file and n-up printing and selection of "
              "individual pages is possible. With the current settings the file's 7 logical "
              "pages will require 7 printout pages. The offset to the PostScript code is 2 and "
              "the size is 2.4 KB.",
              Describe(*ps));
    CurrentSettings.NUpPs = 1;
    EXPECT_NE(std::string::npos, Describe(*ps).find("7 logical pages will require 4 printout"));
}

TEST_F(FileInformation, PlainAndBinaryFiles) {
    FileAnalysis* plain = Analyze("%!\nshowpage\n");
    EXPECT_EQ("This is a plain PostScript file that will be sent directly to the printer. The "
              "offset to the PostScript code is 0 and the size is 12 bytes.",
              Describe(*plain));
    FileAnalysis* binary = Analyze(std::string("\x1b") + std::string(2999999, 'b'));
    ASSERT_EQ(Binary, binary->kind);
    EXPECT_EQ("This file is assumed to be a binary file produced by a printer driver. It will be "
              "sent directly, as it is, to the printer. The size of the files is 2.9 MB.",
              Describe(*binary));
}

TEST_F(FileInformation, PictureInInchesOrMillimetres) {
    FileAnalysis* eps = Analyze("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 144 216\nshowpage\n");
    ASSERT_EQ(EncapsulatedPostScript, eps->kind);
    EXPECT_EQ("This is an Encapsulated PostScript File (EPS). The picture dimensions are: "
              "width=2 inches, height=3 inches, horizontal offset=0 inches, vertical offset=0 "
              "inches. The offset to the PostScript code is 0 and the size is 60 bytes.",
              Describe(*eps));
    MetricUnits = true;
    EXPECT_NE(std::string::npos,
              Describe(*eps).find("width=51 mm, height=76 mm, horizontal offset=0 mm"));
}

} // namespace
