// Print preview: one file's sheets as printing would produce them, before
// they use paper. A text file's sheets are drawn by the text printing's own
// code; a PostScript file (no interpreter is shipped) shows a map of where
// its pages land; printer-ready data shows that it is sent unchanged. This
// is the portable part: what can be previewed, with which settings, the
// sheets and the rules of moving and zooming. preview_window_win32.cpp is the
// window.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "shell_state.h"
#include "../analysis/file_analysis.h"
#include "../analysis/sheet_map.h"
#include "../common/bounded_text.h"
#include "../settings/settings.h"
#include "../textfmt/text_device.h"
#include "../textfmt/text_sheets.h"

enum PreviewKind {
    kPreviewText,    // the text printing's own sheets
    kPreviewPages,   // structured PostScript: where each page lands
    kPreviewPicture, // encapsulated PostScript: the placed bounding box
    kPreviewPlain,   // PostScript without pages: sent as it is
    kPreviewRaw      // printer-ready data: sent unchanged
};

// A sheet as a picture: its corners in the drawing's device units (the
// text's origin is the printable area's corner, so the paper starts before
// it) and the units to an inch.
struct SheetFrame {
    int left, top, right, bottom;
    int dpiX, dpiY;
};

struct PreviewDocument {
    PreviewKind kind;
    char path[kPathSize];
    Settings settings; // the set printing the file would use
    FileAnalysis* analysis;
    TextSheets* text;
    // The printer's device context, which pictures of the sheets are made
    // against, and the sheet's frame in its units.
    DeviceContext reference;
    SheetFrame frame;
    // PostScript
    NupGeometry geometry;
    std::vector<int> pages;          // the pages sent, in order
    std::vector<std::string> labels; // each page's "%%Page:" label
    MapRect printable;               // points
    MapRect picture;                 // the placed bounding box, points
};

// What keeps a file from being previewed (message ids; 0: nothing).
int PreviewRefusal(int kind, const Settings& s);
// Opens `path` with the settings set printing it would use and the current
// printer's paper; reports why when it cannot be previewed. The set in
// force is the same afterwards.
bool OpenPreview(const char* path, PreviewDocument* doc);
void ClosePreview(PreviewDocument* doc);

// Sheets known so far, and whether that is all of them and each is drawn
// as it prints (a long text file is walked and counted a little at a time).
int PreviewSheetCount(const PreviewDocument& doc);
bool PreviewSheetsKnown(const PreviewDocument& doc);
bool PreviewComplete(const PreviewDocument& doc);
// Walks a text file on by at most `sheets` sheets; true when complete.
bool WalkPreview(PreviewDocument* doc, int sheets);
// Draws sheet `index` on `dc` within doc->frame.
bool DrawPreviewSheet(PreviewDocument* doc, int index, DeviceContext dc);
// Page selection is offered where printing offers it: for a structured
// PostScript file while the set lets a page range be chosen.
bool PreviewSelectsPages(const PreviewDocument& doc);
// The pages sent after the user's choice: one flag per page.
void ChoosePreviewPages(PreviewDocument* doc, const std::vector<bool>& selected);

// The status line for sheet `index` (from 0).
void PreviewStatusText(const PreviewDocument& doc, int index, char* out, size_t size);

enum PreviewMove { kMoveFirst, kMovePrevious, kMoveNext, kMoveLast };
// The sheet a move leads to. `known` sheets are known so far (`allKnown`:
// that is all of them); a next sheet beyond them while the walk goes on is
// `known` itself, which the caller walks to first.
int SheetAfterMove(PreviewMove move, int current, int known, bool allKnown);

enum PreviewZoom { kZoomWholeSheet, kZoomSheetWidth, kZoomActualSize };

// Where the sheet goes in a view of clientWidth x clientHeight pixels,
// scrolled by (scrollX, scrollY), and how large the whole content is (for
// the scroll bars). The sheet is sheetWidth x sheetHeight inches; the
// screen has screenDpiX x screenDpiY pixels to an inch.
struct SheetPlacement {
    int left, top, width, height;
    int contentWidth, contentHeight;
    int scrollX, scrollY; // held within the content
};
SheetPlacement PlaceSheet(PreviewZoom zoom, int clientWidth, int clientHeight, double sheetWidth,
                          double sheetHeight, int screenDpiX, int screenDpiY, int scrollX,
                          int scrollY);

// The window's remembered place, when there is one that fits on the screen.
struct PreviewPlace {
    int left, top, width, height;
    bool maximised;
};
bool RestoredPreviewPlace(int screenWidth, int screenHeight, PreviewPlace* place);
void SavePreviewPlace(const PreviewPlace& place);
