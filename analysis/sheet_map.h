// Where the pages of a PostScript job land on the paper, worked out the way
// the generated PostScript places them: the cells of the n-up procedure set
// and the picture wrapper's placement of an encapsulated picture. Lengths in
// points, y upwards from the bottom-left corner of the sheet as it is held
// (a landscape n-up sheet is held wide).
#pragma once

#include <vector>

#include "../settings/settings.h"

struct MapRect {
    double left, bottom, right, top;
};

struct NupGeometry {
    double sheetWidth, sheetHeight; // the sheet as held
    int columns, rows;
    bool acrossFirst;             // cells fill rows left to right, else columns top down
    double originX, originY;      // the margins the first cell starts from
    double cellWidth, cellHeight; // a logical page's cell
    double gutterX, gutterY;
    double scale;                   // of a page inside its cell
    double offsetX, offsetY;        // of the scaled page inside its cell
    double paperWidth, paperHeight; // of a page, before scaling
};

// One page to a sheet unless `nup`; the grid and margins of the settings
// otherwise. paperWidth and paperHeight: the printer's paper, upright.
NupGeometry ComputeNupGeometry(const Settings& s, bool nup, double paperWidth, double paperHeight);
// The cell of the n-th page on a sheet (from 0) and the page drawn in it.
MapRect NupCell(const NupGeometry& g, int cell);
MapRect NupPageArea(const NupGeometry& g, int cell);
inline int NupCells(const NupGeometry& g) {
    return g.columns * g.rows;
}

// The pages a job sends, in order: the selected ones of a page selection
// (`selected` holds one flag per page), else all `pageCount`.
std::vector<int> SentPages(int pageCount, const std::vector<bool>* selected);

// An encapsulated picture's bounding box (llx lly urx ury) as the wrapper
// places it: 0 where it says, 1 centred on the printable area, 2 centred
// and scaled to fit it with a little room.
MapRect PlacePicture(const double box[4], int placement, const MapRect& printable);
