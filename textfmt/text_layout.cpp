#include "text_layout.h"

#include <cmath>
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

int Within(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

} // namespace

// The record may come from a dialog as well as from the file, so any length
// can arrive here: a NaN counts as 0, and far-off values stop at the limit
// rather than leave the range of int.
int RoundedUnits(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= kLayoutLimit)
        return kLayoutLimit;
    if (value <= -kLayoutLimit)
        return -kLayoutLimit;
    return static_cast<int>(value + 0.5);
}

// No real printer comes near these bounds; they keep every sum and product of
// the layout inside int.
DeviceQuantities ReadDeviceQuantities(DeviceContext dc) {
    DeviceQuantities device;
    device.dpiX = Within(DeviceCaps(dc, kCapDpiX), 1, kLayoutMaxDpi);
    device.dpiY = Within(DeviceCaps(dc, kCapDpiY), 1, kLayoutMaxDpi);
    device.offX = Within(DeviceCaps(dc, kCapOffsetX), 0, kLayoutLimit);
    device.offY = Within(DeviceCaps(dc, kCapOffsetY), 0, kLayoutLimit);
    device.resX = Within(DeviceCaps(dc, kCapResX), 0, kLayoutLimit);
    device.resY = Within(DeviceCaps(dc, kCapResY), 0, kLayoutLimit);
    return device;
}

void ComputePageGeometry(const DeviceQuantities& device, const Settings& s, TextLayout* L) {
    // Beyond the grid a sheet can show, the cells per sheet would overflow
    // and the page loop would never take a line.
    L->columns = Within(s.Width, 1, kLayoutMaxGrid);
    L->rows = Within(s.Height, 1, kLayoutMaxGrid);
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
    long long cellsAcross = static_cast<long long>(L->areaRight) - L->areaLeft -
                            static_cast<long long>(L->columns - 1) * L->gutterX;
    long long cellsDown = static_cast<long long>(L->areaBottom) - L->areaTop -
                          static_cast<long long>(L->rows - 1) * L->gutterY;
    L->cellWidth = static_cast<int>(cellsAcross / L->columns);
    L->cellHeight = static_cast<int>(cellsDown / L->rows);
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
    int lines = Within(s.Lines, 1, kLayoutLimit);
    int chars = Within(s.Chars, 1, kLayoutLimit);
    L->fontWidth = 0;
    if (s.SizeOp == 1) {
        int w = Width(L->textRect) / chars;
        // No room for even one character in a row.
        if (w < 1) {
            L->lineHeight = 0;
            return false;
        }
        FontRef probe = CreateTextFont(s.FontName, 2 * w, 0, false, false, false);
        SelectTextFont(dc, probe);
        int probeX = CharWidthOfX(dc);
        SelectTextFont(dc, nullptr);
        DeleteTextFont(probe);
        // A face that cannot be measured is taken to be as wide as wanted.
        if (probeX < 1)
            probeX = w;
        long long height = 2LL * w * w / probeX;
        L->lineHeight = height > kLayoutLimit ? kLayoutLimit : static_cast<int>(height);
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
    L->charWidth = Within(charWidth, 1, kLayoutLimit);
    bool charsGiven = s.SizeOp == 1 || s.SizeOp == 2;
    // Below one column the row producer prints one character per row anyway.
    L->charsPerLine = Within(charsGiven ? s.Chars : Width(L->textRect) / L->charWidth, 1, 1000);
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
