// Text sheets for looking at; see text_sheets.h.
#include "text_sheets.h"

#include <cstring>
#include <vector>

#include "../common/bounded_text.h"
#include "../common/file_system.h"
#include "highlighting.h"
#include "text_draw.h"
#include "text_job.h"

namespace {

// Where a sheet begins: enough to draw it without those before it.
struct SheetStart {
    RowRestart rows;
    HighlightCarry carry;
};

} // namespace

struct TextSheets {
    TextJob job;
    TextSource text;
    Settings settings;
    TextLayout layout;
    char fileName[kPathSize];
    bool highlighting;
    std::vector<SheetStart> starts; // one for every sheet known
    bool walked;
    int logicalPages; // walked so far
    // The counting pass, resumed from countOffset; not needed when no page
    // total is shown and no DOS characters are looked for.
    bool counted;
    RowCount count;
    long long countOffset;
    // The walk goes on from here between calls, unless a drawing moved the
    // file on.
    RowSource walker;
    bool walkerReady;
};

namespace {

// Printing and other files share the highlighter and the text drawing's
// encoding; each use of the sheets takes them back first.
void ClaimTextState(TextSheets* t) {
    SetUnicodeRows(t->text.utf8);
    if (t->settings.PrettyPrint)
        t->highlighting =
            PrepareHighlighting(t->fileName, t->settings.FontName, t->layout.lineHeight,
                                t->layout.charWidth, t->job.bodyFont, t->job.dc);
}

// DOS characters translate byte for byte, so the walk finds the same rows
// whether or not they are translated yet.
RowOptions WalkOptions(const TextSheets* t) {
    return JobRowOptions(t->settings, t->layout, t->text, t->highlighting);
}

bool StartFrom(TextSheets* t, const SheetStart& start, RowSource* source,
               const RowOptions& options) {
    if (t->highlighting)
        RestoreHighlightCarry(start.carry);
    return ResumeRowSource(source, t->text.file, options, start.rows);
}

// The page totals are known once the walk is done; until then "&t" shows as
// a question mark rather than a wrong number.
void SheetLines(const TextSheets* t, HeaderLines* lines) {
    Settings s = t->settings;
    TextLayout L = t->layout;
    if (t->counted) {
        SetPageTotals(t->count.rows, &L);
    } else {
        for (char* text : {s.HeaderStr, s.FooterStr}) {
            char* code = std::strstr(text, "&t");
            if (code)
                std::memmove(code, code + 1, std::strlen(code + 1) + 1), code[0] = '?';
        }
    }
    PrepareLines(s, t->fileName, L, lines);
}

} // namespace

TextSheets* OpenTextSheets(FILE* file, const char* fileName, DeviceContext reference,
                           const Settings& s) {
    if (!file || !reference) {
        DeleteDeviceContext(reference);
        return nullptr;
    }
    TextSheets* t = new TextSheets();
    t->job.dc = reference;
    t->settings = s;
    CopyText(t->fileName, sizeof t->fileName, fileName ? fileName : "");
    rewind(file);
    if (!LayOut(&t->job, s, t->fileName, &t->layout) ||
        !OpenTextSource(&t->job, file, s, &t->text)) {
        CloseTextSheets(t);
        return nullptr;
    }
    CreateJobPen(&t->job, s);
    ClaimTextState(t);
    RewindText(t->text);
    t->counted = !NeedsCountingPass(s);
    t->countOffset = StreamPosition(t->text.file);
    SheetStart first = {{t->countOffset, -1, 0}, {kNormalText, '"'}};
    if (t->highlighting) {
        ResetHighlightState();
        first.carry = SaveHighlightCarry();
    }
    t->starts.push_back(first);
    return t;
}

void CloseTextSheets(TextSheets* t) {
    if (!t)
        return;
    ReleaseJob(&t->job);
    delete t;
}

const TextLayout& TextSheetsLayout(const TextSheets* t) {
    return t->layout;
}

namespace {

// The counting pass of printing, a few pages' worth of lines at a time.
void CountOn(TextSheets* t, int count) {
    ClaimTextState(t);
    t->walkerReady = false;
    if (!SeekStream(t->text.file, t->countOffset, SEEK_SET)) {
        t->counted = true;
        return;
    }
    CountOptions options = JobCountOptions(t->settings, t->layout, t->text);
    long long lines = static_cast<long long>(count) * t->layout.linesPerPage;
    t->counted = CountMoreTextRows(t->text.file, options, &t->count, lines < 1 ? 1 : lines);
    t->countOffset = StreamPosition(t->text.file);
}

void WalkOn(TextSheets* t, int count) {
    ClaimTextState(t);
    if (!t->walkerReady) {
        if (!StartFrom(t, t->starts.back(), &t->walker, WalkOptions(t))) {
            t->walked = true; // the file changed under us: it ends where it reads
            return;
        }
        t->walkerReady = true;
    } else if (t->highlighting) {
        RestoreHighlightCarry(t->starts.back().carry);
    }
    HeaderLines none = {};
    for (int i = 0; i < count; ++i) {
        int logicalPage = t->logicalPages;
        bool finished = DrawPrintoutPage(t->job, nullptr, &t->walker, t->layout, t->settings, none,
                                         t->highlighting, static_cast<int>(t->starts.size()),
                                         &logicalPage, nullptr);
        t->logicalPages = logicalPage;
        if (finished) {
            t->walked = true;
            t->walkerReady = false;
            return;
        }
        SheetStart next = {RowRestartPoint(&t->walker), {kNormalText, '"'}};
        if (t->highlighting)
            next.carry = SaveHighlightCarry();
        t->starts.push_back(next);
    }
}

} // namespace

bool WalkTextSheets(TextSheets* t, int count) {
    if (!t->walked)
        WalkOn(t, count);
    else if (!t->counted)
        CountOn(t, count);
    return TextSheetsComplete(t);
}

bool TextSheetsComplete(const TextSheets* t) {
    return t->walked && t->counted;
}

bool TextSheetsWalked(const TextSheets* t) {
    return t->walked;
}

int TextSheetCount(const TextSheets* t) {
    return static_cast<int>(t->starts.size());
}

bool DrawTextSheet(TextSheets* t, int index, DeviceContext dc) {
    if (index < 0 || index >= TextSheetCount(t))
        return false;
    ClaimTextState(t);
    TextLayout L = t->layout;
    L.oemDetected = t->count.oemDetected;
    RowOptions options = JobRowOptions(t->settings, L, t->text, t->highlighting);
    RowSource source;
    t->walkerReady = false;
    if (!StartFrom(t, t->starts[static_cast<size_t>(index)], &source, options))
        return false;
    HeaderLines lines;
    SheetLines(t, &lines);
    int cells = t->layout.columns * t->layout.rows;
    int logicalPage = index * cells;
    DrawPrintoutPage(t->job, dc, &source, t->layout, t->settings, lines, t->highlighting, index + 1,
                     &logicalPage, nullptr);
    return true;
}
