#include "CatalogueFixture.h"
#include "Listings.h"
#include "StandinGames.h"

#include "checks/RomAudit.h"
#include "platform/TextLines.h"
#include "store/AuditStore.h"
#include "store/MergedRecords.h"
#include "update/ChangeReport.h"
#include "update/ListingParsers.h"
#include "update/MachineListing.h"
#include "update/RomFingerprints.h"

using namespace zelvora;
using test::Game;

namespace {

// The merge's tests hold the full lines and those one column short; here the lines at the edges
// of their columns.
TEST(ListingParsers, LinesAtTheEdgesOfTheirColumns) {
    const QString full = standin::ListDetails({Game("pacman", "Pac-Man")}).last();
    // A name of all eight columns and a description of one character, right at column 77.
    const std::optional<DetailsEntry> tight = ParseDetailsLine(standin::ListDetails({Game("abcdefgh", "X")}).last());
    ASSERT_TRUE(tight);
    EXPECT_EQ(tight->name + tight->description, QString("abcdefghX"));
    EXPECT_FALSE(ParseDetailsLine(QString(8, ' ') + full.mid(8))) << "no set name";
    EXPECT_FALSE(ParseDetailsLine(QString(full).replace(20, 1, QChar(0)))) << "a damaged line";
    EXPECT_FALSE(ParseGamesLine(QString(42, '\0') + "Some Game"));
    const std::optional<GamesEntry> unknown = ParseGamesLine(QString(42, ' ') + "Some Game");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->year + unknown->maker + unknown->description, QString("     Some Game")) << "kept as they stand";
    EXPECT_FALSE(ParseGamesLine(QString(42, 'x')));
    EXPECT_EQ(ParseClonesLine(QString()).parent, QString());
    EXPECT_EQ(ParseClonesLine(QStringLiteral("short")).clone, QString("short"));
}

// The headings are no games, and the status columns hold whatever stands in them (the merge's
// tests hold the notes: their lines, the last one, and those without a set name).
TEST(ListingParsers, RealGamelistDocument) {
    QStringList lines = *ReadTextLines(test::FixturePath("mame-classic/gamelist.txt"));
    const GamelistDocument doc = ParseGamelist(lines);
    EXPECT_EQ(doc.tableEnd, 549);
    ASSERT_EQ(doc.rows.size(), 537u);
    EXPECT_EQ(doc.rows[0].rom + QString::number(doc.rows[0].line), QString("00512"));
    EXPECT_EQ(doc.rows[0].status, (std::array<QString, 5>{"Yes", "Yes", "No", "Yes", "Yes"}));
    EXPECT_EQ(std::find_if(doc.rows.begin(), doc.rows.end(), [](const GamelistRow& r) { return r.rom == "aliensyn"; })
                  ->status[0],
              QString("Slowdown"));
    ASSERT_FALSE(doc.notes.empty());
    // Without the table's end line the rows still count, and nothing is a note.
    lines.removeAt(doc.tableEnd);
    const GamelistDocument unended = ParseGamelist(lines);
    EXPECT_EQ(unended.rows.size(), doc.rows.size());
    EXPECT_EQ(unended.tableEnd, -1);
    EXPECT_TRUE(unended.notes.empty());
}

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
    int malformed = 0;
};

// The document handed over in pieces of `piece` bytes, as a pipe would, up to the reader's refusal.
Read ReadInPieces(const QByteArray& document, qsizetype piece, int maxGames = MaxListedGames) {
    Values progress;
    MachineListingReader reader(progress, maxGames);
    bool stopped = false;
    for (qsizetype at = 0; at < document.size() && !stopped; at += piece)
        stopped = !reader.Read(QByteArrayView(document).sliced(at, std::min(piece, document.size() - at)));
    reader.Finish();
    return {
        std::move(reader.Machines()), reader.Skipped(), reader.Problem(), stopped, progress.values, reader.Malformed()};
}

const QByteArray Recorded = test::ReadBytes(test::FixturePath("mame-today/listxml.xml"));

// Pieces of seven bytes cut every line and tag somewhere, the lines the reader never sees too; the
// merge's tests read the listing in one piece.
TEST(MachineListingReader, EveryRunnableSystemOfTheRealListingWithWhatTheCatalogueKeeps) {
    const Read read = ReadInPieces(Recorded, 7);
    ASSERT_EQ(read.problem, QString());
    QStringList names;
    for (const ListedMachine& machine : read.machines)
        names << machine.game.name;
    // Not the Neo Geo BIOS, nor the 202 devices after the systems.
    EXPECT_EQ(names, (QStringList{"asr10", "attache", "barata", "bingowav", "cc7", "cgangpzl", "eva24", "k5", "kuzmich",
                                  "mslug", "nano", "nd80z", "pacman", "photoply2k1mtnl", "puckimon", "puckman",
                                  "snowbwar", "walkyria", "wxstar4k"}));
    EXPECT_EQ(read.skipped, 203);
    EXPECT_TRUE(std::is_sorted(read.progress.begin(), read.progress.end()));
    EXPECT_GT(read.progress.last(), read.progress.first()) << "the progress moves with the names";
    const auto machine = [&](const QString& name) {
        const auto m = std::find_if(read.machines.begin(), read.machines.end(),
                                    [&](const ListedMachine& m) { return m.game.name == name; });
        return m == read.machines.end() ? ListedMachine() : *m;
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

// The kind of machine, the players and whether files are needed come from lines the filter drops;
// pieces of seven bytes cut them everywhere.
TEST(MachineListingReader, KindPlayersAndFilesOfEachMachine) {
    std::vector<ListedMachine> machines = ReadInPieces(Recorded, 7).machines;
    for (ListedMachine& machine :
         ReadInPieces(test::ReadBytes(test::FixturePath("mame-today/listxml-kinds.xml")), 7).machines)
        machines.push_back(std::move(machine));
    const std::tuple<const char*, MachineType, int, bool> facts[] = {
        {"walkyria", MachineType::Mechanical, 0, true},
        {"attache", MachineType::ComputerOrConsole, 1, true}, // floppy drives, a software list
        {"nano", MachineType::ComputerOrConsole, 1, true},    // quickload, cassette
        {"apexc", MachineType::ComputerOrConsole, 1, false},  // a software list alone, no ROM
        {"beena", MachineType::ComputerOrConsole, 0, false},  // a cartridge slot, a BIOS never dumped
        {"mslug", MachineType::Arcade, 2, true},              // its cartridge slot holds it for good
        {"pong", MachineType::Arcade, 2, false},              // no ROM at all
        {"alfaskop4101", MachineType::Arcade, 0, false},      // one ROM, never dumped
        {"bingowav", MachineType::Arcade, 0, true},           // some ROMs never dumped
        {"snowbwar", MachineType::Arcade, 0, true},           // a disk image alone
        {"cgangpzl", MachineType::Arcade, 4, true},
    };
    for (const auto& [name, type, players, needsFiles] : facts) {
        const auto m =
            std::find_if(machines.begin(), machines.end(), [&](const ListedMachine& m) { return m.game.name == name; });
        ASSERT_NE(m, machines.end()) << name;
        EXPECT_EQ(std::tuple(static_cast<int>(m->type), m->players, m->needsFiles),
                  std::tuple(static_cast<int>(type), players, needsFiles))
            << name;
    }
    // The first screen and how many there are; each kind of control once, by name, with the most
    // buttons of any.
    using S = ScreenType;
    const std::tuple<const char*, ScreenFacts, ControlFacts> screensAndControls[] = {
        {"pacman", {S::Raster, true, 1, 288, 224, 60.606061f}, {"Joystick (4-way)", 0}},
        {"cgangpzl", {S::Raster, false, 1, 304, 224, 60}, {"Joystick (8-way)", 3}},
        {"kuzmich", {S::Raster, false, 1, 560, 192, 60}, {"Joystick (5-way)", 0}},
        {"attache", {S::Raster, false, 1, 640, 240, 59.997663f}, {"Keyboard", 61}},
        {"darius", {S::Raster, false, 3, 288, 224, 60}, {"Joystick (8-way)", 2}},
        {"tempest", {S::Vector, true, 1, 0, 0, 60}, {"Dial", 2}},
        {"walkyria", {}, {}},
    };
    for (const auto& [name, screen, controls] : screensAndControls) {
        const auto m =
            std::find_if(machines.begin(), machines.end(), [&](const ListedMachine& m) { return m.game.name == name; });
        ASSERT_NE(m, machines.end()) << name;
        EXPECT_EQ(m->screen, screen) << name;
        EXPECT_EQ(m->controls, controls) << name;
    }
    // The CRCs of the machine's own ROMs: not those merged from its parent, nor those never dumped.
    for (const auto& [name, crcs] : std::initializer_list<std::pair<const char*, Fingerprint>>{
             {"pacman", {0x0c944964, 0x1a6fb2d4, 0x817d94e3, 0x958fedf9, 0xbcdd1beb, 0xc1e6ab10}},
             {"alfaskop4101", {}},
             {"snowbwar", {}}}) {
        const auto m =
            std::find_if(machines.begin(), machines.end(), [&](const ListedMachine& m) { return m.game.name == name; });
        ASSERT_NE(m, machines.end()) << name;
        EXPECT_EQ(m->roms, crcs) << name;
    }
    const auto bingowav = std::find_if(machines.begin(), machines.end(),
                                       [&](const ListedMachine& m) { return m.game.name == "bingowav"; });
    EXPECT_EQ(bingowav->roms.size(), 5u) << "seven ROMs, two never dumped";
}

// What MAME printed instead of a whole listing; the reader stops at once where it can tell.
TEST(MachineListingReader, DocumentsThatAreNotWholeListingsSayWhatIsWrong) {
    QByteArray nameless = Recorded;
    nameless.replace("<machine name=\"cc7\"", "<machine name=\"\"");
    const QByteArray huge(2 * ListingLineFilter::LongestLine, 'x');
    const QByteArray longComment = "<!--\n" + QByteArray("<x>\n").repeated(300000) + "-->\n\t<machine name=\"pacman\"";
    const std::tuple<const char*, QByteArray, QString, bool> cases[] = {
        {"cut off", Recorded.left(Recorded.size() / 2), "was cut off after the machine \"", false},
        {"cut off in the header", Recorded.left(2000), "was cut off before its first machine", false},
        {"empty", QByteArray(), "is empty", false},
        {"not XML", "Error: unknown option: -listxml\n", "is not well-formed XML (", true},
        {"another document", "<?xml version=\"1.0\"?>\n<html>\n<body/>\n</html>\n",
         "is not MAME's machine listing: its document is <html>", true},
        {"a machine without a name", nameless, "holds a machine without a name after the machine \"bingowav\"", true},
        // Nothing outside a machine can be dropped: what is too long to hold refuses the listing.
        {"a line too long before the machines", QByteArray(Recorded).replace("<mame ", "<mame x=\"" + huge + "\" "),
         "holds a line or an element too long to read before its first machine", true},
        {"a comment too long between machines", QByteArray(Recorded).replace("\t<machine name=\"pacman\"", longComment),
         "holds a line or an element too long to read after the machine \"neogeo\"", true},
        {"more games than kept", Recorded, "lists more than 5 games", true},
    };
    for (const auto& [what, document, problem, stopped] : cases) {
        const Read read = ReadInPieces(document, 4096, QByteArray(what) == "more games than kept" ? 5 : MaxListedGames);
        EXPECT_TRUE(read.problem.startsWith(problem)) << what << ": " << read.problem.toStdString();
        EXPECT_EQ(read.stopped, stopped) << what;
    }
}

// Nothing MAME prints is held whole past any sane length: a text longer than any MAME gives, or a
// line too long to hold, makes Pac-Man malformed, skipped and counted, and the listing goes on; a
// ROM's line of any length is dropped with the ROM, as short ones are. So does a set name that
// would lead out of a folder or that MAME would take for a switch (it goes into paths and commands).
TEST(MachineListingReader, TextsTooLongAndHostileNamesMakeTheirMachineMalformed) {
    const QByteArray huge(2 * ListingLineFilter::LongestLine, 'x'), long_(MaxListedText + 1, 'x');
    QByteArray textOverLines;
    for (int i = 0; i < 3; ++i)
        textOverLines += QByteArray(ListingLineFilter::LongestLine / 2, 'x') + "\n";
    const QByteArray description = "<description>Pac-Man (Midway)</description>";
    const QByteArray machine = "<machine name=\"pacman\" sourcefile=\"pacman/pacman.cpp\" cloneof=\"puckman\"";
    const QByteArray chip = "name=\"Namco\" clock=\"96000\"/>";
    const std::tuple<const char*, QByteArray, QByteArray, int> cases[] = {
        {"a description on a line too long", description, "<description>" + huge + "</description>", 1},
        {"a description too long", description, "<description>" + long_ + "</description>", 1},
        {"a description over lines", description, "<description>\n" + textOverLines + "</description>", 1},
        {"its own line too long", machine, machine + " x=\"" + huge + '"', 1},
        {"a parent's name too long", "cloneof=\"puckman\"", "cloneof=\"" + long_ + '"', 1},
        {"a chip too long", chip, "name=\"" + long_ + "\"/>", 1},
        {"a ROM on a line too long", "<chip type=\"cpu\"", "<rom name=\"" + huge + "\"/>\n\t\t<chip type=\"cpu\"", 0},
        {"a name leading out of a folder", "name=\"pacman\"", "name=\"../pacman\"", 1},
        {"a name MAME takes for a switch", "name=\"pacman\"", "name=\"-listxml\"", 1},
    };
    const Read plain = ReadInPieces(Recorded, 4096);
    for (const auto& [what, from, to, malformed] : cases) {
        SCOPED_TRACE(what);
        QByteArray document = Recorded;
        const qsizetype at = document.indexOf(from, document.indexOf("<machine name=\"pacman\""));
        document.replace(at, from.size(), to);
        const Read read = ReadInPieces(document, 65536);
        EXPECT_EQ(read.problem, QString());
        EXPECT_EQ(read.malformed, malformed);
        EXPECT_EQ(read.machines.size() + malformed, plain.machines.size());
        EXPECT_EQ(read.skipped, plain.skipped);
    }
}

// Remembers the games the merge reports, and counts the values set outside the range set before.
struct RecordingReport : MergeReport {
    void SetText(const QString&) override {}
    void SetRange(int minimum, int maximum) override {
        min = minimum;
        max = maximum;
    }
    void SetValue(int value) override { outOfRange += value < min || value > max; }
    void NewGame(const QString& description) override { newGames << description; }
    void ExpiredGame(const QString& description) override { expired << description; }
    void RenamedGame(const RenamedSet& set) override { renamed << set.Text(); }

    QStringList newGames, expired, renamed;
    int min = 0, max = 0, outOfRange = 0;
};

class MergeTest : public ::testing::Test, public test::CatalogueFixture {
protected:
    MergeTest() { vars.MamePath = mame.path() + "/"; }

    // A game of an earlier update; a null description is stored as such.
    void add(const QString& rom, const QVariant& description, QVariantMap fields = {}) {
        fields.insert("Description", description);
        test::AddGame(rs(), rom, description.toString(), fields);
    }
    static void write(const QString& path, const QStringList& lines) {
        test::WriteBytes(path, lines.join('\n').toUtf8() + (lines.isEmpty() ? "" : "\n"));
    }
    // The three listings MAME would give for these games.
    void listings(const std::vector<standin::StandinGame>& games) {
        write(program.file("Details.txt"), standin::ListDetails(games));
        write(program.file("Games.txt"), standin::ListGames(games));
        write(program.file("Clones.txt"), standin::ListClones(games));
    }
    void realGamelist(const std::function<void(QStringList&)>& change = {}) {
        QStringList lines = *ReadTextLines(test::FixturePath("mame-classic/gamelist.txt"));
        if (change)
            change(lines);
        write(mame.file("gamelist.txt"), lines);
    }
    MergeOutcome merge(const std::vector<ListingCapture>& captures = {}) {
        return MergeListings(vars, report, captures);
    }
    QStringList values(const QString& rom, const QStringList& fields) {
        QStringList all;
        for (const QString& field : fields)
            all << stored(rom, field).toString();
        return all;
    }
    QStringList roms() { return test::Column(*vars.CatalogueDb); }
    // After a refused update: the records and their fields as they were, nothing reported.
    void expectNothingChanged() {
        EXPECT_EQ(roms(), (QStringList{DefaultRom, "pacman"}));
        EXPECT_EQ(stored("pacman", "Clone").toString(), QString("puckman"));
        EXPECT_TRUE(report.expired.isEmpty() && report.newGames.isEmpty());
    }

    test::TempProgramDir mame;
    RecordingReport report;
};

// Today's MAME's recorded listing as the reader leaves it after MAME's run.
MachineListing RecordedListing() {
    Read read = ReadInPieces(Recorded, Recorded.size());
    return {"'/mame/100%2/mame' -listxml", {0, {}, false}, std::move(read.machines), read.skipped, read.problem};
}

TEST_F(MergeTest, NewKnownAndExpiredGames) {
    add("pacman", "PAC-MAN", {{"Default", 0}, {"Sound Card", 3}, {"Notes", "my note"}, {"Driver", "old.c"}});
    add("oldgame", "Old Game");
    add("nodesc", QVariant());
    store().SetFavourite("oldgame", true);
    store().ReplaceFacts({{"oldgame", {{MachineType::Arcade, 2, true}}}});
    listings({Game("pacman", "Pac-Man"), Game("galaga", "Galaga")});
    const MergeOutcome outcome = merge();
    ASSERT_TRUE(outcome.merged);
    EXPECT_EQ(report.newGames, QStringList{"Galaga"});
    EXPECT_EQ(report.expired, (QStringList{"Old Game", "nodesc"})) << "a game without a description by its set";
    EXPECT_EQ(roms(), (QStringList{DefaultRom, "pacman", "galaga"}));
    EXPECT_TRUE(store().History("oldgame").favourite) << "kept for the day the game comes back";
    EXPECT_EQ(store().Facts().keys(), QStringList{"oldgame"}) << "these listings tell no facts";
    // The known game keeps the user's settings and takes the listings' fields, a change of case
    // too; the new one gets the default options and a blank for each empty column.
    EXPECT_EQ(values("pacman", {"Default", "Sound Card", "Notes", "Driver", "Description", "Manufacturer", "Date"}),
              (QStringList{"0", "3", "my note", "drv.c", "Pac-Man", "Maker of pacman ", "1984"}));
    EXPECT_EQ(values("galaga", {"Default", "Active", "CPU 1", "CPU 2", "CPU 3", "Sound 1", "Sound 2", "Sound 3"}),
              (QStringList{"1", "-1", "Z80 ", "M68000 ", " ", " ", "Namco ", " "}));
    EXPECT_TRUE(stored("galaga", "Notes").isNull());
    EXPECT_TRUE(stored("galaga", "Playable").isNull());
    ASSERT_EQ(outcome.remarks.size(), 1);
    EXPECT_TRUE(outcome.remarks[0].contains("gamelist.txt is missing")) << outcome.remarks[0].toStdString();
}

TEST_F(MergeTest, StatusNotesAndClonesFromTheRealGamelist) {
    add("yard", "10-Yard Fight", {{"Notes", "stale"}});
    listings({Game("yard", "10-Yard Fight"), Game("vsyard", "10-Yard Fight (Vs.)", "yard"),
              Game("zookeep", "Zoo Keeper"), Game("orphan", "Orphan", "nosuch"), Game("1942", "1942")});
    add("orphan", "Orphan", {{"Notes", "kept"}});
    realGamelist();
    ASSERT_TRUE(merge().merged);
    EXPECT_EQ(stored("yard", "Playable").toString(), QString("Yes"));
    EXPECT_TRUE(
        stored("yard", "Notes").toString().startsWith("Clones supported:\r  Vs. version (\"vsyard\")\rKnown issues:\r"))
        << "notes are replaced, their lines untrimmed, the blank ones left out";
    EXPECT_EQ(stored("zookeep", "Cocktail").toString(), QString("No"));
    EXPECT_TRUE(stored("zookeep", "Notes").toString().endsWith("you get a free credit. This is the\r"));
    // The clone takes its parent's notes and status words and names it.
    const QStringList taken = {"Notes", "Playable", "Colors", "Sound", "Hi Score", "Cocktail"};
    EXPECT_EQ(values("vsyard", taken), values("yard", taken));
    EXPECT_EQ(stored("vsyard", "Clone").toString(), QString("yard"));
    EXPECT_EQ(stored("orphan", "Notes").toString(), QString("kept")) << "its parent is not in the catalogue";
    EXPECT_TRUE(stored("orphan", "Clone").isNull());
}

TEST_F(MergeTest, MakersAndYearsAreFoundByDescriptionFromTheNearerEnd) {
    listings({Game("twina", "Twin"), Game("twinb", "Twin")});
    // Line 0 is looked up from the first record; line 2 of 0 to 4, the middle, already from the last.
    // The merged records' test holds descriptions with quotes in them.
    write(program.file("Games.txt"), {"1981 First                                Twin", "",
                                      "1982 Second                               Twin", "", ""});
    ASSERT_TRUE(merge().merged);
    EXPECT_EQ(values("twina", {"Manufacturer", "Date"}), (QStringList{"First ", "1981"}));
    EXPECT_EQ(values("twinb", {"Manufacturer", "Date"}), (QStringList{"Second ", "1982"}));
}

TEST_F(MergeTest, AFailedListingOrOneWithoutGamesChangesNothing) {
    add("pacman", "Pac-Man", {{"Clone", "puckman"}});
    // A folder name that looks like a place holder of the remark's text.
    const QString was = " so the catalogue was not changed. The command was: '/mame/100%1/mame' ";
    // What Details.txt holds, the exit codes of the clone and detail listings, what the refusal says.
    // A detail listing without games, missing or empty alike, is refused once, failed or not.
    const std::tuple<const char*, QStringList, int, int, QString> cases[] = {
        {"an answer of another kind", standin::ListDetails({}) + QStringList{"mame: unknown option", "usage: mame"}, 0,
         127, "lists no games," + was + "-listdetails > Details.txt (exit code 127)"},
        {"a clone listing that crashed", standin::ListDetails({Game("galaga", "Galaga")}), 139, 0,
         "clone listing Clones.txt failed," + was + "-listclones > Clones.txt (exit code 139)"},
        {"longer than any MAME's", QStringList(MaxListedGames + 1, "x"), 0, 0,
         "detail listing Details.txt has more than 200000 lines," + was + "-listdetails > Details.txt (exit code 0)"},
    };
    write(program.file("Clones.txt"), {"pacman   nosuch"});
    for (const auto& [name, listed, clonesExit, detailsExit, says] : cases) {
        SCOPED_TRACE(name);
        write(program.file("Details.txt"), listed);
        report = RecordingReport();
        const MergeOutcome outcome =
            merge({{"Clones.txt", "'/mame/100%1/mame' -listclones > Clones.txt", clonesExit},
                   {"Details.txt", "'/mame/100%1/mame' -listdetails > Details.txt", detailsExit}});
        EXPECT_FALSE(outcome.merged);
        ASSERT_EQ(outcome.remarks.size(), 1);
        EXPECT_TRUE(outcome.remarks[0].contains(says)) << outcome.remarks[0].toStdString();
        expectNothingChanged();
    }
}

// Also listings of fewer than three lines, whose progress range must still hold the first value.
TEST_F(MergeTest, MalformedLinesAreSkippedAndCountedButNeverExpireTheSetTheyName) {
    add("galaga", "Galaga", {{"Sound Card", 2}});
    add("digdug", "Dig Dug", {{"Sound Card", 3}});
    add("dkong", "Donkey Kong");
    // Without a description a game's line ends at column 76; one a column shorter still names its set.
    QStringList details = standin::ListDetails({Game("pacman", "Pac-Man"), Game("galaga", "")});
    // A name that would lead out of a folder is no set name.
    details << standin::ListDetails({Game("digdug", "Dig Dug")}).last().left(75) << "too short" << QString(90, ' ')
            << "" << standin::ListDetails({Game("../x", "Outside")}).last();
    // Nor one MAME would take for a switch, the default record's own included.
    for (const char* name : {"-listxml", "-default-"})
        details << standin::ListDetails({Game(name, "Switch")}).last();
    // A description longer than any MAME gives.
    details << standin::ListDetails({Game("dkong", QString(MaxListedText + 1, 'x'))}).last();
    write(program.file("Details.txt"), details);
    write(program.file("Games.txt"), {"1980 Namco", "", "1981 Nintendo" + QString(MaxGamesLine, ' ') + "Donkey Kong"});
    write(program.file("Clones.txt"), {"x"});
    realGamelist([](QStringList& lines) {
        lines.insert(600, "A title without quotes");
        lines.insert(601, "=====");
    });
    const MergeOutcome outcome = merge();
    ASSERT_TRUE(outcome.merged);
    EXPECT_EQ(roms(), (QStringList{DefaultRom, "galaga", "digdug", "dkong", "pacman"}))
        << "no record for a malformed line";
    EXPECT_EQ(values("galaga", {"Description", "Driver", "Sound Card"}), (QStringList{"", "drv.c", "2"}));
    // Active, so that the next update does not expire it either.
    EXPECT_EQ(values("digdug", {"Sound Card", "Active"}), (QStringList{"3", "-1"}));
    EXPECT_EQ(stored(DefaultRom, "Description").toString(), DefaultDescription);
    EXPECT_EQ(outcome.remarks, (QStringList{
                                   "7 lines of Details.txt skipped: too short or without a set name.",
                                   "1 line of Details.txt skipped: too long.",
                                   "1 line of gamelist.txt skipped: note titles without a set name between double "
                                   "quotes.",
                                   "2 lines of Games.txt skipped: too short to hold a description.",
                                   "1 line of Games.txt skipped: too long.",
                               }));
    EXPECT_EQ(report.outOfRange, 0);
}

TEST_F(MergeTest, TodaysMachineListingAddsKeepsAndExpiresGamesAsTheListingsDid) {
    add("pacman", "PAC-MAN",
        {{"Default", 0}, {"Sound Card", 3}, {"Notes", "my note"}, {"Playable", "No"}, {"CPU 2", "M68000 "}});
    add("mslug", "Metal Slug", {{"Clone", "neogeo"}, {"Notes", "kept"}});
    add("oldgame", "Old Game");
    store().ReplaceFacts({{"oldgame", {{MachineType::Arcade, 2, true}}}});
    MachineListing listing = RecordedListing();
    listing.malformed = 2;
    const MergeOutcome outcome = MergeMachineListing(vars, report, listing);
    ASSERT_TRUE(outcome.merged);
    EXPECT_EQ(outcome.remarks,
              QStringList{"2 machines of MAME's machine listing skipped: without a set name or too long to read."});
    EXPECT_EQ(report.outOfRange, 0);
    EXPECT_EQ(report.newGames.size(), 17);
    EXPECT_EQ(report.newGames.first(), QString("ASR-10")) << "in the listing's order";
    EXPECT_EQ(report.expired, QStringList{"Old Game"});
    EXPECT_EQ(roms().first(), DefaultRom);
    EXPECT_EQ(roms().size(), 1 + 19);
    // The known game keeps the user's settings and notes and takes all the rest from the listing.
    EXPECT_EQ(values("pacman", {"Default", "Sound Card", "Notes", "Description", "Driver", "CPU 1", "CPU 2", "Sound 1",
                                "Playable", "Colors", "Sound", "Hi Score", "Cocktail", "Clone", "Manufacturer", "Date",
                                "Active"}),
              (QStringList{"0", "3", "my note", "Pac-Man (Midway)", "pacman.cpp", "Zilog Z80", "", "Namco", "Yes",
                           "Yes", "Yes", "Yes", "", "puckman", "Namco (Midway license)", "1980", "-1"}));
    EXPECT_TRUE(stored("mslug", "Clone").isNull()) << "a game that is no clone any more";
    EXPECT_EQ(stored("mslug", "Notes").toString(), QString("kept"));
    EXPECT_EQ(values("photoply2k1mtnl", {"Default", "Active", "Description", "Clone", "Sound"}),
              (QStringList{"1", "-1", "Photo Play Masters 2001 (Netherlands)", "photoply2k1it", "No"}));
    EXPECT_TRUE(stored("photoply2k1mtnl", "Notes").isNull());
    // The facts of the listed machines only, in place of those of before.
    const QHash<QString, GameFacts> facts = store().Facts();
    EXPECT_EQ(facts.size(), 19);
    const GameFacts attache = facts.value("attache");
    EXPECT_EQ(std::tuple(attache.type, attache.players, attache.needsFiles),
              std::tuple(MachineType::ComputerOrConsole, 1, true));
}

// The machine's block of the recorded listing, from its tag to the end of its line after </machine>.
QByteArray MachineBlock(const QByteArray& listing, const QByteArray& name) {
    const qsizetype from = listing.indexOf("\t<machine name=\"" + name + "\"");
    const qsizetype to = listing.indexOf('\n', listing.indexOf("</machine>", from)) + 1;
    return listing.mid(from, to - from);
}

// The recorded listing, then the next MAME's: a game renamed, two that trade names, one removed,
// one added, a title and a status changed. The report of the second update is kept in the catalogue until the next one.
TEST_F(MergeTest, TheReportOfAnUpdateSaysWhatChangedAndIsKeptUntilTheNext) {
    ASSERT_TRUE(MergeMachineListing(vars, report, RecordedListing()).merged);
    QByteArray next = Recorded;
    next.replace("<machine name=\"walkyria\"", "<machine name=\"walkyria2\"");
    next.replace("<machine name=\"eva24\"", "<machine name=\"swapped\"")
        .replace("<machine name=\"nano\"", "<machine name=\"eva24\"")
        .replace("<machine name=\"swapped\"", "<machine name=\"nano\"");
    next.replace(MachineBlock(next, "barata"), "");
    QByteArray added = MachineBlock(next, "cc7");
    added.replace("name=\"cc7\"", "name=\"cc7b\"").replace("(set 1)", "set 2, \"Sensory\"");
    next.replace(MachineBlock(next, "cc7"), MachineBlock(next, "cc7") + added);
    next.replace("<description>Attaché</description>", "<description>Attaché (revised)</description>");
    const QByteArray kuzmich = MachineBlock(next, "kuzmich");
    next.replace(kuzmich, QByteArray(kuzmich).replace("status=\"imperfect\"", "status=\"good\""));
    Read read = ReadInPieces(next, next.size());
    ASSERT_EQ(read.problem, QString());

    ChangeReport changes(*vars.CatalogueDb);
    changes.AddRename("walkyria", "walkyria2");
    changes.AddRename("nosuchgame", "pacman"); // never was: ignored
    changes.AddRename("eva24", "nano");
    changes.AddRename("nano", "eva24");
    MergeOutcome outcome =
        MergeMachineListing(vars, report, {"mame -listxml", {0, {}, false}, std::move(read.machines), 0, {}});
    ASSERT_TRUE(outcome.merged);
    ASSERT_TRUE(KeepChanges(*vars.CatalogueDb, changes, outcome));
    close();
    OpenCatalogue(vars);
    const std::vector<GameChange> kept = LastChanges(*vars.CatalogueDb);
    using enum ChangeKind;
    using S = GameStatus;
    const QString cc7b = "Chess Challenger \"7\" set 2, \"Sensory\"";
    const std::vector<GameChange> expected = {
        {Added, "cc7b", cc7b, S::Working, {}, {}, S::Unknown},
        {Removed, "barata", "Dona Barata (early prototype)", S::Imperfect, {}, {}, S::Unknown},
        {Renamed, "nano", "Electronic Voice Alert (24-function)", S::NotWorking, "eva24",
         "Electronic Voice Alert (24-function)", S::NotWorking},
        {Renamed, "eva24", "OSCOM Nano", S::NotWorking, "nano", "OSCOM Nano", S::NotWorking},
        {Renamed, "walkyria2", "Walkyria", S::NotWorking, "walkyria", "Walkyria", S::NotWorking},
        {Status, "kuzmich", "Kuzmich-Egorych", S::Working, {}, {}, S::Imperfect},
        {Title, "attache", "Attaché (revised)", S::Imperfect, {}, "Attaché", S::Imperfect}};
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(ChangeDetail(kept[5]), QString("imperfect → working"));
    const QStringList csv = ChangesCsv(kept).split("\r\n");
    EXPECT_EQ(csv.value(1), "Added,cc7b,\"Chess Challenger \"\"7\"\" set 2, \"\"Sensory\"\"\",working,,,");
    EXPECT_EQ(csv.value(6), "Status changed,kuzmich,Kuzmich-Egorych,working,,,imperfect");
    EXPECT_EQ(csv.size(), 9) << "a heading, seven lines and the end of the last";
}

TEST_F(MergeTest, TodaysListingThatFailedOrIsNotWholeChangesNothingAndSaysWhy) {
    add("pacman", "Pac-Man", {{"Clone", "puckman"}});
    const QString kept = ", so the catalogue was not changed. The command was: '/mame/100%2/mame' -listxml (exit code ";
    const MachineListing whole = RecordedListing();
    store().ReplaceFacts({{"pacman", {{MachineType::Arcade, 2, true}}}});
    const QString cut = "was cut off after the machine \"k5\"", xml = "is not well-formed XML (x)";
    const StreamedRun crash{139, "Exception at 0x4711\n\n  in listxml\n", false};
    // MAME's run, the reader's problem, whether machines were read, what the refusal says. A crash
    // before a runnable machine is told before the listing's faults.
    const std::tuple<StreamedRun, QString, bool, QString> cases[] = {
        {crash, cut, false, "failed" + kept + "139). MAME said: Exception at 0x4711\nin listxml"},
        {{141, {}, true}, xml, true, xml + kept + "141)."}, // stopped by the reader
        {{0, {}, false}, cut, true, cut + kept + "0)."},
        {{0, {}, false}, QString(), false, "lists no games" + kept + "0)."},
    };
    for (const auto& [run, problem, games, says] : cases) {
        SCOPED_TRACE(says.toStdString());
        const MachineListing listing{whole.command, run, games ? whole.machines : std::vector<ListedMachine>{}, 0,
                                     problem};
        report = RecordingReport();
        const MergeOutcome outcome = MergeMachineListing(vars, report, listing);
        EXPECT_FALSE(outcome.merged);
        EXPECT_EQ(outcome.remarks, QStringList{"MAME's machine listing " + says});
        expectNothingChanged();
        EXPECT_EQ(store().Facts().keys(), QStringList{"pacman"});
    }
}

// Two updates from today's MAME: in the second, Galaxian is renamed, Dig Dug renamed with a ROM
// redumped, Frogger and Space Invaders trade names, and a ROM of Pac-Man is redumped. "Verify
// ROMS" then asks MAME again about those sets alone, and about those whose BIOS or device changed.
TEST_F(MergeTest, RenamedSetsTakeWhatTheUserGaveThemToTheirNewNames) {
    const auto merge = [&](const char* file) {
        Read read = ReadInPieces(test::ReadBytes(test::FixturePath(file)), 4096);
        report = RecordingReport();
        const MergeOutcome outcome = MergeMachineListing(
            vars, report, {"mame -listxml", {0, {}, false}, std::move(read.machines), 0, read.problem});
        if (!outcome.merged)
            ADD_FAILURE() << outcome.remarks.join(" ").toStdString();
        return outcome.merged;
    };
    test::TempProgramDir roms;
    for (const char* set : {"digdug", "digdugj", "frogger", "galaxian", "galaxiana", "invaders", "joyjoy", "neogeo",
                            "namco51", "pacman", "puckman"})
        test::WriteBytes(roms.file(QString(set) + ".zip"), set);
    // Every set verified as its files are now; the sets MAME would be asked about.
    const auto verify = [&] {
        std::vector<std::pair<QString, AuditEntry>> verified;
        for (const SetNow& set : SetsNow(store(), roms.path()))
            verified.emplace_back(set.rom, AuditEntry{set.stamp, AuditVerdict::Good, {}});
        AuditStore(store()).Save(verified, QDateTime::currentDateTimeUtc());
    };
    const auto asked = [&] {
        QStringList sets;
        for (const SetNow& set : PlanAudit(SetsNow(store(), roms.path()), AuditStore(store()).Entries()).ask)
            sets << set.rom;
        sets.sort();
        return sets;
    };
    ASSERT_TRUE(merge("mame-today/listxml-renames-before.xml"));
    verify();
    Database& db = *vars.CatalogueDb;
    const QStringList sets{"digdug", "frogger", "galaxian", "invaders", "pacman"};
    for (qsizetype i = 0; i < sets.size(); ++i) {
        store().Write(sets[i], {{"Sound Card", i + 1}, {"Default", 0}, {"Notes", sets[i]}, {"Bad ROM", 1}});
        store().RecordPlay(sets[i], 60 * (i + 1), QDateTime::currentDateTimeUtc());
        db.Execute(QStringLiteral("INSERT INTO GameSettings (Rom, Volume) VALUES (?1, ?2)"), {sets[i], -i});
    }
    store().SetFavourite("galaxian", true);
    // Whose they are, wherever they went.
    const auto owner = [&](const QString& rom) {
        QString volume;
        db.Select(QStringLiteral("SELECT Volume FROM GameSettings WHERE Rom=?1"), {rom},
                  [&](const std::vector<QVariant>& values) { volume = values[0].toString(); });
        const PlayHistory history = store().History(rom);
        return QStringList{values(rom, {"Notes", "Sound Card", "Default", "Bad ROM"}).join(' '), volume,
                           QString::number(history.playSeconds), history.favourite ? "favourite" : ""};
    };
    QHash<QString, QStringList> before;
    for (const QString& rom : sets)
        before.insert(rom, owner(rom));

    ASSERT_TRUE(merge("mame-today/listxml-renames-after.xml"));
    EXPECT_EQ(report.renamed,
              (QStringList{"Dig Dug (rev 2) (digdug \u2192 digdugj)",
                           "Galaxian (Namco set 1) (galaxian \u2192 galaxiana)", "Frogger (frogger \u2192 invaders)",
                           "Space Invaders / Space Invaders M (invaders \u2192 frogger)"}))
        << report.renamed.join('\n').toStdString();
    EXPECT_EQ(report.newGames + report.expired, QStringList()) << "a renamed set is neither new nor expired";
    for (const auto& [from, to] : std::initializer_list<std::pair<const char*, const char*>>{{"galaxian", "galaxiana"},
                                                                                             {"digdug", "digdugj"},
                                                                                             {"frogger", "invaders"},
                                                                                             {"invaders", "frogger"},
                                                                                             {"pacman", "pacman"}})
        EXPECT_EQ(owner(to), before[from]) << from << " to " << to;
    EXPECT_FALSE(store().History("galaxian").favourite);
    // What MAME says of a set stays with its name.
    EXPECT_EQ(stored("frogger", "Description").toString(), QString("Space Invaders / Space Invaders M"));
    EXPECT_EQ(ReadFingerprints(db).value("pacman").crcs.left(8), QString("0c944964"));
    EXPECT_TRUE(ReadFingerprints(db).value("pacman").crcs.contains("c1e6ab11")) << "the redumped ROM";
    EXPECT_EQ(asked(), (QStringList{"digdugj", "frogger", "galaxiana", "invaders", "pacman"}));
    verify();

    // Once stored, the fingerprints of now are those the next update compares with.
    ASSERT_TRUE(merge("mame-today/listxml-renames-after.xml"));
    EXPECT_EQ(report.renamed, QStringList());
    EXPECT_EQ(owner("frogger"), before["invaders"]);
    EXPECT_EQ(asked(), QStringList());
    test::WriteBytes(roms.file("neogeo.zip"), "another BIOS");
    test::WriteBytes(roms.file("namco51.zip"), "another device");
    EXPECT_EQ(asked(), (QStringList{"digdugj", "joyjoy"}));
}

// Equal fingerprints pair first, then those sharing more than half of the larger one's CRCs, each
// set once, the best first; a tie pairs neither.
TEST(RenamedSets, PairsByTheirRoms) {
    using Pairs = std::vector<std::pair<size_t, size_t>>;
    const auto pair = [](const std::vector<Fingerprint>& gone, const std::vector<Fingerprint>& came) {
        std::vector<const Fingerprint*> g, c;
        for (const Fingerprint& f : gone)
            g.push_back(&f);
        for (const Fingerprint& f : came)
            c.push_back(&f);
        Pairs pairs = PairRenamedSets(g, c);
        std::sort(pairs.begin(), pairs.end());
        return pairs;
    };
    EXPECT_EQ(pair({{1, 2, 3}}, {{1, 2, 9}}), (Pairs{{0, 0}})) << "two of three";
    EXPECT_EQ(pair({{1, 2, 3}}, {{1, 2, 8, 9}}), Pairs()) << "two of four is not more than half";
    EXPECT_EQ(pair({{1, 2, 3, 4}}, {{1, 2, 3, 4}, {1, 2, 3, 4}}), Pairs()) << "a tie";
    EXPECT_EQ(pair({{}, {5}}, {{}, {6}}), Pairs()) << "nothing in common";
    EXPECT_EQ(pair({{1, 2, 3, 4}, {1, 2, 3, 5}}, {{1, 2, 3, 5}, {1, 2, 3, 4}}), (Pairs{{0, 1}, {1, 0}}));
    // The first set that went ties between the two that came until the second takes its equal.
    EXPECT_EQ(pair({{1, 2, 3, 4}, {1, 2, 3, 8}}, {{1, 2, 3, 9}, {1, 2, 3, 8}}), (Pairs{{0, 0}, {1, 1}}));
    EXPECT_EQ(PairSwappedSets({"a", "b", "c"}, {"b", "a", "d"}), (Pairs{{0, 1}}));
    EXPECT_EQ(PairSwappedSets({"a", "b", "c"}, {"b", "a", "a"}), Pairs()) << "a third set now like the first";
}

// The merge's look-ups replace the recordset's: for every key, in both directions, they must find
// the record the recordset finds, before and after the merge has removed, renamed and added
// records and written them. Each record carries its own mark in Notes to tell which was found.
TEST(MergedRecords, FindTheRecordsTheRecordsetFinds) {
    test::CatalogueFixture catalogue;
    Variables& vars = catalogue.vars;
    const std::pair<QString, QVariant> rows[] = {
        {"pacman", "Pac-Man"}, {"PACMAN", "pac-man"},    {"galaga", "Galaga"},
        {"Galaga", "Galaga"},  {"café", "Café"},         {"CAFÉ", "CAFÉ"},
        {"blank", ""},         {"nodesc", QVariant()},   {"digdug", "Dig Dug"},
        {"DigDug", "DIG DUG"}, {"o'neil", "Say \"Hi\""},
    };
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i)
        catalogue.add(rows[i].first, {}, {{"Description", rows[i].second}, {"Notes", QString::number(i)}});
    const QStringList keys = {"pacman", "PacMan", "Pac-Man", "PAC-MAN", "galaga", "GALAGA",     "café",  "CAFÉ",
                              "Café",   "",       "digdug",  "Dig Dug", "o'neil", "Say \"Hi\"", "nosuch"};
    const std::unique_ptr<Recordset> before = vars.CatalogueDb->OpenRecordset("SELECT * FROM ROMS");
    MergedRecords records(*vars.CatalogueDb);
    const auto expectSameFinds = [&](Recordset& rs) {
        for (const QString& key : keys) {
            for (const bool fromLast : {false, true}) {
                for (const char* field : {"Rom", "Description"}) {
                    SCOPED_TRACE(
                        QString("%1 %2 from the %3").arg(field, key, fromLast ? "last" : "first").toStdString());
                    const bool found = fromLast ? rs.FindLast(field, key) : rs.FindFirst(field, key);
                    const int record = QString(field) == "Rom" ? records.FindRom(key, fromLast)
                                                               : records.FindDescription(key, fromLast);
                    ASSERT_EQ(record >= 0, found);
                    if (found) {
                        EXPECT_EQ(records.Value(record, MergeField::Notes).toString(), rs.Value("Notes").toString());
                    }
                }
            }
        }
    };
    expectSameFinds(*before);
    records.Remove(records.FindRom("pacman", false));
    records.Remove(records.FindDescription("CAFÉ", true));
    records.SetValue(records.FindRom("galaga", true), MergeField::Rom, "DIGDUG");
    records.SetValue(records.FindRom("digdug", false), MergeField::Description, "Galaga");
    const int added = records.Add();
    records.SetValue(added, MergeField::Rom, "Pacman");
    records.SetValue(added, MergeField::Description, "Café");
    records.SetValue(added, MergeField::Notes, "added");
    Transaction transaction(*vars.CatalogueDb);
    records.Write();
    transaction.Commit();
    const std::unique_ptr<Recordset> written = vars.CatalogueDb->OpenRecordset("SELECT * FROM ROMS");
    EXPECT_EQ(written->RecordCount(), static_cast<int>(std::size(rows)) + 1 - 2 + 1) << "the default record too";
    expectSameFinds(*written);
}

// The whole update from the real MAME into a catalogue that knows some of its games.
TEST(InstalledMame, UpdatesTheCatalogueFromItsWholeListing) {
    if (!test::MameInstalled())
        GTEST_SKIP() << "needs today's MAME in " << test::InstalledMame.toStdString() << " (apt-get install mame)";
    test::CatalogueFixture catalogue;
    catalogue.add("pacman", "Pac-Man", {{"Default", 0}, {"Notes", "kept"}});
    catalogue.add("oldgame", "Old Game");
    // MAME keeps its settings under the home folder it is given.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", catalogue.program.path().toUtf8());
    ShellRunner runner;
    test::CountingReport report;
    const MachineListing listing = ReadMachineListing(test::InstalledMame, runner, report);
    const MergeOutcome outcome = MergeMachineListing(catalogue.vars, report, listing);
    qputenv("HOME", home);
    ASSERT_TRUE(outcome.merged) << outcome.remarks.join('\n').toStdString();
    EXPECT_GT(listing.machines.size(), 30000u);
    EXPECT_GT(listing.skipped, 1000) << "devices and BIOS sets";
    EXPECT_EQ(listing.malformed, 0) << "no machine of the real listing is too long to read";
    EXPECT_EQ(report.added, static_cast<int>(listing.machines.size()) - 1);
    EXPECT_EQ(report.expired, 1);
    EXPECT_EQ(catalogue.store().RecordCount(), static_cast<int>(listing.machines.size()) + 1);
    EXPECT_EQ(catalogue.stored("pacman", "Clone").toString(), QString("puckman"));
    EXPECT_EQ(catalogue.stored("pacman", "Notes").toString(), QString("kept"));
    EXPECT_TRUE(catalogue.stored("mslug", "Clone").isNull());
    EXPECT_GT(ReadFingerprints(*catalogue.vars.CatalogueDb).size(), 30000) << "the sets with ROMs of their own";
}

} // namespace
