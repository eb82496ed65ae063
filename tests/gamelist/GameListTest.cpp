#include "CatalogueFixture.h"

#include "gamelist/GameListQuery.h"
#include "gamelist/GameSearch.h"
#include "gamelist/TypeAhead.h"
#include "platform/TextCompare.h"

#include <algorithm>
#include <vector>

using namespace zelvora;

namespace {

// Filter states as the settings file holds them; a number other than 0, 1 and 2 filters nothing.
FilterStates states(int a, int b, int c, int d, int e, int f) {
    return {FilterState(a), FilterState(b), FilterState(c), FilterState(d), FilterState(e), FilterState(f)};
}

// The main window's tests hold the cycle itself.
TEST(GameListSql, SortCycleIgnoresCaseAndStartsOverFromAnUnknownKey) {
    EXPECT_EQ(NextSortKey("DATE"), QString("Manufacturer"));
    EXPECT_EQ(NextSortKey("something else"), QString("Description"));
}

// The games' titles or marks as the list shows them, unfiltered.
QStringList shown(const ListedGames& games, QString ListedGame::*field = &ListedGame::title) {
    QStringList texts;
    for (const int index : games.Select({}, {}))
        texts << games[index].*field;
    return texts;
}

struct GameListTest : ::testing::Test, test::CatalogueFixture {
    QStringList load(const FilterStates& filters, const QString& key = "Description") {
        return shown(LoadGameList(GameStore(*vars.CatalogueDb), filters, key));
    }
};

TEST_F(GameListTest, ListsTheDefaultRecordWhateverTheFilters) {
    add("mslug", "Metal Slug", {{"Driver", "neogeo.c"}, {"Screenshot", 1}, {"Default", 1}});
    // Today's MAME names its drivers after C++ sources.
    add("mslug2", "Metal Slug 2", {{"Driver", "NeoGeo.cpp"}, {"Clone", "mslug"}});
    add("pacman", "Pac-Man",
        {{"Driver", "pacman.c"}, {"Screenshot", 0}, {"Default", 0}, {"Bad ROM", 0}, {"Missing ROM", 0}});
    add("puckman", "Puck Man", {{"Driver", "pacman.c"}, {"Clone", "pacman"}, {"Bad ROM", 1}, {"Missing ROM", 1}});
    add("unknown", "Unchecked"); // status fields never set
    EXPECT_EQ(shown(LoadGameList(GameStore(*vars.CatalogueDb), {}, QString("Description")), &ListedGame::marks),
              (QStringList{"", "S", "", "*", "BR", ""}));
    const std::pair<FilterStates, QStringList> cases[] = {
        {{}, {"Metal Slug", "Metal Slug 2", "Pac-Man", "Puck Man", "Unchecked"}},
        {states(3, -1, 7, 0, 0, 0),
         {"Metal Slug", "Metal Slug 2", "Pac-Man", "Puck Man", "Unchecked"}}, // no such state
        {states(1, 0, 0, 0, 0, 0), {"Metal Slug", "Metal Slug 2"}},
        {states(2, 0, 0, 0, 0, 0), {"Pac-Man", "Puck Man"}},
        {states(0, 1, 0, 0, 0, 0), {"Metal Slug", "Pac-Man", "Unchecked"}},
        {states(0, 2, 0, 0, 0, 0), {"Metal Slug 2", "Puck Man"}},
        // The main window's tests hold the clones' own row.
        {states(0, 1, 1, 0, 0, 0), {}}, // clones and not clones at once
        // A status field that holds nothing passes neither "= 1" nor "= 0".
        {states(0, 0, 0, 1, 0, 0), {"Metal Slug"}},
        {states(0, 0, 0, 2, 0, 0), {"Pac-Man"}},
        {states(0, 0, 0, 0, 1, 1), {"Puck Man"}},
        {states(0, 0, 0, 0, 2, 2), {"Pac-Man"}},
    };
    for (const auto& [filters, games] : cases)
        EXPECT_EQ(load(filters), QStringList{DefaultDescription} + games) << games.join(',').toStdString();
}

// Row 0 is the default record whatever the key, the filters and the titles, also titles that sort
// before "-=DEFAULT=-" and a game without a set name; the games keep the key's order, equal values
// falling back to the description, case-blind.
TEST_F(GameListTest, TheDefaultRecordIsRowZeroAndTheGamesFollowTheKey) {
    add("88games", "'88 Games", {{"Date", "1988"}, {"Manufacturer", "Konami"}, {"Screenshot", 0}});
    add({}, "(Unknown)", {{"Rom", QVariant()}}); // empty values sort before any other
    add("blank", " Blank Title", {{"Date", "1981"}, {"Manufacturer", "namco"}});
    add("bang", "!Bang", {{"Date", "1985"}, {"Manufacturer", "(bootleg)"}, {"Screenshot", 0}});
    add("alpha", "alpha", {{"Date", "1981"}, {"Manufacturer", "Namco"}});
    const std::tuple<const char*, FilterStates, QStringList> cases[] = {
        {"Description", {}, {" Blank Title", "!Bang", "'88 Games", "(Unknown)", "alpha"}},
        {"Notes; DROP TABLE ROMS", {}, {" Blank Title", "!Bang", "'88 Games", "(Unknown)", "alpha"}},
        {"DATE", {}, {"(Unknown)", " Blank Title", "alpha", "!Bang", "'88 Games"}},
        {"Manufacturer", {}, {"(Unknown)", "!Bang", "'88 Games", " Blank Title", "alpha"}},
        {"Rom", {}, {"(Unknown)", "'88 Games", "alpha", "!Bang", " Blank Title"}},
        {"Description", states(0, 0, 0, 2, 0, 0), {"!Bang", "'88 Games"}},
    };
    for (const auto& [key, filters, games] : cases) {
        EXPECT_EQ(load(filters, key), QStringList{DefaultDescription} + games) << key;
        // The list's own sort, from another order, agrees with the catalogue's.
        ListedGames sorted = LoadGameList(GameStore(*vars.CatalogueDb), filters, {"Rom", true});
        sorted.Sort(ColumnOfSortKey(key), false);
        EXPECT_EQ(shown(sorted), QStringList{DefaultDescription} + games) << key;
    }
}

// The filters below name only what they set.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
// The find field's words and qualifiers and the filter bar over one catalogue, with the facts,
// ROM sets, categories and play history the list reads beside it.
TEST_F(GameListTest, SearchAndTheFilterBarNarrowTheLoadedGames) {
    const auto game = [&](const char* rom, const char* title, const char* year, const char* maker, const char* source,
                          const char* playable, const QVariant& clone = {}) {
        add(rom, title,
            {{"Date", year}, {"Manufacturer", maker}, {"Driver", source}, {"Playable", playable}, {"Clone", clone}});
    };
    game("1942", "1942", "1984", "Capcom", "1942.cpp", "Yes");
    game("commando", "Commando", "1985", "Capcom", "commando.cpp", "Yes");
    game("galaga", "Galaga", "1981", "Namco", "galaga.cpp", "No");
    game("nes", "Nintendo Entertainment System", "1985", "Nintendo", "nes.cpp", "Yes");
    game("pacman", "Pac-Man", "1980", "Namco", "pacman.cpp", "Yes");
    game("pong", "Pong", "1972", "Atari", "pong.cpp", "Yes");
    game("puckman", "Puck Man", "1980", "Namco", "pacman.cpp", "Partial", "pacman");
    game("sf2", "Street Fighter II: The World Warrior", "1991", "Capcom", "cps1.cpp", "Yes");
    GameStore(*vars.CatalogueDb).SetFavourite("GALAGA", true);
    ListExtras extras;
    using T = MachineType;
    extras.facts = {{"pong", {T::Arcade, 2, false}},
                    {"nes", {T::ComputerOrConsole, 2, true}},
                    {"pacman", {T::Arcade, 1, true}},
                    {"puckman", {T::Arcade, 1, true}}};
    extras.romSetPresent = [](const QString& rom, const QString&) { return rom == "pacman"; };
    extras.describe = [](const QString& rom, ListedGame& game) {
        game.category = rom == "pacman" ? "Maze / Collect" : rom == "galaga" ? "Shooter / Flying Vertical" : "";
    };
    const ListedGames games = LoadGameList(GameStore(*vars.CatalogueDb), {}, {"Description"}, extras);
    const auto find = [&](const QString& text, const ListFilters& filters = {}) {
        const std::vector<int> found = games.Select(filters, SearchQuery::Parse(text));
        EXPECT_TRUE(games[found.at(0)].isDefault);
        QStringList sets;
        for (size_t i = 1; i < found.size(); ++i)
            sets << games[found[i]].rom;
        return sets.join(' ');
    };
    const std::pair<const char*, const char*> searches[] = {
        {"sf2", "sf2"},
        {"  NAMCO   1980 ", "pacman puckman"},
        // A word's start ranks first: Commando's title before the makers that hold "com".
        {"com", "commando 1942 sf2"},
        {"year:1980-1981", "galaga pacman puckman"},
        {"year:198 mfr:capcom", "1942 commando"},
        {"set:p*man", "pacman puckman"},
        {"set:pa", "pacman"},
        {"src:pacman", "pacman puckman"},
        {"cat:maze", "pacman puckman"}, // the clone takes its parent's
        {"players:1", "pacman puckman"},
        {"is:favourite", "galaga"},
        {"is:available", "pacman pong"}, // Pong needs no files
        {"is:working mfr:namco", "pacman"},
        {"fighter ii:", "sf2"}, // searched as text, and said
        {"year:", "1942 commando galaga nes pacman pong puckman sf2"},
    };
    for (const auto& [text, sets] : searches)
        EXPECT_EQ(find(text), QString(sets)) << text;
    EXPECT_EQ(SearchQuery::Parse("fighter ii:").problem,
              "No field is called ii:: searched as text. Fields: year, mfr, set, src, cat, players, is");
    EXPECT_FALSE(SearchQuery::Parse("is:flying").problem.isEmpty());
    EXPECT_TRUE(SearchQuery::Parse("mfr:namco set:pac* year:1980-1985").problem.isEmpty());

    using S = GameStatus;
    const std::pair<ListFilters, const char*> filters[] = {
        {{.type = T::ComputerOrConsole}, "nes"},
        {{.status = S::Imperfect}, "puckman"},
        {{.status = S::NotWorking, .favouritesOnly = true}, "galaga"},
        {{.availableOnly = true}, "pacman pong"},
        {{.category = "Shooter"}, "galaga"},
        {{.category = "Maze / Collect", .players = 1}, "pacman puckman"},
        {{.category = "Maz"}, ""},
    };
    for (const auto& [bar, sets] : filters)
        EXPECT_EQ(find({}, bar), QString(sets)) << bar.Names().join(',').toStdString();
    EXPECT_EQ(find("namco", {.status = S::Working}), "pacman");
    EXPECT_EQ(FiltersText({}, ListFilters{.type = T::Arcade, .availableOnly = true}.Names()),
              "Filters: Type: Arcade, Available");
}
#pragma GCC diagnostic pop

// The grid's description column in the list's order, counting and bounds-checking every read.
class Rows : public GridRows {
public:
    explicit Rows(QStringList descriptions) : rows(std::move(descriptions)) {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const QString& a, const QString& b) { return CompareNoCase(a, b) < 0; });
    }
    int RowCount() const override { return static_cast<int>(rows.size()); }
    QString Description(int row) const override {
        ++reads;
        EXPECT_TRUE(row >= 0 && row < rows.size()) << "row " << row << " read from a grid of " << rows.size();
        return rows.value(row);
    }
    int RowOf(const QString& description) const { return static_cast<int>(rows.indexOf(description)); }

    QStringList rows;
    mutable int reads = 0;
};

// Rows for '1' and for 'A'..'S', which F2 and F17..F35 would read as were their key codes cut to a
// character.
const Rows Arcade({"1941: Counter Attack", "1942", "Asteroids", "Dig Dug", "Galaxian", "Pac & Pal", "PAC-LAND",
                   "pac-man", "Pac-Mania", "Pengo", "Rally-X", "Tempest", "Xevious", "Xybots", "Zaxxon"});

// The row the last of `typed`'s keys lands on, the keys an eighth of a second apart, each with the
// Qt key and text a keyboard gives it (a letter's key is its capital's).
int Type(const char* typed, const GridRows& rows = Arcade) {
    TypeAhead search;
    int found = -1;
    for (int n = 0; typed[n]; ++n) {
        const QChar c(typed[n]);
        found = search.Key(c.toUpper().unicode(), QString(c), 1'000'000 + n * 125, rows, true);
    }
    return found;
}

TEST(TypeAhead, AQuickWordLandsOnTheFirstRowOfItsRunAndASlipOrAPauseCostsOneKey) {
    TypeAhead search;
    // The second counts from the last find, not from the word's first key, and a key exactly one
    // second later still belongs to the word.
    EXPECT_EQ(search.Key(Qt::Key_P, u"p", 100'000, Arcade, true), Arcade.RowOf("Pac & Pal"));
    EXPECT_EQ(search.Key(Qt::Key_A, u"a", 100'750, Arcade, true), Arcade.RowOf("Pac & Pal"));
    EXPECT_EQ(search.Key(Qt::Key_C, u"C", 101'750, Arcade, true), Arcade.RowOf("Pac & Pal"));
    // "PACX" finds nothing, so the X alone does; "XQ" and "Q" find nothing and the clock stays.
    EXPECT_EQ(search.Key(Qt::Key_X, u"x", 102'000, Arcade, true), Arcade.RowOf("Xevious"));
    EXPECT_EQ(search.Key(Qt::Key_Q, u"q", 102'250, Arcade, true), -1);
    EXPECT_EQ(search.TimeStamp(), 102'000);
    // The bisection meets a run of equal prefixes somewhere in its middle; the answer is the run's
    // first row, row 0 included.
    QStringList galaxy = {"Zaxxon"};
    for (int i = 0; i < 40; ++i)
        galaxy << QString("Galaga %1").arg(i, 2, 10, QChar('0'));
    EXPECT_EQ(Type("G", Rows(galaxy)), 0);
    // Blanks and punctuation are typed as themselves, whatever their key codes.
    EXPECT_EQ(Type("PAC-MANI"), Arcade.RowOf("Pac-Mania"));
    EXPECT_EQ(Type("PAC & P"), Arcade.RowOf("Pac & Pal"));
    // Each of these keeps "P", "A" from finding "Pac & Pal": a pause, Clear and an arrow key start
    // a new word.
    enum Between { Nothing, Clear, Arrow };
    const std::tuple<qint64, qint64, Between> cases[] = {
        {200'000, 201'500, Nothing}, {5'000, 5'250, Clear}, {5'000, 5'250, Arrow}};
    for (const auto& [first, second, between] : cases) {
        TypeAhead search;
        search.Key(Qt::Key_P, u"p", first, Arcade, true);
        if (between == Clear)
            search.Clear();
        if (between == Arrow) {
            EXPECT_EQ(search.Key(Qt::Key_Down, {}, first, Arcade, true), -1);
        }
        EXPECT_EQ(search.Key(Qt::Key_A, u"a", second, Arcade, true), Arcade.RowOf("Asteroids"))
            << first << " " << between;
    }
}

// Only what a key types searches: a key that types nothing finds nothing, whatever its code. Of
// those, the keys that move, edit or call a function end the word; the media keys, the menu key
// and a dead key are no business of the search's.
TEST(TypeAhead, NothingToFind) {
    std::vector<int> keys = {Qt::Key_Meta, Qt::Key_Super_L, Qt::Key_Menu, Qt::Key_VolumeUp, Qt::Key_Dead_Acute};
    for (const auto& [first, last] : {std::pair{Qt::Key_Escape, Qt::Key_ScrollLock}, {Qt::Key_F1, Qt::Key_F35}})
        for (int key = first; key <= last; ++key)
            keys.push_back(key);
    for (const int key : keys) {
        TypeAhead search;
        EXPECT_EQ(search.Key(key, {}, 20'000, Arcade, true), -1) << "Qt key 0x" << std::hex << key;
        EXPECT_FALSE(search.LastKeyTyped());
    }
    for (const int key : {Qt::Key_Down, Qt::Key_Escape, Qt::Key_F2})
        EXPECT_TRUE(TypeAhead::Concerns(key, {}));
    for (const int key : {Qt::Key_VolumeUp, Qt::Key_Menu, Qt::Key_Dead_Acute})
        EXPECT_FALSE(TypeAhead::Concerns(key, {}));
    // With one row there is nothing between row 0 and itself to bisect.
    EXPECT_EQ(Type("A", Rows({})), -1);
    EXPECT_EQ(Type("A", Rows({"Asteroids"})), -1);
    const Rows two({"Asteroids", "Berzerk"});
    EXPECT_EQ(Type("A", two), 0);
    EXPECT_EQ(Type("B", two), 1);
    EXPECT_EQ(Type("C", two), -1);
}

// The rows are in the list's own order, where '[' and '_' fall between the digits and the letters;
// the bisection has to compare the same way, ignoring case, to find anything past them.
TEST(TypeAhead, PunctuationAndCaseSortAsTheListSortsThem) {
    const Rows rows({"~Unknown", "_Test Driver", "[BIOS] Neo Geo", "'88 Games", "Zwackery", "zoo keeper", "Zaxxon",
                     "Alpine Ski", "^Caret", "99: The Last War", "Mr. Do!", "mr. do's castle", "Q*bert", "\\Slash"});
    const std::pair<const char*, const char*> cases[] = {
        {"9", "99: The Last War"}, {"[", "[BIOS] Neo Geo"}, {"_", "_Test Driver"},
        {"\\", "\\Slash"},         {"MR", "Mr. Do!"},       {"Q", "Q*bert"},
        {"ZA", "Zaxxon"},          {"ZW", "Zwackery"},      {"ZO", "zoo keeper"},
    };
    for (const auto& [typed, row] : cases)
        EXPECT_EQ(Type(typed, rows), rows.RowOf(row)) << typed;
}

// Short words land inside long runs and walk back through them; a word that names one row has
// only the bisection to pay for, about twice log2 of the row count.
TEST(TypeAhead, ALargeListIsBisectedNotScanned) {
    QStringList descriptions;
    for (int i = 0; i < 50000; ++i) {
        QString text;
        for (int n = 0, v = i * 7919; n < 8; ++n, v /= 26)
            text += QChar('a' + v % 26);
        descriptions << text;
    }
    const Rows rows(descriptions);
    for (int target : {1, 777, 25000, 49999}) {
        const QString wanted = rows.Description(target);
        ASSERT_FALSE(StartsWithNoCase(rows.Description(target - 1), wanted.left(6)));
        TypeAhead search;
        for (int n = 0; n < 5; ++n)
            search.Key(wanted[n].toUpper().unicode(), {}, 5'000'000 + n * 125, rows, true);
        rows.reads = 0;
        EXPECT_EQ(search.Key(wanted[5].toUpper().unicode(), {}, 5'000'750, rows, true), target);
        EXPECT_LE(rows.reads, 40) << "reads for row " << target;
    }
}

} // namespace
