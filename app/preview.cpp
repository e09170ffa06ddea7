// The portable part of print preview; see preview.h.
#include "preview.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "../analysis/page_index.h"
#include "../analysis/page_selection.h"
#include "../common/messages.h"
#include "../jobs/batch_settings.h"
#include "../output/printer_selection.h"

namespace {

const double kPointsPerInch = 72.0;
const int kViewMargin = 12; // grey around the sheet, in pixels

int ConversionKindOf(int kind) {
    return kind == Text ? kConvTxt : kind == Binary ? kConvBin : kConvPS;
}

double Points(int units, int dpi) {
    return dpi > 0 ? units * kPointsPerInch / dpi : 0;
}

// The paper and its printable area from the printer, upright, as the
// PostScript sent to it sees them.
bool MeasurePaper(PreviewDocument* doc) {
    DeviceContext dc = CreatePrinterDC(false);
    SheetFrame f = {0, 0, 0, 0, 0, 0};
    if (dc) {
        f.dpiX = DeviceCaps(dc, kCapDpiX);
        f.dpiY = DeviceCaps(dc, kCapDpiY);
        f.right = DeviceCaps(dc, kCapPaperWidth);
        f.bottom = DeviceCaps(dc, kCapPaperHeight);
    }
    if (f.dpiX <= 0 || f.dpiY <= 0 || f.right <= 0 || f.bottom <= 0) {
        DeleteDeviceContext(dc);
        ShowMessage(kTextPreviewNoPrinter, doc->path, 0, kMessageError);
        return false;
    }
    doc->reference = dc;
    int offX = DeviceCaps(dc, kCapOffsetX), offY = DeviceCaps(dc, kCapOffsetY);
    double paperWidth = Points(f.right, f.dpiX), paperHeight = Points(f.bottom, f.dpiY);
    double top = paperHeight - Points(offY, f.dpiY);
    doc->printable = {Points(offX, f.dpiX), top - Points(DeviceCaps(dc, kCapResY), f.dpiY),
                      Points(offX + DeviceCaps(dc, kCapResX), f.dpiX), top};
    const Settings& s = doc->settings;
    doc->geometry =
        ComputeNupGeometry(s, doc->kind == kPreviewPages && s.NUpPs != 0, paperWidth, paperHeight);
    // The map is drawn in the printer's units, the sheet as it is held.
    doc->frame = {0,
                  0,
                  static_cast<int>(doc->geometry.sheetWidth * f.dpiX / kPointsPerInch + 0.5),
                  static_cast<int>(doc->geometry.sheetHeight * f.dpiY / kPointsPerInch + 0.5),
                  f.dpiX,
                  f.dpiY};
    return true;
}

bool OpenTextPreview(PreviewDocument* doc) {
    DeviceContext dc = CreatePrinterDC(true);
    if (!dc) {
        ShowMessage(kTextPreviewNoPrinter, doc->path, 0, kMessageError);
        return false;
    }
    int offX = DeviceCaps(dc, kCapOffsetX), offY = DeviceCaps(dc, kCapOffsetY);
    doc->frame = {-offX,
                  -offY,
                  DeviceCaps(dc, kCapPaperWidth) - offX,
                  DeviceCaps(dc, kCapPaperHeight) - offY,
                  DeviceCaps(dc, kCapDpiX),
                  DeviceCaps(dc, kCapDpiY)};
    doc->text = OpenTextSheets(doc->analysis->file, doc->path, dc, doc->settings);
    // The sheets keep their context for measuring; pictures get their own.
    doc->reference = CreatePrinterDC(true);
    return doc->text != nullptr && doc->reference != nullptr;
}

void OpenPageMap(PreviewDocument* doc) {
    int count = static_cast<int>(doc->analysis->pageCount);
    doc->labels.clear();
    BuildPageIndex(doc->analysis->file, 1, count, count, &doc->labels);
    doc->pages = SentPages(count, nullptr);
}

PreviewKind KindOf(int fileKind) {
    switch (fileKind) {
    case Text:
        return kPreviewText;
    case StructuredPostScript:
        return kPreviewPages;
    case EncapsulatedPostScript:
        return kPreviewPicture;
    case PlainPostScript:
        return kPreviewPlain;
    default:
        return kPreviewRaw;
    }
}

bool OpenUnderFileSettings(const char* path, PreviewDocument* doc) {
    doc->analysis = AnalyzeFile(path);
    if (!doc->analysis) {
        ShowMessage(kTextCouldNotOpen, path, errno, kMessageError);
        return false;
    }
    int refusal = PreviewRefusal(doc->analysis->kind, CurrentSettings);
    if (refusal) {
        ShowMessage(refusal, path, 0, kMessageError);
        return false;
    }
    doc->settings = CurrentSettings;
    doc->kind = KindOf(doc->analysis->kind);
    if (doc->kind == kPreviewText)
        return OpenTextPreview(doc);
    if (doc->kind == kPreviewPages)
        OpenPageMap(doc);
    if (!MeasurePaper(doc))
        return false;
    if (doc->kind == kPreviewPicture)
        doc->picture =
            PlacePicture(doc->analysis->boundingBox, doc->settings.PlaceEPS, doc->printable);
    return true;
}

} // namespace

int PreviewRefusal(int kind, const Settings& s) {
    if (s.conversion[ConversionKindOf(kind)].DoConv)
        return kTextPreviewRefusedConversion;
    if (kind == Text && s.EnableTextPrint != 1)
        return kTextPreviewRefusedIgnored;
    return 0;
}

bool OpenPreview(const char* path, PreviewDocument* doc) {
    *doc = PreviewDocument();
    if (SpoolerMode || std::strlen(path) > kPathChars) {
        errno = ENAMETOOLONG;
        if (!SpoolerMode)
            ShowMessage(kTextCouldNotOpen, path, errno, kMessageError);
        return false;
    }
    CopyText(doc->path, sizeof doc->path, path);
    // The preview is a batch of its own: a stop left from an earlier batch
    // would end the copy of a UTF-16 file at once, unreported.
    StopRequested = false;
    // The file is opened under the set printing it would use, chosen as the
    // job runner chooses it, and the set in force comes back as it was.
    Batch batch = SingleFileBatch(path, nullptr);
    BeginBatchSettings(&batch);
    UseFileSettings(&batch, path);
    bool ok = OpenUnderFileSettings(path, doc);
    EndBatchSettings(&batch);
    if (!ok)
        ClosePreview(doc);
    return ok;
}

void ClosePreview(PreviewDocument* doc) {
    CloseTextSheets(doc->text);
    doc->text = nullptr;
    DeleteDeviceContext(doc->reference);
    doc->reference = nullptr;
    if (doc->analysis)
        ReleaseFile(doc->analysis, false);
    doc->analysis = nullptr;
}

int PreviewSheetCount(const PreviewDocument& doc) {
    if (doc.kind == kPreviewText)
        return TextSheetCount(doc.text);
    if (doc.kind != kPreviewPages)
        return 1;
    int cells = NupCells(doc.geometry);
    // A selection of no pages still shows the sheet it leaves empty.
    return std::max(1, static_cast<int>((doc.pages.size() + static_cast<size_t>(cells) - 1) /
                                        static_cast<size_t>(cells)));
}

bool PreviewSheetsKnown(const PreviewDocument& doc) {
    return doc.kind != kPreviewText || TextSheetsWalked(doc.text);
}

bool PreviewComplete(const PreviewDocument& doc) {
    return doc.kind != kPreviewText || TextSheetsComplete(doc.text);
}

bool WalkPreview(PreviewDocument* doc, int sheets) {
    if (doc->kind == kPreviewText)
        return WalkTextSheets(doc->text, sheets);
    return true;
}

bool PreviewSelectsPages(const PreviewDocument& doc) {
    return doc.kind == kPreviewPages && doc.settings.UseRange && doc.analysis->pageCount > 0;
}

void ChoosePreviewPages(PreviewDocument* doc, const std::vector<bool>& selected) {
    doc->pages = SentPages(static_cast<int>(doc->analysis->pageCount), &selected);
}

void PreviewStatusText(const PreviewDocument& doc, int index, char* out, size_t size) {
    int count = PreviewSheetCount(doc);
    switch (doc.kind) {
    case kPreviewText:
        FormatText(
            out, size,
            LoadText(TextSheetsWalked(doc.text) ? kTextPreviewSheetOf : kTextPreviewSheetCounting),
            index + 1, count);
        break;
    case kPreviewPages:
        FormatText(out, size, LoadText(kTextPreviewNotRendered), index + 1, count);
        break;
    case kPreviewPicture:
        CopyText(out, size, LoadText(kTextPreviewPicture));
        break;
    case kPreviewPlain:
        CopyText(out, size, LoadText(kTextPreviewPlainPs));
        break;
    case kPreviewRaw:
        CopyText(out, size, LoadText(kTextPreviewRawData));
        break;
    }
}

int SheetAfterMove(PreviewMove move, int current, int known, bool allKnown) {
    int last = known - 1;
    switch (move) {
    case kMoveFirst:
        return 0;
    case kMovePrevious:
        return std::max(current - 1, 0);
    case kMoveNext:
        return current < last ? current + 1 : allKnown ? std::max(last, 0) : known;
    case kMoveLast:
        return std::max(last, 0);
    }
    return current;
}

SheetPlacement PlaceSheet(PreviewZoom zoom, int clientWidth, int clientHeight, double sheetWidth,
                          double sheetHeight, int screenDpiX, int screenDpiY, int scrollX,
                          int scrollY) {
    double actualWidth = sheetWidth * screenDpiX, actualHeight = sheetHeight * screenDpiY;
    double roomWidth = std::max(clientWidth - 2 * kViewMargin, 1);
    double roomHeight = std::max(clientHeight - 2 * kViewMargin, 1);
    double factor = 1.0;
    if (actualWidth > 0 && actualHeight > 0) {
        if (zoom == kZoomWholeSheet)
            factor = std::min(roomWidth / actualWidth, roomHeight / actualHeight);
        else if (zoom == kZoomSheetWidth)
            factor = roomWidth / actualWidth;
    }
    SheetPlacement p = SheetPlacement();
    p.width = std::max(static_cast<int>(actualWidth * factor + 0.5), 1);
    p.height = std::max(static_cast<int>(actualHeight * factor + 0.5), 1);
    p.contentWidth = p.width + 2 * kViewMargin;
    p.contentHeight = p.height + 2 * kViewMargin;
    p.scrollX = std::max(0, std::min(scrollX, p.contentWidth - clientWidth));
    p.scrollY = std::max(0, std::min(scrollY, p.contentHeight - clientHeight));
    // A sheet smaller than the view sits in its middle.
    p.left = std::max((clientWidth - p.contentWidth) / 2, 0) + kViewMargin - p.scrollX;
    p.top = std::max((clientHeight - p.contentHeight) / 2, 0) + kViewMargin - p.scrollY;
    return p;
}

bool RestoredPreviewPlace(int screenWidth, int screenHeight, PreviewPlace* place) {
    int n[5];
    if (!ReadPreviewPlacement(n))
        return false;
    // A size from another screen is held to this one; a place off it is
    // brought back so that the caption can be reached.
    int width = std::min(std::max(n[2], 200), std::max(screenWidth, 200));
    int height = std::min(std::max(n[3], 150), std::max(screenHeight, 150));
    int left = std::min(std::max(n[0], 0), std::max(screenWidth - width, 0));
    int top = std::min(std::max(n[1], 0), std::max(screenHeight - height, 0));
    *place = {left, top, width, height, n[4] != 0};
    return true;
}

void SavePreviewPlace(const PreviewPlace& place) {
    int n[5] = {place.left, place.top, place.width, place.height, place.maximised ? 1 : 0};
    SavePreviewPlacement(n);
}
