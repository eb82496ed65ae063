#pragma once

#include <QImage>
#include <QWidget>

namespace zelvora {

// A picture area showing one screenshot, scaled to fill it in one direction without distortion
// and centred in the other. It starts at its starting size and grows with the room its layout
// gives it; the screenshot is placed anew whenever the area changes size.
class ScreenshotView : public QWidget {
    Q_OBJECT

public:
    ScreenshotView(const QSize& startingSize, const QSize& minimumSize, QWidget* parent = nullptr);

    // Decodes and shows the file. A file that cannot be decoded clears the area, so the picture
    // of another game never stays behind.
    void ShowScreenshot(const QString& path);
    // Shows a decoded picture, scaled smoothly: artwork is drawn, not pixels of a game's screen.
    void ShowPicture(const QImage& picture);
    void Clear();
    // Clears the area and says why in its middle, as "No flyer for this game".
    void ShowMessage(const QString& text);
    const QString& Message() const { return message_; }
    bool IsEmpty() const { return source_.isNull(); }
    QRect Placement() const { return placement_; }

    // An area in a column of text keeps the proportions of its starting size as it widens, so
    // that it grows in both directions.
    void KeepProportions(bool keep);

    QSize sizeHint() const override { return startingSize_; }
    bool hasHeightForWidth() const override { return keepProportions_; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showImage(const QImage& picture, bool smooth);
    void Place();

    QSize startingSize_;
    bool keepProportions_ = false;
    QImage source_;  // as decoded
    QImage picture_; // scaled to placement_'s size
    QRect placement_;
    bool smooth_ = false;
    QString message_;
};

} // namespace zelvora
