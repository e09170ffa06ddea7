// PostScript job composition. Every write goes through the output channels;
// only the transfer of the file's own code decides the result, since a fixed
// text that fails to go out fails the same way as the code next to it.
#include "compose.h"

#include "../analysis/page_index.h"
#include "stored_resource.h"
#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "channels.h"
#include "printer_selection.h"
#include "transfer_buffer.h"
#include "../settings/settings.h"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

const char kEndOfJob = '\x04';
// A name of kPathChars characters, every one escaped, in parentheses.
const size_t kPostScriptNameSize = 2 * kPathChars + 3;

const char* TruthWord(int flag) {
    return flag ? "true" : "false";
}

// The settings store keeps the n-up values in range, but a record filled
// elsewhere must still give a setup the procedure set can work with: a grid
// of 0 cells divides by zero there, and a length that is not a number (or
// any length beyond the dialog's limits) would not fit an int in points.
const int kMaxGrid = 100;
const double kMaxLengthInches = 10.0;
const double kMaxFrameInches = 0.5;

int GridCells(int cells) {
    return cells < 1 ? 1 : cells > kMaxGrid ? kMaxGrid : cells;
}

// A length within [low, high]; one that is not a number counts as 0.
double HeldLength(float inches, double low, double high) {
    double value = std::isnan(inches) ? 0.0 : static_cast<double>(inches);
    return value < low ? low : value > high ? high : value;
}

double LengthPoints(float inches) {
    return HeldLength(inches, -kMaxLengthInches, kMaxLengthInches) * 72.0;
}

// Margins go out as whole points, rounded to the nearest (also below 0,
// where cutting off the fraction would round towards 0).
int Points(float inches) {
    return static_cast<int>(std::floor(LengthPoints(inches) + 0.5));
}

void WriteDriverHeaderLine() {
    char line[128];
    FormatText(line, sizeof line, "\n0 %d translate %d 72 div %d 72 div neg scale\n\n",
               Output.deviceVerticalPixels, Output.devicePixelsPerInchX,
               Output.devicePixelsPerInchY);
    WriteText(line);
}

void WritePictureOpening(const FileAnalysis* analysis) {
    const Settings& s = CurrentSettings;
    // Generated PostScript is in the ANSI code page: the printer's fonts
    // show its bytes as those letters, and a job for a name the code page
    // holds stays byte for byte the same whatever the name's origin. A
    // letter that code page lacks is written as "?", its own stand-in.
    char name[kPostScriptNameSize];
    PostScriptString(AnsiTextOf(analysis->displayName).c_str(), name, sizeof name);
    // Room for four numbers of any size that "%.1lf" can write.
    char line[kPostScriptNameSize + 4 * 320 + 64];
    FormatText(line, sizeof line, LoadText(kTextPsEpsBegin), analysis->boundingBox[0],
               analysis->boundingBox[1], analysis->boundingBox[2], analysis->boundingBox[3],
               s.PlaceEPS, TruthWord(s.FrameEPS), s.FrameWidth * 72.0, TruthWord(s.NameEPS), name);
    WriteText(line);
}

void WriteNupSetup() {
    const Settings& s = CurrentSettings;
    char section[512];
    FormatText(section, sizeof section, LoadText(kTextPsNupSetup), Points(s.LeftMarg),
               Points(s.RightMarg), Points(s.TopMarg), Points(s.BottomMarg),
               LengthPoints(s.xGutter), LengthPoints(s.yGutter), GridCells(s.Width),
               GridCells(s.Height), TruthWord(s.Landscape), TruthWord(s.AdvHoriz),
               TruthWord(s.Frame), HeldLength(s.FrameWidth, 0.0, kMaxFrameInches) * 72.0);
    WriteText(section);
}

// The selected pages in file order. A page never runs past the code: the last
// page ends at the end of the file, where a Ctrl-D or other bytes that are not
// PostScript may follow the code.
bool SendSelectedPages(FileAnalysis* analysis, long long end) {
    PageIndex.cursor = -1; // every copy starts from the first page
    bool sent = true;
    long long offset;
    long long length;
    while (sent && NextSelectedPage(&offset, &length)) {
        if (offset > end)
            offset = end;
        if (length > end - offset)
            length = end - offset;
        sent = SendFileRange(analysis->file, offset, length, end);
    }
    PageIndex.cursor = -1; // a walk cut short must not resume mid-way
    return sent;
}

bool SendCode(FileAnalysis* analysis, bool nup, bool byPage) {
    long long end = analysis->psOffset + analysis->psLength;
    if (!nup && !byPage)
        return SendFileRange(analysis->file, analysis->psOffset, analysis->psLength, end);
    // The document's prolog and setup, then the pages; the split is held to
    // the code, which may have lost a trailing Ctrl-D behind the first page.
    long long first = analysis->firstPageOffset;
    first = first < analysis->psOffset ? analysis->psOffset : first > end ? end : first;
    bool sent = SendFileRange(analysis->file, analysis->psOffset, first - analysis->psOffset, end);
    if (nup)
        WriteNupSetup();
    if (!sent)
        return false;
    if (byPage)
        return SendSelectedPages(analysis, end);
    return SendFileRange(analysis->file, first, end - first, end);
}

} // namespace

bool ComposePostScript(FileAnalysis* analysis, bool selectedPages) {
    const Settings& s = CurrentSettings;
    bool structured = analysis->kind == StructuredPostScript;
    bool picture = analysis->kind == EncapsulatedPostScript;
    bool nup = structured && s.NUpPs;
    // Only a structured file has pages to pick; for any other kind a range
    // chosen in the printer dialog would cut the code at offset 0.
    bool byPage = structured && selectedPages;
    bool endOfJob = s.PSEOFChar && !s.DrvHead && !FileChannelOpen();
    bool driverHeader = Output.driverHeaderMode;

    if (endOfJob)
        WriteText("\x04\n");
    // Sent raw, the job asks the printer itself for the set's preferences,
    // before any code, so that the document's own requests come after them.
    if (!driverHeader && !FileChannelOpen())
        WriteText(SetPreferencesRequest());
    if (driverHeader)
        WriteDriverHeaderLine();
    if (nup)
        SendResource(kResourceNupProcSet);
    else if (picture)
        SendResource(kResourceEpsProcSet);
    // The prolog's name comes from the settings file, in the ANSI code page.
    if (s.PrologName[0] != '\0')
        SendPrologFile(Utf8OfAnsi(s.PrologName).c_str());
    if (picture)
        WritePictureOpening(analysis);
    bool sent = SendCode(analysis, nup, byPage);
    if (nup)
        WriteText(LoadText(kTextPsNupTrailer));
    if (picture)
        WriteText(LoadText(kTextPsEpsEnd));
    if (endOfJob)
        WriteBytes(&kEndOfJob, 1);
    return sent;
}

bool SendResource(int id) {
    const char* data;
    size_t size;
    if (!LoadStoredResource(id, &data, &size) || !AllocateTransferBuffer())
        return false;
    // Resources are padded with zero bytes; the printer must not see them.
    while (size > 0 && data[size - 1] == '\0')
        --size;
    while (size > 0) {
        size_t n = size < kTransferChunk ? size : static_cast<size_t>(kTransferChunk);
        std::memcpy(TransferBuffer, data, n);
        WriteBytes(TransferBuffer, n);
        data += n;
        size -= n;
    }
    return true;
}

bool SendPrologFile(const char* path) {
    FILE* file = OpenStream(path, "rb");
    if (!file) {
        ShowMessage(kTextPrologOpenFailed, path, errno, kMessageError);
        return false;
    }
    long long size = 0;
    if (SeekStream(file, 0, SEEK_END))
        size = StreamPosition(file);
    bool sent = size > 0 && SendFileRange(file, 0, size, 0);
    std::fclose(file);
    return sent;
}

bool PostScriptString(const char* name, char* out, size_t size) {
    if (size < 3) {
        if (size > 0)
            out[0] = '\0';
        return false;
    }
    size_t used = 0;
    out[used++] = '(';
    for (const char* c = name; *c; ++c) {
        // A backslash starts an escape and an unbalanced parenthesis ends the
        // string early; both are written escaped, so the string is the name.
        bool escape = *c == '\\' || *c == '(' || *c == ')';
        if (used + (escape ? 2 : 1) + 2 > size) {
            out[used] = '\0';
            return false;
        }
        if (escape)
            out[used++] = '\\';
        out[used++] = *c;
    }
    out[used++] = ')';
    out[used] = '\0';
    return true;
}
