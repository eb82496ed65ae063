#include "CatalogueFixture.h"

#include "launcher/MameVersion.h"
#include "launcher/ProcessRunner.h"
#include "update/CatalogueMerge.h"
#include "update/MachineListing.h"

#include <QFileInfo>

using namespace zelvora;

namespace {

// Debian's package "mame" installs today's MAME here.
const QString InstalledMame = QStringLiteral("/usr/games/");

struct Counting : MergeReport {
    void SetText(const QString&) override {}
    void SetRange(int, int) override {}
    void SetValue(int) override {}
    void LetEventsRun() override {}
    void NewGame(const QString&) override { ++added; }
    void ExpiredGame(const QString&) override { ++expired; }
    int added = 0, expired = 0;
};

} // namespace

// The whole update from the real MAME into a catalogue that knows some of its games.
TEST(InstalledMame, UpdatesTheCatalogueFromItsWholeListing) {
    if (!QFileInfo(MameExecutable(InstalledMame)).isExecutable())
        GTEST_SKIP() << "today's MAME is not installed at " << InstalledMame.toStdString()
                     << "mame (apt-get install mame); this update needs the real one";
    test::CatalogueFixture catalogue;
    catalogue.add("pacman", "Pac-Man", {{"Default", 0}, {"Notes", "kept"}});
    catalogue.add("oldgame", "Old Game");
    // MAME keeps its settings under the home folder it is given.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", catalogue.program.path().toUtf8());
    ShellRunner runner;
    const MameVersion version = MameVersions().Of(MameExecutable(InstalledMame), runner);
    Counting report;
    const MachineListing listing = ReadMachineListing(InstalledMame, runner, report);
    const MergeOutcome outcome = MergeMachineListing(catalogue.vars, report, listing);
    qputenv("HOME", home);

    EXPECT_EQ(version.kind, MameKind::Today) << version.number.toStdString();
    ASSERT_TRUE(outcome.merged) << outcome.remarks.join('\n').toStdString();
    EXPECT_GT(listing.machines.size(), 30000u);
    EXPECT_GT(listing.skipped, 1000) << "devices and BIOS sets";
    EXPECT_EQ(report.added, static_cast<int>(listing.machines.size()) - 1);
    EXPECT_EQ(report.expired, 1);
    EXPECT_EQ(catalogue.vars.RomsRecordset->RecordCount(), static_cast<int>(listing.machines.size()) + 1);
    EXPECT_EQ(catalogue.stored("pacman", "Clone").toString(), QString("puckman"));
    EXPECT_EQ(catalogue.stored("pacman", "Notes").toString(), QString("kept"));
    EXPECT_TRUE(catalogue.stored("mslug", "Clone").isNull());
}
