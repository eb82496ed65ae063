#include "CatalogueGenerator.h"
#include "Listings.h"
#include "TestDirs.h"

#include "platform/TextLines.h"
#include "store/Catalogue.h"
#include "store/Variables.h"
#include "update/CatalogueMerge.h"

#include <gtest/gtest.h>

using namespace zelvora;
using standin::StandinGame;

namespace {

// Remembers what the merge shows, and every value set outside the range it set before.
class RecordingReport : public MergeReport {
public:
    void SetText(const QString& text) override {
        if (texts.isEmpty() || texts.last() != text)
            texts << text;
    }
    void SetRange(int minimum, int maximum) override {
        min = minimum;
        max = maximum;
    }
    void SetValue(int value) override {
        if (value < min || value > max)
            ++outOfRange;
    }
    void LetEventsRun() override { ++steps; }
    void NewGame(const QString& description) override { newGames << description; }
    void ExpiredGame(const QString& description) override { expired << description; }

    QStringList texts, newGames, expired;
    int min = 0, max = 0, outOfRange = 0, steps = 0;
};

StandinGame game(const QString& name, const QString& description, const QString& parent = {}) {
    StandinGame g;
    g.name = name;
    g.description = description;
    g.parent = parent;
    g.driver = QStringLiteral("drv.c");
    g.cpus = {QStringLiteral("Z80"), QString(), QString()};
    g.sounds = {QStringLiteral("AY8910"), QString(), QString()};
    g.year = QStringLiteral("1984");
    g.maker = QStringLiteral("Maker of ") + name;
    return g;
}

const QStringList AllPhases = {"Checking for New Games", "Checking for Expired Games",
                               "Gathering Details",      "Gathering Information",
                               "Checking for Clones",    "Gathering Manufacturers and Dates"};

class MergeTest : public ::testing::Test {
protected:
    MergeTest() {
        vars.ProgramDir = program.path();
        vars.MamePath = mame.path() + "/";
        vars.Fields.InitFieldNames();
        PrepareCatalogue(vars);
    }

    void add(const QString& rom, const QVariant& description, QVariantMap fields = {}) {
        fields.insert("Description", description);
        fields.insert("Active", -1);
        test::AddGame(*vars.RomsRecordset, rom, description.toString(), fields);
    }
    static void write(const QString& path, const QStringList& lines) {
        test::WriteBytes(path, lines.join('\n').toUtf8() + (lines.isEmpty() ? "" : "\n"));
    }
    // The three listings MAME would give for these games.
    void listings(const std::vector<StandinGame>& games) {
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

    QVariant field(const QString& rom, const QString& name) {
        Recordset& rs = *vars.RomsRecordset;
        return rs.FindFirst("Rom", rom) ? rs.Value(name) : QVariant("<no record>");
    }
    QStringList roms() {
        QStringList all;
        Recordset& rs = *vars.RomsRecordset;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
            all << rs.Value("Rom").toString();
        return all;
    }

    test::TempProgramDir program, mame;
    Variables vars;
    RecordingReport report;
};

} // namespace

TEST_F(MergeTest, NewKnownAndExpiredGames) {
    add("pacman", "PAC-MAN", {{"Default", 0}, {"Sound Card", 3}, {"Notes", "my note"}, {"Driver", "old.c"}});
    add("oldgame", "Old Game");
    add("nodesc", QVariant());
    StandinGame galaga = game("galaga", "Galaga");
    galaga.cpus = {"Z80", "Z80", ""};
    galaga.sounds = {"", "Namco", ""};
    listings({game("pacman", "Pac-Man"), galaga});

    const MergeOutcome outcome = merge();
    ASSERT_TRUE(outcome.merged);
    EXPECT_EQ(report.newGames, QStringList{"Galaga"});
    EXPECT_EQ(report.expired, (QStringList{"Old Game", "nodesc"})) << "a game without a description by its set";
    EXPECT_EQ(roms(), (QStringList{DefaultRom, "pacman", "galaga"}));

    // The known game keeps the user's settings; its listing fields are rewritten.
    EXPECT_EQ(field("pacman", "Default").toInt(), 0);
    EXPECT_EQ(field("pacman", "Sound Card").toInt(), 3);
    EXPECT_EQ(field("pacman", "Notes").toString(), QString("my note"));
    EXPECT_EQ(field("pacman", "Driver").toString(), QString("drv.c"));
    EXPECT_EQ(field("pacman", "Description").toString(), QString("Pac-Man")) << "a change of case is a change";
    EXPECT_EQ(field("pacman", "Manufacturer").toString(), QString("Maker of pacman "));
    EXPECT_EQ(field("pacman", "Date").toString(), QString("1984"));

    EXPECT_EQ(field("galaga", "Default").toInt(), 1);
    EXPECT_EQ(field("galaga", "Active").toInt(), -1);
    EXPECT_EQ(field("galaga", "CPU 2").toString(), QString("Z80 "));
    EXPECT_EQ(field("galaga", "CPU 3").toString(), QString(" "));
    EXPECT_EQ(field("galaga", "Sound 1").toString(), QString(" "));
    EXPECT_TRUE(field("galaga", "Notes").isNull());
    EXPECT_TRUE(field("galaga", "Playable").isNull());

    QStringList withoutGamelist = AllPhases;
    withoutGamelist.removeAt(3);
    withoutGamelist.removeAt(2);
    EXPECT_EQ(report.texts, withoutGamelist);
    ASSERT_EQ(outcome.remarks.size(), 1);
    EXPECT_TRUE(outcome.remarks[0].contains("gamelist.txt is missing")) << outcome.remarks[0].toStdString();
    EXPECT_EQ(report.outOfRange, 0);
}

TEST_F(MergeTest, StatusNotesAndClonesFromTheRealGamelist) {
    add("yard", "10-Yard Fight", {{"Notes", "stale"}});
    listings({game("yard", "10-Yard Fight"), game("vsyard", "10-Yard Fight (Vs.)", "yard"),
              game("zookeep", "Zoo Keeper"), game("orphan", "Orphan", "nosuch"), game("1942", "1942")});
    add("orphan", "Orphan", {{"Notes", "kept"}});
    realGamelist();

    ASSERT_TRUE(merge().merged);
    EXPECT_EQ(report.texts, AllPhases);
    EXPECT_EQ(field("yard", "Playable").toString(), QString("Yes"));
    EXPECT_TRUE(field("yard", "Notes").toString().startsWith("Clones supported:\r  Vs. version (\"vsyard\")\r"))
        << "notes are replaced";
    EXPECT_EQ(field("zookeep", "Cocktail").toString(), QString("No"));
    EXPECT_TRUE(field("zookeep", "Notes").toString().endsWith("you get a free credit. This is the\r"));

    // The clone takes its parent's notes and status words and names it.
    for (const char* name : {"Notes", "Playable", "Colors", "Sound", "Hi Score", "Cocktail"})
        EXPECT_EQ(field("vsyard", name), field("yard", name)) << name;
    EXPECT_EQ(field("vsyard", "Clone").toString(), QString("yard"));
    EXPECT_EQ(field("orphan", "Notes").toString(), QString("kept")) << "its parent is not in the catalogue";
    EXPECT_TRUE(field("orphan", "Clone").isNull());
    EXPECT_EQ(report.outOfRange, 0);
}

TEST_F(MergeTest, MakersAndYearsAreFoundByDescriptionFromTheNearerEnd) {
    const QString quoted = R"(Say "Hi" to O'Brien)";
    listings({game("twina", "Twin"), game("twinb", "Twin"), game("quoted", quoted)});
    // Line 0 is looked up from the first record; line 2 of 0 to 4, the middle, already from the last.
    write(program.file("Games.txt"),
          {"1981 First                                Twin", "1990 Quoted                               " + quoted,
           "1982 Second                               Twin", "", ""});
    ASSERT_TRUE(merge().merged);
    EXPECT_EQ(field("twina", "Manufacturer").toString(), QString("First "));
    EXPECT_EQ(field("twina", "Date").toString(), QString("1981"));
    EXPECT_EQ(field("twinb", "Manufacturer").toString(), QString("Second "));
    EXPECT_EQ(field("quoted", "Manufacturer").toString(), QString("Quoted "));
}

TEST_F(MergeTest, AFailedListingOrOneWithoutGamesChangesNothing) {
    add("pacman", "Pac-Man", {{"Clone", "puckman"}});
    const QStringList headings = standin::ListDetails({});
    const QString was = " so the catalogue was not changed. The command was: '/mame/mame' ";
    const struct {
        const char* name;
        std::optional<QStringList> details;
        int clonesExit, detailsExit;
        QString says;
    } cases[] = {
        {"missing", std::nullopt, 0, 127, "is missing," + was + "-listdetails > Details.txt (exit code 127)"},
        {"empty", QStringList{}, 0, 127, "is empty," + was + "-listdetails > Details.txt (exit code 127)"},
        {"headings only", headings, 0, 127, "lists no games," + was + "-listdetails > Details.txt (exit code 127)"},
        {"an answer of another kind", headings + QStringList{"mame: unknown option", "usage: mame [options]"}, 0, 127,
         "lists no games," + was + "-listdetails > Details.txt (exit code 127)"},
        {"a clone listing that crashed", standin::ListDetails({game("galaga", "Galaga")}), 139, 0,
         "clone listing Clones.txt failed," + was + "-listclones > Clones.txt (exit code 139)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(program.file("Details.txt"));
        if (c.details)
            write(program.file("Details.txt"), *c.details);
        write(program.file("Clones.txt"), {"pacman   nosuch"});
        report = RecordingReport();
        const std::vector<ListingCapture> captures = {
            {"Clones.txt", "'/mame/mame' -listclones > Clones.txt", c.clonesExit},
            {"Details.txt", "'/mame/mame' -listdetails > Details.txt", c.detailsExit}};

        const MergeOutcome outcome = merge(captures);
        EXPECT_FALSE(outcome.merged);
        ASSERT_EQ(outcome.remarks.size(), 1);
        EXPECT_TRUE(outcome.remarks[0].contains(c.says)) << outcome.remarks[0].toStdString();
        EXPECT_EQ(roms(), (QStringList{DefaultRom, "pacman"}));
        EXPECT_EQ(field("pacman", "Active").toInt(), -1);
        EXPECT_EQ(field("pacman", "Clone").toString(), QString("puckman"));
        EXPECT_TRUE(report.expired.isEmpty());
        EXPECT_TRUE(report.newGames.isEmpty());
    }
}

TEST_F(MergeTest, MalformedLinesAreSkippedAndCountedButNeverExpireTheSetTheyName) {
    add("galaga", "Galaga", {{"Sound Card", 2}});
    add("digdug", "Dig Dug", {{"Sound Card", 3}});
    // Without a description a game's line ends at column 76; a line cut shorter still names its set.
    QStringList details = standin::ListDetails({game("pacman", "Pac-Man"), game("galaga", "")});
    details << standin::ListDetails({game("digdug", "Dig Dug")}).last().left(40) << "too short" << QString(90, ' ')
            << "";
    write(program.file("Details.txt"), details);
    write(program.file("Games.txt"), {"1980 Namco"});
    realGamelist([](QStringList& lines) {
        lines.insert(600, "A title without quotes");
        lines.insert(601, "=====");
    });

    const MergeOutcome outcome = merge();
    ASSERT_TRUE(outcome.merged);
    EXPECT_EQ(roms(), (QStringList{DefaultRom, "galaga", "digdug", "pacman"})) << "no record for a malformed line";
    EXPECT_TRUE(report.expired.isEmpty());
    EXPECT_EQ(field("galaga", "Description").toString(), QString());
    EXPECT_EQ(field("galaga", "Driver").toString(), QString("drv.c"));
    EXPECT_EQ(field("galaga", "Sound Card").toInt(), 2);
    EXPECT_EQ(field("digdug", "Sound Card").toInt(), 3);
    EXPECT_EQ(field("digdug", "Active").toInt(), -1) << "so that the next update does not expire it either";
    EXPECT_EQ(outcome.remarks, (QStringList{
                                   "4 lines of Details.txt skipped: too short or without a set name.",
                                   "1 line of gamelist.txt skipped: note titles without a set name between double "
                                   "quotes.",
                                   "1 line of Games.txt skipped: too short to hold a description.",
                               }));
}

TEST_F(MergeTest, ListingsOfFewerThanThreeLinesKeepTheProgressInRange) {
    write(program.file("Details.txt"), standin::ListDetails({game("pacman", "Pac-Man")}));
    write(program.file("Clones.txt"), {"x"});
    write(program.file("Games.txt"), {});
    write(mame.file("gamelist.txt"), {"|--"});
    ASSERT_TRUE(merge().merged);
    EXPECT_EQ(report.outOfRange, 0);
    EXPECT_EQ(report.texts, AllPhases);
    EXPECT_GT(report.steps, 3) << "events run at every step";
}
