#include "output/compose.h"
#include "analysis/page_index.h"
#include "output/stored_resource.h"
#include "common/code_pages.h"
#include "common/messages.h"
#include "output/channels.h"
#include "output/printer_selection.h"
#include "output/transfer_buffer.h"

#include "../analysis/analysis_test_support.h"
#include "raw_job_recorder.h"

#include <cmath>

namespace {

std::string Resource(int id) {
    const char* data = nullptr;
    size_t size = 0;
    EXPECT_TRUE(LoadStoredResource(id, &data, &size));
    std::string bytes(data, size);
    while (!bytes.empty() && bytes.back() == '\0')
        bytes.pop_back();
    return bytes;
}

class Composition : public AnalysisTest {
  protected:
    void SetUp() override {
        AnalysisTest::SetUp();
        ResetRawJob();
        ASSERT_TRUE(AllocateTransferBuffer());
        Output.driverHeaderMode = false;
        pagesSelected = false;
    }
    void TearDown() override {
        CloseOutputFile();
        FreePageIndex();
        Output.driverHeaderMode = false;
        AnalysisTest::TearDown();
    }

    // The job as the file channel receives it (no end-of-job characters).
    std::string ComposeToFile(FileAnalysis* analysis, bool expectSuccess = true) {
        std::string out = MakeFile("");
        EXPECT_TRUE(OpenOutputFile(out.c_str()));
        EXPECT_EQ(expectSuccess, Compose(analysis));
        CloseOutputFile();
        return ReadTestFile(out);
    }

    // The index as page selection leaves it, pages numbered from 1.
    void SelectPages(const std::string& doc, int pages, std::vector<int> selected) {
        ASSERT_TRUE(AllocatePageIndex(pages));
        size_t at = doc.find("%%Page: 1 ");
        for (int k = 1; k <= pages; ++k) {
            size_t next = doc.find("%%Page: " + std::to_string(k + 1) + " ");
            PageEntry& entry = PageIndex.entries[k - 1];
            entry.start = static_cast<long>(at);
            entry.end = static_cast<long>(next == std::string::npos ? doc.size() : next);
            entry.selected = std::find(selected.begin(), selected.end(), k) != selected.end();
            at = next;
        }
        PageIndex.lastIndex = pages - 1;
        pagesSelected = true;
    }

    bool Compose(FileAnalysis* analysis) {
        return ComposePostScript(analysis, pagesSelected);
    }

    bool pagesSelected = false;
};

TEST_F(Composition, PlainJobToThePrinter) {
    std::string code = "%!\n/x 1 def showpage\n";
    FileAnalysis* analysis = Analyze("\x04" + code);
    ASSERT_TRUE(Compose(analysis));
    EXPECT_EQ("\x04\n" + code + "\x04", RawJobBytes);
    // Printing to a file, with the driver's header, or without the setting:
    // no end-of-job characters.
    EXPECT_EQ(code, ComposeToFile(analysis));
    ResetRawJob();
    CurrentSettings.PSEOFChar = 0;
    ASSERT_TRUE(Compose(analysis));
    EXPECT_EQ(code, RawJobBytes);
}

TEST_F(Composition, NupJobWithDefaultSetup) {
    CurrentSettings.NUpPs = 1;
    std::string doc = DscDocument("%%Pages: 3", 3);
    FileAnalysis* analysis = Analyze(doc);
    ASSERT_EQ(StructuredPostScript, analysis->kind);
    size_t first = doc.find("%%Page: 1");
    std::string setup = "%%BeginSetup\nRavlenDict begin\n"
                        "  50 25 25 25 7.2000 7.2000 2 1 true true true 0.2160 setup\n"
                        "end\n%%EndSetup\n";
    std::string trailer = "%%Trailer\nRavlenDict begin\nclose\nend\n%%EOF\n";
    std::string expected =
        Resource(kResourceNupProcSet) + doc.substr(0, first) + setup + doc.substr(first) + trailer;
    EXPECT_EQ(expected, ComposeToFile(analysis));
    ASSERT_TRUE(Compose(analysis));
    EXPECT_EQ("\x04\n" + expected + "\x04", RawJobBytes);

    // Composed output is analysed as plain PostScript and never wrapped again.
    std::string again = MakeFile(expected);
    FileAnalysis* composed = AnalyzeFile(again.c_str());
    ASSERT_NE(nullptr, composed);
    analyses.push_back(composed);
    EXPECT_EQ(PlainPostScript, composed->kind);
}

TEST_F(Composition, NupRangesStayWithinTheCode) {
    CurrentSettings.NUpPs = 1;
    std::string jobHeader = "\x1b%-12345X@PJL ENTER LANGUAGE=POSTSCRIPT\n";
    ASSERT_EQ(40u, jobHeader.size());
    std::string doc = DscDocument("%%Pages: 2", 2);
    FileAnalysis* analysis = Analyze(jobHeader + doc + "\x04\x1b%-12345X");
    EXPECT_EQ(40, analysis->psOffset);
    std::string job = ComposeToFile(analysis);
    std::string nup = Resource(kResourceNupProcSet);
    ASSERT_EQ(0u, job.find(nup));
    EXPECT_EQ(nup.size(), job.find("%!PS-Adobe-3.0")); // from the "%!" on
    std::string rest = doc.substr(doc.find("%%Page: 1"));
    EXPECT_NE(std::string::npos,
              job.find("setup\nend\n%%EndSetup\n" + rest + "%%Trailer\nRavlenDict begin"));
    EXPECT_EQ(std::string::npos, job.find('\x04'));
}

TEST_F(Composition, MarginsAndLengthsInPoints) {
    CurrentSettings.NUpPs = 1;
    Settings& s = CurrentSettings;
    s.LeftMarg = 1.0f, s.RightMarg = 0.5f, s.TopMarg = 0.25f, s.BottomMarg = 0.0f;
    s.xGutter = 0.5f, s.yGutter = 0.0f, s.Width = 3, s.Height = 2;
    s.Landscape = 0, s.AdvHoriz = 0, s.Frame = 0, s.FrameWidth = 0.01f;
    std::string job = ComposeToFile(Analyze(DscDocument("%%Pages: 1", 1)));
    EXPECT_NE(std::string::npos,
              job.find("\n  72 36 18 0 36.0000 0.0000 3 2 false false false 0.7200 setup\n"));
}

// The setup line of the n-up job with the current settings.
std::string SetupLine(const std::string& job) {
    size_t end = job.rfind(" setup\nend\n%%EndSetup");
    size_t start = job.rfind('\n', end);
    return end == std::string::npos ? "" : job.substr(start + 3, end - start - 3);
}

TEST_F(Composition, SetupLengthsRoundToPoints) {
    struct Case {
        float left, right, top, bottom, xGutter, yGutter, frame;
        const char* expected;
    } cases[] = {
        // 21.6 points is 22, 20.88 is 21, 0.72 is 1, 0.432 is 0.
        {0.3f, 0.29f, 0.01f, 0.006f, 0.3f, 0.01f, 0.003f,
         "22 21 1 0 21.6000 0.7200 2 1 true true true 0.2160"},
        {0.7f, 0.35f, 0.35f, 0.35f, 0.1f, 0.1f, 0.02f,
         "50 25 25 25 7.2000 7.2000 2 1 true true true 1.4400"},
        {1.0f / 144, 0.5f, 2.0f, 0.125f, 0.0f, 0.25f, 0.0f,
         "1 36 144 9 0.0000 18.0000 2 1 true true true 0.0000"},
        // A margin below 0 rounds to the nearest point too: -21.6 is -22.
        {-0.3f, -0.29f, -0.01f, -0.006f, -0.3f, -0.01f, 0.003f,
         "-22 -21 -1 0 -21.6000 -0.7200 2 1 true true true 0.2160"},
    };
    CurrentSettings.NUpPs = 1;
    FileAnalysis* analysis = Analyze(DscDocument("%%Pages: 1", 1));
    for (const Case& c : cases) {
        Settings& s = CurrentSettings;
        s.LeftMarg = c.left, s.RightMarg = c.right, s.TopMarg = c.top, s.BottomMarg = c.bottom;
        s.xGutter = c.xGutter, s.yGutter = c.yGutter, s.FrameWidth = c.frame;
        EXPECT_EQ(c.expected, SetupLine(ComposeToFile(analysis)));
    }
}

TEST_F(Composition, SetupStaysWithinWhatTheProcedureSetTakes) {
    const float huge = 1e30f;
    const float nan = std::nanf("");
    struct Case {
        int width, height;
        float margin, gutter, frame;
        const char* expected;
    } cases[] = {
        // A grid of no cells would divide by zero in the procedure set.
        {0, 0, 0.0f, 0.0f, 0.0f, "0 0 0 0 0.0000 0.0000 1 1 true true true 0.0000"},
        {-3, 1, 0.0f, 0.0f, 0.0f, "0 0 0 0 0.0000 0.0000 1 1 true true true 0.0000"},
        {101, 100000, 0.0f, 0.0f, 0.0f, "0 0 0 0 0.0000 0.0000 100 100 true true true 0.0000"},
        {100, 1, 0.0f, 0.0f, 0.0f, "0 0 0 0 0.0000 0.0000 100 1 true true true 0.0000"},
        // Lengths are held to the dialog's limits; not a number is none.
        {2, 1, huge, huge, huge, "720 720 720 720 720.0000 720.0000 2 1 true true true 36.0000"},
        {2, 1, -huge, -huge, -1.0f,
         "-720 -720 -720 -720 -720.0000 -720.0000 2 1 true true true 0.0000"},
        {2, 1, nan, nan, nan, "0 0 0 0 0.0000 0.0000 2 1 true true true 0.0000"},
    };
    CurrentSettings.NUpPs = 1;
    FileAnalysis* analysis = Analyze(DscDocument("%%Pages: 1", 1));
    for (const Case& c : cases) {
        Settings& s = CurrentSettings;
        s.Width = c.width, s.Height = c.height;
        s.LeftMarg = s.RightMarg = s.TopMarg = s.BottomMarg = c.margin;
        s.xGutter = s.yGutter = c.gutter;
        s.FrameWidth = c.frame;
        EXPECT_EQ(c.expected, SetupLine(ComposeToFile(analysis))) << c.width << "x" << c.height;
    }
}

TEST_F(Composition, PageSelection) {
    std::string doc = DscDocument("%%Pages: 5", 5);
    FileAnalysis* analysis = Analyze(doc);
    SelectPages(doc, 5, {2, 4});
    auto page = [&](int k) {
        size_t at = doc.find("%%Page: " + std::to_string(k) + " ");
        return doc.substr(at, doc.find("%%Page: " + std::to_string(k + 1) + " ") - at);
    };
    std::string expected = doc.substr(0, doc.find("%%Page: 1")) + page(2) + page(4);
    EXPECT_EQ(expected, ComposeToFile(analysis));
    // Every copy walks the pages again.
    EXPECT_EQ(expected, ComposeToFile(analysis));

    // The last page carries the trailer, up to the end of the code only.
    std::string withEnd = doc + "\x04\n";
    analysis = Analyze(withEnd);
    SelectPages(withEnd, 5, {5});
    EXPECT_EQ(doc.substr(0, doc.find("%%Page: 1")) + doc.substr(doc.find("%%Page: 5")),
              ComposeToFile(analysis));

    // With n-up the setup section comes before the pages.
    CurrentSettings.NUpPs = 1;
    analysis = Analyze(doc);
    SelectPages(doc, 5, {2, 4});
    std::string job = ComposeToFile(analysis);
    EXPECT_NE(std::string::npos, job.find("%%EndSetup\n" + page(2) + page(4) +
                                          "%%Trailer\n"
                                          "RavlenDict begin\nclose\n"));
}

TEST_F(Composition, PageRangeOfAFileWithoutPagesSendsTheWholeCode) {
    std::string code = "%!\nshowpage\n";
    FileAnalysis* analysis = Analyze(code);
    pagesSelected = true;
    EXPECT_EQ(code, ComposeToFile(analysis));
}

TEST_F(Composition, EncapsulatedPicture) {
    CurrentSettings.PlaceEPS = 1;
    CurrentSettings.FrameEPS = 0;
    CurrentSettings.NameEPS = 0;
    std::string code = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 144 216\nshowpage\n";
    FileAnalysis* analysis = Analyze(code);
    ASSERT_EQ(EncapsulatedPostScript, analysis->kind);
    CopyText(analysis->displayName, sizeof analysis->displayName, "C:\\pics\\logo.eps");
    std::string expected = Resource(kResourceEpsProcSet) +
                           "\n0.0 0.0 144.0 216.0  1 false 0.2160 false "
                           "(C:\\\\pics\\\\logo.eps) _begin\n" +
                           code + "\ncleartomark restore _end\n";
    EXPECT_EQ(expected, ComposeToFile(analysis));

    CurrentSettings.PlaceEPS = 2, CurrentSettings.FrameEPS = 1, CurrentSettings.NameEPS = 1;
    std::string job = ComposeToFile(analysis);
    EXPECT_NE(std::string::npos,
              job.find("  2 true 0.2160 true (C:\\\\pics\\\\logo.eps) _begin\n"));

    std::string again = MakeFile(job);
    FileAnalysis* composed = AnalyzeFile(again.c_str());
    ASSERT_NE(nullptr, composed);
    analyses.push_back(composed);
    EXPECT_EQ(PlainPostScript, composed->kind);
}

// Generated PostScript is in the ANSI code page: the picture's name is
// written in it, byte for byte as before names became UTF-8 where the code
// page holds it, and with "?" for each letter it lacks.
TEST_F(Composition, APicturesNameIsWrittenInTheAnsiCodePage) {
    CurrentSettings.NameEPS = 1;
    struct Case {
        const char* name; // UTF-8
        const char* written;
    } cases[] = {
        {"C:\\pics\\B\xC3\xBCro.eps", "(C:\\\\pics\\\\B\xFCro.eps)"},
        {"C:\\pics\\\xCE\xA9mega.eps", "(C:\\\\pics\\\\?mega.eps)"},
        {"(\xE6\x96\x87\xE4\xBB\xB6).eps", "(\\(?\?\\).eps)"},
    };
    std::string code = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 144 216\nshowpage\n";
    for (const Case& c : cases) {
        FileAnalysis* analysis = Analyze(code);
        CopyText(analysis->displayName, sizeof analysis->displayName, c.name);
        std::string job = ComposeToFile(analysis);
        EXPECT_NE(std::string::npos, job.find(std::string(" true ") + c.written + " _begin\n"))
            << c.name;
    }
}

// A prolog named in the settings file, whose texts keep the ANSI code page,
// is opened by that name whatever its bytes would read as in UTF-8 (under a
// double-byte code page many ANSI names are valid UTF-8 as well).
TEST_F(Composition, APrologNamedInTheSettingsFilesCodePageIsSent) {
    const std::string prolog = "/rvl_header_hook { } def\n";
    const char* names[] = {"caf\xC3\xA9", "\xE5\xB0\x8F\xE8\xAF\xB4", "\xCE\xA9"};
    size_t sent = 0;
    for (const char* name : names) {
        char ansi[64];
        if (!AnsiNameOf(name, ansi, sizeof ansi))
            continue; // a name this code page cannot hold
        std::string scratch = MakeScratchDirectory();
        std::string directory = scratch + "\\" + name;
        ASSERT_TRUE(MakeDirectory(directory.c_str())) << name;
        ASSERT_TRUE(WriteTestFile(directory + "\\p.ps", prolog)) << name;
        std::string ansiPath = AnsiTextOf((directory + "\\p.ps").c_str());
        CopyText(CurrentSettings.PrologName, sizeof CurrentSettings.PrologName, ansiPath.c_str());
        std::string plain = "%!\nshowpage\n";
        EXPECT_EQ(prolog + plain, ComposeToFile(Analyze(plain))) << name;
        EXPECT_TRUE(ShownBoxes.empty()) << name;
        RemoveDirectoryTree(scratch.c_str());
        ++sent;
    }
    EXPECT_GE(sent, 1u);
}

TEST_F(Composition, DriverHeaderJob) {
    CurrentSettings.DrvHead = 1;
    Output.driverHeaderMode = true;
    Output.deviceVerticalPixels = 6600;
    Output.devicePixelsPerInchX = 600;
    Output.devicePixelsPerInchY = 300;
    std::string code = "%!\nshowpage\n";
    ASSERT_TRUE(Compose(Analyze(code)));
    // The tail that swallows the driver's trailer would swallow the next
    // copy too; the sender writes it after the last one.
    EXPECT_EQ("\n0 6600 translate 600 72 div 300 72 div neg scale\n\n" + code, RawJobBytes);
}

TEST_F(Composition, PrologFollowsTheProcedureSet) {
    std::string prolog = "/rvl_frame_hook { 1 0 0 setrgbcolor } def\n";
    CopyText(CurrentSettings.PrologName, sizeof CurrentSettings.PrologName,
             MakeFile(prolog).c_str());
    std::string code = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 1 1\n";
    std::string job = ComposeToFile(Analyze(code));
    std::string eps = Resource(kResourceEpsProcSet);
    EXPECT_EQ(0u, job.find(eps + prolog + "\n0.0 0.0 1.0 1.0"));

    // A prolog that cannot be opened is reported; the job goes out without it.
    CopyText(CurrentSettings.PrologName, sizeof CurrentSettings.PrologName,
             "/no/such/dir/prolog.ps");
    std::string plain = "%!\nshowpage\n";
    EXPECT_EQ(plain, ComposeToFile(Analyze(plain)));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(0u, ShownBoxes[0].text.find(
                      "Failed to open PostScript prolog file /no/such/dir/prolog.ps"));
    EXPECT_EQ(kMessageError, ShownBoxes[0].kind);
}

TEST_F(Composition, FailedTransferFailsTheJob) {
    CurrentSettings.NUpPs = 1;
    std::string doc = DscDocument("%%Pages: 5", 5);
    FileAnalysis* analysis = Analyze(doc);
    RawJobFailAfter = Resource(kResourceNupProcSet).size() + 2 + 10;
    EXPECT_FALSE(Compose(analysis));
    EXPECT_EQ(std::string::npos, RawJobBytes.find("%%Page: 1"));

    // A failing page ends the walk.
    ResetRawJob();
    CurrentSettings.NUpPs = 0;
    SelectPages(doc, 5, {1, 2, 3});
    RawJobFailAfter = 2 + doc.find("%%Page: 2") + 5;
    EXPECT_FALSE(Compose(analysis));
    EXPECT_EQ(std::string::npos, RawJobBytes.find("%%Page: 3"));
    EXPECT_EQ(-1, PageIndex.cursor);

    // A stop request.
    ResetRawJob();
    pagesSelected = false;
    StopRequested = true;
    EXPECT_FALSE(Compose(analysis));
}

TEST_F(Composition, LongCodeGoesOutInChunks) {
    std::string code = "%!\n" + std::string(120000 - 3, 'x');
    FileAnalysis* analysis = Analyze(code);
    ASSERT_TRUE(Compose(analysis));
    EXPECT_EQ("\x04\n" + code + "\x04", RawJobBytes);
    EXPECT_EQ((std::vector<size_t>{2, 51200, 51200, 17600, 1}), RawJobWrites);
}

TEST_F(Composition, StoredProcedureSets) {
    std::string nup = Resource(kResourceNupProcSet);
    EXPECT_EQ(0u, nup.find("%!\n%%Creator: Ravlen version 2.1.4\n"));
    EXPECT_NE(std::string::npos, nup.find("%%LanguageLevel: 2\n"));
    EXPECT_NE(std::string::npos, nup.find("%%BeginProlog\n"));
    EXPECT_NE(std::string::npos, nup.find("%%EndProlog\n"));
    std::string eps = Resource(kResourceEpsProcSet);
    EXPECT_EQ(0u, eps.find("%!PS-Adobe-3.0\n%%Creator: Ravlen version 2.0\n"));
    EXPECT_NE(std::string::npos, eps.find("%%LanguageLevel: 1\n"));

    ASSERT_TRUE(SendResource(kResourceEpsProcSet));
    EXPECT_EQ(eps, RawJobBytes);
    EXPECT_FALSE(SendResource(1));
}

TEST(PostScriptName, EscapesWhatWouldEndOrEscape) {
    char out[64];
    ASSERT_TRUE(PostScriptString("C:\\pics\\logo.eps", out, sizeof out));
    EXPECT_STREQ("(C:\\\\pics\\\\logo.eps)", out);
    ASSERT_TRUE(PostScriptString("smile :).eps", out, sizeof out));
    EXPECT_STREQ("(smile :\\).eps)", out);
    ASSERT_TRUE(PostScriptString("", out, sizeof out));
    EXPECT_STREQ("()", out);
    EXPECT_TRUE(PostScriptString("ab", out, 5));
    EXPECT_FALSE(PostScriptString("abc", out, 5));
    EXPECT_STREQ("(ab", out);
    EXPECT_FALSE(PostScriptString("\\", out, 4));
}

} // namespace
