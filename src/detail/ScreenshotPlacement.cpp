#include "detail/ScreenshotPlacement.h"

#include <cmath>

namespace zelvora {

namespace {

// Half to even, independent of whatever rounding mode the caller left set.
int RoundHalfEven(double value) {
    const double down = std::floor(value);
    const double fraction = value - down;
    double rounded = down;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(down, 2.0) != 0.0))
        rounded = down + 1.0;
    return static_cast<int>(rounded);
}

} // namespace

QRect PlaceScreenshot(int w, int h, int areaW, int areaH) {
    if (w <= 0 || h <= 0 || areaW <= 0 || areaH <= 0)
        return {};

    const double rw = static_cast<double>(areaW) / w;
    const double rh = static_cast<double>(areaH) / h;
    int newW;
    int newH;
    if (w > h) {
        newW = RoundHalfEven(w * rw);
        newH = RoundHalfEven(h * rw);
    } else {
        newH = RoundHalfEven(h * rh);
        newW = RoundHalfEven(w * rh);
    }
    // The scale taken from one side can overflow the other; shrink to fit, from the rounded sizes.
    if (newW > areaW) {
        newH = RoundHalfEven(static_cast<double>(areaW) / newW * newH);
        newW = areaW;
    }
    if (newH > areaH) {
        newW = RoundHalfEven(static_cast<double>(areaH) / newH * newW);
        newH = areaH;
    }
    const int y = RoundHalfEven((areaH - newH) / 2.0);
    const int x = RoundHalfEven((areaW - newW) / 2.0);
    return QRect(x, y, newW, newH);
}

} // namespace zelvora
