#include "store/GameStore.h"

#include "store/Database.h"
#include "store/FieldNames.h"
#include "store/MergedRecords.h"

#include "platform/Progress.h"
#include "platform/TextCompare.h"

#include <QSet>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace zelvora {

namespace {

QStringList allFields() {
    QStringList names;
    for (const CatalogueField& field : CatalogueFields())
        names << field.name;
    return names;
}

QStringList settingColumns() {
    QStringList columns;
    for (const QString& field : SettingFields())
        columns << QuoteName(field);
    return columns;
}

// The game's values of table GameSettings, each setting named, null where none is stored; all null
// for a game without a set name, which has no row there.
void addSettings(Database& db, const QString& rom, QVariantHash& values) {
    const QStringList& fields = SettingFields();
    for (const QString& field : fields)
        values.insert(field, QVariant());
    if (rom.isEmpty())
        return;
    db.Select(
        QStringLiteral("SELECT %1 FROM %2 WHERE Rom=?1").arg(settingColumns().join(QLatin1Char(',')), SettingsTable),
        {rom}, [&](const std::vector<QVariant>& row) {
            for (qsizetype i = 0; i < fields.size(); ++i)
                values.insert(fields[i], row[static_cast<size_t>(i)]);
        });
}

// The columns of table GameFacts in the order factsRow reads them.
const QString FactsColumns =
    QStringLiteral("Rom,Type,Players,NeedsFiles,Screen,Screens,Width,Height,Refresh,Vertical,Controls,Buttons");

int count(const QVariant& value, int most = INT_MAX) {
    return static_cast<int>(std::clamp<qlonglong>(value.toLongLong(), 0, most));
}

// Type, Players and NeedsFiles, from values[1] on.
GameFacts listFacts(const std::vector<QVariant>& values) {
    const qlonglong type = values[1].toLongLong();
    const bool known =
        type >= static_cast<int>(MachineType::Arcade) && type <= static_cast<int>(MachineType::ComputerOrConsole);
    return {known ? static_cast<MachineType>(type) : MachineType::Unknown, count(values[2]),
            values[3].toLongLong() != 0};
}

// The values of FactsColumns; each set of controls once in `shared` when one is given.
GameFactsRow factsRow(const std::vector<QVariant>& values, QSet<QString>* shared) {
    GameFactsRow row;
    row.game = listFacts(values);
    const qlonglong type = values[4].toLongLong();
    const bool known = type >= static_cast<int>(ScreenType::Raster) && type <= static_cast<int>(ScreenType::Svg);
    const float refresh = values[8].toFloat(); // never NaN, which would count as changed at every update
    row.screen = {known ? static_cast<ScreenType>(type) : ScreenType::None,
                  values[9].toLongLong() != 0,
                  static_cast<std::uint16_t>(count(values[5], UINT16_MAX)),
                  count(values[6]),
                  count(values[7]),
                  refresh > 0 ? refresh : 0};
    row.controls.controls = values[10].toString();
    if (shared && !row.controls.controls.isEmpty())
        row.controls.controls = *shared->insert(row.controls.controls);
    row.controls.buttons = count(values[11]);
    return row;
}

std::optional<GameRecord> record(Database& db, std::optional<QVariantHash> fields) {
    if (!fields)
        return std::nullopt;
    addSettings(db, fields->value(Field::Rom).toString(), *fields);
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
    for (const QString& field : OptionFields() + SettingFields())
        values.insert(field, fields.value(field));
    return GameOptions(std::move(values));
}

std::optional<GameRecord> GameStore::Game(const QString& rom) const {
    return record(db_, db_.ReadRecord(RomsTable, Field::Rom, rom, allFields()));
}

std::optional<GameRecord> GameStore::GameTitled(const QString& description) const {
    return record(db_, db_.ReadRecord(RomsTable, Field::Description, description, allFields(), true));
}

std::optional<GameOptions> GameStore::Options(const QString& rom) const {
    std::optional<QVariantHash> values = db_.ReadRecord(RomsTable, Field::Rom, rom, OptionFields());
    if (!values)
        return std::nullopt;
    addSettings(db_, rom, *values);
    return GameOptions(std::move(*values));
}

std::optional<GameOptions> GameStore::DefaultOptions() const {
    return Options(DefaultRom);
}

bool GameStore::SaveOptions(const QString& rom, const GameOptions& options) {
    QVariantHash fields, settings;
    for (auto value = options.Values().cbegin(); value != options.Values().cend(); ++value)
        (SettingFields().contains(value.key()) ? settings : fields).insert(value.key(), value.value());
    // One transaction: the record and its settings are written together or not at all.
    Transaction transaction(db_);
    const bool found = fields.isEmpty() ? db_.ReadRecord(RomsTable, Field::Rom, rom, {Field::Rom}).has_value()
                                        : db_.WriteRecord(RomsTable, Field::Rom, rom, fields);
    if (!found)
        return false;
    if (!settings.isEmpty()) {
        QStringList names = settings.keys();
        names.sort();
        QStringList columns{QStringLiteral("Rom")}, places{QStringLiteral("?1")}, updates;
        QVariantList bound{FoldedKey(rom)};
        for (const QString& name : names) {
            columns << QuoteName(name);
            places << QStringLiteral("?%1").arg(bound.size() + 1);
            updates << QStringLiteral("%1=excluded.%1").arg(QuoteName(name));
            bound << settings.value(name);
        }
        db_.Execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (Rom) DO UPDATE SET %4")
                        .arg(SettingsTable, columns.join(QLatin1Char(',')), places.join(QLatin1Char(',')),
                             updates.join(QLatin1Char(','))),
                    bound);
    }
    transaction.Commit();
    return true;
}

bool GameStore::Write(const QString& rom, const QVariantHash& values) {
    return db_.WriteRecord(RomsTable, Field::Rom, rom, values);
}

PlayHistory GameStore::History(const QString& rom) const {
    PlayHistory history;
    db_.Select(
        QStringLiteral("SELECT Favourite,PlayCount,PlaySeconds,LastPlayed FROM %1 WHERE Rom=?1").arg(HistoryTable),
        {rom}, [&](const std::vector<QVariant>& values) {
            history = {values[0].toLongLong() != 0, values[1].toLongLong(), values[2].toLongLong(),
                       values[3].toString()};
        });
    return history;
}

QHash<QString, PlayHistory> GameStore::Histories() const {
    QHash<QString, PlayHistory> histories;
    db_.Select(QStringLiteral("SELECT Rom,Favourite,PlayCount,PlaySeconds,LastPlayed FROM %1").arg(HistoryTable), {},
               [&](const std::vector<QVariant>& values) {
                   histories.insert(FoldedKey(values[0].toString()),
                                    {values[1].toLongLong() != 0, values[2].toLongLong(), values[3].toLongLong(),
                                     values[4].toString()});
               });
    return histories;
}

void GameStore::SetFavourite(const QString& rom, bool favourite) {
    db_.Execute(QStringLiteral("INSERT INTO %1 (Rom,Favourite) VALUES (?1,?2) "
                               "ON CONFLICT (Rom) DO UPDATE SET Favourite=excluded.Favourite")
                    .arg(HistoryTable),
                {rom, favourite ? 1 : 0});
}

void GameStore::RecordPlay(const QString& rom, qlonglong seconds, const QDateTime& ended) {
    // One statement: a run is counted with its time and its end, or not at all.
    db_.Execute(QStringLiteral("INSERT INTO %1 (Rom,PlayCount,PlaySeconds,LastPlayed) VALUES (?1,1,?2,?3) "
                               "ON CONFLICT (Rom) DO UPDATE SET PlayCount=PlayCount+1, "
                               "PlaySeconds=PlaySeconds+excluded.PlaySeconds, LastPlayed=excluded.LastPlayed")
                    .arg(HistoryTable),
                {rom, std::max<qlonglong>(seconds, 0), ended.toUTC().toString(Qt::ISODate)});
}

QHash<QString, GameFacts> GameStore::Facts() const {
    QHash<QString, GameFacts> facts;
    db_.Select(
        QStringLiteral("SELECT Rom,Type,Players,NeedsFiles FROM %1").arg(FactsTable), {},
        [&](const std::vector<QVariant>& values) { facts.insert(FoldedKey(values[0].toString()), listFacts(values)); });
    return facts;
}

std::vector<std::pair<QString, bool>> GameStore::FilesNeeded() const {
    std::vector<std::pair<QString, bool>> sets;
    db_.Select(QStringLiteral("SELECT Rom,NeedsFiles FROM %1").arg(FactsTable), {},
               [&](const std::vector<QVariant>& values) {
                   sets.emplace_back(values[0].toString(), values[1].toLongLong() != 0);
               });
    return sets;
}

std::optional<GameFactsRow> GameStore::FactsOf(const QString& rom) const {
    std::optional<GameFactsRow> row;
    db_.Select(QStringLiteral("SELECT %1 FROM %2 WHERE Rom=?1").arg(FactsColumns, FactsTable), {rom},
               [&](const std::vector<QVariant>& values) { row = factsRow(values, nullptr); });
    return row;
}

void GameStore::ReplaceFacts(const std::vector<std::pair<QString, GameFactsRow>>& facts) {
    // Not grouped writes: those commit what was written when a write fails, and a failure after
    // the delete would leave the table with a part of the games.
    // Only what changed is written: an update from the same MAME writes nothing.
    QHash<QString, GameFactsRow> kept;
    // A few hundred sets of controls serve tens of thousands of games: one copy of each.
    QSet<QString> controls;
    db_.Select(QStringLiteral("SELECT %1 FROM %2").arg(FactsColumns, FactsTable), {},
               [&](const std::vector<QVariant>& values) {
                   kept.insert(FoldedKey(values[0].toString()), factsRow(values, &controls));
               });
    Transaction transaction(db_);
    const QString insert =
        QStringLiteral("INSERT OR REPLACE INTO %1 (%2) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12)")
            .arg(FactsTable, FactsColumns);
    for (const auto& [rom, row] : facts) {
        const auto known = kept.find(FoldedKey(rom));
        const bool same = known != kept.end() && *known == row;
        if (known != kept.end())
            kept.erase(known);
        if (same)
            continue;
        const ScreenFacts& screen = row.screen;
        db_.Execute(insert, {rom, static_cast<int>(row.game.type), row.game.players, row.game.needsFiles ? 1 : 0,
                             static_cast<int>(screen.type), static_cast<int>(screen.screens), screen.width,
                             screen.height, static_cast<double>(screen.refresh), screen.vertical ? 1 : 0,
                             row.controls.controls, row.controls.buttons});
    }
    for (auto gone = kept.cbegin(); gone != kept.cend(); ++gone)
        db_.Execute(QStringLiteral("DELETE FROM %1 WHERE Rom=?1").arg(FactsTable), {gone.key()});
    transaction.Commit();
}

QHash<QString, CloneFamily> GameStore::CloneFamilies() const {
    QHash<QString, CloneFamily> families;
    // A parent missing from the catalogue keeps its set name as its title.
    db_.Select(QStringLiteral("SELECT c.Rom, c.Description, c.Clone, p.Description FROM ROMS AS c "
                              "LEFT JOIN ROMS AS p ON p.Rom = c.Clone WHERE c.Clone <> '' ORDER BY c.Description"),
               {}, [&](const std::vector<QVariant>& values) {
                   const QString parent = values[2].toString();
                   CloneFamily& family = families[FoldedKey(parent)];
                   if (family.parent.rom.isEmpty())
                       family.parent = {parent, values[3].isNull() ? parent : values[3].toString()};
                   family.clones.push_back({values[0].toString(), values[1].toString()});
               });
    return families;
}

int GameStore::RecordCount() const {
    qlonglong count = 0;
    db_.Select(QStringLiteral("SELECT COUNT(*) FROM ROMS"), {},
               [&](const std::vector<QVariant>& values) { count = values[0].toLongLong(); });
    return static_cast<int>(std::min<qlonglong>(count, INT_MAX));
}

void GameStore::List(const QString& query, const QStringList& fields,
                     const std::function<void(const std::vector<QVariant>& values)>& game) const {
    QStringList columns;
    for (const QString& field : fields)
        columns << QuoteName(field);
    db_.Select(QStringLiteral("SELECT %1 FROM ROMS ").arg(columns.join(QLatin1Char(','))) + query, {}, game);
}

void GameStore::MarkEveryGame(const QString& field, Progress& progress,
                              const std::function<qlonglong(const QString& rom, const QString& clone)>& mark) {
    struct Stored {
        qlonglong record;
        QString rom, clone;
        QVariant value;
    };
    // Read first and written after, so that no write lands under a statement still reading.
    std::vector<Stored> records;
    db_.Select(QStringLiteral("SELECT rowid,%1,%2,%3 FROM ROMS ORDER BY rowid")
                   .arg(QuoteName(Field::Rom), QuoteName(Field::Clone), QuoteName(field)),
               {}, [&](const std::vector<QVariant>& values) {
                   records.push_back({values[0].toLongLong(), values[1].toString(), values[2].toString(), values[3]});
               });
    const int count = static_cast<int>(std::min<size_t>(records.size(), INT_MAX));
    progress.SetRange(0, std::max(count - 1, 0));
    // A mark is a whole number, stored as it is: one statement, prepared once, writes them all.
    const QString write = QStringLiteral("UPDATE ROMS SET %1=?1 WHERE rowid=?2").arg(QuoteName(field));
    GroupedWrites writes(db_);
    for (int i = 0; i < count; ++i) {
        progress.SetValue(i);
        const Stored& record = records[static_cast<size_t>(i)];
        const qlonglong value = mark(record.rom, record.clone);
        // Null, text and other numbers are rewritten.
        if (record.value.typeId() == QMetaType::LongLong && record.value.toLongLong() == value)
            continue;
        writes.Run([&] { db_.Execute(write, {value, record.record}); });
    }
    writes.Commit();
}

void GameStore::ClearEveryGame(const QStringList& fields) {
    QStringList assignments, zero;
    for (const QString& field : fields) {
        assignments << QuoteName(field) + QStringLiteral("=0");
        zero << QuoteName(field) + QStringLiteral(" IS 0");
    }
    db_.Execute(QStringLiteral("UPDATE ROMS SET %1 WHERE NOT (%2)")
                    .arg(assignments.join(QLatin1Char(',')), zero.join(QStringLiteral(" AND "))));
}

void GameStore::ChangeGames(const QStringList& roms, const QStringList& fields,
                            const std::function<QVariantHash(qsizetype index, const QVariantHash* stored)>& visit) {
    QStringList columns{QStringLiteral("rowid"), QuoteName(Field::Rom)};
    for (const QString& field : fields)
        columns << QuoteName(field);
    // Each set name's first record, compared as the catalogue compares set names.
    QHash<MergeKey, std::vector<QVariant>> records;
    db_.Select(QStringLiteral("SELECT %1 FROM ROMS ORDER BY rowid").arg(columns.join(QLatin1Char(','))), {},
               [&](const std::vector<QVariant>& values) {
                   MergeKey key{values[1].toString()};
                   if (!values[1].isNull() && !records.contains(key))
                       records.emplace(std::move(key), values);
               });
    GroupedWrites writes(db_);
    for (qsizetype i = 0; i < roms.size(); ++i) {
        const auto record = records.find(MergeKey{roms[i]});
        if (record == records.end()) {
            visit(i, nullptr);
            continue;
        }
        std::vector<QVariant>& values = *record;
        QVariantHash stored;
        for (qsizetype f = 0; f < fields.size(); ++f)
            stored.insert(fields[f], values[static_cast<size_t>(f) + 2]);
        const QVariantHash changes = visit(i, &stored);
        if (changes.isEmpty())
            continue;
        writes.Run([&] { db_.WriteRow(RomsTable, values[0].toLongLong(), changes); });
        // A name given twice sees what the first visit wrote.
        for (qsizetype f = 0; f < fields.size(); ++f) {
            if (const auto changed = changes.constFind(fields[f]); changed != changes.constEnd())
                values[static_cast<size_t>(f) + 2] = *changed;
        }
    }
    writes.Commit();
}

bool GameWrites::Write(const QString& rom, const QVariantHash& values) {
    bool written = false;
    group_.Run([&] { written = store_.Write(rom, values); });
    return written;
}

} // namespace zelvora
