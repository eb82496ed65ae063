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

    // Kept untrimmed, each line ended by a CR; a note of blank lines is empty, and the last line is
    // taken for a title.
    QStringList notes;
    for (const GamelistNote& note : doc.notes)
        notes << QString("%1 %2: %3").arg(note.rom).arg(note.line).arg(note.text);
    EXPECT_EQ(notes, (QStringList{"pacman 9: Known issues:\r  - none\r", "galaga 15: ", "digdug 22: first line\r"}));
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
}
