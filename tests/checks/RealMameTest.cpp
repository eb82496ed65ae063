#include "CatalogueFixture.h"

#include "checks/RomVerification.h"
#include "detail/OptionTable.h"
#include "launcher/CommandLine.h"
#include "launcher/ProcessRunner.h"
#include "platform/Progress.h"

#include <QDir>
#include <QProcess>

using namespace zelvora;
using test::InstalledMame;

namespace {

// Verification and game starts against the real MAME, where one is installed.
class RealMameTest : public ::testing::Test, public test::CatalogueFixture {
protected:
    void SetUp() override {
        if (!test::MameInstalled())
            GTEST_SKIP() << "needs today's MAME in " << test::InstalledMame.toStdString() << " (apt-get install mame)";
        // MAME keeps its settings and memory cards under the home folder it is given.
        qputenv("HOME", program.path().toUtf8());
        add("pacman", "Pac-Man");
        add("pong", "Pong (Rev E)", {{"Bad ROM", 1}, {"Notes", "kept"}});
        // A set whose ROM files are all there, but not what MAME expects.
        ASSERT_EQ(
            QProcess::execute("/bin/sh", {"-c", "cd " + roms.path() +
                                                    " && printf junk > pacman.6e && "
                                                    "python3 -c \"import zipfile; z=zipfile.ZipFile('pacman.zip','w');"
                                                    " z.write('pacman.6e'); z.close()\""}),
            0);
    }
    void TearDown() override { qputenv("HOME", home); }

    const QByteArray home = qgetenv("HOME");
    test::TempProgramDir roms;
    ShellRunner runner;
    NoProgress progress;
};

} // namespace

TEST_F(RealMameTest, VerifyMarksTheBadSetAndClearsTheOneNeedingNoFiles) {
    const VerifyOutcome outcome =
        VerifyTodaysRoms(*vars.CatalogueDb, rs(), InstalledMame, roms.path(), runner, progress);
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_TRUE(outcome.problem.isEmpty()) << outcome.problem.toStdString();
    EXPECT_EQ(stored("pacman", "Bad ROM").toInt(), 1);
    EXPECT_TRUE(stored("pacman", "Notes").toString().startsWith("pacman      : pacman.6e (4096 bytes) - INCORRECT"));
    EXPECT_EQ(stored("pong", "Bad ROM").toInt(), 0);
    EXPECT_EQ(stored("pong", "Notes").toString(), QString("kept"));
}

// Every option that today's MAME has a switch for is set, and MAME takes them all.
TEST_F(RealMameTest, StartGameWithEveryOptionAndAMissingSet) {
    QVariantMap options;
    for (const OptionSpec& option : OptionTable()) {
        if (option.HasSwitch(MameKind::Today) && option.control != OptionControl::TextBox &&
            option.control != OptionControl::Browsed && option.field != "Debugger")
            options[option.field] = 1;
    }
    options["Default"] = 0;
    options["Sound Card"] = 0;
    options["Additional"] = "-video none -seconds_to_run 1";
    set("pong", options);
    GameRun run = RunGame(runner, BuildGameCommand(rs(), InstalledMame, MameKind::Today, roms.path()), MameKind::Today);
    EXPECT_EQ(run.exitCode, 0) << run.problem.toStdString();

    set("pacman", {{"Default", 0}, {"Additional", "-video none -sound none -seconds_to_run 1"}});
    run = RunGame(runner, BuildGameCommand(rs(), InstalledMame, MameKind::Today, roms.path()), MameKind::Today);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.problem.contains("Required files are missing")) << run.problem.toStdString();
}
