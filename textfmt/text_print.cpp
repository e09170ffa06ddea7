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
#include "highlighting.h"
#include "line_processing.h"
#include "text_draw.h"
#include "text_job.h"

namespace {

TextLayout lastLayout;
TextPrintout lastPrintout;

void RunCountingPass(const TextSource& text, const Settings& s, TextLayout* L) {
    ShowStatus(LoadText(kTextStatusCounting));
    CountOptions options = JobCountOptions(s, *L, text);
    RewindText(text);
    long long rows = CountTextRows(text.file, options, &L->oemDetected);
    RewindText(text);
    SetPageTotals(rows, L);
    ShowStatus(LoadText(kTextStatusPreparing));
}

// One copy; false when a page could not be started.
bool PrintCopy(TextJob* job, const TextSource& text, const TextLayout& L, const Settings& s,
               const HeaderLines& lines, const RowOptions& options, bool highlighting) {
    RewindText(text);
    // Each copy starts in plain text, even when the last ended in a comment.
    if (highlighting)
        ResetHighlightState();
    RowSource source;
    ResetRowSource(&source, text.file, options);
    int printoutPage = 0;
    int logicalPage = 0;
    bool finished = false;
    while (!finished) {
        if (!StartPrintoutPage(job->dc))
            return false;
        ++printoutPage;
        finished = DrawPrintoutPage(*job, job->dc, &source, L, s, lines, highlighting, printoutPage,
                                    &logicalPage, PumpMessages);
        EndPrintoutPage(job->dc);
        if (L.logicalPages > 0)
            ProgressPercent(static_cast<double>(logicalPage) / L.logicalPages);
    }
    lastPrintout = {logicalPage, printoutPage};
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
    lastPrintout = TextPrintout();
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
    if (countOnly || NeedsCountingPass(s))
        RunCountingPass(text, s, &L);
    if (countOnly) {
        ReleaseJob(&job);
        return L.logicalPages;
    }
    HeaderLines lines;
    PrepareLines(s, fileName, L, &lines);
    CreateJobPen(&job, s);
    if (job.framePen)
        SelectFramePen(dc, job.framePen);
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

    RowOptions options = JobRowOptions(s, L, text, highlighting);
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

const TextPrintout& LastTextPrintout() {
    return lastPrintout;
}
