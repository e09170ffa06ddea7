// The descriptions of the File Information dialog.
#include "file_information.h"

#include "../common/bounded_text.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../settings/settings.h"

namespace {

// Cells of an n-up sheet; settings read from a hand-edited file may hold
// any number, and a sheet has at least one cell.
long long GridCells() {
    long long cells = static_cast<long long>(CurrentSettings.Width) *
                      static_cast<long long>(CurrentSettings.Height);
    return cells < 1 ? 1 : cells;
}

void DescribePicture(const FileAnalysis& analysis, const char* size, char* text, size_t textSize) {
    // Points to the unit the system measures in.
    double factor = MetricUnits ? 25.4 / 72.0 : 1.0 / 72.0;
    char unit[16];
    CopyText(unit, sizeof unit, LoadText(MetricUnits ? kTextUnitMm : kTextUnitInches));
    const double* box = analysis.boundingBox;
    FormatText(text, textSize, LoadText(kTextInfoEps), (box[2] - box[0]) * factor, unit,
               (box[3] - box[1]) * factor, unit, box[0] * factor, unit, box[1] * factor, unit,
               static_cast<long>(analysis.psOffset), size);
}

} // namespace

int SheetCount(unsigned pages, long long cells) {
    if (cells < 1)
        cells = 1;
    return static_cast<int>((static_cast<long long>(pages) + cells - 1) / cells);
}

void DescribeFile(const FileAnalysis& analysis, char* text, size_t textSize) {
    // FormatSize and LoadText share buffers: each result is copied first.
    char size[64];
    CopyText(size, sizeof size, FormatSize(static_cast<long long>(analysis.psLength)));
    long offset = static_cast<long>(analysis.psOffset);
    int pages = static_cast<int>(analysis.pageCount);
    switch (analysis.kind) {
    case Text:
        FormatText(text, textSize, LoadText(kTextInfoText), pages,
                   SheetCount(analysis.pageCount, GridCells()), size);
        break;
    case PlainPostScript:
        FormatText(text, textSize, LoadText(kTextInfoPlainPs), offset, size);
        break;
    case StructuredPostScript:
        FormatText(text, textSize, LoadText(kTextInfoStructuredPs), pages,
                   SheetCount(analysis.pageCount, CurrentSettings.NUpPs ? GridCells() : 1), offset,
                   size);
        break;
    case EncapsulatedPostScript:
        DescribePicture(analysis, size, text, textSize);
        break;
    default:
        FormatText(text, textSize, LoadText(kTextInfoBinary), size);
        break;
    }
}
