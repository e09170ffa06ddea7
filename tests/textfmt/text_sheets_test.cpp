// The preview's sheets against the printing: each sheet, drawn alone and in
// any order from its restart point, makes the same drawing calls as the
// printed page, and the walk finds as many sheets as printing prints.
#include <cstring>
#include <functional>

#include "textfmt/text_print.h"
#include "textfmt/text_sheets.h"
#include "textfmt_test_support.h"

namespace {

typedef std::vector<std::vector<std::string>> Sheets;

std::string FontOf(int font) {
    if (font < 0 || static_cast<size_t>(font) >= RecordedFonts.size())
        return "none";
    const TextFontSpec& f = RecordedFonts[static_cast<size_t>(font)].request;
    return std::string(f.face) + "/" + std::to_string(f.height) + "/" + std::to_string(f.width) +
           "/" + std::to_string(f.weight) + (f.italic ? "i" : "") + (f.underline ? "u" : "");
}

// Every text and frame drawn, by the printout page it went to (0 for a
// drawing outside any page), without the page.
Sheets DrawingsByPage() {
    Sheets pages;
    auto at = [&](int page) -> std::vector<std::string>& {
        if (pages.size() <= static_cast<size_t>(page))
            pages.resize(static_cast<size_t>(page) + 1);
        return pages[static_cast<size_t>(page)];
    };
    for (const DrawnText& t : DrawnTexts)
        at(t.page).push_back("text " + t.text + "@" + std::to_string(t.x) + "," +
                             std::to_string(t.y) + " " + FontOf(t.font) + " c" +
                             std::to_string(t.colour) + " a" + std::to_string(t.align) +
                             (t.wide ? " wide" : ""));
    for (const DrawnFrame& f : DrawnFrames)
        at(f.page).push_back("frame " + std::to_string(f.left) + "," + std::to_string(f.top) + "," +
                             std::to_string(f.right) + "," + std::to_string(f.bottom) + " pen " +
                             std::to_string(f.penWidth));
    return pages;
}

struct SheetCase {
    const char* name;
    const char* fileName;
    std::function<void(Settings&)> settings;
    std::function<std::string()> text;
};

std::string Lines(int count, const std::string& stem) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += stem + " " + std::to_string(i) + "\n";
    return text;
}

// Words enough to wrap over several rows, and so over page ends.
std::string LongLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        for (int w = 0; w < 40; ++w)
            text += "word" + std::to_string(i * 100 + w) + " ";
        text += "\n";
    }
    return text;
}

const char kCDefinitions[] = "TYPE=.c\nKEYWORDS=int if\nKEYWORD-STYLE=bold\nKEYWORD-COL=255,0,0\n"
                             "COMMENT-STYLE=italic\nCOMMENT-START=/*\nCOMMENT-END=*/\n"
                             "COMMENT-COL=0,0,255\nCOMMENT-SINGLE=//\n";

const SheetCase kCases[] = {
    {"the default header with its page total", "dir\\notes.txt",
     [](Settings& s) { strcpy(s.HeaderStr, "&f&c&d&rPage &#(&t)"); },
     [] { return Lines(170, "line"); }},
    {"n-up cells with frames, per-page header and footer, numbers and wrapping", "a.txt",
     [](Settings& s) {
         s.Width = 2;
         s.Height = 2;
         s.Frame = 1;
         s.Lines = 12;
         s.LineNo = 1;
         s.WrapLines = 1;
         strcpy(s.HeaderStr, "&f page &# of &t");
         strcpy(s.FooterStr, "&rfoot &#");
         s.PprBndHd = 0;
     },
     [] { return LongLines(30); }},
    {"a paper-bound header, form feeds and cut lines", "b.txt",
     [](Settings& s) {
         s.Lines = 20;
         s.WrapLines = 0;
         s.PprBndHd = 1;
         strcpy(s.HeaderStr, "sheet &# of &t");
         s.Width = 2;
         s.AdvHoriz = 0;
     },
     [] { return "\f" + Lines(15, "a") + "\f" + LongLines(3) + "x\f\f" + Lines(50, "b") + "\f"; }},
    {"highlighting, a comment running over page ends", "prog.c",
     [](Settings& s) {
         s.PrettyPrint = 1;
         s.Lines = 10;
         s.WrapLines = 1;
     },
     [] {
         return "int a; /* a comment\n" + Lines(25, "inside if") + "ends */ int b;\n" +
                "char* s = \"a /* string\n" + Lines(12, "// note int") + LongLines(4);
     }},
    {"UTF-8 text drawn through the wide calls", "u.txt",
     [](Settings& s) {
         s.Lines = 15;
         s.WrapLines = 1;
     },
     [] { return Lines(40, "\xCE\xB1\xCE\xB2\xCE\xB3 \xD0\xB6\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C"); }},
    {"DOS characters on the last page translate every page", "dos.txt",
     [](Settings& s) {
         s.OEMTrans = 1;
         s.Lines = 20;
     },
     [] { return Lines(50, "text \x84\x94") + "last \x81\n"; }},
    {"a file that ends exactly with a page", "full.txt", [](Settings& s) { s.Lines = 25; },
     [] { return Lines(75, "row"); }},
    {"an empty file", "empty.txt", [](Settings& s) { strcpy(s.HeaderStr, "&#/&t"); },
     [] { return std::string(); }},
};

class TextSheetsTest : public TextFormatterTest {
  protected:
    void SetUp() override {
        TextFormatterTest::SetUp();
        definitions_.reset(new ScratchFile(kCDefinitions));
        SetDefinitionsPath(NativeName(definitions_->path()).c_str());
        DeviceScript.offX = DeviceScript.offY = 25;
    }
    void TearDown() override {
        SetDefinitionsPath(nullptr);
        TextFormatterTest::TearDown();
    }
    // The sheets drawn alone, last first; the walk done beforehand.
    Sheets Preview(FILE* file, const char* name, int* walkedSheets) {
        TextDeviceScript script = DeviceScript;
        ResetTextDevice();
        DeviceScript = script;
        TextSheets* sheets = OpenTextSheets(file, name, RecorderDevice(), CurrentSettings);
        EXPECT_NE(nullptr, sheets);
        if (!sheets)
            return Sheets();
        while (!WalkTextSheets(sheets, 2)) {
        }
        *walkedSheets = TextSheetCount(sheets);
        Sheets drawn(static_cast<size_t>(*walkedSheets) + 1);
        for (int i = *walkedSheets - 1; i >= 0; --i) {
            DrawnTexts.clear();
            DrawnFrames.clear();
            EXPECT_TRUE(DrawTextSheet(sheets, i, RecorderDevice()));
            Sheets one = DrawingsByPage();
            drawn[static_cast<size_t>(i) + 1] = one.empty() ? std::vector<std::string>() : one[0];
        }
        CloseTextSheets(sheets);
        return drawn;
    }
    std::unique_ptr<ScratchFile> definitions_;
};

TEST_F(TextSheetsTest, EachSheetDrawsAsItsPrintedPage) {
    for (const SheetCase& c : kCases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.settings(CurrentSettings);
        ScratchFile file(c.text());
        ASSERT_EQ(1, PrintTextFile(file.file(), c.fileName, RecorderDevice(), 1, nullptr));
        Sheets printed = DrawingsByPage();
        int pages =
            static_cast<int>(std::count(DeviceEvents.begin(), DeviceEvents.end(), "start page"));
        int walked = 0;
        Sheets previewed = Preview(file.file(), c.fileName, &walked);
        EXPECT_EQ(pages, walked);
        printed.resize(previewed.size());
        for (size_t page = 1; page < previewed.size(); ++page)
            EXPECT_EQ(printed[page], previewed[page]) << "sheet " << page;
        TearDown();
    }
}

TEST_F(TextSheetsTest, FirstSheetAtOnceWithThePageTotalFilledInOnceCounted) {
    OneCellFillingThePage();
    strcpy(CurrentSettings.HeaderStr, "&#/&t");
    CurrentSettings.Lines = 10;
    ScratchFile file(Lines(35, "x"));
    TextSheets* sheets = OpenTextSheets(file.file(), "f.txt", RecorderDevice(), CurrentSettings);
    ASSERT_NE(nullptr, sheets);
    EXPECT_EQ(1, TextSheetCount(sheets));
    EXPECT_FALSE(TextSheetsWalked(sheets));
    DrawnTexts.clear();
    ASSERT_TRUE(DrawTextSheet(sheets, 0, RecorderDevice()));
    EXPECT_EQ("1/?", DrawnTexts.at(0).text);
    // One sheet a call, then the counting pass.
    EXPECT_FALSE(WalkTextSheets(sheets, 1));
    EXPECT_EQ(2, TextSheetCount(sheets));
    while (!WalkTextSheets(sheets, 1)) {
    }
    EXPECT_EQ(4, TextSheetCount(sheets));
    DrawnTexts.clear();
    ASSERT_TRUE(DrawTextSheet(sheets, 3, RecorderDevice()));
    EXPECT_EQ("4/4", DrawnTexts.at(0).text);
    EXPECT_FALSE(DrawTextSheet(sheets, 4, RecorderDevice()));
    CloseTextSheets(sheets);
}

TEST_F(TextSheetsTest, TextTooSmallOpensNothing) {
    CurrentSettings.Lines = 5000;
    ScratchFile file("x\n");
    EXPECT_EQ(nullptr, OpenTextSheets(file.file(), "f.txt", RecorderDevice(), CurrentSettings));
    EXPECT_EQ(1u, ShownBoxes.size());
}

} // namespace
