// Print preview's rules: what is refused, which settings it uses, the sheet
// map of a PostScript file, moving, zooming and the remembered place.
#include "app_test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/preview.h"
#include "common/messages.h"
#include "tests/doubles/text_device_recorder.h"
#include "tests/output/output_doubles.h"

namespace {

class PreviewTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        ResetPrinter();
        ResetTextDevice();
    }
    void TearDown() override {
        ClosePreview(&doc);
        ShellTest::TearDown();
    }
    PreviewDocument doc = PreviewDocument();
};

std::string PostScriptPages(int count) {
    std::string text = "%!PS-Adobe-3.0\n%%Pages: " + std::to_string(count) + "\n%%EndComments\n";
    const char* roman[] = {"i", "ii", "iii", "iv", "v", "vi"};
    for (int i = 1; i <= count; ++i)
        text +=
            std::string("%%Page: ") + roman[(i - 1) % 6] + " " + std::to_string(i) + "\nshowpage\n";
    return text + "%%Trailer\n%%EOF\n";
}

TEST_F(PreviewTest, RefusedForWhatWouldNotPrintAsItself) {
    struct {
        int kind;
        int conversion; // -1: none enabled
        int enableTextPrint;
        int refusal;
    } cases[] = {
        {Text, -1, 1, 0},
        {Text, kConvTxt, 1, kTextPreviewRefusedConversion},
        {Text, kConvPS, 1, 0},
        {Text, -1, -1, kTextPreviewRefusedIgnored},
        {StructuredPostScript, kConvPS, 1, kTextPreviewRefusedConversion},
        {EncapsulatedPostScript, kConvTxt, 1, 0},
        {Binary, kConvBin, 0, kTextPreviewRefusedConversion},
        {Binary, -1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + std::to_string(c.conversion));
        Settings s;
        SetDefaultSettings(&s);
        if (c.conversion >= 0)
            s.conversion[c.conversion].DoConv = 1;
        s.EnableTextPrint = c.enableTextPrint;
        EXPECT_EQ(c.refusal, PreviewRefusal(c.kind, s));
    }
}

TEST_F(PreviewTest, UsesTheSetBoundToTheExtensionAndGivesItBack) {
    UseSettings("", "Listing=1\r\n[Listing]\r\nFileTypes=.lst\r\nLines=40\r\nDoConvPS=1\r\n");
    // The set in force as Apply leaves it, with a value not in the file: it
    // comes back as it was, not as the file holds it.
    CurrentSettings.Lines = 77;
    std::string listing = Write("a.lst", "one\ntwo\n");
    ASSERT_TRUE(OpenPreview(listing.c_str(), &doc));
    EXPECT_EQ(40, doc.settings.Lines);
    EXPECT_STREQ("Default settings", CurrentSetName);
    EXPECT_EQ(77, CurrentSettings.Lines);
    EXPECT_EQ(1, PreviewSheetCount(doc));
    ClosePreview(&doc);

    // Refused under its own set, which converts PostScript: reported once.
    std::string ps = Write("b.lst", PostScriptPages(2));
    EXPECT_FALSE(OpenPreview(ps.c_str(), &doc));
    EXPECT_EQ((Strings{ps + " cannot be previewed: it would be printed through a conversion "
                            "program"}),
              ShownTexts());
    EXPECT_STREQ("Default settings", CurrentSetName);
}

TEST_F(PreviewTest, RefusedWithoutFileOrPrinterAndSilentlyInSpoolerMode) {
    EXPECT_FALSE(OpenPreview(Path("missing.txt").c_str(), &doc));
    Printer.haveDevice = false;
    std::string text = Write("a.txt");
    EXPECT_FALSE(OpenPreview(text.c_str(), &doc));
    std::string ps = Write("a.ps", PostScriptPages(2));
    EXPECT_FALSE(OpenPreview(ps.c_str(), &doc));
    Strings boxes = ShownTexts();
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ(0u, boxes[0].find("Could not open "));
    EXPECT_EQ(text + " cannot be previewed: no printer can be used", boxes[1]);
    EXPECT_EQ(ps + " cannot be previewed: no printer can be used", boxes[2]);

    ShownBoxes.clear();
    Printer.haveDevice = true;
    SpoolerMode = true;
    EXPECT_FALSE(OpenPreview(text.c_str(), &doc));
    EXPECT_TRUE(ShownTexts().empty());
}

// The map's texts of one sheet, in drawing order.
Strings MapTexts(PreviewDocument* doc, int sheet) {
    DrawnTexts.clear();
    DrawnFrames.clear();
    EXPECT_TRUE(DrawPreviewSheet(doc, sheet, RecorderDevice()));
    Strings texts;
    for (const DrawnText& t : DrawnTexts)
        texts.push_back(t.text);
    return texts;
}

TEST_F(PreviewTest, SheetMapShowsTheSelectedPagesTwoToASheet) {
    UseSettings("NUpPs=1\r\n");
    std::string ps = Write("doc.ps", PostScriptPages(5));
    ASSERT_TRUE(OpenPreview(ps.c_str(), &doc));
    EXPECT_EQ(kPreviewPages, doc.kind);
    EXPECT_TRUE(PreviewSelectsPages(doc));
    EXPECT_EQ(3, PreviewSheetCount(doc));
    ChoosePreviewPages(&doc, {true, false, true, false, true});
    ASSERT_EQ(2, PreviewSheetCount(doc));
    EXPECT_EQ((Strings{"1", "i 1", "3", "iii 3"}), MapTexts(&doc, 0));
    // The last sheet, half filled: one cell's frame and its page's outline.
    EXPECT_EQ((Strings{"5", "v 5"}), MapTexts(&doc, 1));
    EXPECT_EQ(2u, DrawnFrames.size());
    EXPECT_FALSE(DrawPreviewSheet(&doc, 2, RecorderDevice()));
    // A landscape sheet of the recorder's 300 dpi paper of 8 x 11 inches.
    EXPECT_EQ(3300, doc.frame.right);
    EXPECT_EQ(2400, doc.frame.bottom);
    char status[kMessageSize];
    PreviewStatusText(doc, 1, status, sizeof status);
    EXPECT_STREQ("Sheet 2 of 2 - page contents are not rendered", status);
}

TEST_F(PreviewTest, StatusSaysWhatEachKindShows) {
    struct {
        const char* name;
        std::string bytes;
        const char* status;
    } cases[] = {
        {"a.txt", "text\n", "Sheet 1 of 1"},
        {"p.ps", "%!PS\nshowpage\n",
         "PostScript without page comments: it is sent to the printer "
         "as it is; page contents are not rendered"},
        {"e.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 144 216\n",
         "Sheet 1 of 1 - the picture's placed bounding box; its contents are not rendered"},
        {"d.prn", std::string("\x1b%-12345X@PJL\n", 14),
         "Printer-ready data: it is sent to the "
         "printer unchanged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(OpenPreview(Write(c.name, c.bytes).c_str(), &doc));
        while (!WalkPreview(&doc, 1)) {
        }
        char status[kMessageSize];
        PreviewStatusText(doc, 0, status, sizeof status);
        EXPECT_STREQ(c.status, status);
        EXPECT_EQ(1, PreviewSheetCount(doc));
        ClosePreview(&doc);
    }
}

// A UTF-16 file is drawn from its UTF-8 copy, as printing draws it. The
// copy looks at the stop flag now and then: a stop left from an earlier
// batch must not end it.
TEST_F(PreviewTest, Utf16TextDrawsItsCharactersDespiteAnEarlierStop) {
    std::string bytes = "\xff\xfe";
    const char16_t line[] = u"Gr\u00fc\u00dfe \u20ac\r\n";
    for (int i = 0; i < 10000; ++i)
        for (char16_t unit : std::u16string(line))
            bytes += {static_cast<char>(unit & 0xff), static_cast<char>(unit >> 8)};
    StopRequested = true;
    ASSERT_TRUE(OpenPreview(Write("wide.txt", bytes).c_str(), &doc));
    Strings texts = MapTexts(&doc, 0);
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), "Gr\u00fc\u00dfe \u20ac"));
}

TEST_F(PreviewTest, PictureBoxAndNameWhereTheWrapperPutsThem) {
    UseSettings("PlaceEPS=1\r\nNameEPS=1\r\n");
    std::string eps = Write("logo.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 144 216\n");
    ASSERT_TRUE(OpenPreview(eps.c_str(), &doc));
    ASSERT_EQ(kPreviewPicture, doc.kind);
    Strings texts = MapTexts(&doc, 0);
    // 8 x 11 inches at 300 dpi, centred: the box's 2 x 3 inches from
    // (3, 4) inches, y counted from the top.
    ASSERT_EQ(1u, DrawnFrames.size());
    EXPECT_EQ(900, DrawnFrames[0].left);
    EXPECT_EQ(1200, DrawnFrames[0].top);
    EXPECT_EQ(1500, DrawnFrames[0].right);
    EXPECT_EQ(2100, DrawnFrames[0].bottom);
    EXPECT_EQ((Strings{eps}), texts);
}

TEST_F(PreviewTest, MovesStayAmongTheKnownSheets) {
    struct {
        PreviewMove move;
        int current, known;
        bool complete;
        int expected;
    } cases[] = {
        {kMoveNext, 0, 3, true, 1},     {kMoveNext, 2, 3, true, 2},
        {kMoveNext, 2, 3, false, 3}, // walked to first
        {kMovePrevious, 0, 3, true, 0}, {kMovePrevious, 2, 3, true, 1},
        {kMoveFirst, 2, 3, true, 0},    {kMoveLast, 0, 3, false, 2},
        {kMoveLast, 0, 1, true, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, SheetAfterMove(c.move, c.current, c.known, c.complete))
            << c.move << " from " << c.current;
}

std::string Placement(const SheetPlacement& p) {
    char text[128];
    std::snprintf(text, sizeof text, "%d,%d %dx%d in %dx%d at %d,%d", p.left, p.top, p.width,
                  p.height, p.contentWidth, p.contentHeight, p.scrollX, p.scrollY);
    return text;
}

TEST_F(PreviewTest, ZoomPlacesTheSheet) {
    // A 10 x 20 inch sheet on a 100 dpi screen, in a view of 524 x 424:
    // the sheet's place and size, the scrolled content's size and the scroll.
    struct {
        PreviewZoom zoom;
        int scrollX, scrollY;
        const char* expected;
    } cases[] = {
        // The height fits, centred across.
        {kZoomWholeSheet, 0, 0, "162,12 200x400 in 224x424 at 0,0"},
        // Scrolled down, held at the end.
        {kZoomSheetWidth, 0, 5000, "12,-588 500x1000 in 524x1024 at 0,600"},
        // Scrolled both ways.
        {kZoomActualSize, 100, 50, "-88,-38 1000x2000 in 1024x2024 at 100,50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected,
                  Placement(PlaceSheet(c.zoom, 524, 424, 10, 20, 100, 100, c.scrollX, c.scrollY)));
}

TEST_F(PreviewTest, PlaceRememberedInGeneralWhileSavePosIsOn) {
    PreviewPlace place;
    SavePreviewPlace({10, 20, 700, 500, false});
    EXPECT_FALSE(RestoredPreviewPlace(1024, 768, &place));
    CurrentSettings.SavePos = 1;
    SavePreviewPlace({900, -30, 700, 500, true});
    ASSERT_TRUE(RestoredPreviewPlace(1024, 768, &place));
    // Brought back onto the screen whole.
    EXPECT_EQ(324, place.left);
    EXPECT_EQ(0, place.top);
    EXPECT_EQ(700, place.width);
    EXPECT_TRUE(place.maximised);
    EXPECT_NE(std::string::npos,
              ReadTestFile(dir + "\\ravlen.ini").find("[General]\r\nPreviewPos=900 -30 700 500 1"));
}

} // namespace
