#include "CatalogueFixture.h"

#include "gamelist/GameListQuery.h"

using namespace zelvora;

// The main window's tests hold the cycle itself.
TEST(GameListSql, SortCycleIgnoresCaseAndStartsOverFromAnUnknownKey) {
    EXPECT_EQ(NextSortKey("DATE"), QString("Manufacturer"));
    EXPECT_EQ(NextSortKey("something else"), QString("Description"));
}

namespace {

struct GameListTest : ::testing::Test, test::CatalogueFixture {
    QStringList load(const FilterStates& filters, const QString& key = "Description") {
        return LoadGameList(vars, filters, key).descriptions;
    }
};

} // namespace

TEST_F(GameListTest, ListsTheDefaultRecordWhateverTheFilters) {
    add("mslug", "Metal Slug", {{"Driver", "neogeo.c"}, {"Screenshot", 1}, {"Default", 1}});
    // Today's MAME names its drivers after C++ sources.
    add("mslug2", "Metal Slug 2", {{"Driver", "NeoGeo.cpp"}, {"Clone", "mslug"}});
    add("pacman", "Pac-Man",
        {{"Driver", "pacman.c"}, {"Screenshot", 0}, {"Default", 0}, {"Bad ROM", 0}, {"Missing ROM", 0}});
    add("puckman", "Puck Man", {{"Driver", "pacman.c"}, {"Clone", "pacman"}, {"Bad ROM", 1}, {"Missing ROM", 1}});
    add("unknown", "Unchecked"); // status fields never set

    EXPECT_EQ(LoadGameList(vars, {}, "Description").marks, (QStringList{"", "S", "", "*", "BR", ""}));
    const struct {
        FilterStates filters;
        QStringList games;
    } cases[] = {
        {{}, {"Metal Slug", "Metal Slug 2", "Pac-Man", "Puck Man", "Unchecked"}},
        {{3, -1, 7, 0, 0, 0}, {"Metal Slug", "Metal Slug 2", "Pac-Man", "Puck Man", "Unchecked"}}, // no such state
        {{1, 0, 0, 0, 0, 0}, {"Metal Slug", "Metal Slug 2"}},
        {{2, 0, 0, 0, 0, 0}, {"Pac-Man", "Puck Man"}},
        {{0, 1, 0, 0, 0, 0}, {"Metal Slug", "Pac-Man", "Unchecked"}},
        {{0, 2, 0, 0, 0, 0}, {"Metal Slug 2", "Puck Man"}},
        {{0, 0, 1, 0, 0, 0}, {"Metal Slug 2", "Puck Man"}},
        {{0, 0, 2, 0, 0, 0}, {"Metal Slug", "Pac-Man", "Unchecked"}},
        {{0, 1, 1, 0, 0, 0}, {}}, // clones and not clones at once
        // A status field that holds nothing passes neither "= 1" nor "= 0".
        {{0, 0, 0, 1, 0, 0}, {"Metal Slug"}},
        {{0, 0, 0, 2, 0, 0}, {"Pac-Man"}},
        {{0, 0, 0, 0, 1, 1}, {"Puck Man"}},
        {{0, 0, 0, 0, 2, 2}, {"Pac-Man"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(load(c.filters), QStringList{DefaultDescription} + c.games) << c.games.join(',').toStdString();

    // Afterwards the shared recordset is the whole table, on its first record.
    EXPECT_EQ(rs().RecordCount(), 6);
    EXPECT_EQ(rs().Value("Rom").toString(), DefaultRom);
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

    const struct {
        const char* key;
        FilterStates filters;
        QStringList games;
    } cases[] = {
        {"Description", {}, {" Blank Title", "!Bang", "'88 Games", "(Unknown)", "alpha"}},
        {"Notes; DROP TABLE ROMS", {}, {" Blank Title", "!Bang", "'88 Games", "(Unknown)", "alpha"}},
        {"DATE", {}, {"(Unknown)", " Blank Title", "alpha", "!Bang", "'88 Games"}},
        {"Manufacturer", {}, {"(Unknown)", "!Bang", "'88 Games", " Blank Title", "alpha"}},
        {"Rom", {}, {"(Unknown)", "'88 Games", "alpha", "!Bang", " Blank Title"}},
        {"Description", {0, 0, 0, 2, 0, 0}, {"!Bang", "'88 Games"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(load(c.filters, c.key), QStringList{DefaultDescription} + c.games);
    }
}
