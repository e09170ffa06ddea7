// The placement arithmetic of the n-up procedure set (setup and BeginPage)
// and of the picture wrapper (_begin), for drawing a map of the sheets.
#include "sheet_map.h"

#include <algorithm>

namespace {

const double kPointsPerInch = 72.0;
const int kMaxGrid = 100; // cells across or down that a map can still show

int Grid(int n) {
    return std::min(std::max(n, 1), kMaxGrid);
}

// The margins go into the setup line rounded to whole points.
double MarginPoints(float inches) {
    return static_cast<double>(static_cast<int>(inches * kPointsPerInch + 0.5));
}

} // namespace

NupGeometry ComputeNupGeometry(const Settings& s, bool nup, double paperWidth, double paperHeight) {
    NupGeometry g = NupGeometry();
    g.paperWidth = paperWidth;
    g.paperHeight = paperHeight;
    g.columns = g.rows = 1;
    g.scale = 1.0;
    g.sheetWidth = g.cellWidth = paperWidth;
    g.sheetHeight = g.cellHeight = paperHeight;
    g.acrossFirst = true;
    if (!nup)
        return g;
    double left = MarginPoints(s.LeftMarg), right = MarginPoints(s.RightMarg);
    double top = MarginPoints(s.TopMarg), bottom = MarginPoints(s.BottomMarg);
    g.columns = Grid(s.Width);
    g.rows = Grid(s.Height);
    g.acrossFirst = s.AdvHoriz != 0;
    g.gutterX = s.xGutter * kPointsPerInch;
    g.gutterY = s.yGutter * kPointsPerInch;
    double drawWidth = paperWidth - left - right;
    double drawHeight = paperHeight - top - bottom;
    // A landscape sheet is turned a quarter; the procedure set then starts
    // the cells from the right and top margins.
    if (s.Landscape) {
        std::swap(drawWidth, drawHeight);
        g.sheetWidth = paperHeight;
        g.sheetHeight = paperWidth;
        g.originX = right;
        g.originY = top;
    } else {
        g.originX = left;
        g.originY = bottom;
    }
    g.cellWidth = (drawWidth - g.gutterX * (g.columns - 1)) / g.columns;
    g.cellHeight = (drawHeight - g.gutterY * (g.rows - 1)) / g.rows;
    g.scale = std::min(g.cellWidth / paperWidth, g.cellHeight / paperHeight);
    g.offsetX = (g.cellWidth - g.scale * paperWidth) / 2;
    g.offsetY = (g.cellHeight - g.scale * paperHeight) / 2;
    return g;
}

MapRect NupCell(const NupGeometry& g, int cell) {
    int column = g.acrossFirst ? cell % g.columns : cell / g.rows;
    int row = g.acrossFirst ? cell / g.columns : cell % g.rows;
    double x = g.originX + column * (g.cellWidth + g.gutterX);
    double y = g.originY + (g.rows - 1 - row) * (g.cellHeight + g.gutterY);
    return {x, y, x + g.cellWidth, y + g.cellHeight};
}

MapRect NupPageArea(const NupGeometry& g, int cell) {
    MapRect c = NupCell(g, cell);
    double x = c.left + g.offsetX, y = c.bottom + g.offsetY;
    return {x, y, x + g.scale * g.paperWidth, y + g.scale * g.paperHeight};
}

std::vector<int> SentPages(int pageCount, const std::vector<bool>* selected) {
    std::vector<int> pages;
    for (int page = 1; page <= pageCount; ++page)
        if (!selected || (static_cast<size_t>(page - 1) < selected->size() &&
                          (*selected)[static_cast<size_t>(page - 1)]))
            pages.push_back(page);
    return pages;
}

MapRect PlacePicture(const double box[4], int placement, const MapRect& printable) {
    MapRect r = {box[0], box[1], box[2], box[3]};
    if (placement < 1)
        return r;
    double width = box[2] - box[0], height = box[3] - box[1];
    double centreX = (printable.left + printable.right) / 2;
    double centreY = (printable.bottom + printable.top) / 2;
    double factor = 1.0;
    if (placement >= 2 && width > 0 && height > 0)
        factor = 0.95 * std::min((printable.right - printable.left) / width,
                                 (printable.top - printable.bottom) / height);
    return {centreX - factor * width / 2, centreY - factor * height / 2,
            centreX + factor * width / 2, centreY + factor * height / 2};
}
