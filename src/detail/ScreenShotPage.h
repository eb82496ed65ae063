#pragma once

#include "detail/ArtworkFinder.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QToolButton;

namespace zelvora {

class ScreenshotView;

// The Screen Shot tab: the selected game's picture and its title under it. Where artwork folders
// are known, a bar above the picture steps through the kinds of picture (snapshot, title, flyer,
// cabinet, marquee, control panel, PCB) with its buttons, its list or the mouse wheel over the
// picture; a kind the game has no picture of says so.
class ScreenShotPage : public QWidget {
    Q_OBJECT

public:
    explicit ScreenShotPage(QWidget* parent = nullptr);

    // The artwork folders, searched in order; none hides the bar and shows snapshots only.
    void SetArtworkRoots(const QStringList& roots);
    ArtworkKind Kind() const { return kind_; }
    // Shows the kind from now on, for the game shown last too.
    void SetKind(ArtworkKind kind);
    // Shows the game's picture of the kind in front. Its snapshot is `screenshot`, the file found
    // in the screenshot folder, or else one under the artwork folders; a clone without a picture
    // takes its parent's.
    void Show(const QString& rom, const QString& parent, const QString& screenshot);

    ScreenshotView* view = nullptr;
    QLabel* gameTitle = nullptr;
    QToolButton* previousButton = nullptr;
    QComboBox* kindChoice = nullptr;
    QToolButton* nextButton = nullptr;

Q_SIGNALS:
    // The user chose another kind.
    void kindChosen(ArtworkKind kind);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int by);
    void showPicture();

    ArtworkFinder finder_;
    bool hasArtwork_ = false;
    ArtworkKind kind_ = ArtworkKind::Snapshot;
    QString rom_, parent_, screenshot_;
    int wheel_ = 0; // the wheel's turn not yet taken as a step
};

} // namespace zelvora
