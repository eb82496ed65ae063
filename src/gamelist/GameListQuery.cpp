#include "gamelist/GameListQuery.h"

#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/GameStore.h"

#include <algorithm>

namespace zelvora {

namespace {

struct FilterClauses {
    const char* showOnly;
    const char* exclude;
};

// Each clause ends with a blank so the next one follows it. SQLite needs IS NULL to test for a
// field that holds no value; a comparison with NULL is never true.
constexpr FilterClauses Clauses[FilterCount] = {
    // MAME's Neo Geo driver is "neogeo.c" in older versions, "neogeo.cpp" since its sources are C++.
    {"AND Driver IN ('neogeo.c','neogeo.cpp') ", "AND Driver NOT IN ('neogeo.c','neogeo.cpp') "},
    {"AND Clone IS NULL ", "AND Clone IS NOT NULL "},
    {"AND Clone IS NOT NULL ", "AND Clone IS NULL "},
    {"AND Screenshot = 1 ", "AND Screenshot = 0 "},
    {"AND [Missing Rom] = 1 ", "AND [Missing Rom] = 0 "},
    {"AND [Bad Rom] = 1 ", "AND [Bad Rom] = 0 "},
};

const char* const FilterCaptions[FilterCount] = {"Neo Geo Games",       "Original Games", "Clones",
                                                 "Missing Screenshots", "Missing ROMS",   "Bad ROMS"};

const QString SortKeys[] = {Field::Description, Field::Date, Field::Manufacturer, Field::Rom};

bool isOne(const QVariant& value) {
    return !value.isNull() && value.toLongLong() == 1;
}

} // namespace

QString FilterCaption(int index) {
    return index >= 0 && index < FilterCount ? QLatin1String(FilterCaptions[index]) : QString();
}

QString FiltersText(const FilterStates& filters, const QStringList& more) {
    QStringList on;
    for (int i = 0; i < FilterCount; ++i) {
        if (filters[i] == FilterState::ShowOnly)
            on << FilterCaption(i) + QStringLiteral(" (Show Only)");
        else if (filters[i] == FilterState::Exclude)
            on << FilterCaption(i) + QStringLiteral(" (Exclude)");
    }
    on << more;
    return on.isEmpty() ? QStringLiteral("No filters") : QStringLiteral("Filters: ") + on.join(QStringLiteral(", "));
}

QString GameListSql(const FilterStates& filters, const ListOrder& order) {
    QString condition;
    for (int i = 0; i < FilterCount; ++i) {
        if (filters[i] == FilterState::ShowOnly)
            condition += QLatin1String(Clauses[i].showOnly);
        else if (filters[i] == FilterState::Exclude)
            condition += QLatin1String(Clauses[i].exclude);
    }
    // AND binds before OR, so the filters narrow every record but the default one.
    if (!condition.isEmpty())
        condition = QStringLiteral("WHERE ") + condition.mid(3) + QStringLiteral(" OR Rom='-default-'");
    // The key goes into the SQL text, so only the list's own sort fields are taken.
    const QString key = KnownSortKey(order.key) + (order.descending ? QStringLiteral(" DESC") : QString());
    // The default record heads the list whatever the key and the titles: the default options, the
    // start of a game and the screenshot deletion all take row 0 to be it. IS NOT, unlike <>, is
    // never NULL, so a game without a set name keeps its place among the others.
    return condition + QStringLiteral("ORDER BY Rom IS NOT '-default-',") + key + QStringLiteral(",Description");
}

namespace {

// The fields the list reads, in the order the load takes them.
enum LoadedField { Title, Year, Maker, Set, Source, Parent, Playable, Shot, Bad, Missing, UseDefault, FieldCount };
const QString* const LoadedFields[FieldCount] = {
    &Field::Description, &Field::Date,       &Field::Manufacturer, &Field::Rom,        &Field::Driver,  &Field::Clone,
    &Field::Playable,    &Field::Screenshot, &Field::BadRom,       &Field::MissingRom, &Field::Default,
};

QString statusMarks(const std::vector<QVariant>& values) {
    const QVariant& useDefault = values[UseDefault];
    return MarksText(isOne(values[Shot]), isOne(values[Bad]), isOne(values[Missing]),
                     !useDefault.isNull() && useDefault.toLongLong() == 0 &&
                         !EqualNoCase(values[Set].toString(), DefaultRom));
}

} // namespace

ListedGames LoadGameList(const GameStore& catalogue, const FilterStates& filters, const ListOrder& order,
                         const ListExtras& extras) {
    QStringList fields;
    for (const QString* field : LoadedFields)
        fields << *field;
    const QHash<QString, PlayHistory> histories = catalogue.Histories();
    std::vector<ListedGame> games;
    // The parents, needed only here: for the ROM sets of merged clones and the clones' categories.
    std::vector<QString> parents;
    games.reserve(static_cast<size_t>(catalogue.RecordCount()));
    parents.reserve(games.capacity());
    catalogue.List(GameListSql(filters, order), fields, [&](const std::vector<QVariant>& values) {
        ListedGame& game = games.emplace_back();
        game.title = values[Title].toString();
        game.year = values[Year].toString();
        game.manufacturer = values[Maker].toString();
        game.rom = values[Set].toString();
        game.source = values[Source].toString();
        parents.push_back(values[Parent].toString().trimmed());
        game.status = StatusOf(values[Playable].toString());
        game.marks = statusMarks(values);
        game.isDefault = games.size() == 1 && EqualNoCase(game.title, DefaultDescription);
    });
    for (size_t i = 0; i < games.size(); ++i) {
        ListedGame& game = games[i];
        const QString& clone = parents[i];
        if (game.isDefault)
            continue;
        const QString key = FoldedKey(game.rom);
        if (const auto history = histories.find(key); history != histories.end()) {
            game.favourite = history->favourite;
            game.playCount = history->playCount;
            game.lastPlayed = history->lastPlayed;
        }
        const auto facts = extras.facts.find(key);
        if (facts != extras.facts.end()) {
            game.type = facts->type;
            game.playerCount = facts->players;
        }
        const bool needsFiles = facts == extras.facts.end() || facts->needsFiles;
        game.available = !needsFiles || (extras.romSetPresent && extras.romSetPresent(game.rom, clone));
        if (extras.describe) {
            extras.describe(game.rom, game);
            if ((game.category.isEmpty() || game.players.isEmpty()) && !clone.isEmpty())
                extras.describe(clone, game);
        }
        if (game.players.isEmpty() && game.playerCount > 0)
            game.players = QString::number(game.playerCount);
    }
    ListedGames listed(std::move(games));
    // The catalogue orders by the keys of the sort cycle; the list's other columns are ordered here.
    if (!IsCycleSortKey(order.key))
        listed.Sort(ColumnOfSortKey(order.key), order.descending);
    return listed;
}

QString NextSortKey(const QString& caption) {
    for (int i = 0; i < 3; ++i) {
        if (EqualNoCase(caption, SortKeys[i]))
            return SortKeys[i + 1];
    }
    return SortKeys[0];
}

bool IsCycleSortKey(const QString& text) {
    return std::any_of(std::begin(SortKeys), std::end(SortKeys),
                       [&](const QString& key) { return EqualNoCase(text, key); });
}

QString KnownSortKey(const QString& text) {
    for (const QString& key : SortKeys) {
        if (EqualNoCase(text, key))
            return key;
    }
    return SortKeys[0];
}

} // namespace zelvora
