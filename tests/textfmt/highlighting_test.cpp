#include <cstring>

#include "textfmt/highlighting.h"
#include "textfmt/text_fonts.h"
#include "textfmt_test_support.h"

namespace {

const char* kCDefinitions = "TYPE=.c\n"
                            "KEYWORDS=int if\n"
                            "KEYWORD-STYLE=bold\n"
                            "KEYWORD-COL=255,0,0\n"
                            "COMMENT-STYLE=italic\n"
                            "COMMENT-START=/*\n"
                            "COMMENT-END=*/\n"
                            "COMMENT-SINGLE=//\n"
                            "TYPE=.bw\n"
                            "KEYWORDS=int\n"
                            "COMMENT-COL=0,0,255\n"
                            "COMMENT-SINGLE=//\n"
                            "TYPE=.open\n"
                            "KEYWORDS=int\n"
                            "KEYWORD-STYLE=bold\n"
                            "COMMENT-START=/*\n"
                            "TYPE=.bas\n"
                            "KEYWORDS=PRINT REMARK\n"
                            "KEYWORD-STYLE=bold\n"
                            "COMMENT-STYLE=italic\n"
                            "COMMENT-SINGLE=REM\n";

class HighlightingTest : public TextFormatterTest {
  protected:
    void SetUp() override {
        TextFormatterTest::SetUp();
        definitions_.reset(new ScratchFile(kCDefinitions));
        SetDefinitionsPath(NativeName(definitions_->path()).c_str());
    }
    void TearDown() override {
        SetDefinitionsPath(nullptr);
        TextFormatterTest::TearDown();
    }
    bool Prepare(const char* fileName) {
        body_ = CreateTextFont("Courier", 50, 0, false, false, false);
        return PrepareHighlighting(fileName, "Courier", 50, 30, body_, RecorderDevice());
    }
    // Runs of one row: "N:" normal, "K:" keyword, "C:" comment text.
    std::vector<std::string> Row(const char* text, bool continues = false) {
        DrawnTexts.clear();
        SetTextAlignment(RecorderDevice(), kAlignUpdatePosition);
        SelectTextFont(RecorderDevice(), body_);
        DrawHighlightedRow(RecorderDevice(), 10, 20, text, static_cast<int>(strlen(text)),
                           continues);
        std::vector<std::string> runs;
        for (const DrawnText& t : DrawnTexts) {
            if (t.font < 0) {
                runs.push_back("?:" + t.text);
                continue;
            }
            const TextFontSpec& request = RecordedFonts[static_cast<size_t>(t.font)].request;
            std::string kind = request.weight == 900 ? "K:" : request.italic ? "C:" : "N:";
            runs.push_back(kind + t.text);
        }
        return runs;
    }
    typedef std::vector<std::string> Runs;
    std::unique_ptr<ScratchFile> definitions_;
    FontRef body_ = nullptr;
};

TEST_F(HighlightingTest, CommentsAndKeywords) {
    ASSERT_TRUE(Prepare("main.c"));
    EXPECT_EQ((Runs{"N:x = 1; ", "C:/* note */", "N: y"}), Row("x = 1; /* note */ y"));
    EXPECT_EQ((Runs{"C:/*/", "N: still code */"}), Row("/*/ still code */"));
    EXPECT_EQ((Runs{"N:a ", "C:// rest"}), Row("a // rest"));
    EXPECT_EQ((Runs{"K:int", "N: b"}), Row("int b"));
    EXPECT_EQ((Runs{"K:int", "N:32"}), Row("int32"));
    // Runs follow each other from the row's start.
    ASSERT_EQ(2u, DrawnTexts.size());
    EXPECT_EQ(10, DrawnTexts[0].x);
    EXPECT_EQ(10 + 3 * 30, DrawnTexts[1].x);
    EXPECT_EQ(20, DrawnTexts[1].y);
}

TEST_F(HighlightingTest, StringsHideKeywordsAndMarkers) {
    ASSERT_TRUE(Prepare("main.c"));
    EXPECT_EQ((Runs{"K:if", "N: (s == \"int\")"}), Row("if (s == \"int\")"));
    EXPECT_EQ((Runs{"N:\"a\\\"int\" ", "K:int"}), Row("\"a\\\"int\" int"));
    EXPECT_EQ((Runs{"N:\"a\\\\\" ", "K:int"}), Row("\"a\\\\\" int"));
    EXPECT_EQ((Runs{"N:'/* no' ", "K:int"}), Row("'/* no' int"));
    // A string ends with its line, also one opened by the line's last byte.
    EXPECT_EQ((Runs{"N:x = \""}), Row("x = \""));
    EXPECT_EQ((Runs{"K:int"}), Row("int"));
    // ... but goes on into the next row of the same line.
    EXPECT_EQ((Runs{"N:s = \"a"}), Row("s = \"a", true));
    EXPECT_EQ((Runs{"N:int\" ", "K:int"}), Row("int\" int"));
}

TEST_F(HighlightingTest, BlockCommentsSpanRowsAndLines) {
    ASSERT_TRUE(Prepare("main.c"));
    EXPECT_EQ((Runs{"N:a ", "C:/* x"}), Row("a /* x"));
    EXPECT_EQ((Runs{"C:middle "}), Row("middle ", true));
    EXPECT_EQ((Runs{"C:row"}), Row("row"));
    EXPECT_EQ((Runs{"C:end */", "N: ", "K:int"}), Row("end */ int"));
    // A line comment wrapped over two rows.
    EXPECT_EQ((Runs{"C:// int "}), Row("// int ", true));
    EXPECT_EQ((Runs{"C:more"}), Row("more"));
    EXPECT_EQ((Runs{"K:int"}), Row("int"));
}

TEST_F(HighlightingTest, ACutOffEndMarkerEndsTheComment) {
    ASSERT_TRUE(Prepare("main.c"));
    Row("/* open");
    const char* line = "still inside */ int";
    NoteTruncation(line, static_cast<int>(strlen(line)), 9);
    EXPECT_EQ((Runs{"C:still ins"}), Row("still ins"));
    EXPECT_EQ((Runs{"K:int"}), Row("int"));
    // An end marker in the visible part does not count.
    Row("/* open");
    NoteTruncation("a */ b c d e f", 14, 9);
    NoteTruncation("no end here at all", 18, 9);
    EXPECT_EQ((Runs{"C:x"}), Row("x"));
    EXPECT_EQ(kBlockComment, CurrentHighlightState());
}

TEST_F(HighlightingTest, ColoursOnlyOnColourPrintersOrWhenAsked) {
    ASSERT_TRUE(Prepare("main.c"));
    Row("int");
    EXPECT_EQ(0u, DrawnTexts[0].colour); // two colours: fonts only

    DeviceScript.colours = 256;
    ASSERT_TRUE(Prepare("main.c"));
    Row("int x");
    ASSERT_EQ(2u, DrawnTexts.size());
    EXPECT_EQ(255u, DrawnTexts[0].colour);
    EXPECT_EQ(0u, DrawnTexts[1].colour);
    Row("/* c */");
    EXPECT_EQ(0u, DrawnTexts[0].colour); // comment colour 0 stays black

    ASSERT_TRUE(Prepare("t.bw"));
    Row("int // c");
    ASSERT_EQ(3u, DrawnTexts.size());
    EXPECT_EQ(0u, DrawnTexts[0].colour);
    EXPECT_EQ(0xFF0000u, DrawnTexts[2].colour);
}

TEST_F(HighlightingTest, FontsAreMadePerJobWithTheBodyWidth) {
    ASSERT_TRUE(Prepare("main.c"));
    size_t first = RecordedFonts.size();
    ASSERT_TRUE(Prepare("main.c"));
    ASSERT_GE(RecordedFonts.size(), first + 2);
    const TextFontSpec& keyword = RecordedFonts[RecordedFonts.size() - 2].request;
    EXPECT_EQ(50, keyword.height);
    EXPECT_EQ(30, keyword.width);
    EXPECT_EQ(900, keyword.weight);
    EXPECT_TRUE(RecordedFonts[first - 2].deleted); // the earlier job's fonts
    EXPECT_TRUE(RecordedFonts[first - 1].deleted);
    EXPECT_FALSE(Prepare("main.txt"));
}

TEST_F(HighlightingTest, AMarkerThatStartsLikeAWordComesFirstOnlyWhereAWordBegins) {
    ASSERT_TRUE(Prepare("x.bas"));
    EXPECT_EQ((Runs{"K:PRINT", "N: 1 ", "C:REM note"}), Row("PRINT 1 REM note"));
    EXPECT_EQ((Runs{"C:REMARK x"}), Row("REMARK x")); // not the keyword
    EXPECT_EQ((Runs{"N:xREM ", "K:PRINT"}), Row("xREM PRINT"));
    EXPECT_EQ((Runs{"N:RE ", "K:PRINT"}), Row("RE PRINT")); // an R that begins no marker
}

TEST_F(HighlightingTest, AStartMarkerWithoutAnEndIsIgnored) {
    ASSERT_TRUE(Prepare("x.open"));
    EXPECT_EQ((Runs{"N:/* x ", "K:int"}), Row("/* x int"));
    EXPECT_EQ(kNormalText, CurrentHighlightState());
}

} // namespace
