#include "detail/ScreenshotView.h"

#include "detail/ScreenshotImage.h"
#include "detail/ScreenshotPlacement.h"

#include <QPainter>

#include <algorithm>

namespace zelvora {

ScreenshotView::ScreenshotView(const QSize& startingSize, const QSize& minimumSize, QWidget* parent)
    : QWidget(parent), startingSize_(startingSize) {
    setMinimumSize(minimumSize);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScreenshotView::KeepProportions(bool keep) {
    keepProportions_ = keep;
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(keep);
    setSizePolicy(policy);
    updateGeometry();
}

int ScreenshotView::heightForWidth(int width) const {
    return width * startingSize_.height() / std::max(1, startingSize_.width());
}

void ScreenshotView::ShowScreenshot(const QString& path) {
    showImage(LoadScreenshot(path), false);
}

void ScreenshotView::ShowPicture(const QImage& picture) {
    showImage(picture, true);
}

void ScreenshotView::showImage(const QImage& picture, bool smooth) {
    // An area not laid out yet places the picture once it has a size.
    source_ = picture;
    smooth_ = smooth;
    message_.clear();
    if (source_.isNull())
        Clear();
    else
        Place();
}

void ScreenshotView::ShowMessage(const QString& text) {
    Clear();
    message_ = text;
}

void ScreenshotView::Clear() {
    message_.clear();
    source_ = QImage();
    picture_ = QImage();
    placement_ = QRect();
    update();
}

void ScreenshotView::Place() {
    placement_ = source_.isNull() ? QRect() : PlaceScreenshot(source_.width(), source_.height(), width(), height());
    picture_ = placement_.isEmpty() ? QImage()
                                    : source_.scaled(placement_.size(), Qt::IgnoreAspectRatio,
                                                     smooth_ ? Qt::SmoothTransformation : Qt::FastTransformation);
    update();
}

void ScreenshotView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!source_.isNull())
        Place();
}

void ScreenshotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (!picture_.isNull())
        painter.drawImage(placement_.topLeft(), picture_);
    else if (!message_.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, message_);
    }
}

} // namespace zelvora
