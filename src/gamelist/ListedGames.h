#pragma once

#include "store/GameFacts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace zelvora {

// The game list's columns, in the model's order. The first five are shown unless the user hides
// them; the others are switched on from the header's menu.
enum ListColumn : int {
    MarksColumn, // S, B, R and * for what the collection lacks and a game's own options
    TitleColumn,
    YearColumn,
    ManufacturerColumn,
    SetColumn,
    SourceColumn,
    PlayersColumn,
    CategoryColumn,
    StatusColumn,
    TypeColumn,
    PlayCountColumn,
    LastPlayedColumn,
    FavouriteColumn,
    ColumnCount
};
inline constexpr int DefaultColumnCount = SetColumn + 1;

// A column's caption in the header.
QString ColumnCaption(int column);
// The sort key a column orders by, as the sort button names it: the cycle's field names for the
// catalogue's own columns ("Description" for the titles), the caption for the others; empty for
// the marks. And the column of a key: the titles' for a key no column has.
QString SortKeyOfColumn(int column);
int ColumnOfSortKey(const QString& key);

// How well MAME runs a game, from its driver's status ("Playable").
enum class GameStatus : int { Unknown = 0, Working = 1, Imperfect = 2, NotWorking = 3 };

// One row of the game list: every column's value, and what the filters and the find field ask.
struct ListedGame {
    QString title, year, manufacturer, rom, source;
    QString marks;
    QString category;   // "Shooter / Flying Vertical"; a clone without its own takes its parent's
    QString players;    // as the players file words it ("2P sim"), else the listing's count
    QString lastPlayed; // ISO 8601, UTC
    MachineType type = MachineType::Unknown;
    GameStatus status = GameStatus::Unknown;
    int playerCount = 0;
    qlonglong playCount = 0;
    bool favourite = false;
    bool available = false;
    bool mature = false;
    bool isDefault = false; // the default record, first whatever the order
};

// A status word of the catalogue ("Yes", "Partial", "No", or an older MAME's own word) as a status.
GameStatus StatusOf(const QString& playable);
// The words the list shows: "working", "Arcade", ...; empty for Unknown.
QString StatusText(GameStatus status);
// The list's marks column: S for no screenshot, B for a bad ROM set, R for a missing one, * for a
// game with options of its own, in that order.
QString MarksText(bool noScreenshot, bool badRom, bool missingRom, bool ownOptions);
QString TypeText(MachineType type);

struct ListFilters;
struct SearchQuery;

// The games of one fill of the list, in the list's order, with what the find field searches kept
// ready: the texts it reads folded to lower case, so that a key press only compares bytes.
class ListedGames {
public:
    ListedGames() = default;
    explicit ListedGames(std::vector<ListedGame> games);

    int Size() const { return static_cast<int>(games_.size()); }
    const ListedGame& operator[](int index) const { return games_[static_cast<size_t>(index)]; }
    ListedGame& Edit(int index) { return games_[static_cast<size_t>(index)]; }

    // The categories the games have, sorted, and the numbers of players, ascending.
    QStringList Categories() const;
    QList<int> PlayerCounts() const;
    bool HasTypes() const;

    // Orders the games by a column, either way, equal values by title; the default record first.
    // Equal rows keep their order, so a sort by the key the catalogue was read in changes nothing.
    void Sort(int column, bool descending);
    // The games, in the list's order, that pass the filters and the search: the default record
    // always and first, then those where every word begins a word of a field, then the others.
    std::vector<int> Select(const ListFilters& filters, const SearchQuery& query) const;

private:
    struct Folded {
        std::string text;             // the fields the plain words search, each after a separator
        unsigned short start[7] = {}; // where each of them starts in `text`, and its end
    };
    bool Matches(int index, const SearchQuery& query, bool& atWordStart) const;

    std::vector<ListedGame> games_;
    std::vector<Folded> folded_;
    std::vector<int> order_;
};

} // namespace zelvora
