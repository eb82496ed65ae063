#include "CatalogueFixture.h"

#include "checks/PresenceChecks.h"
#include "platform/Progress.h"

#include <QDir>

using namespace zelvora;

namespace {

// Records what a check reports, and moves the recordset while events run, as a click on the grid
// would.
class Watching : public Progress {
public:
    void SetText(const QString& text) override { title = text; }
    void SetRange(int, int maximum) override { max = maximum; }
    void SetValue(int value) override { last = value; }
    void LetEventsRun() override { rs->MoveFirst(); }
    QString title;
    int max = -1, last = -1;
    Recordset* rs = nullptr;
};

class PresenceChecksTest : public ::testing::Test, public test::CatalogueFixture {
protected:
    PresenceChecksTest() { progress.rs = &rs(); }
    // The field of every record, in the catalogue's order, the default record first.
    QString marks(const QString& field) { return test::Column(rs(), field).join(QString()); }

    Watching progress;
};

} // namespace

TEST_F(PresenceChecksTest, MarksGamesWithoutTheirFileOrTheirParentsWhileMerged) {
    const QString folder = program.path() + "/files/";
    const std::pair<const char*, QVariantMap> games[] = {
        {"pacman", {}},
        {"pacmanj", {{"Clone", "pacman  "}}},
        {"digdug", {{"Screenshot", 0}}},
        {"mspac", {{"Screenshot", 1}, {"Missing ROM", 0}}}, // marks that are out of date
        {"blank", {{"Clone", "   "}}},
        {"orphanc", {{"Clone", " digdug "}}}, // a parent that has no file
    };
    for (const auto& [rom, fields] : games)
        add(rom, rom, fields);
    // Any letter case; only files count, so neither another kind of archive nor a folder does.
    // Today's snapshots count only when asked for: a PNG by the set's name or in its folder.
    QDir().mkpath(folder + "digdug.zip");
    for (const char* file :
         {"PACMAN.PCX", "mspac.pcx", "Pacman.Zip", "mspac.7z", "Blank.png", "pacmanj/notes.txt", "digdug/0000.PNG"})
        test::WriteBytes(folder + file, "x");

    // What is checked, the folder, merged sets, the count and the marks.
    enum Check { Zips, Pcx, Png };
    const std::tuple<Check, QString, bool, int, const char*> cases[] = {
        {Pcx, folder, false, 4, "0011011"},
        {Pcx, folder, true, 3, "0001011"},
        {Zips, folder, false, 5, "0011111"},
        {Zips, folder, true, 4, "0001111"},
        // A folder that is not there marks every game but the default record.
        {Zips, folder + "gone/", true, 6, "0111111"},
        {Png, folder, false, 2, "0010001"},
        {Png, folder, true, 0, "0000000"},
    };
    for (const auto& [check, where, merged, count, marked] : cases) {
        progress.title.clear();
        progress.last = -1;
        Database& db = *vars.CatalogueDb;
        EXPECT_EQ(check == Zips
                      ? CheckMissingZippedRoms(db, rs(), where, merged, progress)
                      : CheckMissingScreenshots(db, rs(), where, merged, progress,
                                                check == Png ? ScreenshotKinds::PcxAndPng : ScreenshotKinds::Pcx),
                  count);
        EXPECT_EQ(marks(check == Zips ? "Missing ROM" : "Screenshot"), QString(marked)) << check << merged;
        EXPECT_EQ(progress.title, check == Zips ? MissingZippedRomsTitle : MissingScreenshotsTitle);
        EXPECT_EQ(progress.max, 6);
        EXPECT_EQ(progress.last, 6);
    }
}

TEST_F(PresenceChecksTest, ClearStatusFieldsLeavesTheNotes) {
    add("pacman", "pacman",
        {{"Missing ROM", 1}, {"Screenshot", 1}, {"Bad ROM", 1}, {"Notes", "romset pacman is bad\r"}});
    add("galaga", "galaga", {{"Bad ROM", 1}});
    ClearStatusFields(*vars.CatalogueDb, *vars.RomsRecordset, progress);
    EXPECT_EQ(progress.title, ClearStatusFieldsTitle);
    for (const char* field : {"Missing ROM", "Screenshot", "Bad ROM"})
        EXPECT_EQ(marks(field), QString("000")) << field;
    EXPECT_TRUE(marks("Notes").endsWith("romset pacman is bad\r"));
}
