#include "Listings.h"
#include "TestDirs.h"

#include "platform/TextLines.h"
#include "update/ListingParsers.h"

#include <gtest/gtest.h>

using namespace zelvora;

namespace {

standin::StandinGame game(const QString& name, const QString& description) {
    standin::StandinGame g;
    g.name = name;
    g.description = description;
    g.driver = QStringLiteral("pacman.c");
    g.cpus = {QStringLiteral("Z80"), QStringLiteral("M68000"), QString()};
    g.sounds = {QStringLiteral("Namco"), QString(), QStringLiteral("DAC")};
    g.year = QStringLiteral("1980");
    g.maker = QStringLiteral("Namco");
    return g;
}

} // namespace

TEST(ListingParsers, DetailsLineTakesEveryColumnAndStoresABlankForAnEmptyOne) {
    const QStringList lines = standin::ListDetails({game("pacman", "Pac-Man (Midway)")});
    ASSERT_EQ(lines.size(), DetailsHeadingLines + 1);
    const std::optional<DetailsEntry> entry = ParseDetailsLine(lines.last());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, QString("pacman"));
    EXPECT_EQ(entry->driver, QString("pacman.c"));
    EXPECT_EQ(entry->cpus, (std::array<QString, 3>{"Z80 ", "M68000 ", " "}));
    EXPECT_EQ(entry->sounds, (std::array<QString, 3>{"Namco ", " ", "DAC "}));
    EXPECT_EQ(entry->description, QString("Pac-Man (Midway)"));

    // A name of all eight columns and a description of one character, right at column 77.
    const std::optional<DetailsEntry> tight = ParseDetailsLine(standin::ListDetails({game("abcdefgh", "X")}).last());
    ASSERT_TRUE(tight);
    EXPECT_EQ(tight->name, QString("abcdefgh"));
    EXPECT_EQ(tight->description, QString("X"));
}

TEST(ListingParsers, GamesAndClonesLines) {
    const QStringList games = standin::ListGames({game("pacman", "Pac-Man \"Midway\"")});
    const std::optional<GamesEntry> entry = ParseGamesLine(games.last());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->year, QString("1980"));
    EXPECT_EQ(entry->maker, QString("Namco "));
    EXPECT_EQ(entry->description, QString("Pac-Man \"Midway\""));
    const std::optional<GamesEntry> unknown = ParseGamesLine(QString(42, ' ') + "Some Game");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->year, QString("    ")) << "the year is kept as it stands";
    EXPECT_EQ(unknown->maker, QString(" "));

    standin::StandinGame clone = game("pacmanj", "Pac-Man (Japan)");
    clone.parent = QStringLiteral("pacman");
    const QStringList clones = standin::ListClones({clone});
    const ClonesEntry pair = ParseClonesLine(clones.last());
    EXPECT_EQ(pair.clone, QString("pacmanj"));
    EXPECT_EQ(pair.parent, QString("pacman"));
}

TEST(ListingParsers, MalformedLinesGiveNothing) {
    const QString full = standin::ListDetails({game("pacman", "Pac-Man")}).last();
    for (const QString& line : {QString(), full.left(75), QString(8, ' ') + full.mid(8), QString(100, ' ')})
        EXPECT_FALSE(ParseDetailsLine(line)) << line.toStdString();
    for (const QString& line : {QString(), QStringLiteral("1980 Namco"), QString(42, 'x')})
        EXPECT_FALSE(ParseGamesLine(line)) << line.toStdString();
    EXPECT_EQ(ParseClonesLine(QString()).parent, QString());
    EXPECT_EQ(ParseClonesLine(QStringLiteral("short")).clone, QString("short"));
}

namespace {

QString row(const QString& title, const QString& playable, const QString& rom) {
    auto col = [](const QString& text, int width) { return text.leftJustified(width, ' ', true); };
    return "| " + col(title, 21) + "|" + col(playable, 8) + "|  Yes   |   No   |  Yes   |   No   | " + col(rom, 9) +
           "|";
}

} // namespace

TEST(ListingParsers, GamelistTableAndNotes) {
    const QStringList lines = {
        "Supported Games",
        "===============",
        row("", "", "Directory").replace(2, 4, "Game"),
        "|                      |Playable|Accurate|        |",
        row("Pac-Man", "Yes", "pacman"),
        row("Galaga", "No", "galaga"),
        "|----------------------|--------|",
        "",
        "Pac-Man (\"pacman\")",
        "==================",
        "Known issues:",
        "",
        "  - none",
        "",
        "Galaga (\"galaga\")",
        "=================",
        "",
        "",
        "A note without a set",
        "====================",
        "ignored",
        "Dig Dug (\"digdug\")",
        "===================",
        "first line",
        "lost line",
    };
    const GamelistDocument doc = ParseGamelist(lines);
    ASSERT_EQ(doc.rows.size(), 2u) << "the headings and the end line are no games";
    EXPECT_EQ(doc.rows[0].rom, QString("pacman"));
    EXPECT_EQ(doc.rows[0].line, 4);
    EXPECT_EQ(doc.rows[0].status, (std::array<QString, 5>{"Yes", "Yes", "No", "Yes", "No"}));
    EXPECT_EQ(doc.rows[1].status[0], QString("No"));
    EXPECT_EQ(doc.tableEnd, 6);

    ASSERT_EQ(doc.notes.size(), 3u);
    EXPECT_EQ(doc.notes[0].rom, QString("pacman"));
    EXPECT_EQ(doc.notes[0].line, 9);
    EXPECT_EQ(doc.notes[0].text, QString("Known issues:\r  - none\r")) << "kept untrimmed, each line ended by a CR";
    EXPECT_EQ(doc.notes[1].rom, QString("galaga"));
    EXPECT_EQ(doc.notes[1].text, QString()) << "a note of blank lines";
    EXPECT_EQ(doc.notes[2].rom, QString("digdug"));
    EXPECT_EQ(doc.notes[2].text, QString("first line\r")) << "the last line is taken for a title";
    EXPECT_EQ(doc.untitledNotes, 1);

    // Without the table's end line the rows still count, and nothing is a note.
    QStringList open = lines;
    open.removeAt(6);
    const GamelistDocument unended = ParseGamelist(open);
    EXPECT_EQ(unended.rows.size(), 2u);
    EXPECT_EQ(unended.tableEnd, -1);
    EXPECT_TRUE(unended.notes.empty());
}

TEST(ListingParsers, RealGamelistDocument) {
    const std::optional<QStringList> lines = ReadTextLines(test::FixturePath("mame-classic/gamelist.txt"));
    ASSERT_TRUE(lines) << "tests/fixtures/mame-classic/gamelist.txt";
    const GamelistDocument doc = ParseGamelist(*lines);
    EXPECT_EQ(doc.tableEnd, 549);
    EXPECT_EQ(doc.untitledNotes, 0);
    ASSERT_GT(doc.rows.size(), 500u);
    EXPECT_EQ(doc.rows.front().rom, QString("005"));
    const auto rowOf = [&](const QString& rom) {
        return *std::find_if(doc.rows.begin(), doc.rows.end(), [&](const GamelistRow& r) { return r.rom == rom; });
    };
    EXPECT_EQ(rowOf("aliensyn").status[0], QString("Slowdown")) << "columns 25 to 32, whatever stands there";
    EXPECT_EQ(rowOf("arabian").status[1], QString("Close"));

    ASSERT_FALSE(doc.notes.empty());
    EXPECT_EQ(doc.notes.front().rom, QString("yard"));
    EXPECT_EQ(doc.notes.front().text, QString("Clones supported:\r  Vs. version (\"vsyard\")\rKnown issues:\r"
                                              "- Vs. mode runs only in cocktail mode (second player controls "
                                              "inverted).\r  That's probably how the game is designed.\r"));
    EXPECT_EQ(doc.notes.back().rom, QString("zookeep"));
    EXPECT_TRUE(doc.notes.back().text.endsWith("- Every time you start the emulation, you get a free credit. This "
                                               "is the\r"));
}
