#pragma once

#include "gamelist/ListedGames.h"

#include <QHash>
#include <QString>

#include <utility>
#include <vector>

namespace zelvora {

class Database;
struct MergeOutcome;

// What an update did to a game, as table LastChanges stores it.
enum class ChangeKind : int { Added = 1, Removed = 2, Renamed = 3, Status = 4, Title = 5 };

// One line of the report. `title` and `status` are the game's as the list shows it now, or for a
// removed game as it showed it last; the old ones are set for a title or status that changed and
// for a renamed game, whose old set name is `oldRom`.
struct GameChange {
    ChangeKind kind = ChangeKind::Added;
    QString rom, title;
    GameStatus status = GameStatus::Unknown;
    QString oldRom, oldTitle;
    GameStatus oldStatus = GameStatus::Unknown;

    bool operator==(const GameChange&) const = default;
};

// The caption of a kind's group: "Added", "Status changed", ...
QString ChangeCaption(ChangeKind kind);
// What changed, in words: "not working → working", the old title, the old set name; empty for a
// game added or removed.
QString ChangeDetail(const GameChange& change);

// The report of one update: what the list showed of each game before the merge, compared with the
// catalogue after it.
class ChangeReport {
public:
    explicit ChangeReport(Database& db);

    // The merge found that `oldRom` is now `newRom`: the pair is neither removed nor added.
    void AddRename(const QString& oldRom, const QString& newRom);
    // The catalogue held games before: the report of a first update would list them all as added.
    bool HadGames() const { return !before_.isEmpty(); }
    // The changes, by kind in ChangeKind's order, each kind by title.
    std::vector<GameChange> Changes(Database& db) const;

    struct Game {
        QString rom, title;
        GameStatus status = GameStatus::Unknown;
    };

private:
    QHash<QString, Game> before_; // by FoldedKey
    std::vector<std::pair<QString, QString>> renames_;
};

// The last update's report in place of the one before, in one transaction; and read back.
void SaveLastChanges(Database& db, const std::vector<GameChange>& changes);
std::vector<GameChange> LastChanges(Database& db);
bool HasLastChanges(Database& db);
// After a merge that wrote the catalogue: its changes replace the last report; true when they are
// kept and there are some. A disk without room keeps the last report, which the outcome's remarks
// then say.
bool KeepChanges(Database& db, const ChangeReport& report, MergeOutcome& outcome);

// The report to read, grouped by kind with counts; and one line a change with a heading, as a
// spreadsheet reads it.
QString ChangesText(const std::vector<GameChange>& changes);
QString ChangesCsv(const std::vector<GameChange>& changes);

} // namespace zelvora
