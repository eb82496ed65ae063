#include "DemoGames.h"

#include <QSet>

#include <random>

namespace zelvora::standin {

namespace {

// A board family: the games on it share a driver, processors and sound chips, and its makers
// and years are the ones that family had.
struct Hardware {
    const char* driver;
    std::array<const char*, 3> cpus;
    std::array<const char*, 3> sounds;
    std::vector<const char*> makers;
    int firstYear;
    int lastYear;
};

const std::vector<Hardware>& Boards() {
    static const std::vector<Hardware> boards = {
        {"pacman.c", {"Z80", "", ""}, {"Namco", "", ""}, {"Namco", "Midway"}, 1979, 1984},
        {"galaxian.c", {"Z80", "", ""}, {"DAC", "Samples", ""}, {"Namco", "Konami", "Stern"}, 1979, 1983},
        {"williams.c", {"M6809", "M6808", ""}, {"DAC", "", ""}, {"Williams"}, 1980, 1987},
        {"dkong.c", {"Z80", "I8035", ""}, {"DAC", "Samples", ""}, {"Nintendo"}, 1981, 1984},
        {"galaga.c", {"Z80", "Z80", "Z80"}, {"Namco", "Samples", ""}, {"Namco"}, 1981, 1984},
        {"atarisy1.c", {"M68010", "M6502", ""}, {"YM2151", "POKEY", "TMS5220"}, {"Atari Games"}, 1984, 1988},
        {"system16.c", {"M68000", "Z80", ""}, {"YM2151", "UPD7759", ""}, {"Sega"}, 1985, 1991},
        {"dec0.c", {"M68000", "M6502", ""}, {"YM2203", "YM3812", "OKIM6295"}, {"Data East"}, 1987, 1990},
        {"m72.c", {"V30", "Z80", ""}, {"YM2151", "DAC", ""}, {"Irem"}, 1987, 1991},
        {"cps1.c", {"M68000", "Z80", ""}, {"YM2151", "OKIM6295", ""}, {"Capcom"}, 1988, 1995},
        {"taito_f2.c", {"M68000", "Z80", ""}, {"YM2610", "", ""}, {"Taito"}, 1988, 1995},
        {"cps2.c", {"M68000", "Z80", ""}, {"QSound", "", ""}, {"Capcom"}, 1993, 2002},
        {"konamigx.c", {"M68EC020", "M68000", ""}, {"K054539", "K054539", ""}, {"Konami"}, 1994, 2000},
        {"psikyo.c", {"M68EC020", "Z80", ""}, {"YM2610", "", ""}, {"Psikyo"}, 1993, 1999},
    };
    return boards;
}

const Hardware NeoGeo{"neogeo.c", {"M68000", "Z80", ""}, {"YM2610", "", ""}, {}, 1990, 2002};

struct NeoGeoGame {
    const char* name;
    const char* title;
    const char* maker;
    int year;
};

const NeoGeoGame NeoGeoGames[] = {
    {"nam1975", "NAM-1975", "SNK", 1990},
    {"fatfury1", "Fatal Fury - King of Fighters", "SNK", 1991},
    {"wh1", "World Heroes", "Alpha Denshi Co.", 1992},
    {"aof", "Art of Fighting", "SNK", 1992},
    {"samsho", "Samurai Shodown", "SNK", 1993},
    {"pulstar", "Pulstar", "Aicom", 1995},
    {"mslug", "Metal Slug - Super Vehicle-001", "Nazca", 1996},
    {"lastblad", "The Last Blade", "SNK", 1997},
    {"neobombe", "Neo Bomberman", "Hudson", 1997},
    {"blazstar", "Blazing Star", "Yumekobo", 1998},
    {"kof98", "The King of Fighters '98", "SNK", 1998},
    {"rbff2", "Real Bout Fatal Fury 2", "SNK", 1998},
    {"garou", "Garou - Mark of the Wolves", "SNK", 1999},
    {"kof2000", "The King of Fighters 2000", "SNK", 2000},
    {"kof2001", "The King of Fighters 2001", "Eolith", 2001},
    {"mslug4", "Metal Slug 4", "Mega", 2002},
};

struct Variant {
    const char* suffix;  // appended to the title
    const char* wording; // how the game list document's notes call it
};

const Variant Variants[] = {
    {" (Japan)", "Japanese version"}, {" (set 2)", "alternate version"}, {" (bootleg)", "bootleg"},
    {" (US)", "US version"},          {" (World)", "World version"},     {" (prototype)", "prototype"},
};

const char* const Issues[] = {
    "- Some sound effects are missing.",
    "- The colors of the attract mode are not right.",
    "- Slows down when many sprites are on the screen.",
    "- The high score table is not saved between runs.",
    "- Cocktail mode flips the screen for the second player only.",
};

class Dice {
public:
    explicit Dice(unsigned seed) : rng_(seed) {}
    // 0 to n - 1; a plain modulo, so the same seed gives the same games with every library.
    int below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool percent(int p) { return below(100) < p; }
    template <typename T> const T& pick(const std::vector<T>& list) {
        return list[static_cast<size_t>(below(static_cast<int>(list.size())))];
    }

private:
    std::mt19937 rng_;
};

QString Cut(const QString& line, int from, int to) {
    return line.mid(from - 1, to - from + 1).trimmed();
}

QString Centre(const QString& word, int width) {
    const qsizetype left = (width - word.size()) / 2;
    return (QString(left, QLatin1Char(' ')) + word).leftJustified(width, QLatin1Char(' '));
}

QString TableRow(const QString& title, const QStringList& statuses, const QString& rom) {
    QString row = QStringLiteral("| %1 |").arg(title.left(20).leftJustified(20, QLatin1Char(' ')));
    for (const QString& status : statuses)
        row += Centre(status, 8) + QLatin1Char('|');
    return row + QStringLiteral(" %1 |").arg(rom.leftJustified(8, QLatin1Char(' ')));
}

void Equip(StandinGame& game, const Hardware& board) {
    game.driver = QLatin1String(board.driver);
    for (size_t i = 0; i < 3; ++i) {
        game.cpus[i] = QLatin1String(board.cpus[i]);
        game.sounds[i] = QLatin1String(board.sounds[i]);
    }
}

QString NewSetName(const QString& parent, QSet<QString>& taken) {
    for (const char letter : QByteArray("jab2uw3c")) {
        const QString name = parent.left(7) + QLatin1Char(letter);
        if (!taken.contains(name)) {
            taken.insert(name);
            return name;
        }
    }
    return {};
}

} // namespace

std::vector<DemoGame> MakeDemoGames(const QString& gamelistText, unsigned seed) {
    Dice dice(seed);
    QSet<QString> taken;
    std::vector<DemoGame> parents;

    for (const QString& line : gamelistText.split(QLatin1Char('\n'))) {
        const QString row = line.trimmed();
        if (!row.startsWith(QLatin1Char('|')) || row.startsWith(QLatin1String("|--")) ||
            Cut(row, 3, 6) == QLatin1String("Game") || Cut(row, 34, 41) == QLatin1String("Accurate"))
            continue;
        const QString rom = Cut(row, 71, 78);
        if (rom.isEmpty() || rom.contains(QLatin1Char(' ')))
            continue;
        taken.insert(rom);
        if (!dice.percent(40))
            continue;
        DemoGame demo;
        demo.game.name = rom;
        demo.game.description = Cut(row, 3, 22);
        demo.gamelistRow = row;
        const Hardware& board = dice.pick(Boards());
        Equip(demo.game, board);
        demo.game.maker = QLatin1String(dice.pick(board.makers));
        demo.game.year = QString::number(board.firstYear + dice.below(board.lastYear - board.firstYear + 1));
        parents.push_back(demo);
    }
    for (const NeoGeoGame& neo : NeoGeoGames) {
        DemoGame demo;
        demo.game.name = QLatin1String(neo.name);
        demo.game.description = QLatin1String(neo.title);
        demo.game.maker = QLatin1String(neo.maker);
        demo.game.year = QString::number(neo.year);
        Equip(demo.game, NeoGeo);
        demo.gamelistRow = TableRow(demo.game.description,
                                    {QStringLiteral("Yes"), QStringLiteral("Yes"),
                                     dice.percent(30) ? QStringLiteral("Partial") : QStringLiteral("Yes"),
                                     QStringLiteral("No"), QStringLiteral("n/a")},
                                    demo.game.name);
        taken.insert(demo.game.name);
        parents.push_back(demo);
    }
    // The game list document's table is in title order, like the real one.
    std::stable_sort(parents.begin(), parents.end(), [](const DemoGame& a, const DemoGame& b) {
        return a.game.description.compare(b.game.description, Qt::CaseInsensitive) < 0;
    });

    std::vector<DemoGame> games;
    for (DemoGame& parent : parents) {
        std::vector<DemoGame> clones;
        QStringList body;
        const int count = dice.percent(45) ? 1 + dice.below(2) : 0;
        for (int c = 0; c < count; ++c) {
            const QString name = NewSetName(parent.game.name, taken);
            if (name.isEmpty())
                break;
            const Variant& variant = Variants[dice.below(std::size(Variants))];
            DemoGame clone;
            clone.game = parent.game;
            clone.game.name = name;
            clone.game.parent = parent.game.name;
            clone.game.description = parent.game.description + QLatin1String(variant.suffix);
            if (QByteArray(variant.suffix) == " (bootleg)")
                clone.game.maker = QStringLiteral("bootleg");
            clones.push_back(clone);
            if (body.isEmpty())
                body << QStringLiteral("Clones supported:");
            body << QStringLiteral("  %1 (\"%2\")").arg(QLatin1String(variant.wording), name);
        }
        if (dice.percent(15)) {
            if (!body.isEmpty())
                body << QString();
            body << QStringLiteral("Known issues:") << QLatin1String(Issues[dice.below(std::size(Issues))]);
        }
        if (!body.isEmpty()) {
            const QString title = QStringLiteral("%1 (\"%2\")").arg(parent.game.description, parent.game.name);
            parent.note = QStringList{title, QString(title.size(), QLatin1Char('='))} + body;
        }
        games.push_back(parent);
        games.insert(games.end(), clones.begin(), clones.end());
    }

    for (DemoGame& demo : games) {
        const int roll = dice.below(100);
        demo.game.verify = roll < 5 ? VerifyStatus::Missing : roll < 14 ? VerifyStatus::Bad : VerifyStatus::Good;
        demo.zip = demo.game.verify != VerifyStatus::Missing;
        demo.screenshot = dice.percent(85);
    }
    return games;
}

QString DemoGamelist(const std::vector<DemoGame>& games) {
    const QString rule(80, QLatin1Char('='));
    QStringList lines{
        QStringLiteral("Supported Games"),
        QStringLiteral("---------------"),
        QString(),
        QStringLiteral("Here is a quick list of the currently supported games; read on for details."),
        QStringLiteral("The list doesn't include variants of the same game; use the -listclones command"),
        QStringLiteral("to list them."),
        QString(),
        QString(),
        rule,
        QStringLiteral("|                      |        |Accurate|        |Hi score|Cocktail|Directory |"),
        QStringLiteral("| Game Name            |Playable| colors | Sound  |  save  |  mode  |   Name   |"),
        rule};
    for (const DemoGame& demo : games) {
        if (!demo.gamelistRow.isEmpty())
            lines << demo.gamelistRow;
    }
    lines << QStringLiteral("|----------------------|--------|--------|--------|--------|--------|----------|")
          << QString() << QStringLiteral("(1) Needs samples provided separately");
    for (const DemoGame& demo : games) {
        if (!demo.note.isEmpty())
            lines << QString() << QString() << QString() << demo.note;
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace zelvora::standin
