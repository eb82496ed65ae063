#pragma once

#include <QRect>

namespace zelvora {

// Window layouts are designed in twips; the screen has 15 of them to a pixel.
constexpr int TwipsPerPixel = 15;

constexpr int Px(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

constexpr QRect PxRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

} // namespace zelvora
