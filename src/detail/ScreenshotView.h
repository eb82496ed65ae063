#pragma once

#include <QImage>
#include <QWidget>

namespace zelvora {

// A picture area showing one screenshot, scaled to fill it in one direction without distortion
// and centred in the other.
class ScreenshotView : public QWidget {
    Q_OBJECT

public:
    ScreenshotView(const QSize& size, QWidget* parent = nullptr);

    // Decodes and shows the file. A file that cannot be decoded clears the area, so the picture
    // of another game never stays behind.
    void ShowScreenshot(const QString& path);
    void Clear();
    bool IsEmpty() const { return picture_.isNull(); }
    QRect Placement() const { return placement_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_; // already scaled to placement_'s size
    QRect placement_;
};

} // namespace zelvora
