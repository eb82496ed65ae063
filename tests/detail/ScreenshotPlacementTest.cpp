#include "detail/ScreenshotPlacement.h"

#include <cfenv>
#include <string>

#include <gtest/gtest.h>

using namespace zelvora;

TEST(PlaceScreenshot, FillsTheAreaAlongOneSideAndCentres) {
    // Wider than tall: scaled by the width, then cut back to the height.
    EXPECT_EQ(PlaceScreenshot(320, 240, 420, 300), QRect(10, 0, 400, 300));
    // Taller than wide: scaled by the height; the 93.5 margin rounds to the even 94.
    EXPECT_EQ(PlaceScreenshot(224, 288, 420, 300), QRect(94, 0, 233, 300));
    // Square goes by the height too.
    EXPECT_EQ(PlaceScreenshot(256, 256, 420, 300), QRect(60, 0, 300, 300));
    // Wide enough to stay within the height: centred vertically.
    EXPECT_EQ(PlaceScreenshot(400, 100, 420, 300), QRect(0, 98, 420, 105));
    // Taller than wide but the area is narrower still: cut back to the width.
    EXPECT_EQ(PlaceScreenshot(240, 320, 200, 300), QRect(0, 16, 200, 267));
}

TEST(PlaceScreenshot, ScalesSmallImagesUpAndLargeOnesDown) {
    EXPECT_EQ(PlaceScreenshot(160, 120, 420, 300), QRect(10, 0, 400, 300));
    EXPECT_EQ(PlaceScreenshot(32, 24, 420, 300), QRect(10, 0, 400, 300));
    EXPECT_EQ(PlaceScreenshot(1280, 960, 420, 300), QRect(10, 0, 400, 300));
    EXPECT_EQ(PlaceScreenshot(1, 1, 420, 300), QRect(60, 0, 300, 300));
}

TEST(PlaceScreenshot, RoundsHalvesToEven) {
    // A 92.5 margin goes down to 92, where rounding half away from zero would give 93.
    EXPECT_EQ(PlaceScreenshot(224, 288, 418, 300), QRect(92, 0, 233, 300));
    // The 16.5 margin in the cut-back case goes down to 16.
    EXPECT_EQ(PlaceScreenshot(240, 320, 200, 300).y(), 16);
    // A scaled width of exactly 2.5 becomes 2, so the margin is (100 - 2) / 2.
    EXPECT_EQ(PlaceScreenshot(5, 6, 100, 3), QRect(49, 0, 2, 3));

    // Whatever rounding mode the caller left behind.
    const int mode = std::fegetround();
    std::fesetround(FE_UPWARD);
    const QRect upward = PlaceScreenshot(224, 288, 418, 300);
    std::fesetround(FE_DOWNWARD);
    const QRect downward = PlaceScreenshot(224, 288, 420, 300);
    std::fesetround(mode);
    EXPECT_EQ(upward, QRect(92, 0, 233, 300));
    EXPECT_EQ(downward, QRect(94, 0, 233, 300));
}

TEST(PlaceScreenshot, StaysInsideTheAreaAndTouchesOneSide) {
    for (int w = 1; w <= 600; w += 7) {
        for (int h = 1; h <= 600; h += 11) {
            for (const QSize area : {QSize(420, 300), QSize(300, 420), QSize(1, 1), QSize(641, 479)}) {
                const QRect r = PlaceScreenshot(w, h, area.width(), area.height());
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " in " + std::to_string(area.width()) + "x" +
                             std::to_string(area.height()));
                ASSERT_TRUE(QRect(QPoint(0, 0), area).contains(r) || r.isEmpty());
                ASSERT_TRUE(r.width() == area.width() || r.height() == area.height());
                ASSERT_GE(r.x(), 0);
                ASSERT_GE(r.y(), 0);
            }
        }
    }
}

TEST(PlaceScreenshot, NothingToDrawGivesAnEmptyRectangle) {
    EXPECT_TRUE(PlaceScreenshot(0, 240, 420, 300).isEmpty());
    EXPECT_TRUE(PlaceScreenshot(320, 0, 420, 300).isEmpty());
    EXPECT_TRUE(PlaceScreenshot(-320, 240, 420, 300).isEmpty());
    EXPECT_TRUE(PlaceScreenshot(320, -240, 420, 300).isEmpty());
    EXPECT_TRUE(PlaceScreenshot(320, 240, 0, 300).isEmpty());
    EXPECT_TRUE(PlaceScreenshot(320, 240, 420, 0).isEmpty());
    EXPECT_TRUE(PlaceScreenshot(320, 240, -420, -300).isEmpty());
    // Extreme proportions stay finite and inside the area.
    EXPECT_EQ(PlaceScreenshot(65535, 1, 420, 300), QRect(0, 150, 420, 0));
    EXPECT_EQ(PlaceScreenshot(1, 65535, 420, 300), QRect(210, 0, 0, 300));
}
