#include "detail/ScreenShotPage.h"

#include "detail/ScreenshotImage.h"
#include "detail/ScreenshotView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <iterator>

namespace zelvora {

namespace {

constexpr int KindCount = static_cast<int>(std::size(kArtworkKinds));

// "No flyer for this game"; PCB keeps its capitals.
QString nothingOf(ArtworkKind kind) {
    const QString caption = ArtworkKindCaption(kind);
    return QStringLiteral("No %1 for this game").arg(kind == ArtworkKind::Pcb ? caption : caption.toLower());
}

} // namespace

ScreenShotPage::ScreenShotPage(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    previousButton = new QToolButton(this);
    previousButton->setObjectName(QStringLiteral("previousPictureButton"));
    previousButton->setArrowType(Qt::LeftArrow);
    previousButton->setToolTip(QStringLiteral("Previous kind of picture"));
    kindChoice = new QComboBox(this);
    kindChoice->setObjectName(QStringLiteral("pictureKindChoice"));
    for (const ArtworkKind kind : kArtworkKinds)
        kindChoice->addItem(ArtworkKindCaption(kind));
    nextButton = new QToolButton(this);
    nextButton->setObjectName(QStringLiteral("nextPictureButton"));
    nextButton->setArrowType(Qt::RightArrow);
    nextButton->setToolTip(QStringLiteral("Next kind of picture"));
    for (QWidget* control : {static_cast<QWidget*>(previousButton), static_cast<QWidget*>(kindChoice),
                             static_cast<QWidget*>(nextButton)}) {
        // The list keeps the keyboard, as it always had it.
        control->setFocusPolicy(Qt::NoFocus);
        control->hide();
    }
    bar->addStretch(1);
    bar->addWidget(previousButton);
    bar->addWidget(kindChoice);
    bar->addWidget(nextButton);
    bar->addStretch(1);

    view = new ScreenshotView(QSize(420, 300), QSize(140, 100), this);
    view->setObjectName(QStringLiteral("screenshotView"));
    view->installEventFilter(this);
    gameTitle = new QLabel(this);
    gameTitle->setObjectName(QStringLiteral("gameTitle"));
    gameTitle->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    gameTitle->setWordWrap(true);
    gameTitle->setTextFormat(Qt::PlainText);
    QFont font = gameTitle->font();
    font.setBold(true);
    gameTitle->setFont(font);
    column->addLayout(bar);
    column->addWidget(view, 1);
    column->addWidget(gameTitle);

    connect(previousButton, &QToolButton::clicked, this, [this] { step(-1); });
    connect(nextButton, &QToolButton::clicked, this, [this] { step(1); });
    connect(kindChoice, &QComboBox::activated, this, [this](int index) {
        SetKind(kArtworkKinds[index]);
        Q_EMIT kindChosen(kind_);
    });
}

void ScreenShotPage::SetArtworkRoots(const QStringList& roots) {
    finder_.SetRoots(roots);
    hasArtwork_ = !roots.isEmpty();
    for (QWidget* control :
         {static_cast<QWidget*>(previousButton), static_cast<QWidget*>(kindChoice), static_cast<QWidget*>(nextButton)})
        control->setVisible(hasArtwork_);
}

void ScreenShotPage::SetKind(ArtworkKind kind) {
    kind_ = kind;
    kindChoice->setCurrentIndex(static_cast<int>(kind));
    showPicture();
}

void ScreenShotPage::Show(const QString& rom, const QString& parent, const QString& screenshot) {
    rom_ = rom;
    parent_ = parent;
    screenshot_ = screenshot;
    showPicture();
}

void ScreenShotPage::step(int by) {
    SetKind(kArtworkKinds[(static_cast<int>(kind_) + by + KindCount) % KindCount]);
    Q_EMIT kindChosen(kind_);
}

void ScreenShotPage::showPicture() {
    const ArtworkKind kind = hasArtwork_ ? kind_ : ArtworkKind::Snapshot;
    if (kind == ArtworkKind::Snapshot && !screenshot_.isEmpty()) {
        view->ShowScreenshot(screenshot_);
        return;
    }
    if (!hasArtwork_ || rom_.isEmpty()) {
        view->Clear();
        return;
    }
    const std::optional<ArtworkFile> file = finder_.Find(kind, rom_, parent_);
    if (!file) {
        view->ShowMessage(finder_.Problem().isEmpty() ? nothingOf(kind) : finder_.Problem());
        return;
    }
    const QImage picture = DecodePicture(file->bytes, file->name);
    if (picture.isNull())
        view->ShowMessage(QStringLiteral("%1 is not a picture that can be shown").arg(file->name));
    else
        view->ShowPicture(picture);
}

bool ScreenShotPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view && event->type() == QEvent::Wheel && hasArtwork_) {
        // One notch of an ordinary wheel is 120; a touchpad sends many small turns.
        wheel_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
        while (wheel_ <= -120 || wheel_ >= 120) {
            const int by = wheel_ < 0 ? 1 : -1;
            wheel_ += by * 120;
            step(by);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zelvora
