// The GDI side of the drawing seam on a memory device context: fonts are
// made and measured, and runs in update-position mode follow each other,
// which the highlighted rows depend on.
#include <windows.h>

#include <gtest/gtest.h>

#include "textfmt/text_device.h"
#include "textfmt/text_fonts.h"

namespace {

class GdiDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override { dc_ = CreateCompatibleDC(nullptr); }
    void TearDown() override { DeleteDeviceContext(dc_); }
    HDC dc_ = nullptr;
};

TEST_F(GdiDeviceTest, FontsAreMadeAndMeasured) {
    ASSERT_NE(nullptr, dc_);
    EXPECT_GT(DeviceCaps(dc_, kCapDpiX), 0);
    EXPECT_GT(DeviceCaps(dc_, kCapColours), 1);
    FontRef font = CreateTextFont("Courier New", 40, 0, false, false, false);
    ASSERT_NE(nullptr, font);
    SelectTextFont(dc_, font);
    int width = CharWidthOfX(dc_);
    EXPECT_GT(width, 0);
    EXPECT_LT(width, 40);
    TEXTMETRICA metrics;
    ASSERT_TRUE(GetTextMetricsA(dc_, &metrics));
    EXPECT_EQ(40, metrics.tmHeight); // a positive height is the cell height
    SelectTextFont(dc_, nullptr);
    DeleteTextFont(font);
}

TEST_F(GdiDeviceTest, UpdatePositionRunsFollowEachOther) {
    FontRef font = CreateTextFont("Courier New", 40, 0, true, false, false);
    SelectTextFont(dc_, font);
    MoveCurrentPosition(dc_, 10, 20);
    SetTextAlignment(dc_, kAlignUpdatePosition);
    DrawTextRun(dc_, 500, 500, "abc", 3);
    POINT position;
    ASSERT_TRUE(GetCurrentPositionEx(dc_, &position));
    EXPECT_GT(position.x, 10);
    EXPECT_EQ(20, position.y);
    SetTextAlignment(dc_, kAlignLeftTop);
    EXPECT_EQ(static_cast<UINT>(TA_LEFT | TA_TOP), GetTextAlign(dc_));
    SetTextAlignment(dc_, kAlignRightTop);
    EXPECT_EQ(static_cast<UINT>(TA_RIGHT | TA_TOP), GetTextAlign(dc_));
    SelectTextFont(dc_, nullptr);
    DeleteTextFont(font);
}

TEST_F(GdiDeviceTest, WindowOriginAndFramePen) {
    SetWindowOrigin(dc_, -100, -50);
    POINT origin;
    ASSERT_TRUE(GetWindowOrgEx(dc_, &origin));
    EXPECT_EQ(-100, origin.x);
    EXPECT_EQ(-50, origin.y);
    PenRef pen = CreateFramePen(3);
    ASSERT_NE(nullptr, pen);
    SelectFramePen(dc_, pen);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), GetCurrentObject(dc_, OBJ_BRUSH));
    DrawFrame(dc_, 0, 0, 10, 10);
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    DeleteFramePen(pen);
}

} // namespace
