#include "CatalogueFixture.h"

#include "launcher/MameVersion.h"
#include "launcher/ProcessRunner.h"
#include "update/CatalogueMerge.h"
#include "update/MachineListing.h"

using namespace zelvora;

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
    const MameVersion version = MameVersions().Of(MameExecutable(test::InstalledMame), runner);
    test::CountingReport report;
    const MachineListing listing = ReadMachineListing(test::InstalledMame, runner, report);
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
