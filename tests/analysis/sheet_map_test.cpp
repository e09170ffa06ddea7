// The sheet map's placement arithmetic, worked by hand from the procedure
// sets' own: where each cell and its page go, and where a picture goes.
#include <gtest/gtest.h>

#include "analysis/sheet_map.h"

namespace {

struct CellCase {
    const char* name;
    int width, height, landscape, acrossFirst;
    float left, right, top, bottom, gutter;
    bool nup;
    double paperWidth, paperHeight;
    int cell;
    MapRect expected;
    double sheetWidth, sheetHeight;
};

// clang-format off
const CellCase kCells[] = {
    // 612 x 792 less margins of 50, 25, 25, 25 points, turned: 742 x 537,
    // two cells across with a gutter of 7.2; the cells start at the right
    // and top margins.
    {"default settings, first cell",
     2, 1, 1, 1, 0.7f, 0.35f, 0.35f, 0.35f, 0.1f, true, 612, 792, 0, {25, 25, 392.4, 562}, 792, 612},
    {"default settings, second cell",
     2, 1, 1, 1, 0.7f, 0.35f, 0.35f, 0.35f, 0.1f, true, 612, 792, 1, {399.6, 25, 767, 562}, 792, 612},
    {"2 x 2 down first: the second cell is below the first",
     2, 2, 0, 0, 0, 0, 0, 0, 0, true, 600, 800, 1, {0, 0, 300, 400}, 600, 800},
    {"2 x 2 down first: the third cell is top right",
     2, 2, 0, 0, 0, 0, 0, 0, 0, true, 600, 800, 2, {300, 400, 600, 800}, 600, 800},
    {"2 x 2 across first: the second cell is top right",
     2, 2, 0, 1, 0, 0, 0, 0, 0, true, 600, 800, 1, {300, 400, 600, 800}, 600, 800},
    {"without n-up the page is the sheet",
     2, 1, 1, 1, 0.7f, 0.35f, 0.35f, 0.35f, 0.1f, false, 612, 792, 0, {0, 0, 612, 792}, 612, 792},
};
// clang-format on

TEST(SheetMapTest, CellsLieWhereTheProcedureSetPutsThem) {
    for (const CellCase& c : kCells) {
        SCOPED_TRACE(c.name);
        Settings s;
        SetDefaultSettings(&s);
        s.Width = c.width;
        s.Height = c.height;
        s.Landscape = c.landscape;
        s.AdvHoriz = c.acrossFirst;
        s.LeftMarg = c.left;
        s.RightMarg = c.right;
        s.TopMarg = c.top;
        s.BottomMarg = c.bottom;
        s.xGutter = s.yGutter = c.gutter;
        NupGeometry g = ComputeNupGeometry(s, c.nup, c.paperWidth, c.paperHeight);
        EXPECT_DOUBLE_EQ(c.sheetWidth, g.sheetWidth);
        EXPECT_DOUBLE_EQ(c.sheetHeight, g.sheetHeight);
        MapRect r = NupCell(g, c.cell);
        EXPECT_NEAR(c.expected.left, r.left, 0.01);
        EXPECT_NEAR(c.expected.bottom, r.bottom, 0.01);
        EXPECT_NEAR(c.expected.right, r.right, 0.01);
        EXPECT_NEAR(c.expected.top, r.top, 0.01);
    }
}

TEST(SheetMapTest, PageIsScaledAndCentredInItsCell) {
    Settings s;
    SetDefaultSettings(&s); // landscape 2 x 1: cells of 367.4 x 537
    NupGeometry g = ComputeNupGeometry(s, true, 612, 792);
    MapRect page = NupPageArea(g, 1);
    double scale = 367.4 / 612;
    EXPECT_NEAR(scale, g.scale, 1e-9);
    EXPECT_NEAR(399.6, page.left, 0.01);
    EXPECT_NEAR(399.6 + 367.4, page.right, 0.01);
    EXPECT_NEAR(25 + (537 - scale * 792) / 2, page.bottom, 0.01);
    EXPECT_NEAR(scale * 792, page.top - page.bottom, 0.01);
}

TEST(SheetMapTest, PictureIsPlacedAsTheWrapperPlacesIt) {
    const double box[4] = {0, 0, 144, 216};
    const MapRect printable = {18, 18, 594, 774};
    struct {
        int placement;
        MapRect expected;
    } cases[] = {
        {0, {0, 0, 144, 216}},
        {1, {234, 288, 378, 504}},
        // 0.95 of the smaller ratio, 576 / 144 and 756 / 216: 3.325.
        {2, {306 - 239.4, 396 - 359.1, 306 + 239.4, 396 + 359.1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.placement);
        MapRect r = PlacePicture(box, c.placement, printable);
        EXPECT_NEAR(c.expected.left, r.left, 1e-9);
        EXPECT_NEAR(c.expected.bottom, r.bottom, 1e-9);
        EXPECT_NEAR(c.expected.right, r.right, 1e-9);
        EXPECT_NEAR(c.expected.top, r.top, 1e-9);
    }
}

TEST(SheetMapTest, SentPagesFollowTheSelection) {
    std::vector<bool> odd = {true, false, true, false, true};
    std::vector<bool> shortList = {false, true};
    EXPECT_EQ((std::vector<int>{1, 3, 5}), SentPages(5, &odd));
    EXPECT_EQ((std::vector<int>{1, 2, 3}), SentPages(3, nullptr));
    EXPECT_EQ((std::vector<int>{2}), SentPages(4, &shortList));
}

} // namespace
