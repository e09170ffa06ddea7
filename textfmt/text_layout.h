// The page geometry of a text job: where the text area, the logical page
// cells and the text block lie, how high a row is and how many fit.
#pragma once

#include "../settings/settings.h"
#include "text_device.h"

struct DeviceQuantities {
    int dpiX, dpiY;
    int offX, offY; // unprintable strip at the left and top edge
    int resX, resY; // printable width and height
};

struct TextRect {
    int left, top, right, bottom;
};

struct TextLayout {
    int columns, rows;             // the n-up grid, at least 1 each
    bool paperHeader, paperFooter; // once per printout page
    bool pageHeader, pageFooter;   // in every logical page
    int areaLeft, areaTop, areaRight, areaBottom;
    int paperHeaderY;    // the top margin line
    int paperFooterBase; // the bottom margin line
    int gutterX, gutterY;
    int cellWidth, cellHeight;
    TextRect textRect;
    int lineHeight;
    int fontWidth; // 0: the font's natural width
    int charWidth;
    int linesPerPage;
    int charsPerLine;
    int lineNumberIndent;
    int tabWidth;
    int headerHeight;
    int reservedRows;
    int logicalPages, printoutPages; // 0 until a counting pass ran
    bool oemDetected;
};

enum {
    kSmallestLineHeight = 4,
    kLayoutMaxGrid = 100,   // logical pages across or down a sheet
    kLayoutLimit = 1 << 24, // device units, lines and characters
    kLayoutMaxDpi = 1 << 16
};

// Half up, then toward zero; NaN gives 0, and the result stays within
// +-kLayoutLimit.
int RoundedUnits(double value);
DeviceQuantities ReadDeviceQuantities(DeviceContext dc);
// Header modes, text area, gutters, cells, frame inset and reserved rows.
void ComputePageGeometry(const DeviceQuantities& device, const Settings& settings,
                         TextLayout* layout);
// Row height, font width and rows per page; a probe font measures the face
// when characters per line are given. False when rows would be lower than
// kSmallestLineHeight.
bool ComputeFontSize(DeviceContext dc, const Settings& settings, TextLayout* layout);
// Shares the room left below the rows between the top and the bottom.
void CentreTextBlock(TextLayout* layout);
// Columns per row, tab width and the room for line numbers, from the body
// font's "X" width; definitionTabWidth above 0 replaces the settings' one.
void ComputeColumns(const Settings& settings, int charWidth, int definitionTabWidth,
                    TextLayout* layout);
