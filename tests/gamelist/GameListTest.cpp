#include "CatalogueFixture.h"

#include "gamelist/GameListQuery.h"
#include "gamelist/KeyCodes.h"
#include "gamelist/TypeAhead.h"
#include "platform/TextCompare.h"

#include <algorithm>
#include <vector>

using namespace zelvora;

namespace {

// The main window's tests hold the cycle itself.
TEST(GameListSql, SortCycleIgnoresCaseAndStartsOverFromAnUnknownKey) {
    EXPECT_EQ(NextSortKey("DATE"), QString("Manufacturer"));
    EXPECT_EQ(NextSortKey("something else"), QString("Description"));
}

struct GameListTest : ::testing::Test, test::CatalogueFixture {
    QStringList load(const FilterStates& filters, const QString& key = "Description") {
        return LoadGameList(vars, filters, key).Of(Field::Description);
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

    EXPECT_EQ(LoadGameList(vars, {}, "Description").marks, (QStringList{"", "S", "", "*", "BR", ""}));
    const std::pair<FilterStates, QStringList> cases[] = {
        {{}, {"Metal Slug", "Metal Slug 2", "Pac-Man", "Puck Man", "Unchecked"}},
        {{3, -1, 7, 0, 0, 0}, {"Metal Slug", "Metal Slug 2", "Pac-Man", "Puck Man", "Unchecked"}}, // no such state
        {{1, 0, 0, 0, 0, 0}, {"Metal Slug", "Metal Slug 2"}},
        {{2, 0, 0, 0, 0, 0}, {"Pac-Man", "Puck Man"}},
        {{0, 1, 0, 0, 0, 0}, {"Metal Slug", "Pac-Man", "Unchecked"}},
        {{0, 2, 0, 0, 0, 0}, {"Metal Slug 2", "Puck Man"}},
        // The main window's tests hold the clones' own row.
        {{0, 1, 1, 0, 0, 0}, {}}, // clones and not clones at once
        // A status field that holds nothing passes neither "= 1" nor "= 0".
        {{0, 0, 0, 1, 0, 0}, {"Metal Slug"}},
        {{0, 0, 0, 2, 0, 0}, {"Pac-Man"}},
        {{0, 0, 0, 0, 1, 1}, {"Puck Man"}},
        {{0, 0, 0, 0, 2, 2}, {"Pac-Man"}},
    };
    for (const auto& [filters, games] : cases)
        EXPECT_EQ(load(filters), QStringList{DefaultDescription} + games) << games.join(',').toStdString();

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

    const std::tuple<const char*, FilterStates, QStringList> cases[] = {
        {"Description", {}, {" Blank Title", "!Bang", "'88 Games", "(Unknown)", "alpha"}},
        {"Notes; DROP TABLE ROMS", {}, {" Blank Title", "!Bang", "'88 Games", "(Unknown)", "alpha"}},
        {"DATE", {}, {"(Unknown)", " Blank Title", "alpha", "!Bang", "'88 Games"}},
        {"Manufacturer", {}, {"(Unknown)", "!Bang", "'88 Games", " Blank Title", "alpha"}},
        {"Rom", {}, {"(Unknown)", "'88 Games", "alpha", "!Bang", " Blank Title"}},
        {"Description", {0, 0, 0, 2, 0, 0}, {"!Bang", "'88 Games"}},
    };
    for (const auto& [key, filters, games] : cases)
        EXPECT_EQ(load(filters, key), QStringList{DefaultDescription} + games) << key;
}

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

// Rows for 'p', 'r', 't', 'x' and 'z', which F1, F3, F5, F9 and F11 read as.
const Rows Arcade({"1941: Counter Attack", "1942", "Asteroids", "Dig Dug", "Galaxian", "Pac & Pal", "PAC-LAND",
                   "pac-man", "Pac-Mania", "Pengo", "Rally-X", "Tempest", "Xevious", "Xybots", "Zaxxon"});

// The row the last of `typed`'s keys lands on, the keys an eighth of a second apart, each with the
// code the grid gives it ("-" is 189, "&" has none).
int Type(const char* typed, const GridRows& rows = Arcade) {
    TypeAhead search;
    int found = -1;
    for (int n = 0; typed[n]; ++n) {
        const int code = VirtualKeyCode(QChar(typed[n]).toUpper().unicode(), {});
        found = search.Key(code ? code : KeyCode::Typed, 1000.0 + n * 0.125, rows, true, QChar(typed[n]));
    }
    return found;
}

TEST(TypeAhead, AQuickWordLandsOnTheFirstRowOfItsRunAndASlipCostsOneKey) {
    TypeAhead search;
    // The second counts from the last find, not from the word's first key, and a key exactly one
    // second later still belongs to the word.
    EXPECT_EQ(search.Key('P', 100.0, Arcade, true), Arcade.RowOf("Pac & Pal"));
    EXPECT_EQ(search.Key('A', 100.75, Arcade, true), Arcade.RowOf("Pac & Pal"));
    EXPECT_EQ(search.Key('C', 101.75, Arcade, true), Arcade.RowOf("Pac & Pal"));
    // "PACX" finds nothing, so the X alone does; "XQ" and "Q" find nothing and the clock stays.
    EXPECT_EQ(search.Key('X', 102.0, Arcade, true), Arcade.RowOf("Xevious"));
    EXPECT_EQ(search.Key('Q', 102.25, Arcade, true), -1);
    EXPECT_EQ(search.TimeStamp(), 102.0);

    // The bisection meets a run of equal prefixes somewhere in its middle; the answer is the run's
    // first row, row 0 included.
    QStringList galaxy = {"Zaxxon"};
    for (int i = 0; i < 40; ++i)
        galaxy << QString("Galaga %1").arg(i, 2, 10, QChar('0'));
    EXPECT_EQ(Type("G", Rows(galaxy)), 0);

    // Blanks and punctuation are typed as themselves, whatever their key codes.
    EXPECT_EQ(Type("PAC-MANI"), Arcade.RowOf("Pac-Mania"));
    EXPECT_EQ(Type("PAC & P"), Arcade.RowOf("Pac & Pal"));
}

// Each of these keeps "P", "A" from finding "Pac & Pal": a pause, midnight and Clear start a new
// word, and an arrow key joins the word, which then falls back to "A".
TEST(TypeAhead, APauseMidnightClearOrArrowKeyBreaksTheWord) {
    enum Between { Nothing, Clear, Arrow };
    const std::tuple<double, double, Between> cases[] = {
        {200.0, 201.5, Nothing}, {86399.75, 0.25, Nothing}, {5.0, 5.25, Clear}, {5.0, 5.25, Arrow}};
    for (const auto& [first, second, between] : cases) {
        TypeAhead search;
        search.Key('P', first, Arcade, true);
        if (between == Clear)
            search.Clear();
        if (between == Arrow) {
            EXPECT_EQ(search.Key(KeyCode::Down, first, Arcade, true), -1);
        }
        EXPECT_EQ(search.Key('A', second, Arcade, true), Arcade.RowOf("Asteroids")) << first << " " << between;
    }
}

TEST(TypeAhead, NothingToFind) {
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(TypeAhead().Key(KeyCode::Function(n), 20.0, Arcade, true), -1) << "F" << n;
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
            search.Key(wanted[n].toUpper().unicode(), 5000.0 + n * 0.125, rows, true);
        rows.reads = 0;
        EXPECT_EQ(search.Key(wanted[5].toUpper().unicode(), 5000.75, rows, true), target);
        EXPECT_LE(rows.reads, 40) << "reads for row " << target;
    }
}

// The keys the grid acts on; the keypad gives the same codes as the main keyboard, so no
// modifier changes them.
TEST(VirtualKeyCode, TranslatesTheGridsKeys) {
    const std::pair<int, int> cases[] = {
        {Qt::Key_A, 'A'},     {Qt::Key_Z, 'Z'},    {Qt::Key_0, '0'},   {Qt::Key_9, '9'},
        {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Home, 36}, {Qt::Key_End, 35},
        {Qt::Key_Delete, 46}, {Qt::Key_F5, 116},   {Qt::Key_F12, 123}, {Qt::Key_VolumeUp, 0},
    };
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::KeypadModifier)})
        for (const auto& [key, code] : cases)
            EXPECT_EQ(VirtualKeyCode(key, modifiers), code) << "Qt key 0x" << std::hex << key;
}

// Whatever else a key maps to, only letters and digits may come out as a code the type-ahead
// search takes for a letter or digit ('0'..'z' once folded, apart from the function keys).
TEST(VirtualKeyCode, NothingButLettersAndDigitsReachesTheSearchRange) {
    std::vector<int> keys = {Qt::Key_Meta, Qt::Key_Super_L, Qt::Key_Super_R, Qt::Key_Menu, Qt::Key_AltGr};
    for (const auto& [first, last] :
         {std::pair{0x20, 0x7e}, {Qt::Key_Escape, Qt::Key_ScrollLock}, {Qt::Key_F1, Qt::Key_F35}})
        for (int k = first; k <= last; ++k)
            keys.push_back(k);
    for (int key : keys) {
        const int code = VirtualKeyCode(key, Qt::KeypadModifier);
        if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
            EXPECT_EQ(code, key);
        else
            EXPECT_TRUE((code >= 112 && code <= 123) || code < '0' || code > 'z')
                << "Qt key 0x" << std::hex << key << " gives " << std::dec << code;
    }
}

} // namespace
