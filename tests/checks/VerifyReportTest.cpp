#include "CatalogueGenerator.h"
#include "TestDirs.h"

#include "checks/RomVerification.h"
#include "checks/VerifyReport.h"
#include "launcher/ProcessRunner.h"
#include "store/Catalogue.h"
#include "store/Progress.h"
#include "store/Variables.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace zelvora;

TEST(VerifyReport, LineKindsInTheirOrder) {
    const struct {
        const char* line;
        VerifyLineKind kind;
        const char* name;
    } cases[] = {
        {"romset pacman is bad", VerifyLineKind::Romset, "pacman"},
        {"ROMSET PUCKMAN NOT FOUND", VerifyLineKind::Romset, "PUCKMAN"},
        {"romset galaga", VerifyLineKind::Romset, "galaga"}, // no blank after the name
        {"romset the zipfile", VerifyLineKind::Romset, "the"},
        {"", VerifyLineKind::Blank, ""},
        {"    ", VerifyLineKind::Blank, ""},
        {"the zipfile pacman.zip was not found", VerifyLineKind::Ignored, ""},
        {"Error in zipfile galaga.zip", VerifyLineKind::Ignored, ""},
        {"pacman.6e  : NOT FOUND", VerifyLineKind::Detail, ""},
        {"romsets checked: 12", VerifyLineKind::Romset, ""}, // the name would start at the blank
        {"  romset indented", VerifyLineKind::Detail, ""},
    };
    for (const auto& c : cases) {
        const VerifyLine line = ClassifyVerifyLine(QString::fromLatin1(c.line));
        EXPECT_EQ(line.kind, c.kind) << c.line;
        EXPECT_EQ(line.name, QString::fromLatin1(c.name)) << c.line;
    }
}

namespace {

class VerifyReportTest : public ::testing::Test {
protected:
    VerifyReportTest() {
        vars.ProgramDir = program.path();
        vars.Fields.InitFieldNames();
        PrepareCatalogue(vars);
        for (const char* rom : {"pacman", "galaga", "it's"})
            test::AddGame(*vars.RomsRecordset, rom, rom, {{"Notes", "old notes"}, {"Bad ROM", 0}});
    }
    VerifyReportResult read(const QByteArray& report) {
        test::WriteBytes(program.file("Verify.txt"), report);
        return ReadVerifyReport(program.file("Verify.txt"), *vars.CatalogueDb, *vars.RomsRecordset, progress);
    }
    QString field(const char* rom, const char* name) {
        return vars.RomsRecordset->FindFirst("Rom", rom) ? vars.RomsRecordset->Value(name).toString() : "<none>";
    }

    test::TempProgramDir program;
    Variables vars;
    NoProgress progress;
};

} // namespace

TEST_F(VerifyReportTest, DetailLinesBecomeTheNextNamedSetsNotes) {
    const VerifyReportResult result = read("pacman.6e  : NOT FOUND\r\n"
                                           "error in zipfile pacman.zip\n"
                                           "\n"
                                           "pacman.6f  : bad CRC\n"
                                           "romset pacman is bad\n"
                                           "romset galaga is bad\n"
                                           "x : NOT FOUND\n"
                                           "romset nosuchset is bad\n"
                                           "romset it's is bad\n"
                                           "left over\n");
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(result.counts.romsets, 4);
    EXPECT_EQ(result.counts.marked, 3);
    EXPECT_EQ(field("pacman", "Notes"), QString("pacman.6e  : NOT FOUND\rpacman.6f  : bad CRC\r"));
    EXPECT_EQ(field("pacman", "Bad ROM"), QString("1"));
    EXPECT_EQ(field("galaga", "Notes"), QString()) << "named right after another set";
    EXPECT_EQ(field("galaga", "Bad ROM"), QString("1"));
    EXPECT_EQ(field("it's", "Notes"), QString()) << "the buffer was emptied at the set that is not there";
    EXPECT_EQ(field("it's", "Bad ROM"), QString("1"));

    // A second run replaces the notes.
    read("other\nROMSET PACMAN is bad\n");
    EXPECT_EQ(field("pacman", "Notes"), QString("other\r"));
}

TEST_F(VerifyReportTest, MissingEmptyAndHostileReports) {
    EXPECT_TRUE(
        ReadVerifyReport(program.file("none.txt"), *vars.CatalogueDb, *vars.RomsRecordset, progress).error.isEmpty());
    EXPECT_EQ(read("").counts.lines, 0);
    QByteArray hostile(200000, 'A');
    hostile += QByteArray("\0\xff\xfe garbage\n", 12) + "romset pacman is bad\n";
    const VerifyReportResult result = read(hostile);
    EXPECT_EQ(result.counts.marked, 1);
    EXPECT_EQ(field("pacman", "Bad ROM"), QString("1"));
    EXPECT_LE(field("pacman", "Notes").size(), VerifyReport::MaxNotesLength);
    EXPECT_EQ(field("galaga", "Notes"), QString("old notes"));
}

// Through a real shell: a MAME that never started leaves an empty report, which must not pass for
// "every set is good"; MAME's own non-zero code (it found bad sets) is no problem.
TEST_F(VerifyReportTest, VerifyRomsSaysWhenMameCouldNotBeStarted) {
    const struct {
        const char* what;
        const char* file;
        bool executable;
        const char* shell;
        int code;
    } cases[] = {
        {"MAME finding a bad set", "mame", true, "/bin/sh", 1},
        {"the name in capitals", "MAME", true, "/bin/sh", 127},
        {"a file that cannot run", "mame", false, "/bin/sh", 126},
        {"no shell", "mame", true, "/no/such/sh", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempProgramDir mame;
        const QString file = mame.file(c.file);
        test::WriteBytes(file, "#!/bin/sh\necho 'romset pacman is bad'\nexit 1\n");
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (c.executable)
            permissions |= QFile::ExeOwner;
        QFile::setPermissions(file, permissions);
        vars.CatalogueDb->Execute("UPDATE ROMS SET [Bad ROM]=0");
        ShellRunner runner(c.shell);

        const VerifyOutcome outcome =
            VerifyRoms(*vars.CatalogueDb, *vars.RomsRecordset, mame.path() + "/", program.path(), runner, progress);
        EXPECT_EQ(outcome.exitCode, c.code);
        EXPECT_EQ(field("pacman", "Bad ROM"), QString(c.code == 1 ? "1" : "0"));
        if (c.code == 1) {
            EXPECT_TRUE(outcome.problem.isEmpty()) << outcome.problem.toStdString();
        } else {
            EXPECT_TRUE(outcome.problem.contains(QString("exit code %1").arg(c.code))) << outcome.problem.toStdString();
            EXPECT_TRUE(outcome.problem.contains(VerifyCommand(mame.path() + "/", program.path())));
        }
        EXPECT_FALSE(QFile::exists(VerifyReportFile(program.path())));
    }
}
