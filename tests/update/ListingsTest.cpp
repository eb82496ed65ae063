#include "Listings.h"
#include "StandinGames.h"
#include "TestDirs.h"

#include "platform/Progress.h"
#include "platform/TextLines.h"
#include "update/ListingParsers.h"
#include "update/MachineListing.h"

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

namespace {

struct Values : NoProgress {
    void SetValue(int value) override { values << value; }
    QList<int> values;
};

struct Read {
    std::vector<ListedMachine> machines;
    int skipped = 0;
    QString problem;
    bool stopped = false;
    QList<int> progress;
};

// The document handed over in pieces of `piece` bytes, as a pipe would, up to the reader's refusal.
Read ReadInPieces(const QByteArray& document, qsizetype piece) {
    Values progress;
    MachineListingReader reader(progress);
    bool stopped = false;
    for (qsizetype at = 0; at < document.size() && !stopped; at += piece)
        stopped = !reader.Read(QByteArrayView(document).sliced(at, std::min(piece, document.size() - at)));
    reader.Finish();
    return {std::move(reader.Machines()), reader.Skipped(), reader.Problem(), stopped, progress.values};
}

const QByteArray Recorded = test::ReadBytes(test::FixturePath("mame-today/listxml.xml"));

} // namespace

// Pieces of seven bytes cut every line and tag somewhere, the lines the reader never sees too.
TEST(MachineListingReader, EveryRunnableSystemOfTheRealListingWithWhatTheCatalogueKeeps) {
    for (const qsizetype piece : {Recorded.size(), qsizetype{4096}, qsizetype{7}}) {
        SCOPED_TRACE(piece);
        const Read read = ReadInPieces(Recorded, piece);
        ASSERT_EQ(read.problem, QString());
        QStringList names;
        for (const ListedMachine& machine : read.machines)
            names << machine.game.name;
        // Not the Neo Geo BIOS, nor the 202 devices after the systems.
        EXPECT_EQ(names, (QStringList{"asr10", "attache", "barata", "bingowav", "cc7", "cgangpzl", "eva24", "k5",
                                      "kuzmich", "mslug", "nano", "nd80z", "pacman", "photoply2k1mtnl", "puckimon",
                                      "puckman", "snowbwar", "walkyria", "wxstar4k"}));
        EXPECT_EQ(read.skipped, 203);
        EXPECT_TRUE(std::is_sorted(read.progress.begin(), read.progress.end()));
        EXPECT_GT(read.progress.last(), read.progress.first()) << "the progress moves with the names";
    }

    const Read read = ReadInPieces(Recorded, 4096);
    const auto machine = [&](const QString& name) {
        for (const ListedMachine& m : read.machines) {
            if (m.game.name == name)
                return m;
        }
        ADD_FAILURE() << name.toStdString();
        return ListedMachine();
    };
    // Driver, processors and sound chips (the speakers left out), description, year, maker; the
    // merge's tests hold Pac-Man's.
    const std::pair<const char*, QStringList> games[] = {
        {"attache",
         {"attache.cpp", "Zilog Z80", "AM9517A", "", "AY-3-8912A PSG", "Floppy sound", "Floppy sound", "Attaché",
          "1982", "Otrona"}},
        {"cc7",
         {"cc7.cpp", "Zilog Z80", "", "", "1-Bit DAC", "", "", "Chess Challenger \"7\" (set 1)", "1980",
          "Fidelity Electronics"}},
        {"wxstar4k",
         {"wxstar4000.cpp", "Motorola MC68010", "Motorola MC68010", "Intel 8051", "", "", "", "WeatherSTAR 4000",
          "1990", "Applied Microelectronics Institute/The Weather Channel"}},
        {"walkyria",
         {"joctronic.cpp", "Zilog Z80", "Zilog Z80", "", "AY-3-8910A PSG", "AY-3-8910A PSG", "8-Bit R-2R DAC",
          "Walkyria", "1986", "Joctronic"}},
        {"snowbwar", {"sealy_fr.cpp", "", "", "", "", "", "", "Snowball War - WakuWaku Yukigassen", "20??", "Sealy"}},
    };
    for (const auto& [name, fields] : games) {
        const ListedMachine m = machine(name);
        EXPECT_EQ((QStringList{m.game.driver, m.game.cpus[0], m.game.cpus[1], m.game.cpus[2], m.game.sounds[0],
                               m.game.sounds[1], m.game.sounds[2], m.game.description, m.year, m.manufacturer}),
                  fields)
            << name;
    }

    // Playable, Colors, Sound, Hi Score, Cocktail from the driver and the features, and the parent;
    // the merge's tests hold Pac-Man's and that the BIOS a Neo Geo game names makes no clone.
    const std::tuple<const char*, QStringList, QVariant> statuses[] = {
        {"attache", {"Partial", "Partial", "Yes", "No", ""}, QVariant()},    // imperfect graphics
        {"kuzmich", {"Partial", "Partial", "Yes", "Yes", ""}, QVariant()},   // imperfect palette
        {"nano", {"No", "No", "Yes", "Yes", ""}, "tmc2000"},                 // unemulated palette
        {"k5", {"No", "Partial", "No", "No", ""}, QVariant()},               // graphics imperfect overall
        {"eva24", {"No", "Yes", "Partial", "Yes", ""}, QVariant()},          // imperfect sound
        {"asr10", {"No", "Yes", "Partial", "No", ""}, QVariant()},           // sound imperfect overall
        {"nd80z", {"Yes", "Yes", "n/a", "Yes", ""}, "tk80"},                 // no sound hardware
        {"cgangpzl", {"Yes", "Yes", "Yes", "Yes", "No"}, QVariant()},        // cocktail preliminary
        {"photoply2k1mtnl", {"No", "Yes", "No", "No", ""}, "photoply2k1it"}, // a name of 15 characters
    };
    for (const auto& [name, status, clone] : statuses) {
        const ListedMachine m = machine(name);
        EXPECT_EQ((QStringList{m.status.begin(), m.status.end()}), status) << name;
        EXPECT_EQ(m.clone, clone) << name;
    }
}

// What MAME printed instead of a whole listing; the reader stops at once where it can tell.
TEST(MachineListingReader, DocumentsThatAreNotWholeListingsSayWhatIsWrong) {
    QByteArray nameless = Recorded;
    nameless.replace("<machine name=\"cc7\"", "<machine name=\"\"");
    QByteArray mismatched = Recorded;
    mismatched.replace("</year>", "</yaer>");
    const std::tuple<const char*, QByteArray, QString, bool> cases[] = {
        {"cut off", Recorded.left(Recorded.size() / 2), "was cut off after the machine \"", false},
        {"cut off in the header", Recorded.left(2000), "was cut off before its first machine", false},
        {"empty", QByteArray(), "is empty", false},
        {"not XML", "Error: unknown option: -listxml\n", "is not well-formed XML (", true},
        {"another document", "<?xml version=\"1.0\"?>\n<html>\n<body/>\n</html>\n",
         "is not MAME's machine listing: its document is <html>", true},
        {"a machine without a name", nameless, "holds a machine without a name after the machine \"bingowav\"", true},
        {"tags that do not match", mismatched, "is not well-formed XML (", true},
    };
    for (const auto& [what, document, problem, stopped] : cases) {
        const Read read = ReadInPieces(document, 4096);
        EXPECT_TRUE(read.problem.startsWith(problem)) << what << ": " << read.problem.toStdString();
        EXPECT_EQ(read.stopped, stopped) << what;
    }
}

// A set name becomes part of file paths: one that would lead out of a folder is skipped.
TEST(MachineListingReader, NamesThatWouldLeadOutOfAFolderAreSkipped) {
    QByteArray document = Recorded;
    document.replace("<machine name=\"pacman\"", "<machine name=\"../pacman\"");
    const Read plain = ReadInPieces(Recorded, 4096), read = ReadInPieces(document, 4096);
    EXPECT_TRUE(read.problem.isEmpty()) << read.problem.toStdString();
    EXPECT_EQ(read.machines.size() + 1, plain.machines.size());
    EXPECT_EQ(read.skipped, plain.skipped + 1);
}
