#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>

#include "textfmt/text_fonts.h"
#include "textfmt/text_print.h"
#include "textfmt_test_support.h"

namespace {

class TextPrintTest : public TextFormatterTest {
  protected:
    void SetUp() override {
        TextFormatterTest::SetUp();
        // One logical page per sheet filling the whole printable area of a
        // 300 dpi printer, 2400 x 3000 units.
        OneCellFillingThePage();
        Settings& s = CurrentSettings;
        s.SizeOp = 0;
        s.Lines = 75;
        DeviceScript.resY = 3000;
    }
    int Print(const std::string& text, int copies = 1, const char* name = "dir\\notes.txt") {
        ScratchFile file(text);
        return PrintTextFile(file.file(), name, RecorderDevice(), copies, nullptr);
    }
    int Count(const std::string& text) {
        ScratchFile file(text);
        return CountTextPagesOn(file.file(), RecorderDevice());
    }
    int Pages() const {
        return static_cast<int>(std::count(DeviceEvents.begin(), DeviceEvents.end(), "start page"));
    }
    const DrawnText* Find(const std::string& text) const {
        for (const DrawnText& t : DrawnTexts)
            if (t.text == text)
                return &t;
        return nullptr;
    }
    std::string At(const std::string& text) const {
        const DrawnText* t = Find(text);
        return t ? std::to_string(t->page) + ":" + std::to_string(t->x) + "," + std::to_string(t->y)
                 : "missing";
    }
    const TextLayout& L() const { return LastTextLayout(); }
};

TEST_F(TextPrintTest, PaperBoundHeaderHeightAndRoom) {
    strcpy(CurrentSettings.HeaderStr, "Top");
    strcpy(CurrentSettings.FooterStr, "Bottom");
    CurrentSettings.PprBndHd = 1;
    ASSERT_EQ(1, Print("x\n"));
    EXPECT_EQ(47, L().headerHeight);
    EXPECT_EQ(71, L().areaTop);
    EXPECT_EQ(3000 - 71, L().areaBottom);
    EXPECT_EQ("1:0,0", At("Top"));
    EXPECT_EQ("1:0,2953", At("Bottom"));
    const TextFontSpec& header = RecordedFonts[static_cast<size_t>(Find("Top")->font)].request;
    EXPECT_EQ(47, header.height);
    EXPECT_EQ(900, header.weight);

    CurrentSettings.Width = CurrentSettings.Height = 2; // 3 mm in n-up layouts
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print("x\n"));
    EXPECT_EQ(35, L().headerHeight);
}

TEST_F(TextPrintTest, LinesPerPageSizeTheRowsAndCentreTheBlock) {
    ASSERT_EQ(1, Print("first\nsecond\n"));
    EXPECT_EQ(40, L().lineHeight);
    EXPECT_EQ(0, L().textRect.top);
    EXPECT_EQ(75, L().linesPerPage);
    EXPECT_EQ("1:0,0", At("first"));
    EXPECT_EQ("1:0,40", At("second"));

    strcpy(CurrentSettings.HeaderStr, "Head");
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print("first\n"));
    EXPECT_EQ(38, L().lineHeight);
    EXPECT_EQ(37, L().textRect.top);
    EXPECT_EQ("1:0,37", At("Head"));
    EXPECT_EQ("1:0,113", At("first"));
    EXPECT_EQ(38, RecordedFonts[static_cast<size_t>(Find("Head")->font)].request.height);
}

TEST_F(TextPrintTest, CharactersPerLineAreMeasuredWithAProbeFont) {
    CurrentSettings.SizeOp = 1;
    CurrentSettings.Chars = 80;
    ASSERT_EQ(1, Print("x\n"));
    ASSERT_FALSE(RecordedFonts.empty());
    EXPECT_EQ(60, RecordedFonts[0].request.height);
    EXPECT_EQ(0, RecordedFonts[0].request.width);
    EXPECT_TRUE(RecordedFonts[0].deleted);
    EXPECT_EQ(50, L().lineHeight);
    EXPECT_EQ(60, L().linesPerPage);
    EXPECT_EQ(80, L().charsPerLine);

    strcpy(CurrentSettings.FooterStr, "Foot");
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print("x\n"));
    EXPECT_EQ(58, L().linesPerPage);

    // A face whose "X" measures 0 is taken to be as wide as wanted.
    ResetTextDevice();
    DeviceScript.resY = 3000;
    DeviceScript.xWidthForHeight[60] = 0;
    ASSERT_EQ(1, Print("x\n"));
    EXPECT_EQ(60, L().lineHeight);
}

TEST_F(TextPrintTest, BothGivenSetsTheFontWidth) {
    CurrentSettings.SizeOp = 2;
    CurrentSettings.Chars = 80;
    ASSERT_EQ(1, Print("x\n"));
    EXPECT_EQ(40, L().lineHeight);
    EXPECT_EQ(30, L().fontWidth);
    EXPECT_EQ(30, RecordedFonts[0].request.width);
    EXPECT_EQ(80, L().charsPerLine);
}

TEST_F(TextPrintTest, NUpCellsFillInEitherOrder) {
    CurrentSettings.Width = CurrentSettings.Height = 2;
    CurrentSettings.Lines = 1;
    ASSERT_EQ(1, Print("1\n2\n3\n4\n"));
    EXPECT_EQ(1, Pages());
    EXPECT_EQ((std::vector<std::string>{"1@0,0", "2@1200,0", "3@0,1500", "4@1200,1500"}),
              TextsAt());

    CurrentSettings.AdvHoriz = 0;
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print("1\n2\n3\n4\n5\n"));
    EXPECT_EQ(2, Pages());
    EXPECT_EQ((std::vector<std::string>{"1@0,0", "2@0,1500", "3@1200,0", "4@1200,1500", "5@0,0"}),
              TextsAt());
    EXPECT_EQ(2, Find("5")->page);

    CurrentSettings.Height = 1;
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print("1\n2\n"));
    EXPECT_EQ((std::vector<std::string>{"1@0,0", "2@1200,0"}), TextsAt());
}

TEST_F(TextPrintTest, GuttersFramesAndRotatedMargins) {
    CurrentSettings.Width = 2;
    CurrentSettings.Lines = 1;
    CurrentSettings.Frame = 1;
    CurrentSettings.xGutter = 0.5f;
    CurrentSettings.FrameWidth = 0.01f;
    ASSERT_EQ(1, Print("a\nb\n"));
    // cells 1125 wide: (2400 - 150) / 2; the inset is the smaller of 30 and 23.
    EXPECT_EQ(1125, L().cellWidth);
    EXPECT_EQ((std::vector<std::string>{"a@23,23", "b@1298,23"}), TextsAt());
    ASSERT_EQ(2u, DrawnFrames.size());
    EXPECT_EQ(1275, DrawnFrames[1].left);
    EXPECT_EQ(2400, DrawnFrames[1].right);
    EXPECT_EQ(3000, DrawnFrames[1].bottom);
    EXPECT_EQ(3, DrawnFrames[1].penWidth);

    ResetTextDevice();
    CurrentSettings.Width = 1;
    CurrentSettings.Frame = 0;
    CurrentSettings.TopMarg = 1.0f;
    CurrentSettings.BottomMarg = 0.5f;
    DeviceScript.resX = 3300;
    DeviceScript.resY = 2400;
    DeviceScript.offX = 50;
    ASSERT_EQ(1, Print("a\n"));
    EXPECT_EQ(250, L().areaLeft);
    EXPECT_EQ(3300 + 50 - 150, L().areaRight);
    EXPECT_EQ(0, L().areaTop);
}

TEST_F(TextPrintTest, AnEmptyFileStillGivesOnePage) {
    CurrentSettings.Width = 2;
    CurrentSettings.Frame = 1;
    strcpy(CurrentSettings.HeaderStr, "H");
    strcpy(CurrentSettings.FooterStr, "F");
    ASSERT_EQ(1, Print(""));
    EXPECT_EQ(1, Pages());
    EXPECT_EQ(1u, DrawnFrames.size());
    ASSERT_EQ(2u, DrawnTexts.size());
    EXPECT_EQ("H", DrawnTexts[0].text);
    EXPECT_EQ("F", DrawnTexts[1].text);

    CurrentSettings.PprBndHd = 1;
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print(""));
    EXPECT_EQ(1, Pages());
    EXPECT_EQ(2u, DrawnTexts.size());
    EXPECT_EQ(0, Count(""));
}

TEST_F(TextPrintTest, AFileEndingWithAPageGetsNoEmptyPage) {
    CurrentSettings.Lines = 3;
    ASSERT_EQ(1, Print("a\nb\nc\n"));
    EXPECT_EQ(1, Pages());
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print("a\nb\nc\nd\n"));
    EXPECT_EQ(2, Pages());
    EXPECT_EQ(1, Count("a\nb\nc\n"));
    EXPECT_EQ(2, Count("a\nb\nc\nd"));
}

TEST_F(TextPrintTest, AWrappedRemainderIsNotLostAtTheEndOfThePage) {
    CurrentSettings.Lines = 1;
    CurrentSettings.SizeOp = 2;
    CurrentSettings.Chars = 5;
    CurrentSettings.WrapLines = 1;
    ASSERT_EQ(1, Print("hello world"));
    EXPECT_EQ(3, Pages());
    EXPECT_EQ("3:0,0", At("world"));
    EXPECT_EQ(3, Count("hello world"));
}

TEST_F(TextPrintTest, FormFeedsStartANewLogicalPage) {
    ASSERT_EQ(1, Print("\fa\nb\fc\n\f\r\n\f\r\nd\n"));
    EXPECT_EQ(4, Pages());
    EXPECT_EQ("1:0,40", At("a")); // the leading page break leaves its row empty
    EXPECT_EQ("2:0,0", At("c"));
    EXPECT_EQ("4:0,0", At("d"));
}

// The page total of a header comes from the counting pass, so it must count
// the pages that page breaks make just as the printing does.
TEST_F(TextPrintTest, CountingAgreesWithPrintingAboutFormFeeds) {
    CurrentSettings.Lines = 3;
    const std::string files[] = {
        "\fa\nb\fc\n\f\r\n\f\r\nd\n",
        "\f\n\f\n\f\na\nb\n",   // leading breaks fill the first page
        "\f\n\f\n",             // nothing but breaks
        "a\nb\nc\n\fd\n",       // a break right after a full page
        "a\nb\nc\n\f",          // ... at the end of the file
        "a\f\fb\n",             // two breaks in a row
        "a\nb\nc\nd\ne\nf\n\f", // a full page, then a trailing break
    };
    for (const std::string& text : files) {
        ResetTextDevice();
        DeviceScript.resY = 3000;
        ASSERT_EQ(1, Print(text));
        EXPECT_EQ(Pages(), Count(text)) << testing::PrintToString(text);
    }
    EXPECT_EQ(3, Count("a\nb\nc\n\fd\n")); // the empty page between
    EXPECT_EQ(2, Count("\f\n\f\n\f\na\n"));
}

TEST_F(TextPrintTest, LineNumbersAndWrappedRows) {
    CurrentSettings.SizeOp = 2;
    CurrentSettings.Chars = 12; // 5 columns of text beside the numbers
    CurrentSettings.LineNo = 1;
    CurrentSettings.WrapLines = 1;
    ASSERT_EQ(1, Print("hello world\nx\n", 2));
    EXPECT_EQ(5, L().charsPerLine);
    EXPECT_EQ(7 * 200, L().lineNumberIndent);
    EXPECT_EQ(
        (std::vector<std::string>{"    1:@0,0", "hello@1400,0", " @1400,40", "world@1400,80",
                                  "    2:@0,120", "x@1400,120", "    1:@0,0", "hello@1400,0",
                                  " @1400,40", "world@1400,80", "    2:@0,120", "x@1400,120"}),
        TextsAt());
}

TEST_F(TextPrintTest, DosTextIsTranslatedFromTheFirstLine) {
    const std::string text = "caf\x82\nplain\nlast \x94\n";
    CurrentSettings.OEMTrans = 1;
    ASSERT_EQ(1, Print(text));
    EXPECT_TRUE(L().oemDetected);
    EXPECT_NE(nullptr, Find("caf\xE9"));
    EXPECT_NE(nullptr, Find("last \xF6"));

    CurrentSettings.OEMTrans = 1;
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print("plain\n\xE9t\xE9\n"));
    EXPECT_NE(nullptr, Find("\xE9t\xE9")); // nothing in the DOS range: left alone

    CurrentSettings.OEMTrans = 2;
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print("\x81"
                       "ber\n"));
    EXPECT_NE(nullptr, Find("\xFC"
                            "ber"));

    CurrentSettings.OEMTrans = 0;
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print(text));
    EXPECT_NE(nullptr, Find("caf\x82"));
}

TEST_F(TextPrintTest, HeaderTotalsCountLogicalOrPrintoutPages) {
    CurrentSettings.Lines = 1;
    strcpy(CurrentSettings.HeaderStr, "&rPage &#(&t)");
    ASSERT_EQ(1, Print("a\nb\nc\n"));
    EXPECT_NE(nullptr, Find("Page 1(3)"));
    EXPECT_NE(nullptr, Find("Page 3(3)"));
    EXPECT_EQ(L().textRect.right, Find("Page 3(3)")->x);

    CurrentSettings.PprBndHd = 1;
    CurrentSettings.Width = CurrentSettings.Height = 2;
    ResetTextDevice();
    DeviceScript.resY = 3000;
    ASSERT_EQ(1, Print("a\nb\nc\nd\ne\n"));
    EXPECT_EQ(2, Pages());
    EXPECT_EQ(2, Find("Page 2(2)")->page);
}

TEST_F(TextPrintTest, DocumentNameCopiesAndFailures) {
    ScratchFile file("a\n");
    ASSERT_EQ(1, PrintTextFile(file.file(), "dir\\notes.txt", RecorderDevice(), 0, "FILE:"));
    EXPECT_EQ(
        (std::vector<std::string>{"start doc Ravlen - notes.txt to FILE:", "end doc", "delete dc"}),
        DeviceEvents);

    DeviceEvents.clear();
    DeviceScript.startDocFails = true;
    EXPECT_EQ(0, PrintTextFile(file.file(), "notes.txt", RecorderDevice(), 1, nullptr));
    EXPECT_EQ("delete dc", DeviceEvents.back());
    for (const RecordedFont& font : RecordedFonts)
        EXPECT_TRUE(font.deleted);

    EXPECT_EQ(0, PrintTextFile(nullptr, "notes.txt", RecorderDevice(), 1, nullptr));
    EXPECT_EQ(0, PrintTextFile(file.file(), "notes.txt", nullptr, 1, nullptr));

    DeviceEvents.clear();
    DeviceScript.startDocFails = false;
    DeviceScript.startPageFailsAt = 1;
    EXPECT_EQ(0, PrintTextFile(file.file(), "notes.txt", RecorderDevice(), 1, nullptr));
    EXPECT_EQ("abort doc", DeviceEvents[DeviceEvents.size() - 2]);
}

TEST_F(TextPrintTest, TooSmallTextIsReportedAndNothingPrinted) {
    CurrentSettings.Lines = 1000;
    ASSERT_EQ(kTextJobTooSmall, Print("a\n"));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("The current settings renders a text height which is too small", ShownBoxes[0].text);
    EXPECT_EQ((std::vector<std::string>{"delete dc"}), DeviceEvents);
    EXPECT_EQ(0, Count("a\n"));

    // The smallest rows that print: columns limited to 1000.
    ShownBoxes.clear();
    CurrentSettings.Lines = 750;
    ASSERT_EQ(1, Print("a\n"));
    EXPECT_TRUE(ShownBoxes.empty());
    EXPECT_EQ(1000, L().charsPerLine);
}

TEST_F(TextPrintTest, AStopEndsTheDocumentAfterTheCurrentPage) {
    CurrentSettings.Lines = 1;
    StopRequested = true;
    ASSERT_EQ(1, Print("a\nb\nc\n", 3));
    EXPECT_EQ(1, Pages());
    EXPECT_EQ("end doc", DeviceEvents[DeviceEvents.size() - 2]);
}

TEST_F(TextPrintTest, HighlightedRowsUseTheDefinition) {
    ScratchFile definitions("TYPE=.c\nKEYWORDS=int\nKEYWORD-STYLE=bold\nTAB-WIDTH=2\nCOMMENT-START="
                            "/*\nCOMMENT-END=*/\n");
    SetDefinitionsPath(NativeName(definitions.path()).c_str());
    CurrentSettings.PrettyPrint = 1;
    CurrentSettings.LineNo = 1;
    ASSERT_EQ(1, Print("\tint x;\n", 1, "main.c"));
    EXPECT_EQ(2, L().tabWidth);
    // Body "X" is 24 wide (3/5 of 40): numbers, then the row in runs.
    EXPECT_EQ((std::vector<std::string>{"    1:@0,0", "  @168,0", "int@216,0", " x;@288,0"}),
              TextsAt());
    const TextFontSpec& keyword = RecordedFonts[static_cast<size_t>(Find("int")->font)].request;
    EXPECT_EQ(900, keyword.weight);
    EXPECT_EQ(24, keyword.width);

    // A comment left open by one copy does not colour the next.
    ResetTextDevice();
    DeviceScript.resY = 3000;
    CurrentSettings.LineNo = 0;
    ASSERT_EQ(1, Print("int\n/* open\n", 2, "main.c"));
    int keywords = 0;
    for (const DrawnText& t : DrawnTexts)
        if (t.text == "int" && RecordedFonts[static_cast<size_t>(t.font)].request.weight == 900)
            ++keywords;
    EXPECT_EQ(2, keywords);

    // Without a section for the file the rows are plain and the tab width is the settings'.
    ResetTextDevice();
    DeviceScript.resY = 3000;
    CurrentSettings.LineNo = 1;
    ASSERT_EQ(1, Print("\tint x;\n", 1, "main.txt"));
    EXPECT_EQ(3, L().tabWidth);
    EXPECT_EQ("   int x;", DrawnTexts[1].text);
    SetDefinitionsPath(nullptr);
}

// A font too big for the page still takes one row per logical page, and
// the job comes to an end.
TEST_F(TextPrintTest, AFontTooLargeForThePageStillPrintsOneRowPerPage) {
    CurrentSettings.SizeOp = 1;
    CurrentSettings.Chars = 2; // rows 2000 units high
    strcpy(CurrentSettings.HeaderStr, "H");
    strcpy(CurrentSettings.FooterStr, "F");
    DeviceScript.startPageFailsAt = 50; // an endless job fails instead of hanging
    ASSERT_EQ(1, Print("a\nb\nc\n"));
    EXPECT_EQ(1, L().linesPerPage);
    EXPECT_EQ(3, Pages());
    EXPECT_EQ("3:0,500", At("c")); // centred, below a header overhanging the page
    EXPECT_EQ(3, Count("a\nb\nc\n"));

    // The same with the page too small for a row of the font.
    ResetTextDevice();
    CurrentSettings.HeaderStr[0] = CurrentSettings.FooterStr[0] = '\0';
    DeviceScript.resY = 1000;
    DeviceScript.startPageFailsAt = 50;
    ASSERT_EQ(1, Print("a\nb\n"));
    EXPECT_EQ(1, L().linesPerPage);
    EXPECT_EQ(2, Pages());
}

// A record can come from a dialog with anything in it: the job prints or
// reports a text too small, but never hangs, overflows or divides by zero.
TEST_F(TextPrintTest, ExtremeRecordsNeitherHangNorOverflow) {
    static const float inf = std::numeric_limits<float>::infinity();
    static const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        void (*apply)(Settings* s, TextDeviceScript* device);
    };
    const Case cases[] = {
        {"grid product overflows",
         [](Settings* s, TextDeviceScript*) {
             s->Width = 715827883;
             s->Height = 3;
             s->Lines = 2;
         }},
        {"grid at its limits",
         [](Settings* s, TextDeviceScript*) {
             s->Width = INT_MIN;
             s->Height = INT_MAX;
             s->AdvHoriz = 0;
         }},
        {"huge lines with rows reserved",
         [](Settings* s, TextDeviceScript*) {
             s->Lines = INT_MAX;
             strcpy(s->HeaderStr, "H");
         }},
        {"both sizes at their extremes",
         [](Settings* s, TextDeviceScript*) {
             s->SizeOp = 2;
             s->Lines = INT_MIN;
             s->Chars = INT_MIN;
             s->LineNo = 1;
         }},
        {"lengths beyond any page",
         [](Settings* s, TextDeviceScript*) {
             s->LeftMarg = -1e30f;
             s->RightMarg = -inf;
             s->xGutter = 1e30f;
             s->Width = 100;
             s->Frame = 1;
             s->FrameWidth = inf;
         }},
        {"lengths that are no numbers",
         [](Settings* s, TextDeviceScript*) {
             s->LeftMarg = s->TopMarg = s->xGutter = s->yGutter = nan;
             s->Width = s->Height = 3;
             s->Frame = 1;
             s->FrameWidth = nan;
         }},
        {"a device beyond any printer",
         [](Settings* s, TextDeviceScript* d) {
             d->dpiX = d->dpiY = INT_MAX;
             d->resX = d->resY = INT_MAX;
             d->offX = INT_MIN;
             s->SizeOp = 1;
             s->Chars = 2;
             s->Width = 100;
             s->xGutter = 50.0f;
         }},
    };
    std::vector<std::string> printed;
    for (const Case& c : cases) {
        SetUp();
        c.apply(&CurrentSettings, &DeviceScript);
        DeviceScript.startPageFailsAt = 50;
        int result = Print("a\nb\nc\n");
        EXPECT_EQ(ShownBoxes.empty() ? kTextJobPrinted : kTextJobTooSmall, result) << c.name;
        if (ShownBoxes.empty()) {
            printed.push_back(c.name);
            EXPECT_GE(Pages(), 1) << c.name;
            EXPECT_LE(Pages(), 3) << c.name;
            EXPECT_NE(nullptr, Find("c")) << c.name;
        } else {
            EXPECT_EQ("The current settings renders a text height which is too small",
                      ShownBoxes[0].text)
                << c.name;
            EXPECT_EQ(0, Pages()) << c.name;
        }
    }
    // The grid of the report holds as many cells as a sheet can show.
    EXPECT_EQ("grid product overflows", printed.at(0));
}

} // namespace

namespace {

TEST(TextFonts, RecordFieldsFollowTheFace) {
    TextFontSpec request;
    FillTextFontSpec("MS LineDraw", 40, 24, true, true, false, &request);
    EXPECT_EQ(2, request.charSet);
    EXPECT_EQ(900, request.weight);
    EXPECT_TRUE(request.italic);
    EXPECT_FALSE(request.underline);
    EXPECT_EQ(48, request.pitchAndFamily);
    FillTextFontSpec("Courier New", 40, 0, false, false, true, &request);
    EXPECT_EQ(0, request.charSet);
    EXPECT_EQ(0, request.weight);
    EXPECT_TRUE(request.underline);
    FillTextFontSpec("An Unusually Long Face Name Of Forty Chars", 40, 0, false, false, false,
                     &request);
    EXPECT_EQ(std::string("An Unusually Long Face Name Of "), request.face);
}

} // namespace
