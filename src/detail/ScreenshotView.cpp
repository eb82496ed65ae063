#include "detail/ScreenshotView.h"

#include "detail/PcxDecoder.h"
#include "detail/ScreenshotPlacement.h"

#include <QPainter>

namespace zelvora {

ScreenshotView::ScreenshotView(const QSize& size, QWidget* parent) : QWidget(parent) {
    setFixedSize(size);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScreenshotView::ShowScreenshot(const QString& path) {
    const QImage image = LoadPcx(path);
    const QRect placement =
        image.isNull() ? QRect() : PlaceScreenshot(image.width(), image.height(), width(), height());
    if (placement.isEmpty()) {
        Clear();
        return;
    }
    placement_ = placement;
    picture_ = image.scaled(placement.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    update();
}

void ScreenshotView::Clear() {
    picture_ = QImage();
    placement_ = QRect();
    update();
}

void ScreenshotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (!picture_.isNull())
        painter.drawImage(placement_.topLeft(), picture_);
}

} // namespace zelvora
