#include "Listings.h"

#include <QRegularExpression>

#include <algorithm>

namespace zelvora::standin {

namespace {

// The text cut or padded with blanks to exactly `width` characters.
QString Column(const QString& text, qsizetype width) {
    return text.left(width).leftJustified(width, QLatin1Char(' '));
}

// Appends the text cut or padded to `width` characters, and `gap` blanks after it.
void AppendColumn(QString& line, const QString& text, qsizetype width, qsizetype gap = 0) {
    const qsizetype kept = std::min(text.size(), width);
    line.append(QStringView(text).first(kept));
    line.resize(line.size() + width - kept + gap, QLatin1Char(' '));
}

QString Dashes(qsizetype count) {
    return QString(count, QLatin1Char('-'));
}

QString DetailsLine(const QString& name, const QString& driver, const std::array<QString, 3>& cpus,
                    const std::array<QString, 3>& sounds, const QString& description) {
    // The three processor columns touch each other; the sound chip columns have two blanks
    // between them.
    QString line;
    line.reserve(76 + description.size());
    AppendColumn(line, name, 8, 2);
    AppendColumn(line, driver, 10, 2);
    for (const QString& cpu : cpus)
        AppendColumn(line, cpu, 8);
    for (const QString& sound : sounds)
        AppendColumn(line, sound, 8, 2);
    line.append(description);
    return line;
}

QString GamesLine(const QString& year, const QString& maker, const QString& description) {
    QString line;
    line.reserve(42 + description.size());
    AppendColumn(line, year, 4, 1);
    AppendColumn(line, maker, 37);
    line.append(description);
    return line;
}

// The games a verification pattern names: "*.*" and "*" match every set; otherwise the pattern
// is a wildcard compared without regard to case.
std::vector<const StandinGame*> Matching(const std::vector<StandinGame>& games, const QString& pattern) {
    const bool every = pattern.isEmpty() || pattern == QLatin1String("*") || pattern == QLatin1String("*.*");
    const QRegularExpression wildcard(QRegularExpression::wildcardToRegularExpression(pattern),
                                      QRegularExpression::CaseInsensitiveOption);
    std::vector<const StandinGame*> matching;
    for (const StandinGame& game : games) {
        if (every || wildcard.match(game.name).hasMatch())
            matching.push_back(&game);
    }
    return matching;
}

// A checksum that stays the same from run to run, so reports can be compared.
QString Crc(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return QStringLiteral("%1").arg(qChecksum(bytes) * 65599u + static_cast<unsigned>(bytes.size()), 8, 16,
                                    QLatin1Char('0'));
}

} // namespace

QStringList ListClones(const std::vector<StandinGame>& games) {
    // "Clone of" holds a blank, so the heading can never name a parent set.
    QStringList lines{QStringLiteral("Name:    Clone of:"), Dashes(8) + QLatin1Char(' ') + Dashes(8)};
    for (const StandinGame& game : games) {
        if (!game.parent.isEmpty())
            lines << Column(game.name, 8) + QLatin1Char(' ') + game.parent;
    }
    return lines;
}

QStringList ListGames(const std::vector<StandinGame>& games) {
    QStringList lines{GamesLine(QStringLiteral("year"), QStringLiteral("manufacturer"), QStringLiteral("name")),
                      GamesLine(Dashes(4), Dashes(36), Dashes(36))};
    for (const StandinGame& game : games)
        lines << GamesLine(game.year, game.maker, game.description);
    return lines;
}

QStringList ListDetails(const std::vector<StandinGame>& games) {
    QStringList lines{DetailsLine(QStringLiteral("name"), QStringLiteral("driver"),
                                  {QStringLiteral("cpu 1"), QStringLiteral("cpu 2"), QStringLiteral("cpu 3")},
                                  {QStringLiteral("sound 1"), QStringLiteral("sound 2"), QStringLiteral("sound 3")},
                                  QStringLiteral("name")),
                      DetailsLine(Dashes(8), Dashes(10), {Dashes(7), Dashes(7), Dashes(7)},
                                  {Dashes(8), Dashes(8), Dashes(8)}, Dashes(36))};
    for (const StandinGame& game : games)
        lines << DetailsLine(game.name, game.driver, game.cpus, game.sounds, game.description);
    return lines;
}

QStringList VerifyReport(const std::vector<StandinGame>& games, const QString& pattern) {
    QStringList lines;
    int found = 0;
    int good = 0;
    for (const StandinGame* matched : Matching(games, pattern)) {
        const StandinGame& game = *matched;
        switch (game.verify) {
        case VerifyStatus::Good:
        case VerifyStatus::NoFiles:
            ++found;
            ++good;
            continue;
        case VerifyStatus::Bad:
            ++found;
            lines << QStringLiteral("%1: INCORRECT LENGTH").arg(Column(game.name + QStringLiteral(".1a"), 12))
                  << QStringLiteral("%1: bad CRC (expected %2, found 00000000)")
                         .arg(Column(game.name + QStringLiteral(".2b"), 12), Crc(game.name))
                  << QStringLiteral("error in zipfile %1.zip").arg(game.name)
                  << QStringLiteral("romset %1 is bad").arg(game.name);
            break;
        case VerifyStatus::Missing:
            lines << QStringLiteral("the zipfile %1.zip was not found").arg(game.name)
                  << QStringLiteral("romset %1 not found").arg(game.name);
            break;
        }
        lines << QString();
    }
    lines << QStringLiteral("%1 romsets found, %2 were OK.").arg(found).arg(good);
    return lines;
}

// Today's MAME takes several patterns; a set matching two is reported once.
TodaysReport TodaysVerifyReport(const std::vector<StandinGame>& games, const QStringList& patterns, bool emptyRomPath) {
    TodaysReport report;
    int found = 0;
    int good = 0;
    std::vector<const StandinGame*> matching;
    for (const QString& pattern : patterns) {
        for (const StandinGame* game : Matching(games, pattern)) {
            if (std::find(matching.begin(), matching.end(), game) == matching.end())
                matching.push_back(game);
        }
    }
    for (const StandinGame* matched : matching) {
        const StandinGame& game = *matched;
        if (game.verify == VerifyStatus::Missing || (emptyRomPath && game.verify != VerifyStatus::NoFiles))
            continue;
        ++found;
        const QString parent = game.parent.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(game.parent);
        if (game.verify == VerifyStatus::Good || game.verify == VerifyStatus::NoFiles) {
            ++good;
            report.output << QStringLiteral("romset %1%2 is %3")
                                 .arg(game.name, parent,
                                      game.verify == VerifyStatus::Good ? QStringLiteral("good")
                                                                        : QStringLiteral("best available"));
            continue;
        }
        const QString name = game.name.leftJustified(12);
        report.output << QStringLiteral("%1: %2.1a (4096 bytes) - INCORRECT CHECKSUM:").arg(name, game.name)
                      << QStringLiteral("EXPECTED: CRC(%1) SHA1(0000000000000000000000000000000000000000)")
                             .arg(Crc(game.name).toLower())
                      << QStringLiteral("   FOUND: CRC(00000000)")
                      << QStringLiteral("%1: %2.2b (4096 bytes) - NOT FOUND").arg(name, game.name)
                      << QStringLiteral("romset %1%2 is bad").arg(game.name, parent);
    }
    const QString summary = QStringLiteral("%1 romsets found, %2 were OK.").arg(found).arg(good);
    if (found == good) {
        report.output << summary;
    } else {
        report.errors << summary;
        report.exitCode = 2;
    }
    return report;
}

} // namespace zelvora::standin
