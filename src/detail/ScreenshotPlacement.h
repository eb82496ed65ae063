#pragma once

#include <QRect>

namespace zelvora {

// Where a screenshot of w x h pixels is drawn in a picture area of areaW x areaH: scaled up or
// down to fill the area along one side, keeping its proportions, and centred along the other.
// The scale is taken from the width when the picture is wider than tall, from the height
// otherwise, and cut back when the other side then overflows; every step rounds half to even. A
// picture with no pixels, or an empty area, gives an empty rectangle.
QRect PlaceScreenshot(int w, int h, int areaW, int areaH);

} // namespace zelvora
