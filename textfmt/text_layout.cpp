#include "text_layout.h"

#include <cstring>

#include "text_fonts.h"

namespace {

const float kInchesPerMillimetre = 0.0393700786f;

int Width(const TextRect& r) {
    return r.right - r.left;
}
int Height(const TextRect& r) {
    return r.bottom - r.top;
}

} // namespace

int RoundedUnits(double value) {
    return static_cast<int>(value + 0.5);
}

DeviceQuantities ReadDeviceQuantities(DeviceContext dc) {
    DeviceQuantities device;
    device.dpiX = DeviceCaps(dc, kCapDpiX);
    device.dpiY = DeviceCaps(dc, kCapDpiY);
    device.offX = DeviceCaps(dc, kCapOffsetX);
    device.offY = DeviceCaps(dc, kCapOffsetY);
    device.resX = DeviceCaps(dc, kCapResX);
    device.resY = DeviceCaps(dc, kCapResY);
    return device;
}

void ComputePageGeometry(const DeviceQuantities& device, const Settings& s, TextLayout* L) {
    L->columns = s.Width < 1 ? 1 : s.Width;
    L->rows = s.Height < 1 ? 1 : s.Height;
    bool header = s.HeaderStr[0] != '\0';
    bool footer = s.FooterStr[0] != '\0';
    L->paperHeader = header && s.PprBndHd;
    L->paperFooter = footer && s.PprBndHd;
    L->pageHeader = header && !s.PprBndHd;
    L->pageFooter = footer && !s.PprBndHd;

    int millimetres = L->columns * L->rows <= 1 ? 4 : 3;
    L->headerHeight = RoundedUnits(device.dpiY * millimetres * kInchesPerMillimetre);

    // On a page wider than high the margins keep to the paper's edges.
    bool rotated = device.resX > device.resY;
    float left = rotated ? s.TopMarg : s.LeftMarg;
    float right = rotated ? s.BottomMarg : s.RightMarg;
    float top = rotated ? s.LeftMarg : s.TopMarg;
    float bottom = rotated ? s.RightMarg : s.BottomMarg;

    L->areaLeft = RoundedUnits(device.dpiX * left - device.offX);
    L->areaRight = device.resX + device.offX - RoundedUnits(device.dpiX * right);
    L->areaTop = RoundedUnits(device.dpiY * top - device.offY);
    L->areaBottom = device.resY + device.offY - RoundedUnits(device.dpiY * bottom);
    L->paperHeaderY = L->areaTop;
    L->paperFooterBase = L->areaBottom;
    int headerRoom = RoundedUnits(1.5 * L->headerHeight);
    if (L->paperHeader)
        L->areaTop += headerRoom;
    if (L->paperFooter)
        L->areaBottom -= headerRoom;

    L->gutterX = RoundedUnits(device.dpiX * s.xGutter);
    L->gutterY = RoundedUnits(device.dpiY * s.yGutter);
    L->cellWidth = (L->areaRight - (L->columns - 1) * L->gutterX - L->areaLeft) / L->columns;
    L->cellHeight = (L->areaBottom - (L->rows - 1) * L->gutterY - L->areaTop) / L->rows;
    L->textRect = {L->areaLeft, L->areaTop, L->areaLeft + L->cellWidth, L->areaTop + L->cellHeight};
    if (s.Frame) {
        int inset = RoundedUnits(0.01 * L->cellHeight);
        int across = RoundedUnits(0.02 * L->cellWidth);
        if (across < inset)
            inset = across;
        L->textRect.left += inset;
        L->textRect.top += inset;
        L->textRect.right -= inset;
        L->textRect.bottom -= inset;
    }
    L->reservedRows = (L->pageHeader ? 2 : 0) + (L->pageFooter ? 2 : 0);
    L->logicalPages = 0;
    L->printoutPages = 0;
    L->oemDetected = false;
}

bool ComputeFontSize(DeviceContext dc, const Settings& s, TextLayout* L) {
    int lines = s.Lines < 1 ? 1 : s.Lines;
    int chars = s.Chars < 1 ? 1 : s.Chars;
    L->fontWidth = 0;
    if (s.SizeOp == 1) {
        int w = Width(L->textRect) / chars;
        FontRef probe = CreateTextFont(s.FontName, 2 * w, 0, false, false, false);
        SelectTextFont(dc, probe);
        int probeX = CharWidthOfX(dc);
        SelectTextFont(dc, nullptr);
        DeleteTextFont(probe);
        // A face that cannot be measured is taken to be as wide as wanted.
        if (probeX < 1)
            probeX = w;
        L->lineHeight = probeX > 0 ? 2 * w * w / probeX : 0;
        if (L->lineHeight < kSmallestLineHeight)
            return false;
        L->linesPerPage = Height(L->textRect) / L->lineHeight - L->reservedRows;
    } else {
        L->lineHeight = Height(L->textRect) / (lines + L->reservedRows);
        L->linesPerPage = lines;
        if (s.SizeOp == 2)
            L->fontWidth = Width(L->textRect) / chars;
    }
    // At least one row, or no page would ever take any text.
    if (L->linesPerPage < 1)
        L->linesPerPage = 1;
    return L->lineHeight >= kSmallestLineHeight;
}

void CentreTextBlock(TextLayout* L) {
    int slack = Height(L->textRect) - (L->linesPerPage + L->reservedRows) * L->lineHeight;
    L->textRect.top += slack / 2;
    L->textRect.bottom -= slack / 2;
}

void ComputeColumns(const Settings& s, int charWidth, int definitionTabWidth, TextLayout* L) {
    L->charWidth = charWidth < 1 ? 1 : charWidth;
    bool charsGiven = s.SizeOp == 1 || s.SizeOp == 2;
    L->charsPerLine = charsGiven ? s.Chars : Width(L->textRect) / L->charWidth;
    if (L->charsPerLine >= 1000)
        L->charsPerLine = 1000;
    L->tabWidth = definitionTabWidth > 0 ? definitionTabWidth : s.TabCount;
    L->lineNumberIndent = 0;
    if (s.LineNo) {
        L->charsPerLine -= 7;
        L->lineNumberIndent = 7 * L->charWidth;
    }
    // Too narrow for even one column (few characters and line numbers):
    // one character per row still prints every character.
    if (L->charsPerLine < 1)
        L->charsPerLine = 1;
}
