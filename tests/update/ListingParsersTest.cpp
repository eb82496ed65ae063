#include "Listings.h"
#include "StandinGames.h"
#include "TestDirs.h"

#include "platform/TextLines.h"
#include "update/ListingParsers.h"

#include <gtest/gtest.h>

using namespace zelvora;
using test::Game;

// The merge's tests hold the full lines; here the lines at the edges of their columns.
TEST(ListingParsers, LinesAtTheEdgesOfTheirColumns) {
    const QString full = standin::ListDetails({Game("pacman", "Pac-Man")}).last();
    // A name of all eight columns and a description of one character, right at column 77.
    const std::optional<DetailsEntry> tight = ParseDetailsLine(standin::ListDetails({Game("abcdefgh", "X")}).last());
    ASSERT_TRUE(tight);
    EXPECT_EQ(tight->name + tight->description, QString("abcdefghX"));
    EXPECT_FALSE(ParseDetailsLine(full.left(75)))
        << "the merge's tests take a line of 76 for one without a description";
    EXPECT_FALSE(ParseDetailsLine(QString(8, ' ') + full.mid(8))) << "no set name";

    const std::optional<GamesEntry> unknown = ParseGamesLine(QString(42, ' ') + "Some Game");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->year + unknown->maker + unknown->description, QString("     Some Game")) << "kept as they stand";
    EXPECT_FALSE(ParseGamesLine(QString(42, 'x')));
    EXPECT_EQ(ParseClonesLine(QString()).parent, QString());
    EXPECT_EQ(ParseClonesLine(QStringLiteral("short")).clone, QString("short"));
}

// The headings are no games, and the status columns hold whatever stands in them. A note keeps its
// lines untrimmed, each ended by a CR, and leaves the blank ones out (the merge's tests hold the
// last note, whose last line is taken for a title, and the notes without a set name).
TEST(ListingParsers, RealGamelistDocument) {
    QStringList lines = *ReadTextLines(test::FixturePath("mame-classic/gamelist.txt"));
    const GamelistDocument doc = ParseGamelist(lines);
    EXPECT_EQ(doc.tableEnd, 549);
    ASSERT_EQ(doc.rows.size(), 537u);
    EXPECT_EQ(doc.rows[0].rom + QString::number(doc.rows[0].line), QString("00512"));
    EXPECT_EQ(doc.rows[0].status, (std::array<QString, 5>{"Yes", "Yes", "No", "Yes", "Yes"}));
    const auto rowOf = [&](const QString& rom) {
        return *std::find_if(doc.rows.begin(), doc.rows.end(), [&](const GamelistRow& r) { return r.rom == rom; });
    };
    EXPECT_EQ(rowOf("aliensyn").status[0], QString("Slowdown"));
    EXPECT_EQ(rowOf("arabian").status[1], QString("Close"));
    ASSERT_FALSE(doc.notes.empty());
    EXPECT_EQ(doc.notes[0].rom + QString::number(doc.notes[0].line), QString("yard556"));
    EXPECT_EQ(doc.notes[0].text,
              "Clones supported:\r  Vs. version (\"vsyard\")\rKnown issues:\r- Vs. mode runs only in "
              "cocktail mode (second player controls inverted).\r  That's probably how the game is "
              "designed.\r");

    // Without the table's end line the rows still count, and nothing is a note.
    lines.removeAt(doc.tableEnd);
    const GamelistDocument unended = ParseGamelist(lines);
    EXPECT_EQ(unended.rows.size(), doc.rows.size());
    EXPECT_EQ(unended.tableEnd, -1);
    EXPECT_TRUE(unended.notes.empty());
}
