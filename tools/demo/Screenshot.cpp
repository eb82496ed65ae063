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

} // namespace zelvora::standin
