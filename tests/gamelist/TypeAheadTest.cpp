#include "gamelist/TypeAhead.h"
#include "gamelist/KeyCodes.h"
#include "store/TextCompare.h"

#include <QStringList>

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

using namespace zelvora;

namespace {

// The grid's description column in the list's order, counting and bounds-checking every read.
class Rows : public GridRows {
public:
    explicit Rows(QStringList descriptions) : rows_(std::move(descriptions)) {
        std::stable_sort(rows_.begin(), rows_.end(),
                         [](const QString& a, const QString& b) { return CompareNoCase(a, b) < 0; });
    }
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    QString Description(int row) const override {
        ++reads;
        if (row < 0 || row >= rows_.size()) {
            ADD_FAILURE() << "row " << row << " read from a grid of " << rows_.size();
            return {};
        }
        return rows_[row];
    }
    int RowOf(const QString& description) const { return static_cast<int>(rows_.indexOf(description)); }

    mutable int reads = 0;

private:
    QStringList rows_;
};

Rows Arcade() {
    return Rows({"1941: Counter Attack",
                 "1942",
                 "1943: The Battle of Midway",
                 "'88 Games",
                 "Asteroids",
                 "Bosconian",
                 "Dig Dug",
                 "Galaxian",
                 "Pac & Pal",
                 "PAC-LAND",
                 "pac-man",
                 "Pac-Man Plus",
                 "Pac-Mania",
                 "Pengo",
                 "Phoenix",
                 "Rally-X",
                 "Tempest",
                 "Xevious",
                 "Xybots",
                 "Zaxxon"});
}

int Code(char c) {
    return c;
}

} // namespace

TEST(VirtualKeyCode, LettersDigitsAndCommandKeys) {
    EXPECT_EQ(VirtualKeyCode(Qt::Key_A, Qt::NoModifier), 65);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Z, Qt::ShiftModifier), 90);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_0, Qt::NoModifier), 48);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_1, Qt::KeypadModifier), 49);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_9, Qt::KeypadModifier), 57);

    EXPECT_EQ(VirtualKeyCode(Qt::Key_Return, Qt::NoModifier), KeyCode::Enter);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Enter, Qt::KeypadModifier), KeyCode::Enter);
    EXPECT_EQ(KeyCode::Enter, 13);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Delete, Qt::NoModifier), 46);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Home, Qt::NoModifier), 36);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_End, Qt::KeypadModifier), 35);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_F1, Qt::NoModifier), 112);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_F5, Qt::NoModifier), KeyCode::F5);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_F12, Qt::NoModifier), 123);
    EXPECT_EQ(KeyCode::Function(12), KeyCode::F12);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Left, Qt::NoModifier), 37);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Up, Qt::NoModifier), 38);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Right, Qt::NoModifier), 39);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Down, Qt::NoModifier), 40);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_PageUp, Qt::NoModifier), 33);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_PageDown, Qt::NoModifier), 34);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Shift, Qt::ShiftModifier), 16);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Control, Qt::ControlModifier), 17);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Space, Qt::NoModifier), 32);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Escape, Qt::NoModifier), 27);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Backspace, Qt::NoModifier), 8);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Tab, Qt::NoModifier), 9);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Insert, Qt::NoModifier), 45);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_VolumeUp, Qt::NoModifier), 0);
}

// Whatever else a key maps to, only letters and digits may come out as a code the type-ahead
// search takes for a letter or digit ('0'..'z' once folded, apart from the function keys).
TEST(VirtualKeyCode, NothingButLettersAndDigitsReachesTheSearchRange) {
    std::vector<int> keys;
    for (int k = 0x20; k <= 0x7e; ++k)
        keys.push_back(k);
    for (int k = Qt::Key_Escape; k <= Qt::Key_ScrollLock; ++k)
        keys.push_back(k);
    for (int k = Qt::Key_F1; k <= Qt::Key_F35; ++k)
        keys.push_back(k);
    for (int k : {Qt::Key_Meta, Qt::Key_Super_L, Qt::Key_Super_R, Qt::Key_Menu, Qt::Key_AltGr, Qt::Key_unknown})
        keys.push_back(k);

    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::KeypadModifier),
          Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        for (int key : keys) {
            const int code = VirtualKeyCode(key, modifiers);
            const bool letterOrDigit = (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
            if (letterOrDigit) {
                EXPECT_EQ(code, key);
                continue;
            }
            const bool functionKey = code >= KeyCode::F1 && code <= KeyCode::F12;
            EXPECT_TRUE(functionKey || code < '0' || code > 'z')
                << "Qt key 0x" << std::hex << key << " gives " << std::dec << code;
        }
    }
}

TEST(TypeAhead, TypingQuicklyBuildsAPrefixAndLandsOnTheFirstRowOfItsRun) {
    const Rows rows = Arcade();
    TypeAhead search;
    EXPECT_EQ(search.TypedText(), QString());
    EXPECT_EQ(search.TimeStamp(), 0.0);

    // The second counts from the last find, not from the word's first key, and a key exactly one
    // second later still belongs to the word.
    EXPECT_EQ(search.Key(Code('P'), 100.0, rows, true), rows.RowOf("Pac & Pal"));
    EXPECT_EQ(search.Key(Code('A'), 100.75, rows, true), rows.RowOf("Pac & Pal"));
    EXPECT_EQ(search.Key(Code('C'), 101.75, rows, true), rows.RowOf("Pac & Pal"));
    EXPECT_EQ(search.TypedText(), QString("PAC"));
    EXPECT_EQ(search.TimeStamp(), 101.75);

    // The bisection meets a run of equal prefixes somewhere in its middle; the answer is the run's
    // first row, row 0 included.
    QStringList galaxy;
    for (int i = 0; i < 40; ++i)
        galaxy << QString("Galaga %1").arg(i, 2, 10, QChar('0'));
    galaxy << "Zaxxon";
    const Rows run(galaxy);
    TypeAhead fresh;
    EXPECT_EQ(fresh.Key(Code('G'), 10.0, run, true), 0);
    EXPECT_EQ(fresh.Key(Code('A'), 10.1, run, true), 0);
}

TEST(TypeAhead, AFailedWordFallsBackToTheLastKeyAlone) {
    const Rows rows = Arcade();
    TypeAhead search;
    search.Key(Code('P'), 50.0, rows, true);
    search.Key(Code('A'), 50.25, rows, true);
    EXPECT_EQ(search.Key(Code('X'), 50.5, rows, true), rows.RowOf("Xevious"));
    EXPECT_EQ(search.TypedText(), QString("X"));
    EXPECT_EQ(search.TimeStamp(), 50.5);

    // Neither the word nor the key: nothing moves and the clock is not restarted.
    EXPECT_EQ(search.Key(Code('Q'), 50.75, rows, true), -1);
    EXPECT_EQ(search.TypedText(), QString("Q"));
    EXPECT_EQ(search.TimeStamp(), 50.5);

    // An arrow key inside the second joins the word, so "P", Down, "A" no longer finds "Pac & Pal"
    // and the second pass goes to the first "A".
    TypeAhead arrow;
    arrow.Key(Code('P'), 60.0, rows, true);
    EXPECT_EQ(arrow.Key(KeyCode::Down, 60.25, rows, true), -1);
    EXPECT_EQ(arrow.Key(Code('A'), 60.5, rows, true), rows.RowOf("Asteroids"));
    EXPECT_EQ(arrow.TypedText(), QString("A"));
}

TEST(TypeAhead, APauseOrMidnightStartsANewWord) {
    const Rows rows = Arcade();
    TypeAhead search;
    search.Key(Code('P'), 200.0, rows, true);
    EXPECT_EQ(search.Key(Code('A'), 201.5, rows, true), rows.RowOf("Asteroids"));
    EXPECT_EQ(search.TypedText(), QString("A"));
    EXPECT_EQ(search.TimeStamp(), 201.5);

    // Just before midnight, then just after: "PA" would find "Pac & Pal".
    search.Key(Code('P'), 86399.75, rows, true);
    EXPECT_EQ(search.Key(Code('A'), 0.25, rows, true), rows.RowOf("Asteroids"));
    EXPECT_EQ(search.TypedText(), QString("A"));
    EXPECT_EQ(search.TimeStamp(), 0.25);

    search.Key(Code('D'), 5.0, rows, true);

    // Home, End and F5 clear the word even inside the second.
    search.Key(Code('I'), 5.25, rows, true);
    search.Clear();
    EXPECT_EQ(search.Key(Code('G'), 5.5, rows, true), rows.RowOf("Galaxian"));
    EXPECT_EQ(search.TypedText(), QString("G"));
}

TEST(TypeAhead, KeysThatDoNotSearch) {
    const Rows rows = Arcade();
    TypeAhead search;

    // Sorted by something else the rows are in no useful order for a bisection.
    EXPECT_EQ(search.Key(Code('P'), 10.0, rows, false), -1);
    EXPECT_EQ(search.Key(Code('A'), 10.2, rows, false), -1);
    EXPECT_EQ(search.TypedText(), QString("PA"));

    // F1 is 112, 'p' as a character, F5 't' and F11 'z'.
    for (int n = 1; n <= 12; ++n) {
        TypeAhead fresh;
        EXPECT_EQ(fresh.Key(KeyCode::Function(n), 20.0, rows, true), -1) << "F" << n;
    }
    TypeAhead afterArrow;
    EXPECT_EQ(afterArrow.Key(KeyCode::Up, 30.0, rows, true), -1);
    EXPECT_EQ(afterArrow.Key(KeyCode::Space, 32.0, rows, true), -1);
}

TEST(TypeAhead, DigitsFromTheKeypadSearchForDigits) {
    const Rows rows = Arcade();
    TypeAhead search;
    double now = 300.0;
    for (Qt::Key key : {Qt::Key_1, Qt::Key_9, Qt::Key_4}) {
        EXPECT_EQ(search.Key(VirtualKeyCode(key, Qt::KeypadModifier), now, rows, true),
                  rows.RowOf("1941: Counter Attack"));
        now += 0.25;
    }
    EXPECT_EQ(search.Key(VirtualKeyCode(Qt::Key_2, Qt::KeypadModifier), now, rows, true), rows.RowOf("1942"));
    EXPECT_EQ(search.TypedText(), QString("1942"));
}

// The rows are in the list's own order, where '[' and '_' fall between the digits and the letters
// and '~' after them; the bisection has to compare the same way to find anything past them.
TEST(TypeAhead, PunctuationSortsAsTheListSortsIt) {
    const Rows rows({"~Unknown", "_Test Driver", "[BIOS] Neo Geo", "'88 Games", "Zwackery", "zoo keeper", "Zaxxon",
                     "Alpine Ski", "^Caret", "99: The Last War", "Mr. Do!", "mr. do's castle", "Q*bert", "\\Slash"});
    EXPECT_EQ(rows.RowOf("[BIOS] Neo Geo"), 2);
    EXPECT_EQ(rows.RowOf("_Test Driver"), 5);
    EXPECT_EQ(rows.RowOf("~Unknown"), 13);

    const struct {
        const char* typed;
        const char* row;
    } cases[] = {
        {"9", "99: The Last War"}, {"[", "[BIOS] Neo Geo"}, {"_", "_Test Driver"}, {"\\", "\\Slash"},
        {"^", "^Caret"},           {"A", "Alpine Ski"},     {"MR", "Mr. Do!"},     {"Q", "Q*bert"},
        {"ZA", "Zaxxon"},          {"ZW", "Zwackery"},      {"ZO", "zoo keeper"},
    };
    for (const auto& c : cases) {
        TypeAhead search;
        int row = -1;
        double now = 1000.0;
        for (const char* p = c.typed; *p; ++p, now += 0.125)
            row = search.Key(Code(*p), now, rows, true);
        EXPECT_EQ(row, rows.RowOf(c.row)) << c.typed;
    }
}

TEST(TypeAhead, TinyGrids) {
    TypeAhead search;
    EXPECT_EQ(search.Key(Code('A'), 1.0, Rows({}), true), -1);
    // With one row there is nothing between row 0 and itself to bisect.
    EXPECT_EQ(search.Key(Code('A'), 3.0, Rows({"Asteroids"}), true), -1);

    const Rows two({"Asteroids", "Berzerk"});
    EXPECT_EQ(search.Key(Code('A'), 5.0, two, true), 0);
    EXPECT_EQ(search.Key(Code('B'), 7.0, two, true), 1);
    EXPECT_EQ(search.Key(Code('C'), 9.0, two, true), -1);
}

// Short words land inside long runs and walk back through them; a word that names one row has
// only the bisection to pay for, about twice log2 of the row count.
TEST(TypeAhead, ALargeListIsBisectedNotScanned) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> letter('a', 'z');
    QStringList descriptions;
    for (int i = 0; i < 50000; ++i) {
        QString text;
        for (int n = 0; n < 12; ++n)
            text += QChar(n % 2 ? letter(random) : letter(random) - 32);
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
