#include "about/AboutDialog.h"

#include "platform/WindowPlacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvora {

namespace {

constexpr int AnimationInterval = 75; // milliseconds
constexpr int Lamp = 24;              // the blinking pictures are this many pixels square

// An arcade cabinet, drawn rather than shipped.
QPixmap Cabinet() {
    QPixmap pixmap(48, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.moveTo(8, 2);
    body.lineTo(40, 2);
    body.lineTo(40, 26);
    body.lineTo(46, 36);
    body.lineTo(46, 62);
    body.lineTo(2, 62);
    body.lineTo(2, 36);
    body.lineTo(8, 26);
    body.closeSubpath();
    p.setPen(QPen(QColor(20, 20, 40), 1.5));
    p.setBrush(QColor(70, 40, 140));
    p.drawPath(body);
    p.setBrush(QColor(250, 200, 40));
    p.drawRect(10, 4, 28, 5); // marquee
    p.setBrush(QColor(10, 30, 20));
    p.drawRect(11, 11, 26, 16); // screen
    p.setPen(QColor(80, 255, 120));
    p.drawLine(15, 22, 20, 17);
    p.drawLine(20, 17, 26, 22);
    p.setPen(QPen(QColor(20, 20, 40), 1.5));
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(QPointF(14, 40), 3, 3); // stick
    p.drawEllipse(QPointF(28, 41), 2.5, 2.5);
    p.drawEllipse(QPointF(35, 41), 2.5, 2.5);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(20, 50, 8, 6); // coin door
    return pixmap;
}

// One blinking lamp of the control panel.
QPixmap LampPicture(const QColor& colour) {
    QPixmap pixmap(Lamp, Lamp);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(Lamp / 2.0 - 3, Lamp / 2.0 - 3), Lamp / 2.0);
    glow.setColorAt(0, colour.lighter(170));
    glow.setColorAt(1, colour.darker(130));
    p.setPen(QPen(colour.darker(200), 1));
    p.setBrush(glow);
    p.drawEllipse(QRectF(2, 2, Lamp - 4, Lamp - 4));
    return pixmap;
}

QLabel* Picture(const QPixmap& pixmap, const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.size());
    return label;
}

} // namespace

AboutDialog::AboutDialog(QWidget* mainWindow, const QString& mameVersion)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("AboutDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("About Zelvora"));
    OpenOver(this, mainWindow);

    Image1 = Picture(Cabinet(), QStringLiteral("Image1"), this);
    Image2 = Picture(LampPicture(QColor(240, 60, 60)), QStringLiteral("Image2"), this);
    Image3 = Picture(LampPicture(QColor(60, 200, 80)), QStringLiteral("Image3"), this);
    Image4 = Picture(LampPicture(QColor(60, 120, 240)), QStringLiteral("Image4"), this);
    Image5 = Picture(LampPicture(QColor(250, 200, 40)), QStringLiteral("Image5"), this);
    thanksLabel = new QLabel(QStringLiteral("Thank you MAME Developers"), this);
    thanksLabel->setObjectName(QStringLiteral("thanksLabel"));
    QFont thanks = thanksLabel->font();
    thanks.setBold(true);
    thanksLabel->setFont(thanks);
    QString versions =
        QStringLiteral("Zelvora %1, a front-end for the MAME arcade emulator").arg(QLatin1String(ZELVORA_VERSION));
    if (!mameVersion.isEmpty())
        versions += QStringLiteral("\nRunning with MAME %1").arg(mameVersion);
    versionLabel = new QLabel(versions, this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    versionLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);

    // The lamps keep their places when hidden, so nothing moves while they blink.
    auto* lamps = new QGridLayout;
    lamps->setHorizontalSpacing(6);
    int column = 0;
    for (QLabel* lamp : {Image2, Image3, Image4, Image5}) {
        QSizePolicy keep = lamp->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        lamp->setSizePolicy(keep);
        lamps->addWidget(lamp, 0, column++);
    }
    lamps->setColumnStretch(column, 1);
    auto* text = new QVBoxLayout;
    text->addWidget(thanksLabel);
    text->addWidget(versionLabel);
    text->addSpacing(8);
    text->addLayout(lamps);
    text->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(okButton, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    animationTimer = new QTimer(this);
    animationTimer->setObjectName(QStringLiteral("animationTimer"));
    animationTimer->setInterval(AnimationInterval);
    connect(animationTimer, &QTimer::timeout, this, [this] { nextFrame(); });
    connect(okButton, &QPushButton::clicked, this, [this] { finish(); });
    start();
}

void AboutDialog::start() {
    animationTimer->start();
}

void AboutDialog::nextFrame() {
    const AboutAnimation::Frame frame = animation_.Tick();
    const auto apply = [](QLabel* picture, const std::optional<bool>& shown) {
        if (shown)
            picture->setVisible(*shown);
    };
    apply(Image4, frame.image4);
    apply(Image3, frame.image3);
    apply(Image2, frame.image2);
    apply(Image5, frame.image5);
}

void AboutDialog::finish() {
    accept();
}

void AboutDialog::done(int result) {
    animationTimer->stop();
    const QPointer<QWidget> mainWindow = mainWindow_;
    QDialog::done(result);
    if (mainWindow) {
        mainWindow->activateWindow();
        mainWindow->setFocus();
    }
}

} // namespace zelvora
