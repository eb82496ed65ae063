#include "Screenshot.h"

#include <QPainter>

#include <random>

namespace zelvora::standin {

namespace {

bool Upright(const QString& driver) {
    for (const char* board : {"pacman.c", "galaxian.c", "galaga.c", "dkong.c"}) {
        if (driver == QLatin1String(board))
            return true;
    }
    return false;
}

// FNV-1a: unlike qHash it does not depend on a per-process seed.
unsigned Seed(const QString& text) {
    unsigned hash = 2166136261u;
    for (const char byte : text.toUtf8())
        hash = (hash ^ static_cast<unsigned char>(byte)) * 16777619u;
    return hash;
}

} // namespace

QImage DrawScreenshot(const StandinGame& game) {
    const QSize size = Upright(game.driver) ? QSize(224, 288) : QSize(320, 240);
    QImage image(size, QImage::Format_RGB32);
    std::mt19937 rng(Seed(game.name));
    const auto colour = [&rng] { return QColor::fromHsv(static_cast<int>(rng() % 360), 200, 255); };
    const auto below = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

    image.fill(QColor::fromHsv(static_cast<int>(rng() % 360), 160, 60));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::white);
    for (int i = 0; i < 60; ++i)
        painter.drawPoint(below(size.width()), below(size.height()));
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        painter.setBrush(colour());
        const QRect box(below(size.width()), below(size.height()), 12 + below(60), 12 + below(40));
        if (i % 2)
            painter.drawEllipse(box);
        else
            painter.drawRect(box);
    }

    QFont font(QStringLiteral("Monospace"));
    font.setStyleStrategy(QFont::NoAntialias);
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 4, size.width(), 14), Qt::AlignHCenter, QStringLiteral("1UP   HIGH SCORE   2UP"));
    painter.drawText(QRect(0, size.height() - 20, size.width(), 14), Qt::AlignHCenter,
                     QStringLiteral("(C) %1 %2").arg(game.year, game.maker.toUpper()));
    font.setPixelSize(18);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour());
    painter.drawText(QRect(8, 0, size.width() - 16, size.height()), Qt::AlignCenter | Qt::TextWordWrap,
                     game.description.toUpper());
    return image;
}

namespace {

QImage DrawArtwork(const StandinGame& game, QSize size, bool flyer) {
    QImage image(size, QImage::Format_RGB32);
    std::mt19937 rng(Seed(game.name + (flyer ? QStringLiteral("/flyer") : QStringLiteral("/title"))));
    const int hue = static_cast<int>(rng() % 360);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(hue, 220, 90));
    sky.setColorAt(1, QColor::fromHsv((hue + 60) % 360, 200, 230));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        painter.setBrush(QColor::fromHsv((hue + 120 + 30 * i) % 360, 160, 255, 90));
        const int r = 20 + static_cast<int>(rng() % 60);
        painter.drawEllipse(QPoint(static_cast<int>(rng() % static_cast<unsigned>(size.width())),
                                   static_cast<int>(rng() % static_cast<unsigned>(size.height()))),
                            r, r);
    }
    QFont font(QStringLiteral("Sans"));
    font.setBold(true);
    font.setPixelSize(flyer ? 40 : 34);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QRect titleBox =
        flyer ? QRect(16, 40, size.width() - 32, 200) : QRect(12, 0, size.width() - 24, size.height());
    painter.drawText(titleBox, Qt::AlignCenter | Qt::TextWordWrap, game.description.section(QLatin1String(" ("), 0, 0));
    if (flyer) {
        font.setPixelSize(18);
        font.setBold(false);
        painter.setFont(font);
        painter.drawText(QRect(0, size.height() - 90, size.width(), 60), Qt::AlignHCenter | Qt::AlignVCenter,
                         QStringLiteral("%1\n%2").arg(game.maker, game.year));
    }
    return image;
}

} // namespace

QImage DrawTitle(const StandinGame& game) {
    return DrawArtwork(game, QSize(320, 240), false);
}

QImage DrawFlyer(const StandinGame& game) {
    return DrawArtwork(game, QSize(300, 420), true);
}

} // namespace zelvora::standin
