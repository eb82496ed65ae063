#include "CatalogueGenerator.h"
#include "TestDirs.h"

#include "checks/PresenceChecks.h"
#include "store/Catalogue.h"
#include "store/Progress.h"
#include "store/Variables.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace zelvora;

namespace {

class TitleAndRange : public Progress {
public:
    void SetText(const QString& text) override { title = text; }
    void SetRange(int, int maximum) override { max = maximum; }
    void SetValue(int value) override { last = value; }
    void LetEventsRun() override { ++steps; }
    QString title;
    int max = -1, last = -1, steps = 0;
};

// A catalogue and a folder of real files in a temporary directory.
class PresenceChecksTest : public ::testing::Test {
protected:
    PresenceChecksTest() {
        vars.ProgramDir = program.path();
        vars.Fields.InitFieldNames();
        PrepareCatalogue(vars);
        folder = program.path() + "/files/";
        QDir().mkpath(folder);
    }
    void add(const QString& rom, const QVariantMap& fields = {}) {
        test::AddGame(*vars.RomsRecordset, rom, rom, fields);
    }
    void file(const QString& name) { test::WriteBytes(folder + name, "x"); }
    // The field of every game, in the catalogue's order, as "rom=value".
    QStringList marks(const QString& field) {
        QStringList all;
        Recordset& rs = *vars.RomsRecordset;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
            all << rs.Value("Rom").toString() + "=" + rs.Value(field).toString();
        return all;
    }
    int screenshots(bool merged) {
        return CheckMissingScreenshots(*vars.CatalogueDb, *vars.RomsRecordset, folder, merged, progress);
    }
    int zips(bool merged) {
        return CheckMissingZippedRoms(*vars.CatalogueDb, *vars.RomsRecordset, folder, merged, progress);
    }

    test::TempProgramDir program;
    Variables vars;
    QString folder;
    TitleAndRange progress;
};

} // namespace

TEST_F(PresenceChecksTest, MissingScreenshotsWithAndWithoutMergedSets) {
    add("pacman");
    add("pacmanj", {{"Clone", "pacman"}});
    add("digdug", {{"Screenshot", 0}});
    add("mspac", {{"Screenshot", 1}});
    add("blank", {{"Clone", "   "}});
    add("orphanc", {{"Clone", "digdug"}});
    file("PACMAN.PCX");
    file("mspac.pcx");

    EXPECT_EQ(screenshots(false), 4);
    EXPECT_EQ(marks("Screenshot"),
              (QStringList{"-default-=0", "pacman=0", "pacmanj=1", "digdug=1", "mspac=0", "blank=1", "orphanc=1"}))
        << "a file that appeared since loses its mark, the letter case does not matter";
    EXPECT_EQ(progress.title, QString("Checking for PCX Files"));
    EXPECT_EQ(progress.max, 6);
    EXPECT_EQ(progress.last, 6);

    EXPECT_EQ(screenshots(true), 3);
    EXPECT_EQ(marks("Screenshot")[2], QString("pacmanj=0")) << "the parent's screenshot serves its clone";
    EXPECT_EQ(marks("Screenshot")[6], QString("orphanc=1")) << "a parent without a file serves nobody";
}

TEST_F(PresenceChecksTest, MissingZippedRomsCountsOnlyZipFiles) {
    add("dkong");
    add("dkongjr", {{"Clone", "dkong"}});
    add("mario");
    add("galaga");
    file("dkong.zip");
    file("mario.7z");
    QDir().mkpath(folder + "galaga");

    EXPECT_EQ(zips(false), 3);
    EXPECT_EQ(progress.title, QString("Checking for ROM Files"));
    EXPECT_EQ(zips(true), 2);
    EXPECT_EQ(marks("Missing ROM"), (QStringList{"-default-=0", "dkong=0", "dkongjr=0", "mario=1", "galaga=1"}));
}

TEST_F(PresenceChecksTest, AMissingFolderMarksEveryGameButTheDefaultRecord) {
    add("pacman");
    folder = program.path() + "/no such folder/";
    EXPECT_EQ(zips(true), 1);
    EXPECT_EQ(marks("Missing ROM"), (QStringList{"-default-=0", "pacman=1"}));
}

TEST_F(PresenceChecksTest, ClearStatusFieldsLeavesTheNotes) {
    add("pacman", {{"Missing ROM", 1}, {"Screenshot", 1}, {"Bad ROM", 1}, {"Notes", "romset pacman is bad\r"}});
    ClearStatusFields(*vars.CatalogueDb, *vars.RomsRecordset, progress);
    EXPECT_EQ(progress.title, QString("Clearing Status Fields"));
    for (const char* field : {"Missing ROM", "Screenshot", "Bad ROM"})
        EXPECT_EQ(marks(field), (QStringList{"-default-=0", "pacman=0"})) << field;
    EXPECT_EQ(marks("Notes")[1], QString("pacman=romset pacman is bad\r"));
}
