#pragma once

#include <QString>
#include <QVariantMap>

#include <vector>

namespace zelvora {
class Database;
class Recordset;
} // namespace zelvora

namespace zelvora::test {

struct GeneratedGame {
    QString rom;
    QString description;
    QString clone; // empty for a parent
};

// Adds `games` realistic game records to an open catalogue in one transaction: short set names,
// titles with makers' variants, about a third of them clones of an earlier parent, drivers (some
// Neo Geo), processors, sound chips, years, makers, options and status marks. The same seed
// gives the same catalogue. Returns the games in the order they were added.
std::vector<GeneratedGame> GenerateGames(Database& db, int games, unsigned seed = 1);

// Adds one game to the recordset's table: its set name, its description and any other fields.
void AddGame(Recordset& rs, const QString& rom, const QString& description, const QVariantMap& fields = {});

// A current catalogue with `games` games in programDir, made through the start-up sequence.
std::vector<GeneratedGame> MakeCatalogue(const QString& programDir, int games, unsigned seed = 1);

} // namespace zelvora::test
