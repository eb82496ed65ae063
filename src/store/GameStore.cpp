#include "store/GameStore.h"

#include "store/Database.h"
#include "store/FieldNames.h"

namespace zelvora {

namespace {

QStringList allFields() {
    QStringList names;
    for (const CatalogueField& field : CatalogueFields())
        names << field.name;
    return names;
}

std::optional<GameRecord> record(std::optional<QVariantHash> fields) {
    if (!fields)
        return std::nullopt;
    return GameRecord{std::move(*fields)};
}

} // namespace

bool GameOptions::UsesDefault() const {
    const QVariant value = Value(Field::Default);
    bool ok = false;
    return !value.isNull() && value.toDouble(&ok) == 1 && ok;
}

const GameOptions& StartingOptions(const GameOptions& game, const std::optional<GameOptions>& defaults) {
    return game.UsesDefault() && defaults ? *defaults : game;
}

GameOptions OwnCopyOfDefaults(const GameOptions& defaults) {
    QVariantHash values = defaults.Values();
    values.remove(Field::PlayOpt);
    values.insert(Field::Default, 0);
    return GameOptions(std::move(values));
}

GameOptions GameRecord::Options() const {
    QVariantHash values;
    for (const QString& field : OptionFields())
        values.insert(field, fields.value(field));
    return GameOptions(std::move(values));
}

std::optional<GameRecord> GameStore::Game(const QString& rom) const {
    return record(db_.ReadRecord(RomsTable, Field::Rom, rom, allFields()));
}

std::optional<GameRecord> GameStore::GameTitled(const QString& description) const {
    return record(db_.ReadRecord(RomsTable, Field::Description, description, allFields(), true));
}

std::optional<GameOptions> GameStore::Options(const QString& rom) const {
    std::optional<QVariantHash> values = db_.ReadRecord(RomsTable, Field::Rom, rom, OptionFields());
    if (!values)
        return std::nullopt;
    return GameOptions(std::move(*values));
}

std::optional<GameOptions> GameStore::DefaultOptions() const {
    return Options(DefaultRom);
}

bool GameStore::SaveOptions(const QString& rom, const GameOptions& options) {
    return db_.WriteRecord(RomsTable, Field::Rom, rom, options.Values());
}

bool GameStore::SetValue(const QString& rom, const QString& field, const QVariant& value) {
    return db_.WriteRecord(RomsTable, Field::Rom, rom, {{field, value}});
}

} // namespace zelvora
