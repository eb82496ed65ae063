#include "detail/ScreenshotPlacement.h"

#include <cfenv>
#include <tuple>

#include <gtest/gtest.h>

using namespace zelvora;

TEST(PlaceScreenshot, FillsOneSideCentresTheOtherAndRoundsHalvesToEven) {
    // Picture width and height, area width and height, where it goes.
    const std::tuple<int, int, int, int, QRect> cases[] = {
        // Wider than tall, scaled up or down: by the width, then cut back to the height.
        {32, 24, 420, 300, {10, 0, 400, 300}},
        {1280, 960, 420, 300, {10, 0, 400, 300}},
        // Taller than wide, or square: scaled by the height; the 93.5 margin rounds to the even 94.
        {224, 288, 420, 300, {94, 0, 233, 300}},
        {256, 256, 420, 300, {60, 0, 300, 300}},
        // A 92.5 margin goes down to 92, where rounding half away from zero would give 93.
        {224, 288, 418, 300, {92, 0, 233, 300}},
        // Wide enough to stay within the height: centred vertically.
        {400, 100, 420, 300, {0, 98, 420, 105}},
        // Taller than wide but the area is narrower still: cut back to the width; 16.5 gives 16.
        {240, 320, 200, 300, {0, 16, 200, 267}},
        // A scaled width of exactly 2.5 becomes 2, so the margin is (100 - 2) / 2.
        {5, 6, 100, 3, {49, 0, 2, 3}},
        // Extreme proportions stay finite and inside the area.
        {65535, 1, 420, 300, {0, 150, 420, 0}},
        {1, 65535, 420, 300, {210, 0, 0, 300}},
        // Nothing to draw, or nowhere to draw it.
        {0, 240, 420, 300, {}},
        {320, -240, 420, 300, {}},
        {320, 240, 0, 300, {}},
        {320, 240, 420, -300, {}},
    };
    for (const auto& [w, h, areaW, areaH, expected] : cases)
        EXPECT_EQ(PlaceScreenshot(w, h, areaW, areaH), expected) << w << "x" << h << " in " << areaW << "x" << areaH;

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
                ASSERT_TRUE((QRect(QPoint(0, 0), area).contains(r) || (r.isEmpty() && r.x() >= 0 && r.y() >= 0)) &&
                            (r.width() == area.width() || r.height() == area.height()))
                    << w << "x" << h << " in " << area.width() << "x" << area.height();
            }
        }
    }
}
