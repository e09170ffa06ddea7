#include "analysis/file_analysis.h"
#include "analysis/page_index.h"

#include <algorithm>

#include "analysis_test_support.h"

namespace {

using FileClassification = AnalysisTest;

TEST_F(FileClassification, EmptyFileIsBinaryWhateverTheTextSetting) {
    EXPECT_EQ(Binary, Analyze("")->kind);
    CurrentSettings.EnableTextPrint = 0;
    EXPECT_EQ(Binary, Analyze("")->kind);
}

TEST_F(FileClassification, OneByteFileHasAnEmptyWindow) {
    FileAnalysis* analysis = Analyze("\x1b");
    EXPECT_EQ(Text, analysis->kind); // the only byte is the one never examined
    EXPECT_EQ(0, analysis->psOffset);
    EXPECT_EQ(1, analysis->psLength);
    CurrentSettings.EnableTextPrint = 0;
    EXPECT_EQ(Binary, Analyze("a")->kind);
}

TEST_F(FileClassification, ControlBytesDecideTextOrBinary) {
    EXPECT_EQ(Text, Analyze("one\ttab\r\nform\ffeed\r\nvertical\v\x0e\x1a\x1f\n")->kind);
    EXPECT_EQ(Binary, Analyze("plain text \x1b(s0p12H more text\n")->kind);
    EXPECT_EQ(Binary, Analyze(std::string("text\0more text\n", 15))->kind);
    // Only the first 254 bytes count.
    EXPECT_EQ(Binary, Analyze(std::string(253, 'a') + "\x1b" + std::string(10, 'a'))->kind);
    EXPECT_EQ(Text, Analyze(std::string(254, 'a') + "\x1b" + std::string(10, 'a'))->kind);
    CurrentSettings.EnableTextPrint = 0;
    EXPECT_EQ(Binary, Analyze("a plain text file\n")->kind);
}

TEST_F(FileClassification, Utf16WithAMarkIsText) {
    EXPECT_EQ(Text, Analyze(std::string("\xFF\xFEh\0i\0\r\0\n\0", 10))->kind);
    EXPECT_EQ(Text, Analyze(std::string("\xFE\xFF\0h\0i\0\n", 8))->kind);
    // Without the mark the zero bytes still mean printer data.
    EXPECT_EQ(Binary, Analyze(std::string("h\0i\0\r\0\n\0", 8))->kind);
    EXPECT_EQ(Binary, Analyze(std::string("\xFF\xFD\0\0", 4))->kind);
    CurrentSettings.EnableTextPrint = 0;
    EXPECT_EQ(Binary, Analyze(std::string("\xFF\xFEh\0i\0", 6))->kind);
}

TEST_F(FileClassification, IsBinaryDataTakesBytesAsUnsigned) {
    for (int byte = 0; byte < 256; ++byte) {
        unsigned char b = static_cast<unsigned char>(byte);
        EXPECT_EQ(byte < 9 || byte == 27, IsBinaryData(&b, 1)) << byte;
    }
    const unsigned char bytes[] = {'a', 'b', 0};
    EXPECT_FALSE(IsBinaryData(bytes, 2));
    EXPECT_TRUE(IsBinaryData(bytes, 3));
}

TEST_F(FileClassification, BytesBeforeThePostScriptAreNeverSent) {
    std::string code = "%!\n/x 1 def\n";
    FileAnalysis* analysis = Analyze("\x04\x1b%-12345X" + code);
    EXPECT_EQ(PlainPostScript, analysis->kind);
    EXPECT_EQ(10, analysis->psOffset);
    EXPECT_EQ(static_cast<long>(code.size()), analysis->psLength);
    // A "%!" that starts at byte 253 has its "!" outside the window.
    EXPECT_EQ(PlainPostScript, Analyze(std::string(252, ' ') + "%!\n")->kind);
    EXPECT_EQ(Text, Analyze(std::string(253, ' ') + "%!\n")->kind);
    CurrentSettings.EnableTextPrint = 0;
    EXPECT_EQ(Binary, Analyze(std::string(253, ' ') + "%!\n")->kind);
}

std::string Header(unsigned offset, unsigned length) {
    std::string header = "\xc5\xd0\xd3\xc6";
    for (unsigned value : {offset, length, 0u, 0u, 0u, 0u}) {
        for (int i = 0; i < 4; ++i)
            header += static_cast<char>((value >> (8 * i)) & 0xff);
    }
    return header + "\xff\xff";
}

TEST_F(FileClassification, BinaryHeaderNamesTheCode) {
    std::string code = "junk%!PS-Adobe-3.0\n%%Pages: 1\n%%Page: 1 1\nshowpage\n";
    FileAnalysis* analysis =
        Analyze(Header(30, static_cast<unsigned>(code.size())) + code + "preview bytes");
    EXPECT_EQ(30, analysis->psOffset); // not moved to the "%!"
    EXPECT_EQ(static_cast<long>(code.size()), analysis->psLength);
    EXPECT_EQ(StructuredPostScript, analysis->kind);
}

TEST_F(FileClassification, BinaryHeaderPointingOutsideTheFileIsHeldToIt) {
    std::string body = "%!PS-Adobe-3.0\nshowpage\n";
    std::string file = Header(0xfffffff0u, 100) + body;
    FileAnalysis* analysis = Analyze(file);
    EXPECT_EQ(Binary, analysis->kind);
    EXPECT_EQ(static_cast<long>(file.size()), analysis->psOffset);
    EXPECT_EQ(0, analysis->psLength);

    analysis = Analyze(Header(30, 0xffffffffu) + body);
    EXPECT_EQ(30, analysis->psOffset);
    EXPECT_EQ(static_cast<long>(body.size()), analysis->psLength);
    EXPECT_EQ(PlainPostScript, analysis->kind);

    // A signature without the rest of the header is no header.
    analysis = Analyze("\xc5\xd0\xd3\xc6\x01\x02");
    EXPECT_EQ(0, analysis->psOffset);
    EXPECT_EQ(6, analysis->psLength);
}

TEST_F(FileClassification, EncapsulatedPictureBox) {
    FileAnalysis* analysis =
        Analyze("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 612 792\n%%Pages: 1\n%%Page: 1 1\n");
    EXPECT_EQ(EncapsulatedPostScript, analysis->kind);
    EXPECT_EQ(0u, analysis->pageCount);
    EXPECT_EQ(0.0, analysis->boundingBox[0]);
    EXPECT_EQ(792.0, analysis->boundingBox[3]);

    // Deferred: the last complete box of the code counts.
    analysis = Analyze("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: (atend)\n%%EndComments\n"
                       "%%BoundingBox: 1 2 3 4\nshowpage\n%%Trailer\n"
                       "%%BoundingBox: 10.5 20 300 400.25\n%%EOF\n");
    EXPECT_EQ(EncapsulatedPostScript, analysis->kind);
    EXPECT_EQ(10.5, analysis->boundingBox[0]);
    EXPECT_EQ(400.25, analysis->boundingBox[3]);

    EXPECT_EQ(PlainPostScript, Analyze("%!PS-Adobe-3.0 EPSF-3.0\n%%Pages: 1\n%%Page: 1 1\n")->kind);
    // An incomplete box that is not deferred ends the search.
    EXPECT_EQ(PlainPostScript, Analyze("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 612\n"
                                       "%%BoundingBox: 0 0 612 792\n")
                                   ->kind);
    // A box that is not a number is no box.
    EXPECT_EQ(PlainPostScript,
              Analyze("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: nan 0 612 792\n")->kind);
}

TEST_F(FileClassification, NothingOutsideTheCodeIsRead) {
    std::string code = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: (atend)\nshowpage\n";
    std::string file =
        Header(30, static_cast<unsigned>(code.size())) + code + "%%BoundingBox: 0 0 10 10\n";
    EXPECT_EQ(PlainPostScript, Analyze(file)->kind);
    code = "%!PS-Adobe-3.0\n%%Pages: (atend)\n";
    file = Header(30, static_cast<unsigned>(code.size())) + code + "%%Page: 1 1\n";
    EXPECT_EQ(PlainPostScript, Analyze(file)->kind);
}

TEST_F(FileClassification, PageCounts) {
    std::string doc = DscDocument("%%Pages: 3", 3);
    FileAnalysis* analysis = Analyze(doc);
    EXPECT_EQ(StructuredPostScript, analysis->kind);
    EXPECT_EQ(3u, analysis->pageCount);
    EXPECT_EQ(static_cast<long>(doc.find("%%Page: 1")), analysis->firstPageOffset);

    analysis = Analyze(DscDocument("%%Pages: (atend)", 5, "%%Pages: 5\n"));
    EXPECT_EQ(5u, analysis->pageCount);
    // A count in the trailer replaces the counted pages.
    EXPECT_EQ(4u, Analyze(DscDocument("%%Pages: (atend)", 5, "%%Pages: 4\n"))->pageCount);
    EXPECT_EQ(6u, Analyze(DscDocument("", 6))->pageCount);
    // The header's count is believed: the scan ends at the first page.
    EXPECT_EQ(2u, Analyze(DscDocument("%%Pages: 2", 9))->pageCount);

    analysis = Analyze(DscDocument("%%Pages: 0", 3));
    EXPECT_EQ(PlainPostScript, analysis->kind);
    EXPECT_EQ(0u, analysis->pageCount);
    EXPECT_EQ(0, analysis->firstPageOffset);
    // Blanks alone declare a count that stays 0.
    EXPECT_EQ(PlainPostScript, Analyze(DscDocument("%%Pages:  ", 3))->kind);
    EXPECT_EQ(PlainPostScript, Analyze(DscDocument("%%Pages: 4", 0))->kind);
    // Comments start in the first column.
    EXPECT_EQ(PlainPostScript,
              Analyze("%!PS-Adobe-3.0\n %%Page: 1 1\n%%PageTrailer\n%%Pages 1\n")->kind);
    // Without "%!PS-Adobe" nothing is counted.
    EXPECT_EQ(PlainPostScript, Analyze("%!\n%%Pages: 1\n%%Page: 1 1\n")->kind);
}

TEST_F(FileClassification, UnusableDeclaredCountsLeaveThePagesCounted) {
    struct Case {
        const char* pagesLine;
        int pages;
        const char* trailer;
        unsigned expected;
    } cases[] = {
        {"%%Pages: -5", 3, "", 3},
        {"%%Pages: 4000000000", 3, "", 3},
        {"%%Pages: 99999999999999999999999", 2, "", 2},
        {"%%Pages: 65536", 4, "", 4},
        {"%%Pages: +2", 3, "", 2},
        {"%%Pages: -0", 3, "", 0},
        {"%%Pages: 65535", 1, "", 65535},
        // A trailer's count replaces the counted pages only when it is usable.
        {"%%Pages: (atend)", 4, "%%Pages: -1\n", 4},
        {"%%Pages: (atend)", 4, "%%Pages: 4294967297\n", 4},
        {"%%Pages: (atend)", 4, "%%Pages: 3\n", 3},
    };
    for (const Case& c : cases) {
        FileAnalysis* analysis = Analyze(DscDocument(c.pagesLine, c.pages, c.trailer));
        EXPECT_EQ(c.expected, analysis->pageCount) << c.pagesLine << " " << c.trailer;
        EXPECT_EQ(c.expected != 0 ? StructuredPostScript : PlainPostScript, analysis->kind)
            << c.pagesLine;
    }
}

TEST_F(FileClassification, StatusWhileScanning) {
    Analyze("plain text\n");
    EXPECT_TRUE(RecordedCalls.empty());
    Analyze(DscDocument("%%Pages: 1", 1));
    EXPECT_EQ(
        (std::vector<std::string>{"status Checking PostScript file", "status Counting pages..."}),
        RecordedCalls);
}

TEST_F(FileClassification, OwnOutputIsSentUnchanged) {
    std::string doc = DscDocument("%%Pages: 2", 2);
    doc.insert(doc.find("%%Creator: test"), "%%Creator: Ravlen version 2.1.4\n");
    FileAnalysis* analysis = Analyze(doc);
    EXPECT_EQ(PlainPostScript, analysis->kind);
    EXPECT_EQ(0u, analysis->pageCount);
}

TEST_F(FileClassification, TrailingEndOfJobIsCut) {
    std::string doc = DscDocument("%%Pages: 1", 1);
    FileAnalysis* analysis = Analyze(doc + "\x04\n");
    EXPECT_EQ(static_cast<long>(doc.size()), analysis->psLength);

    std::string picture = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 1 1\n%%EOF\n";
    EXPECT_EQ(static_cast<long>(picture.size()), Analyze(picture + "\x04")->psLength);
    // Plain PostScript keeps it; so does a Ctrl-D behind a NUL.
    EXPECT_EQ(14, Analyze("%!\nshowpage\n\x04\n")->psLength);
    EXPECT_EQ(static_cast<long>(doc.size()) + 3,
              Analyze(doc + std::string("\0\x04\n", 3))->psLength);
    // Only the last 20 bytes are looked at.
    EXPECT_EQ(static_cast<long>(doc.size()) + 22,
              Analyze(doc + "\x04" + std::string(20, '\n') + "%")->psLength);
}

TEST_F(FileClassification, LineEndsOfEveryKind) {
    for (const char* eol : {"\n", "\r\n", "\r"}) {
        std::string doc = DscDocument("%%Pages: (atend)", 4, std::string("%%Pages: 4") + eol, eol);
        FileAnalysis* analysis = Analyze(doc);
        EXPECT_EQ(StructuredPostScript, analysis->kind) << "eol " << int(eol[0]);
        EXPECT_EQ(4u, analysis->pageCount);
        EXPECT_EQ(static_cast<long>(doc.find("%%Page: 1")), analysis->firstPageOffset);
        std::string picture = std::string("%!PS-Adobe-3.0 EPSF-3.0") + eol +
                              "%%BoundingBox: (atend)" + eol + "%%BoundingBox: 1 2 3 4" + eol;
        EXPECT_EQ(EncapsulatedPostScript, Analyze(picture)->kind);
    }
}

TEST_F(FileClassification, LongLinesAreReadInPieces) {
    // A comment after 254 bytes of one line starts a piece of its own.
    std::string doc = "%!PS-Adobe-3.0\n" + std::string(254, 'x') + "%%Page: 1 1\nshowpage\n";
    FileAnalysis* analysis = Analyze(doc);
    EXPECT_EQ(StructuredPostScript, analysis->kind);
    EXPECT_EQ(15 + 254, analysis->firstPageOffset);
    EXPECT_EQ(PlainPostScript,
              Analyze("%!PS-Adobe-3.0\n" + std::string(253, 'x') + "%%Page: 1 1\n")->kind);
}

TEST_F(FileClassification, ReleaseClosesAndDeletes) {
    EXPECT_FALSE(ReleaseFile(nullptr, false));
    std::string path = MakeFile("text\n");
    FileAnalysis* analysis = AnalyzeFile(path.c_str());
    ASSERT_NE(nullptr, analysis);
    EXPECT_STREQ(path.c_str(), analysis->displayName);
    EXPECT_TRUE(ReleaseFile(analysis, true));
    EXPECT_FALSE(FileExists(path.c_str()));
    EXPECT_EQ(nullptr, AnalyzeFile(path.c_str()));
}

TEST(PageIndexWalk, SelectedPagesInOrderThenAgain) {
    ASSERT_TRUE(AllocatePageIndex(3));
    const long long starts[] = {100, 200, 350, 500};
    for (int i = 0; i < 3; ++i)
        PageIndex.entries[i] = {i == 1 ? 0 : 1, starts[i], starts[i + 1]};
    PageIndex.lastIndex = 2;
    for (int walk = 0; walk < 2; ++walk) {
        long long offset = 0, length = 0;
        ASSERT_TRUE(NextSelectedPage(&offset, &length));
        EXPECT_EQ(100, offset);
        EXPECT_EQ(100, length);
        ASSERT_TRUE(NextSelectedPage(&offset, &length));
        EXPECT_EQ(350, offset);
        EXPECT_EQ(150, length);
        EXPECT_FALSE(NextSelectedPage(&offset, &length));
        EXPECT_EQ(0, length);
        EXPECT_EQ(-1, PageIndex.cursor);
    }
    // Entries beyond the last one filled are never walked.
    PageIndex.lastIndex = 0;
    long long offset, length;
    EXPECT_TRUE(NextSelectedPage(&offset, &length));
    EXPECT_FALSE(NextSelectedPage(&offset, &length));
    FreePageIndex();
    EXPECT_FALSE(NextSelectedPage(&offset, &length));
    EXPECT_EQ(-1, PageIndex.lastIndex);
}

} // namespace
