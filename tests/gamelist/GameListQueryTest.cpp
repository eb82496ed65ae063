#include "CatalogueGenerator.h"
#include "TestDirs.h"

#include "gamelist/GameListQuery.h"
#include "store/Catalogue.h"
#include "store/Settings.h"
#include "store/Variables.h"

#include <gtest/gtest.h>

using namespace zelvora;

TEST(GameListSql, AssemblesTheFiltersClauses) {
    EXPECT_EQ(GameListSql({}, "Description"),
              QString("SELECT * FROM ROMS ORDER BY Rom IS NOT '-default-',Description,Description"));
    EXPECT_EQ(GameListSql({1, 0, 0, 2, 0, 0}, "Description"),
              QString("SELECT * FROM ROMS WHERE  Driver = 'neogeo.c' AND Screenshot = 0  OR Rom='-default-'"
                      "ORDER BY Rom IS NOT '-default-',Description,Description"));
    EXPECT_EQ(GameListSql({0, 1, 2, 0, 1, 2}, "date"),
              QString("SELECT * FROM ROMS WHERE  Clone IS NULL AND Clone IS NULL AND [Missing Rom] = 1 "
                      "AND [Bad Rom] = 0  OR Rom='-default-'ORDER BY Rom IS NOT '-default-',Date,Description"));
    // Both boxes ticked, or anything else stored, adds nothing; an unknown key sorts by description.
    EXPECT_EQ(GameListSql({3, -1, 7, 0, 0, 0}, "Notes; DROP TABLE ROMS"),
              QString("SELECT * FROM ROMS ORDER BY Rom IS NOT '-default-',Description,Description"));
}

TEST(GameListSql, SortCycleWraps) {
    EXPECT_EQ(NextSortKey("Description"), QString("Date"));
    EXPECT_EQ(NextSortKey("DATE"), QString("Manufacturer"));
    EXPECT_EQ(NextSortKey("Manufacturer"), QString("Rom"));
    EXPECT_EQ(NextSortKey("Rom"), QString("Description"));
    EXPECT_EQ(NextSortKey("something else"), QString("Description"));
}

namespace {

class GameListTest : public ::testing::Test {
protected:
    GameListTest() {
        vars.ProgramDir = dir.path();
        vars.Fields.InitFieldNames();
        PrepareCatalogue(vars);
    }

    void add(const QString& rom, const QString& description, const QVariantMap& fields = {}) {
        test::AddGame(*vars.RomsRecordset, rom, description, fields);
    }

    GameListRows load(const FilterStates& filters, const QString& key = "Description") {
        return LoadGameList(vars, filters, key);
    }

    test::TempProgramDir dir;
    Variables vars;
};

} // namespace

TEST_F(GameListTest, ListsTheDefaultRecordWhateverTheFilters) {
    add("mslug", "Metal Slug", {{"Driver", "neogeo.c"}, {"Screenshot", 1}, {"Default", 1}});
    add("pacman", "Pac-Man", {{"Driver", "pacman.c"}, {"Screenshot", 0}, {"Default", 0}});
    add("puckman", "Puck Man", {{"Driver", "pacman.c"}, {"Clone", "pacman"}, {"Bad ROM", 1}, {"Missing ROM", 1}});
    add("unknown", "Unchecked"); // status fields never set

    GameListRows all = load({});
    EXPECT_EQ(all.descriptions, (QStringList{"-=DEFAULT=-", "Metal Slug", "Pac-Man", "Puck Man", "Unchecked"}));
    EXPECT_EQ(all.marks, (QStringList{"", "S", "*", "BR", ""}));

    EXPECT_EQ(load({1, 0, 0, 0, 0, 0}).descriptions, (QStringList{"-=DEFAULT=-", "Metal Slug"}));
    EXPECT_EQ(load({2, 0, 0, 0, 0, 0}).descriptions, (QStringList{"-=DEFAULT=-", "Pac-Man", "Puck Man"}));
    EXPECT_EQ(load({0, 1, 0, 0, 0, 0}).descriptions,
              (QStringList{"-=DEFAULT=-", "Metal Slug", "Pac-Man", "Unchecked"}));
    EXPECT_EQ(load({0, 0, 1, 0, 0, 0}).descriptions, (QStringList{"-=DEFAULT=-", "Puck Man"}));
    // Clones and not clones at once: only the default record is left.
    EXPECT_EQ(load({0, 1, 1, 0, 0, 0}).descriptions, (QStringList{"-=DEFAULT=-"}));
    // A status field that holds nothing passes neither "= 1" nor "= 0".
    EXPECT_EQ(load({0, 0, 0, 1, 0, 0}).descriptions, (QStringList{"-=DEFAULT=-", "Metal Slug"}));
    EXPECT_EQ(load({0, 0, 0, 2, 0, 0}).descriptions, (QStringList{"-=DEFAULT=-", "Pac-Man"}));
    EXPECT_EQ(load({0, 0, 0, 0, 1, 1}).descriptions, (QStringList{"-=DEFAULT=-", "Puck Man"}));

    // Afterwards the shared recordset is the whole table, on its first record.
    EXPECT_EQ(vars.RomsRecordset->RecordCount(), 5);
    EXPECT_EQ(vars.RomsRecordset->Value("Rom").toString(), DefaultRom);
}

// Row 0 is the default record whatever the key, the filters and the titles, also titles that sort
// before "-=DEFAULT=-"; the games keep the key's order, equal values falling back to the
// description, case-blind.
TEST_F(GameListTest, TheDefaultRecordIsRowZeroAndTheGamesFollowTheKey) {
    add("88games", "'88 Games", {{"Date", "1988"}, {"Manufacturer", "Konami"}, {"Screenshot", 0}});
    // No set name, year or maker: empty values sort before any other.
    add({}, "(Unknown)", {{"Rom", QVariant()}});
    add("blank", " Blank Title", {{"Date", "1981"}, {"Manufacturer", "namco"}});
    add("bang", "!Bang", {{"Date", "1985"}, {"Manufacturer", "(bootleg)"}, {"Screenshot", 0}});
    add("alpha", "alpha", {{"Date", "1981"}, {"Manufacturer", "Namco"}});

    const struct {
        const char* key;
        FilterStates filters;
        QStringList games;
    } cases[] = {
        {"Description", {}, {" Blank Title", "!Bang", "'88 Games", "(Unknown)", "alpha"}},
        {"Date", {}, {"(Unknown)", " Blank Title", "alpha", "!Bang", "'88 Games"}},
        {"Manufacturer", {}, {"(Unknown)", "!Bang", "'88 Games", " Blank Title", "alpha"}},
        {"Rom", {}, {"(Unknown)", "'88 Games", "alpha", "!Bang", " Blank Title"}},
        {"Description", {0, 0, 0, 2, 0, 0}, {"!Bang", "'88 Games"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(load(c.filters, c.key).descriptions, QStringList{DefaultDescription} + c.games);
    }
}

TEST_F(GameListTest, ReadsFiltersFromTheSettings) {
    test::TempProgramDir config;
    Settings settings(config.path());
    settings.Save("zelvora", "settings", "Filter 0", "1");
    settings.Save("Zelvora", "Settings", "Filter 3", "2");
    settings.Save("zelvora", "settings", "Filter 5", "abc");
    EXPECT_EQ(ReadFilters(settings), (FilterStates{1, 0, 0, 2, 0, 0}));
}
