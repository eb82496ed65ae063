#pragma once

#include "gamelist/ListedGames.h"
#include "store/FieldNames.h"
#include "store/GameFacts.h"
#include "store/ProgramSettings.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace zelvora {

class GameStore;

// The filter's row caption in the filters dialog: "Neo Geo Games", "Original Games", ...
QString FilterCaption(int index);
// The filters in force, in the dialog's words, for the status bar: "Filters: Clones (Show Only),
// Bad ROMS (Exclude)", or "No filters".
// The filter bar's `more` follow them.
QString FiltersText(const FilterStates& filters, const QStringList& more = {});

// The list's order: a key of the sort cycle, and which way.
struct ListOrder {
    ListOrder(QString sortKey, bool down = false) : key(std::move(sortKey)), descending(down) {}
    QString key;
    bool descending;
};

// The game list's query, from its WHERE on: every game passing the filters, the default record
// always and first, then the games ordered by the sort key either way and then by description.
QString GameListSql(const FilterStates& filters, const ListOrder& order);

// What the list shows beside the catalogue's own fields, each optional.
struct ListExtras {
    // Each game's facts from today's MAME's listing, by set name (FoldedKey).
    QHash<QString, GameFacts> facts;
    // Whether the set's ROMs are in a ROM folder; a set that needs no files is available anyway.
    std::function<bool(const QString& rom, const QString& clone)> romSetPresent;
    // Fills what the files that tell categories and players say of set `rom` into the game's
    // fields still empty; asked for the game's parent after the game, so a clone they say nothing
    // of takes its parent's.
    std::function<void(const QString& rom, ListedGame& game)> describe;
};

// Runs the list's query on the catalogue and reads every row's columns, in the order asked for.
ListedGames LoadGameList(const GameStore& catalogue, const FilterStates& filters, const ListOrder& order,
                         const ListExtras& extras = {});

// The sort button's cycle: Description, Date, Manufacturer, Rom, and round again.
QString NextSortKey(const QString& caption);
// The sort key of the cycle that `text` names, in the cycle's spelling; Description for any other
// text, as a settings file may hold anything.
QString KnownSortKey(const QString& text);
// Whether `text` names a key of the cycle, which the catalogue's query orders by.
bool IsCycleSortKey(const QString& text);

} // namespace zelvora
