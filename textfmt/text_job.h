// The parts of a text job that printing and the preview share: laying out
// and releasing a job, reading its text in the encoding found once, and
// drawing one printout page. Drawing a page is the same code whether it goes
// to the printer, into a picture of the sheet, or nowhere (a walk that only
// learns where the next page begins).
#pragma once

#include <cstdio>

#include "../common/bounded_text.h"
#include "../settings/settings.h"
#include "header_codes.h"
#include "line_processing.h"
#include "text_device.h"
#include "text_layout.h"

// What a job owns and must release on every way out.
struct TextJob {
    DeviceContext dc;
    FontRef bodyFont;
    FontRef paperFont; // paper-bound header and footer
    FontRef pageFont;  // per-page header and footer
    PenRef framePen;
    FILE* converted; // a UTF-16 file as UTF-8, deleted with the job
    char convertedPath[kPathSize];
};

// Where the text begins: after a byte-order mark.
struct TextSource {
    FILE* file;
    long long start;
    bool utf8;
};

struct HeaderLines {
    char header[kHeaderTextSize];
    char footer[kHeaderTextSize];
};

// Whether the page totals (for "&t") or the DOS-characters test need a
// counting pass over the whole text before it is drawn.
bool NeedsCountingPass(const Settings& s);
// The page totals of L from the rows a counting pass found.
void SetPageTotals(long long rows, TextLayout* L);
// Deletes the device context, the fonts, the pen and a converted copy.
void ReleaseJob(TextJob* job);
void RewindText(const TextSource& text);
// The encoding is decided once, before any pass over the text, so that every
// pass reads the same characters. A UTF-16 file is read through a UTF-8
// copy; false when that copy cannot be made.
bool OpenTextSource(TextJob* job, FILE* file, const Settings& s, TextSource* text);
// Layout and fonts on the job's device context; false when the text would
// be too small, which is reported here.
bool LayOut(TextJob* job, const Settings& s, const char* fileName, TextLayout* L);
// The header and footer with the document's codes filled in, the page
// totals taken from L.
void PrepareLines(const Settings& s, const char* fileName, const TextLayout& L, HeaderLines* lines);
// The frame pen, when frames are drawn.
void CreateJobPen(TextJob* job, const Settings& s);
CountOptions JobCountOptions(const Settings& s, const TextLayout& L, const TextSource& text);
RowOptions JobRowOptions(const Settings& s, const TextLayout& L, const TextSource& text,
                         bool highlighting);

// One printout page (sheet) from where `source` stands: the paper-bound
// header and footer and the cells, each with its frame, per-page header,
// rows and footer. `dc` may differ from the job's own (a picture of the
// sheet) or be none, which draws nothing but still takes the rows and keeps
// the highlighter's comment state. stopAfterCell, when given, is asked after
// each cell (printing pumps messages there). True when the text is finished.
bool DrawPrintoutPage(const TextJob& job, DeviceContext dc, RowSource* source, const TextLayout& L,
                      const Settings& s, const HeaderLines& lines, bool highlighting,
                      int printoutPage, int* logicalPage, bool (*stopAfterCell)());
