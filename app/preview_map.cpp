// The drawing of a preview sheet: a text sheet by the text printing's own
// code; for PostScript a map of the sheet (the cells, each with its page's
// number and label, or the placed picture), drawn through the same device
// seam so that one picture of it serves the window and the tests alike.
#include "preview.h"

#include <algorithm>
#include <cstring>

#include "../common/messages.h"
#include "../common/paths.h"
#include "../textfmt/text_fonts.h"

namespace {

const char kMapFace[] = "Arial";
const double kPointsPerInch = 72.0;

// Map points (y up from the bottom) to the picture's units (y down).
struct MapUnits {
    const PreviewDocument* doc;
    int X(double points) const {
        return static_cast<int>(points * doc->frame.dpiX / kPointsPerInch + 0.5);
    }
    int Y(double points) const {
        return static_cast<int>(
            (doc->geometry.sheetHeight - points) * doc->frame.dpiY / kPointsPerInch + 0.5);
    }
    int Height(double points) const {
        return std::max(static_cast<int>(points * doc->frame.dpiY / kPointsPerInch + 0.5), 1);
    }
};

void Outline(DeviceContext dc, const MapUnits& u, const MapRect& r, PenRef pen) {
    SelectFramePen(dc, pen);
    DrawFrame(dc, u.X(r.left), u.Y(r.top), u.X(r.right), u.Y(r.bottom));
}

// A line of text centred on x with its top at y, in a font of `height` units.
void CentredText(DeviceContext dc, int x, int y, int height, bool bold, const char* text) {
    FontRef font = CreateTextFont(kMapFace, height, 0, bold, false, false);
    SelectTextFont(dc, font);
    SetTextAlignment(dc, kAlignCentreTop);
    DrawTextRun(dc, x, y, text, static_cast<int>(std::strlen(text)));
    DeleteTextFont(font);
}

// The label as the Select Pages list shows it, without the blank before it.
std::string LabelOf(const PreviewDocument& doc, int page) {
    if (page < 1 || static_cast<size_t>(page) > doc.labels.size())
        return std::string();
    std::string label = doc.labels[static_cast<size_t>(page - 1)];
    size_t first = label.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : label.substr(first);
}

void DrawPageCell(DeviceContext dc, const MapUnits& u, const PreviewDocument& doc, int cell,
                  int page, PenRef thin, PenRef frame) {
    MapRect area = NupPageArea(doc.geometry, cell);
    if (frame)
        Outline(dc, u, NupCell(doc.geometry, cell), frame);
    Outline(dc, u, area, thin);
    double height = area.top - area.bottom, width = area.right - area.left;
    double numberSize = std::min(height / 4, width / 2);
    int x = u.X((area.left + area.right) / 2);
    int y = u.Y(area.top - height / 2 + numberSize * 0.75);
    char number[16];
    FormatText(number, sizeof number, LoadText(kTextPreviewPageNumber), page);
    CentredText(dc, x, y, u.Height(numberSize), true, number);
    std::string label = LabelOf(doc, page);
    if (!label.empty())
        CentredText(dc, x, y + u.Height(numberSize * 1.2), u.Height(numberSize / 3), false,
                    label.c_str());
}

void DrawPicture(DeviceContext dc, const MapUnits& u, const PreviewDocument& doc, PenRef thin) {
    Outline(dc, u, doc.picture, thin);
    if (!doc.settings.NameEPS)
        return;
    // The wrapper writes the name 15 points in from the printable area's
    // top-left corner, its base line 20 points down.
    FontRef font = CreateTextFont(kMapFace, u.Height(9), 0, false, false, false);
    SelectTextFont(dc, font);
    SetTextAlignment(dc, kAlignLeftTop);
    const char* name = doc.analysis->displayName;
    DrawTextRun(dc, u.X(doc.printable.left + 15), u.Y(doc.printable.top - 11), name,
                static_cast<int>(std::strlen(name)));
    DeleteTextFont(font);
}

void DrawNote(DeviceContext dc, const MapUnits& u, const PreviewDocument& doc, int textId) {
    double size = doc.geometry.sheetWidth / 24;
    CentredText(dc, u.X(doc.geometry.sheetWidth / 2), u.Y(doc.geometry.sheetHeight / 2 + size),
                u.Height(size), false, LoadText(textId));
}

void DrawSheetMap(const PreviewDocument& doc, int index, DeviceContext dc) {
    MapUnits u = {&doc};
    PenRef thin = CreateFramePen(std::max(doc.frame.dpiX / 150, 1));
    bool frames = doc.kind == kPreviewPages && doc.settings.NUpPs && doc.settings.Frame;
    PenRef frame =
        frames ? CreateFramePen(std::max(u.Height(doc.settings.FrameWidth * kPointsPerInch), 1))
               : nullptr;
    SetWindowOrigin(dc, 0, 0);
    switch (doc.kind) {
    case kPreviewPages: {
        int cells = NupCells(doc.geometry);
        for (int cell = 0; cell < cells; ++cell) {
            size_t k =
                static_cast<size_t>(index) * static_cast<size_t>(cells) + static_cast<size_t>(cell);
            if (k < doc.pages.size())
                DrawPageCell(dc, u, doc, cell, doc.pages[k], thin, frame);
        }
        break;
    }
    case kPreviewPicture:
        DrawPicture(dc, u, doc, thin);
        break;
    case kPreviewPlain:
        DrawNote(dc, u, doc, kTextPreviewPlainNote);
        break;
    default:
        DrawNote(dc, u, doc, kTextPreviewRawNote);
        break;
    }
    DeleteFramePen(thin);
    DeleteFramePen(frame);
}

} // namespace

bool DrawPreviewSheet(PreviewDocument* doc, int index, DeviceContext dc) {
    if (index < 0 || index >= PreviewSheetCount(*doc))
        return false;
    if (doc->kind == kPreviewText)
        return DrawTextSheet(doc->text, index, dc);
    DrawSheetMap(*doc, index, dc);
    return true;
}
