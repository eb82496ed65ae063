#include "CatalogueFixture.h"
#include "Listings.h"

#include "checks/PresenceChecks.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <cstdlib>

using namespace zelvora;

// A program killed in the middle of an update, a check or a compaction leaves a catalogue that
// opens, whole: the update's changes all there or none of them, the other two changing no game's
// presence. The long action runs in a child process (this test program again, asked for it by
// the environment) that is killed with SIGKILL at points across the action's run.

namespace {

constexpr int Games = 8000;
const char* const ActionVariable = "ZELVORA_KILLED_ACTION";
const char* const FolderVariable = "ZELVORA_KILLED_FOLDER";

void runAction(const QString& action, const QString& folder) {
    test::CatalogueFixture program(folder);
    test::CountingReport report;
    if (action == "update") {
        MergeListings(program.vars, report);
        return;
    }
    // The check and the compaction are quick: a few runs make a target.
    for (int i = 0; i < 8; ++i) {
        if (action == "check") {
            CheckMissingScreenshots(*program.vars.CatalogueDb, program.rs(), folder + "/shots/", true, report);
        } else {
            program.close();
            CompactCatalogue(folder);
            OpenCatalogue(program.vars);
        }
    }
}

QStringList gamesIn(const QString& folder) {
    test::CatalogueFixture program(folder);
    QStringList roms = test::Column(program.rs());
    roms.sort();
    return roms;
}

} // namespace

// Only does something in the child process, where the environment names the action.
TEST(KilledMidway, ChildRunsTheAskedAction) {
    const QString action = qEnvironmentVariable(ActionVariable);
    if (action.isEmpty())
        return;
    runAction(action, qEnvironmentVariable(FolderVariable));
    std::_Exit(0);
}

TEST(KilledMidway, TheCatalogueOpensWholeAfterEachKill) {
    test::TempProgramDir pristine;
    const auto games = test::MakeCatalogue(pristine.path(), Games);
    // The update keeps three quarters of the games and brings as many new ones as it expires.
    std::vector<standin::StandinGame> listed;
    for (int i = Games / 4; i < Games + Games / 4; ++i) {
        standin::StandinGame game;
        game.name = i < Games ? games[i].rom : QString("new%1").arg(i);
        game.description = i < Games ? games[i].description : QString("New Game %1").arg(i);
        game.year = "1990";
        game.driver = "driver.c";
        listed.push_back(game);
    }
    const std::pair<const char*, QStringList> listings[] = {{"Details.txt", standin::ListDetails(listed)},
                                                            {"Games.txt", standin::ListGames(listed)},
                                                            {"Clones.txt", standin::ListClones(listed)}};
    const QStringList before = gamesIn(pristine.path());
    const QByteArray catalogue = test::ReadBytes(CatalogueFile(pristine.path()));

    for (const char* action : {"update", "check", "compaction"}) {
        test::TempProgramDir folder;
        for (const auto& [file, lines] : listings)
            test::WriteBytes(folder.file(file), lines.join('\n').toUtf8() + '\n');
        const auto run = [&](int killAfter) {
            test::WriteBytes(CatalogueFile(folder.path()), catalogue);
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(ActionVariable, action);
            environment.insert(FolderVariable, folder.path());
            child.setProcessEnvironment(environment);
            child.start(QFileInfo("/proc/self/exe").symLinkTarget(),
                        {"--gtest_filter=KilledMidway.ChildRunsTheAskedAction"});
            EXPECT_TRUE(child.waitForStarted());
            QElapsedTimer clock;
            clock.start();
            if (killAfter > 0) {
                QThread::msleep(static_cast<unsigned long>(killAfter));
                child.kill();
            }
            EXPECT_TRUE(child.waitForFinished(120000));
            return static_cast<int>(clock.elapsed());
        };
        // A whole run, unkilled, for its length and its outcome.
        const int whole = run(0);
        const QStringList after = gamesIn(folder.path());
        EXPECT_NE(after == before, std::string(action) == "update") << action;
        for (const int percent : {10, 30, 50, 70, 90}) {
            SCOPED_TRACE(std::string(action) + " killed at " + std::to_string(percent) + "%");
            run(std::max(1, whole * percent / 100));
            const QStringList found = gamesIn(folder.path());
            EXPECT_TRUE(found == before || found == after) << found.size() << " games";
        }
    }
}
