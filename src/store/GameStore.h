#pragma once

#include "store/GameOptions.h"

#include <QString>
#include <QVariantHash>

#include <optional>

namespace zelvora {

class Database;

// One game's record as the detail tabs show it: every field of table ROMS, by name.
struct GameRecord {
    QVariantHash fields;

    QVariant Value(const QString& field) const { return fields.value(field); }
    GameOptions Options() const;
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
    // Writes one field of the game's record; false when no record has the set name.
    bool SetValue(const QString& rom, const QString& field, const QVariant& value);

private:
    Database& db_;
};

} // namespace zelvora
