#include "gamelist/ListedGames.h"

#include "gamelist/GameSearch.h"
#include "platform/TextCompare.h"

#include <QSet>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <set>

namespace zelvora {

GameStatus StatusOf(const QString& playable) {
    if (playable.isEmpty())
        return GameStatus::Unknown;
    if (playable.compare(u"Yes", Qt::CaseInsensitive) == 0)
        return GameStatus::Working;
    if (playable.compare(u"No", Qt::CaseInsensitive) == 0)
        return GameStatus::NotWorking;
    // "Partial", and an older MAME's own words for a game that runs with faults ("Slowdowns").
    return GameStatus::Imperfect;
}

QString MarksText(bool noScreenshot, bool badRom, bool missingRom, bool ownOptions) {
    QString marks;
    if (noScreenshot)
        marks += QLatin1Char('S');
    if (badRom)
        marks += QLatin1Char('B');
    if (missingRom)
        marks += QLatin1Char('R');
    if (ownOptions)
        marks += QLatin1Char('*');
    return marks;
}

QString StatusText(GameStatus status) {
    switch (status) {
    case GameStatus::Working:
        return QStringLiteral("working");
    case GameStatus::Imperfect:
        return QStringLiteral("imperfect");
    case GameStatus::NotWorking:
        return QStringLiteral("not working");
    case GameStatus::Unknown:
        break;
    }
    return {};
}

QString TypeText(MachineType type) {
    switch (type) {
    case MachineType::Arcade:
        return QStringLiteral("Arcade");
    case MachineType::Mechanical:
        return QStringLiteral("Mechanical");
    case MachineType::ComputerOrConsole:
        return QStringLiteral("Computer or console");
    case MachineType::Unknown:
        break;
    }
    return {};
}

namespace {

struct ColumnInfo {
    const char* caption;
    const char* sortKey;
};
constexpr ColumnInfo Columns[ColumnCount] = {
    {"", ""},
    {"Title", "Description"},
    {"Year", "Date"},
    {"Manufacturer", "Manufacturer"},
    {"Set", "Rom"},
    {"Source", "Source"},
    {"Players", "Players"},
    {"Category", "Category"},
    {"Status", "Status"},
    {"Type", "Type"},
    {"Play Count", "Play Count"},
    {"Last Played", "Last Played"},
    {"Favourite", "Favourite"},
};

} // namespace

QString ColumnCaption(int column) {
    return column >= 0 && column < ColumnCount ? QLatin1String(Columns[column].caption) : QString();
}

QString SortKeyOfColumn(int column) {
    return column >= 0 && column < ColumnCount ? QLatin1String(Columns[column].sortKey) : QString();
}

int ColumnOfSortKey(const QString& key) {
    for (int column = 1; column < ColumnCount; ++column) {
        if (key.compare(QLatin1String(Columns[column].sortKey), Qt::CaseInsensitive) == 0)
            return column;
    }
    return TitleColumn;
}

namespace {

// The fields the plain words search, in the order they are kept.
enum SearchField { TitleText, SetText, ManufacturerText, YearText, SourceText, CategoryText, SearchFieldCount };
constexpr char Separator = '\x1f';
constexpr qsizetype LongestField = 4096;

bool isWordByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || b >= 0x80;
}

// Where `word` occurs in `text`, preferring an occurrence that begins a word; npos when nowhere.
size_t find(std::string_view text, std::string_view word, bool& atWordStart) {
    size_t first = std::string_view::npos;
    for (size_t from = 0; from + word.size() <= text.size();) {
        const void* hit = memmem(text.data() + from, text.size() - from, word.data(), word.size());
        if (!hit)
            break;
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        if (first == std::string_view::npos)
            first = at;
        if (at == 0 || !isWordByte(text[at - 1])) {
            atWordStart = true;
            return at;
        }
        from = at + 1;
    }
    atWordStart = false;
    return first;
}

bool contains(std::string_view text, std::string_view word) {
    return memmem(text.data(), text.size(), word.data(), word.size()) != nullptr;
}

} // namespace

ListedGames::ListedGames(std::vector<ListedGame> games) : games_(std::move(games)) {
    folded_.resize(games_.size());
    order_.resize(games_.size());
    std::iota(order_.begin(), order_.end(), 0);
    for (size_t i = 0; i < games_.size(); ++i) {
        const ListedGame& game = games_[i];
        const QString* fields[SearchFieldCount] = {&game.title, &game.rom,    &game.manufacturer,
                                                   &game.year,  &game.source, &game.category};
        Folded& f = folded_[i];
        for (int field = 0; field < SearchFieldCount; ++field) {
            f.start[field] = static_cast<unsigned short>(f.text.size());
            f.text += fields[field]->left(LongestField).toLower().toStdString();
            f.text += Separator;
        }
        f.start[SearchFieldCount] = static_cast<unsigned short>(f.text.size());
    }
}

QStringList ListedGames::Categories() const {
    QSet<QString> seen;
    for (const ListedGame& game : games_) {
        if (!game.category.isEmpty())
            seen.insert(game.category);
    }
    QStringList categories(seen.begin(), seen.end());
    categories.sort(Qt::CaseInsensitive);
    return categories;
}

QList<int> ListedGames::PlayerCounts() const {
    std::set<int> counts;
    for (const ListedGame& game : games_) {
        if (game.playerCount > 0)
            counts.insert(game.playerCount);
    }
    return QList<int>(counts.begin(), counts.end());
}

bool ListedGames::HasTypes() const {
    return std::any_of(games_.begin(), games_.end(),
                       [](const ListedGame& game) { return game.type != MachineType::Unknown; });
}

bool ListedGames::Matches(int index, const SearchQuery& query, bool& atWordStart) const {
    const Folded& f = folded_[static_cast<size_t>(index)];
    const std::string_view all = f.text;
    const auto field = [&](int which) {
        return all.substr(f.start[which], static_cast<size_t>(f.start[which + 1] - f.start[which] - 1));
    };
    atWordStart = true;
    for (const std::string& word : query.words) {
        bool start = false;
        if (find(all, word, start) == std::string_view::npos)
            return false;
        atWordStart = atWordStart && start;
    }
    const auto allIn = [&](const std::vector<std::string>& words, int which) {
        return std::all_of(words.begin(), words.end(), [&](const std::string& w) { return contains(field(which), w); });
    };
    if (!allIn(query.manufacturer, ManufacturerText) || !allIn(query.source, SourceText) ||
        !allIn(query.category, CategoryText))
        return false;
    for (const std::string& year : query.years) {
        if (!field(YearText).starts_with(year))
            return false;
    }
    for (const std::string& set : query.sets) {
        if (!MatchesSetPattern(set, field(SetText)))
            return false;
    }
    return query.Passes(games_[static_cast<size_t>(index)]);
}

std::vector<int> ListedGames::Select(const ListFilters& filters, const SearchQuery& query) const {
    std::vector<int> shown, later;
    shown.reserve(order_.size());
    const bool searching = !query.Empty();
    for (const int index : order_) {
        const ListedGame& game = games_[static_cast<size_t>(index)];
        if (game.isDefault) {
            shown.insert(shown.begin(), index);
            continue;
        }
        if (!filters.Passes(game))
            continue;
        bool atWordStart = true;
        if (searching && !Matches(index, query, atWordStart))
            continue;
        (atWordStart ? shown : later).push_back(index);
    }
    shown.insert(shown.end(), later.begin(), later.end());
    return shown;
}

void ListedGames::Sort(int column, bool descending) {
    const size_t count = games_.size();
    std::vector<QString> texts(count), titles(count);
    std::vector<qlonglong> numbers(count);
    for (size_t i = 0; i < count; ++i) {
        const ListedGame& g = games_[i];
        titles[i] = FoldedKey(g.title);
        switch (column) {
        case YearColumn:
            texts[i] = FoldedKey(g.year);
            break;
        case ManufacturerColumn:
            texts[i] = FoldedKey(g.manufacturer);
            break;
        case SetColumn:
            texts[i] = FoldedKey(g.rom);
            break;
        case SourceColumn:
            texts[i] = FoldedKey(g.source);
            break;
        case CategoryColumn:
            texts[i] = FoldedKey(g.category);
            break;
        case LastPlayedColumn:
            texts[i] = g.lastPlayed;
            break;
        case PlayersColumn:
            numbers[i] = g.playerCount;
            break;
        case StatusColumn:
            numbers[i] = static_cast<int>(g.status);
            break;
        case TypeColumn:
            numbers[i] = static_cast<int>(g.type);
            break;
        case PlayCountColumn:
            numbers[i] = g.playCount;
            break;
        case FavouriteColumn:
            numbers[i] = g.favourite ? 1 : 0;
            break;
        default:
            break;
        }
    }
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        const auto x = static_cast<size_t>(a), y = static_cast<size_t>(b);
        if (games_[x].isDefault != games_[y].isDefault)
            return games_[x].isDefault;
        int order = texts[x].compare(texts[y]);
        if (order == 0)
            order = numbers[x] < numbers[y] ? -1 : numbers[x] > numbers[y] ? 1 : 0;
        if (order != 0)
            return descending ? order > 0 : order < 0;
        return titles[x].compare(titles[y]) < 0;
    });
}

} // namespace zelvora
