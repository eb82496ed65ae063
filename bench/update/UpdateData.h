#pragma once

// MAME as the update benchmarks see it: 50,000 games (20,000 of them clones) and a game list
// document of 50,000 table rows and 5,000 notes, to be merged into a catalogue that already holds
// 45,000 games: 40,000 still listed, 5,000 no longer.
#include "CatalogueGenerator.h"
#include "GamesFile.h"
#include "Listings.h"
#include "TestDirs.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/Variables.h"

#include <QFile>

#include <cstdlib>
#include <vector>

namespace zelvora::bench {

using standin::StandinGame;

constexpr int Games = 50000;
constexpr int Clones = 20000;
constexpr int Notes = 5000;
constexpr int Kept = 40000;
constexpr int Expired = 5000;

inline QString setName(int i) {
    return QStringLiteral("s%1").arg(i, 6, 10, QLatin1Char('0'));
}

inline std::vector<StandinGame> listedGames() {
    static const char* const makers[] = {"Namco", "Konami", "Capcom", "SNK", "Taito", "Sega", "Irem", "Data East"};
    static const char* const cpus[] = {"Z80", "M68000", "M6809", "M6502", "I8039", ""};
    std::vector<StandinGame> games(Games);
    for (int i = 0; i < Games; ++i) {
        StandinGame& g = games[i];
        g.name = setName(i);
        // The last 20,000 are clones of parents among the first 30,000.
        if (i >= Games - Clones)
            g.parent = setName((i * 7) % (Games - Clones));
        g.year = QString::number(1975 + i % 30);
        g.maker = QLatin1String(makers[i % 8]);
        g.description = QStringLiteral("Game number %1 (%2 set %3)").arg(i).arg(g.maker).arg(i % 13);
        g.driver = QStringLiteral("drv%1.c").arg(i % 900);
        g.cpus = {QLatin1String(cpus[i % 5]), QLatin1String(cpus[(i + 2) % 6]), QLatin1String(cpus[5])};
        g.sounds = {QStringLiteral("AY8910"), QLatin1String(i % 3 ? "DAC" : ""), QString()};
    }
    return games;
}

inline QStringList gamelist(const std::vector<StandinGame>& games) {
    QStringList lines{
        QStringLiteral("Supported Games"),
        QStringLiteral("---------------"),
        QString(),
        QString(80, QLatin1Char('=')),
        QStringLiteral("|                      |        |Accurate|        |Hi score|Cocktail|Directory |"),
        QStringLiteral("| Game Name            |Playable| colors | Sound  |  save  |  mode  |   Name   |"),
        QString(80, QLatin1Char('='))};
    for (const StandinGame& g : games) {
        lines << QStringLiteral("| %1|  Yes   |  Yes   |   No   |  Yes   |   No   | %2|")
                     .arg(g.description.left(21).leftJustified(21), g.name.leftJustified(9));
    }
    lines << QStringLiteral("|----------------------|--------|--------|--------|--------|--------|----------|")
          << QString();
    for (int n = 0; n < Notes; ++n) {
        const StandinGame& g = games[n * 6];
        lines << QString() << QString() << QStringLiteral("%1 (\"%2\")").arg(g.description, g.name)
              << QString(g.description.size() + 10, QLatin1Char('=')) << QStringLiteral("Known issues:")
              << QStringLiteral("- The sound is not quite right.") << QStringLiteral("- The colours are not verified.");
    }
    return lines;
}

inline void writeLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    for (const QString& line : lines) {
        file.write(line.toLatin1());
        file.write("\n");
    }
}

// The catalogue as it stands before the update, made in `programDir` and moved aside to `before`.
inline void writeCatalogueBefore(const QString& programDir, const std::vector<StandinGame>& games,
                                 const QString& before) {
    Variables vars;
    vars.ProgramDir = programDir;
    PrepareCatalogue(vars);
    Transaction transaction(*vars.CatalogueDb);
    const std::unique_ptr<Recordset> rs = vars.CatalogueDb->OpenRecordset(QStringLiteral("ROMS"));
    for (int i = 0; i < Kept + Expired; ++i) {
        // The first 40,000 listed games, and 5,000 that are listed no more.
        const bool kept = i < Kept;
        test::AddGame(*rs, kept ? games[i].name : QStringLiteral("x%1").arg(i, 6, 10, QLatin1Char('0')),
                      kept ? games[i].description : QStringLiteral("Expired game %1").arg(i),
                      {{QStringLiteral("Default"), i % 2},
                       {QStringLiteral("Sound Card"), i % 4},
                       {QStringLiteral("Active"), -1}});
    }
    transaction.Commit();
    vars.CatalogueDb.reset();
    QFile::remove(before);
    QFile::rename(CatalogueFile(programDir), before);
}

// Puts the catalogue of before the update back in place; nothing may hold it open.
inline void restoreCatalogue(const QString& programDir, const QString& before) {
    const QString file = CatalogueFile(programDir);
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
    QFile::copy(before, file);
}

} // namespace zelvora::bench
