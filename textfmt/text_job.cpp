// The shared parts of a text job; see text_job.h.
#include "text_job.h"

#include <cstring>

#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "definitions.h"
#include "highlighting.h"
#include "text_draw.h"
#include "text_encoding.h"
#include "text_fonts.h"

bool NeedsCountingPass(const Settings& s) {
    return s.OEMTrans == 1 || strstr(s.HeaderStr, "&t") || strstr(s.FooterStr, "&t");
}

void SetPageTotals(long long rows, TextLayout* L) {
    long long perPage = L->linesPerPage;
    long long cells = static_cast<long long>(L->columns) * L->rows;
    long long logical = (rows + perPage - 1) / perPage;
    L->logicalPages = static_cast<int>(logical);
    L->printoutPages = static_cast<int>((logical + cells - 1) / cells);
}

void ReleaseJob(TextJob* job) {
    SetUnicodeRows(false);
    if (job->converted) {
        fclose(job->converted);
        RemoveFile(job->convertedPath);
    }
    DeleteDeviceContext(job->dc);
    DeleteTextFont(job->bodyFont);
    DeleteTextFont(job->paperFont);
    DeleteTextFont(job->pageFont);
    DeleteFramePen(job->framePen);
    *job = TextJob();
}

void RewindText(const TextSource& text) {
    if (text.start == 0 || !SeekStream(text.file, text.start, SEEK_SET))
        rewind(text.file);
}

bool OpenTextSource(TextJob* job, FILE* file, const Settings& s, TextSource* text) {
    *text = {file, 0, false};
    // Always translating from the DOS code page means the user knows the
    // file is not Unicode.
    if (s.OEMTrans == 2)
        return true;
    int mark = 0;
    TextEncoding encoding = DetectFileEncoding(file, &mark);
    text->utf8 = encoding != kEncodingAnsi;
    if (encoding == kEncodingAnsi || encoding == kEncodingUtf8) {
        text->start = mark;
        return true;
    }
    if (!MakeTempFileName(job->convertedPath, sizeof job->convertedPath))
        return false;
    job->converted = OpenStream(job->convertedPath, "w+b");
    if (!job->converted) {
        RemoveFile(job->convertedPath);
        return false;
    }
    SeekStream(file, mark, SEEK_SET);
    if (!ConvertUtf16File(file, encoding == kEncodingUtf16Be, job->converted))
        return false;
    text->file = job->converted;
    return true;
}

namespace {

bool CreateJobFonts(TextJob* job, const Settings& s, const TextLayout& L) {
    job->bodyFont = CreateTextFont(s.FontName, L.lineHeight, L.fontWidth, false, false, false);
    if (L.paperHeader || L.paperFooter)
        job->paperFont =
            CreateTextFont(s.FontName, L.headerHeight, L.fontWidth, true, false, false);
    if (L.pageHeader || L.pageFooter)
        job->pageFont = CreateTextFont(s.FontName, L.lineHeight, L.fontWidth, true, false, false);
    return job->bodyFont != nullptr;
}

} // namespace

bool LayOut(TextJob* job, const Settings& s, const char* fileName, TextLayout* L) {
    ComputePageGeometry(ReadDeviceQuantities(job->dc), s, L);
    if (!ComputeFontSize(job->dc, s, L)) {
        ShowMessage(kTextTextTooSmall, "", 0, kMessageError);
        return false;
    }
    CreateJobFonts(job, s, *L);
    CentreTextBlock(L);
    SelectTextFont(job->dc, job->bodyFont);
    int charWidth = CharWidthOfX(job->dc);
    int definitionTabWidth = 0;
    if (s.PrettyPrint && FindDefinition(fileName))
        definitionTabWidth = CurrentDefinition()->tabWidth;
    ComputeColumns(s, charWidth, definitionTabWidth, L);
    return true;
}

void PrepareLines(const Settings& s, const char* fileName, const TextLayout& L,
                  HeaderLines* lines) {
    lines->header[0] = lines->footer[0] = '\0';
    if (s.HeaderStr[0]) {
        CopyText(lines->header, sizeof lines->header, s.HeaderStr);
        ExpandDocumentCodes(lines->header, fileName,
                            L.paperHeader ? L.printoutPages : L.logicalPages);
    }
    if (s.FooterStr[0]) {
        CopyText(lines->footer, sizeof lines->footer, s.FooterStr);
        ExpandDocumentCodes(lines->footer, fileName,
                            L.paperFooter ? L.printoutPages : L.logicalPages);
    }
}

void CreateJobPen(TextJob* job, const Settings& s) {
    if (s.Frame)
        job->framePen = CreateFramePen(RoundedUnits(DeviceCaps(job->dc, kCapDpiY) * s.FrameWidth));
}

CountOptions JobCountOptions(const Settings& s, const TextLayout& L, const TextSource& text) {
    return {
        L.charsPerLine, L.tabWidth, L.linesPerPage, s.WrapLines != 0, s.OEMTrans == 1 && !text.utf8,
        text.utf8};
}

RowOptions JobRowOptions(const Settings& s, const TextLayout& L, const TextSource& text,
                         bool highlighting) {
    RowOptions options = RowOptions();
    options.charsPerLine = L.charsPerLine;
    options.tabWidth = L.tabWidth;
    options.wrapLines = s.WrapLines != 0;
    options.lineNumbers = s.LineNo != 0;
    options.translateOem = s.OEMTrans == 2 || (s.OEMTrans == 1 && L.oemDetected && !text.utf8);
    options.highlighting = highlighting;
    options.utf8 = text.utf8;
    return options;
}

namespace {

// The rows of one logical page, up to a page break; true at the end of the
// file. Without a device context only the highlighter still sees the rows,
// for its comment state.
bool DrawRows(DeviceContext dc, RowSource* source, const TextLayout& L, bool highlighting, int x,
              int y) {
    for (int i = 0; i < L.linesPerPage; ++i) {
        Row row;
        RowKind kind = NextRow(source, &row);
        if (kind == kRowEndOfFile)
            return true;
        if (kind == kRowPageBreak)
            break;
        if (kind == kRowText) {
            if (row.lineNumber > 0 && dc) {
                char number[16];
                FormatText(number, sizeof number, "%5d:", row.lineNumber);
                if (highlighting)
                    MoveCurrentPosition(dc, x, y);
                DrawTextRun(dc, x, y, number, static_cast<int>(strlen(number)));
            }
            if (highlighting)
                DrawHighlightedRow(dc, x + L.lineNumberIndent, y, row.text, row.length,
                                   row.continues);
            else if (dc)
                DrawRowText(dc, x + L.lineNumberIndent, y, row.text, row.length);
        }
        y += L.lineHeight;
    }
    return source->finished;
}

// One logical page; true when the text is finished.
bool DrawCell(const TextJob& job, DeviceContext dc, RowSource* source, const TextLayout& L,
              const Settings& s, const HeaderLines& lines, bool highlighting, int logicalPage) {
    int x = L.textRect.left;
    int y = L.textRect.top;
    if (s.Frame && dc)
        DrawFrame(dc, L.areaLeft, L.areaTop, L.areaLeft + L.cellWidth, L.areaTop + L.cellHeight);
    if (L.pageHeader) {
        if (dc)
            DrawHeaderLine(dc, lines.header, logicalPage, x, y, L.textRect.right, job.pageFont);
        y = L.textRect.top + 2 * L.lineHeight;
    }
    if (dc) {
        SetTextAlignment(dc, highlighting ? kAlignUpdatePosition : kAlignLeftTop);
        SelectTextFont(dc, job.bodyFont);
    }
    bool endOfFile = DrawRows(dc, source, L, highlighting, x, y);
    if (L.pageFooter && dc)
        DrawHeaderLine(dc, lines.footer, logicalPage, x, L.textRect.bottom - L.lineHeight,
                       L.textRect.right, job.pageFont);
    // Looking one byte ahead, a file that ends exactly with a page gets no
    // empty page after it.
    return endOfFile || RowSourceAtEnd(source);
}

} // namespace

bool DrawPrintoutPage(const TextJob& job, DeviceContext dc, RowSource* source, const TextLayout& L,
                      const Settings& s, const HeaderLines& lines, bool highlighting,
                      int printoutPage, int* logicalPage, bool (*stopAfterCell)()) {
    if (dc) {
        SetWindowOrigin(dc, 0, 0);
        // Some drivers reset the context's objects with every page.
        if (job.framePen)
            SelectFramePen(dc, job.framePen);
        if (L.paperHeader)
            DrawHeaderLine(dc, lines.header, printoutPage, L.areaLeft, L.paperHeaderY, L.areaRight,
                           job.paperFont);
        if (L.paperFooter)
            DrawHeaderLine(dc, lines.footer, printoutPage, L.areaLeft,
                           L.paperFooterBase - L.headerHeight, L.areaRight, job.paperFont);
    }
    bool finished = false;
    int cells = L.columns * L.rows;
    for (int i = 0; i < cells && !finished; ++i) {
        int row = s.AdvHoriz ? i / L.columns : i % L.rows;
        int column = s.AdvHoriz ? i % L.columns : i / L.rows;
        if (dc)
            SetWindowOrigin(dc, -column * (L.cellWidth + L.gutterX),
                            -row * (L.cellHeight + L.gutterY));
        ++*logicalPage;
        finished = DrawCell(job, dc, source, L, s, lines, highlighting, *logicalPage);
        if (!finished && stopAfterCell && stopAfterCell())
            finished = true;
    }
    return finished;
}
