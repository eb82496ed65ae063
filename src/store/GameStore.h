#pragma once

#include "store/GameFacts.h"
#include "store/GameOptions.h"
#include "store/GroupedWrites.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVariantHash>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace zelvora {

class Database;
class Progress;

// One game's record as the detail tabs show it: every field of table ROMS, by name.
struct GameRecord {
    QVariantHash fields;

    QVariant Value(const QString& field) const { return fields.value(field); }
    GameOptions Options() const;
};

// A game by its set name and its title.
struct GameTitle {
    QString rom;
    QString title;
};

// A parent and its clones, the clones in title order.
struct CloneFamily {
    GameTitle parent;
    std::vector<GameTitle> clones;
};

// What the catalogue keeps of a game's play: whether it is a favourite, how often and how long it
// ran when started from the list, and when it last ended (ISO 8601, UTC; empty when never).
struct PlayHistory {
    bool favourite = false;
    qlonglong playCount = 0;
    qlonglong playSeconds = 0;
    QString lastPlayed;
};

// The catalogue one game at a time, found by its set name (field Rom, compared without regard to
// case as the catalogue compares it); the first record with the name, should two share it.
class GameStore {
public:
    explicit GameStore(Database& db) : db_(db) {}

    std::optional<GameRecord> Game(const QString& rom) const;
    // A game without a set name can be found only by its title: the later of two in the table.
    std::optional<GameRecord> GameTitled(const QString& description) const;

    std::optional<GameOptions> Options(const QString& rom) const;
    // The options of the default record (Rom "-default-").
    std::optional<GameOptions> DefaultOptions() const;
    // Writes every field the value holds into the game's record, in one statement; false, and no
    // write, when no record has the set name.
    bool SaveOptions(const QString& rom, const GameOptions& options);
    // Writes several fields of the game's record in one statement; false when no record has the
    // set name.
    bool Write(const QString& rom, const QVariantHash& values);

    PlayHistory History(const QString& rom) const;
    // Every game's play history, by set name (FoldedKey); games never played nor marked
    // are not in it.
    QHash<QString, PlayHistory> Histories() const;
    void SetFavourite(const QString& rom, bool favourite);
    // One more run of the game, `seconds` long, that ended at `ended`.
    void RecordPlay(const QString& rom, qlonglong seconds, const QDateTime& ended);

    // The facts of every game that has them, by set name (FoldedKey): only those the list holds.
    QHash<QString, GameFacts> Facts() const;
    // Each set name with facts as stored, and whether it needs files to run; read as it comes.
    std::vector<std::pair<QString, bool>> FilesNeeded() const;
    // All the facts of one game; none when it has none.
    std::optional<GameFactsRow> FactsOf(const QString& rom) const;
    // The facts of these games in place of all the stored ones, in one transaction: a failure
    // leaves the facts of before. Of a set name given twice, the later facts are kept.
    void ReplaceFacts(const std::vector<std::pair<QString, GameFactsRow>>& facts);

    // Every parent's family, by the parent's set name (FoldedKey), read in one pass: the Clone field
    // has no index, so a page that names a game's family looks it up here rather than in the table.
    QHash<QString, CloneFamily> CloneFamilies() const;

    // Records in the catalogue, the default record among them.
    int RecordCount() const;

    // The games a list query picks, in its order: `query` is what follows "SELECT ... FROM ROMS"
    // (a WHERE and an ORDER BY). `game` gets each one's values in the order of `fields`.
    void List(const QString& query, const QStringList& fields,
              const std::function<void(const std::vector<QVariant>& values)>& game) const;

    // Asks `mark` about every record, in table order, with its set name and parent, and stores the
    // answer in `field`; a record that holds that number already is not written. The writes are
    // grouped per commit, so what was written stays should the walk fail. `progress` counts the
    // records.
    void MarkEveryGame(const QString& field, Progress& progress,
                       const std::function<qlonglong(const QString& rom, const QString& clone)>& mark);
    // Sets the fields to 0 in every record, in one statement.
    void ClearEveryGame(const QStringList& fields);
    // Visits the games named in `roms`, in that order: `visit` gets the name's index and the named
    // fields of the first record with the name (nullptr when none has it) and answers what to write
    // into that record (nothing to leave it). The table is read once; the writes are grouped per
    // commit, so what was written stays should the visit fail.
    void ChangeGames(const QStringList& roms, const QStringList& fields,
                     const std::function<QVariantHash(qsizetype index, const QVariantHash* stored)>& visit);

private:
    friend class GameWrites;
    friend class AuditStore;
    Database& db_;
};

// Writes to games by set name, grouped per commit as GroupedWrites groups them.
class GameWrites {
public:
    explicit GameWrites(GameStore& store) : store_(store), group_(store.db_) {}

    bool Write(const QString& rom, const QVariantHash& values);
    void Commit() { group_.Commit(); }

private:
    GameStore& store_;
    GroupedWrites group_;
};

} // namespace zelvora
