// One text job: the layout is worked out once, an optional counting pass
// learns the page totals, then each copy runs the printout page and cell
// loops, drawing rows as the line processing hands them out.
#include "text_print.h"

#include <cstring>

#include "../common/progress_report.h"
#include "../common/busy_status.h"
#include "../common/stop_request.h"
#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../settings/settings.h"
#include "definitions.h"
#include "header_codes.h"
#include "highlighting.h"
#include "line_processing.h"
#include "text_draw.h"
#include "text_encoding.h"
#include "text_fonts.h"

namespace {

TextLayout lastLayout;

// What the job owns and must release on every way out.
struct TextJob {
    DeviceContext dc;
    FontRef bodyFont;
    FontRef paperFont; // paper-bound header and footer
    FontRef pageFont;  // per-page header and footer
    PenRef framePen;
    FILE* converted; // a UTF-16 file as UTF-8, deleted with the job
    char convertedPath[kPathSize];
};

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

struct Lines {
    char header[kHeaderTextSize];
    char footer[kHeaderTextSize];
};

bool NeedsCountingPass(const Settings& s, bool countOnly) {
    return countOnly || s.OEMTrans == 1 || strstr(s.HeaderStr, "&t") || strstr(s.FooterStr, "&t");
}

// Where the text begins: after a byte-order mark.
struct TextSource {
    FILE* file;
    long long start;
    bool utf8;
};

void RewindText(const TextSource& text) {
    if (text.start == 0 || !SeekStream(text.file, text.start, SEEK_SET))
        rewind(text.file);
}

// The encoding is decided once, before the counting pass, so that counting
// and printing read the same characters. A UTF-16 file is read through a
// UTF-8 copy; false when that copy cannot be made.
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

void RunCountingPass(const TextSource& text, const Settings& s, TextLayout* L) {
    ShowStatus(LoadText(kTextStatusCounting));
    CountOptions options = {L->charsPerLine,
                            L->tabWidth,
                            L->linesPerPage,
                            s.WrapLines != 0,
                            s.OEMTrans == 1 && !text.utf8,
                            text.utf8};
    RewindText(text);
    long long rows = CountTextRows(text.file, options, &L->oemDetected);
    RewindText(text);
    long long perPage = L->linesPerPage;
    long long cells = static_cast<long long>(L->columns) * L->rows;
    long long logical = (rows + perPage - 1) / perPage;
    L->logicalPages = static_cast<int>(logical);
    L->printoutPages = static_cast<int>((logical + cells - 1) / cells);
    ShowStatus(LoadText(kTextStatusPreparing));
}

// The rows of one logical page, up to a page break; true at the end of the
// file.
bool DrawRows(TextJob* job, RowSource* source, const TextLayout& L, bool highlighting, int x,
              int y) {
    for (int i = 0; i < L.linesPerPage; ++i) {
        Row row;
        RowKind kind = NextRow(source, &row);
        if (kind == kRowEndOfFile)
            return true;
        if (kind == kRowPageBreak)
            break;
        if (kind == kRowText) {
            if (row.lineNumber > 0) {
                char number[16];
                FormatText(number, sizeof number, "%5d:", row.lineNumber);
                if (highlighting)
                    MoveCurrentPosition(job->dc, x, y);
                DrawTextRun(job->dc, x, y, number, static_cast<int>(strlen(number)));
            }
            if (highlighting)
                DrawHighlightedRow(job->dc, x + L.lineNumberIndent, y, row.text, row.length,
                                   row.continues);
            else
                DrawRowText(job->dc, x + L.lineNumberIndent, y, row.text, row.length);
        }
        y += L.lineHeight;
    }
    return source->finished;
}

// Nothing left to print: checked with one byte read ahead, so that a file
// ending exactly with a page gets no empty page after it.
bool AtEndOfInput(RowSource* source) {
    if (source->finished)
        return true;
    if (source->pending)
        return false;
    int c = getc(source->file);
    if (c == EOF)
        return true;
    ungetc(c, source->file);
    return false;
}

void DrawCell(TextJob* job, RowSource* source, const TextLayout& L, const Settings& s,
              const Lines& lines, bool highlighting, int logicalPage, bool* finished) {
    int x = L.textRect.left;
    int y = L.textRect.top;
    if (s.Frame)
        DrawFrame(job->dc, L.areaLeft, L.areaTop, L.areaLeft + L.cellWidth,
                  L.areaTop + L.cellHeight);
    if (L.pageHeader) {
        DrawHeaderLine(job->dc, lines.header, logicalPage, x, y, L.textRect.right, job->pageFont);
        y = L.textRect.top + 2 * L.lineHeight;
    }
    SetTextAlignment(job->dc, highlighting ? kAlignUpdatePosition : kAlignLeftTop);
    SelectTextFont(job->dc, job->bodyFont);
    bool endOfFile = DrawRows(job, source, L, highlighting, x, y);
    if (L.pageFooter)
        DrawHeaderLine(job->dc, lines.footer, logicalPage, x, L.textRect.bottom - L.lineHeight,
                       L.textRect.right, job->pageFont);
    if (endOfFile || AtEndOfInput(source) || PumpMessages())
        *finished = true;
}

// One copy; false when a page could not be started.
bool PrintCopy(TextJob* job, const TextSource& text, const TextLayout& L, const Settings& s,
               const Lines& lines, const RowOptions& options, bool highlighting) {
    RewindText(text);
    FILE* file = text.file;
    // Each copy starts in plain text, even when the last ended in a comment.
    if (highlighting)
        ResetHighlightState();
    RowSource source;
    ResetRowSource(&source, file, options);
    int printoutPage = 0;
    int logicalPage = 0;
    bool finished = false;
    int cells = L.columns * L.rows;
    while (!finished) {
        if (!StartPrintoutPage(job->dc))
            return false;
        ++printoutPage;
        SetWindowOrigin(job->dc, 0, 0);
        // Some drivers reset the context's objects with every page.
        if (job->framePen)
            SelectFramePen(job->dc, job->framePen);
        if (L.paperHeader)
            DrawHeaderLine(job->dc, lines.header, printoutPage, L.areaLeft, L.paperHeaderY,
                           L.areaRight, job->paperFont);
        if (L.paperFooter)
            DrawHeaderLine(job->dc, lines.footer, printoutPage, L.areaLeft,
                           L.paperFooterBase - L.headerHeight, L.areaRight, job->paperFont);
        for (int i = 0; i < cells && !finished; ++i) {
            int row = s.AdvHoriz ? i / L.columns : i % L.rows;
            int column = s.AdvHoriz ? i % L.columns : i / L.rows;
            SetWindowOrigin(job->dc, -column * (L.cellWidth + L.gutterX),
                            -row * (L.cellHeight + L.gutterY));
            ++logicalPage;
            DrawCell(job, &source, L, s, lines, highlighting, logicalPage, &finished);
        }
        EndPrintoutPage(job->dc);
        if (L.logicalPages > 0)
            ProgressPercent(static_cast<double>(logicalPage) / L.logicalPages);
    }
    return true;
}

void PrepareLines(const Settings& s, const char* fileName, const TextLayout& L, Lines* lines) {
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

bool CreateJobFonts(TextJob* job, const Settings& s, const TextLayout& L) {
    job->bodyFont = CreateTextFont(s.FontName, L.lineHeight, L.fontWidth, false, false, false);
    if (L.paperHeader || L.paperFooter)
        job->paperFont =
            CreateTextFont(s.FontName, L.headerHeight, L.fontWidth, true, false, false);
    if (L.pageHeader || L.pageFooter)
        job->pageFont = CreateTextFont(s.FontName, L.lineHeight, L.fontWidth, true, false, false);
    return job->bodyFont != nullptr;
}

// Layout and fonts (steps shared by printing and counting); false when the
// text would be too small, which is reported here.
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

// Returns what PrintTextFile returns, or the logical pages when countOnly.
int RunTextJob(FILE* file, const char* fileName, DeviceContext dc, int copies,
               const char* outputTarget, bool countOnly) {
    if (!file || !dc) {
        DeleteDeviceContext(dc);
        return 0;
    }
    rewind(file);
    if (!fileName)
        fileName = "";
    const Settings s = CurrentSettings;
    TextJob job = TextJob();
    job.dc = dc;
    TextLayout& L = lastLayout;
    L = TextLayout();
    if (!LayOut(&job, s, fileName, &L)) {
        ReleaseJob(&job);
        return countOnly ? 0 : kTextJobTooSmall;
    }
    TextSource text;
    if (!OpenTextSource(&job, file, s, &text)) {
        ReleaseJob(&job);
        // Stopped while a UTF-16 file was copied: nothing printed, nothing
        // failed; the runner sees the stop.
        return StopRequested && !countOnly ? 1 : 0;
    }
    SetUnicodeRows(text.utf8);
    if (NeedsCountingPass(s, countOnly))
        RunCountingPass(text, s, &L);
    if (countOnly) {
        ReleaseJob(&job);
        return L.logicalPages;
    }
    Lines lines;
    PrepareLines(s, fileName, L, &lines);
    if (s.Frame) {
        job.framePen = CreateFramePen(RoundedUnits(DeviceCaps(dc, kCapDpiY) * s.FrameWidth));
        SelectFramePen(dc, job.framePen);
    }
    bool highlighting = s.PrettyPrint && PrepareHighlighting(fileName, s.FontName, L.lineHeight,
                                                             L.charWidth, job.bodyFont, dc);
    if (!StartDocument(dc, DocumentTitle(fileName), outputTarget)) {
        ReleaseJob(&job);
        return 0;
    }
    char status[kMessageSize];
    char format[kMessageSize];
    CopyText(format, sizeof format, LoadText(kTextStatusPrinting));
    FormatText(status, sizeof status, format, FileNameOf(fileName));
    ShowStatus(status);

    RowOptions options;
    options.charsPerLine = L.charsPerLine;
    options.tabWidth = L.tabWidth;
    options.wrapLines = s.WrapLines != 0;
    options.lineNumbers = s.LineNo != 0;
    options.translateOem = s.OEMTrans == 2 || (s.OEMTrans == 1 && L.oemDetected && !text.utf8);
    options.highlighting = highlighting;
    options.utf8 = text.utf8;
    for (int copy = 0; copy < copies; ++copy) {
        if (!PrintCopy(&job, text, L, s, lines, options, highlighting)) {
            AbortDocument(dc);
            ReleaseJob(&job);
            return 0;
        }
        // A stop ends the whole document, not just this copy.
        if (StopRequested)
            break;
    }
    bool ended = EndDocument(dc);
    ReleaseJob(&job);
    return ended ? kTextJobPrinted : kTextJobFailed;
}

} // namespace

int PrintTextFile(FILE* file, const char* fileName, DeviceContext dc, int copies,
                  const char* outputTarget) {
    return RunTextJob(file, fileName, dc, copies, outputTarget, false);
}

int CountTextPagesOn(FILE* file, DeviceContext dc) {
    return RunTextJob(file, "", dc, 1, nullptr, true);
}

const TextLayout& LastTextLayout() {
    return lastLayout;
}
