// "Verify ROMS" with today's MAME through the main window, over a catalogue of 50,000 games with
// 1,000 ROM sets present and a MAME that answers at once: how long the user waits for the status
// bar's result after one zip changed, and the longest time the window stops answering while a
// first audit of every present set runs beside the list (the verdicts written and marked between
// the user's steps).
#include "../BenchWorld.h"
#include "AuditData.h"

#include "launcher/ProcessRunner.h"
#include "store/AuditStore.h"
#include "store/Database.h"
#include "store/GameStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace zelvora;

namespace {

constexpr int Present = 1000;

struct AuditWorld {
    test::TempProgramDir program, config, mame, roms;
    std::vector<test::GeneratedGame> games = test::MakeCatalogue(program.path(), bench::Games);
    Variables vars;
    Settings settings{config.path()};
    test::ScriptedDialogs dialogs;
    ShellRunner runner;
    Shell shell{vars, settings, dialogs, runner};
    QString changed;

    AuditWorld() {
        for (int i = 0; i < Present; ++i)
            write(roms.file(games[static_cast<size_t>(i)].rom + QStringLiteral(".zip")), "zip");
        changed = games[0].rom;
        test::WriteScript(mame.file("mame"), "#!/bin/sh\n"
                                             "case \"$1\" in\n"
                                             "-version) echo '0.251 (unknown)';;\n"
                                             "-verifyroms) shift\n"
                                             "  for name in \"$@\"; do\n"
                                             "    [ \"$name\" = -rompath ] && break\n"
                                             "    echo \"romset $name is good\"\n"
                                             "  done;;\n"
                                             "esac\n");
        settings.Save("Zelvora", "Settings", "MameLocation", mame.path() + "/");
        settings.Save("Zelvora", "Settings", "PCXFiles", program.path() + "/pcx/");
        settings.Save("Zelvora", "Settings", "ROMFiles", roms.path() + "/");
        vars.ProgramDir = program.path();
        shell.LoadMain();
        GameStore catalogue(*vars.CatalogueDb);
        bench::EverySetNeedsFiles(catalogue, games);
    }
    static void write(const QString& path, const QByteArray& bytes) { bench::WriteFile(path, bytes); }
    MainWindow& window() { return *shell.Main(); }

    // Verify ROMS from the menu until the status bar has its result; the longest time the event
    // loop was kept from turning meanwhile, in milliseconds.
    double verify() {
        QElapsedTimer turn;
        double longest = 0;
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout, [&] {
            longest = std::max(longest, static_cast<double>(turn.nsecsElapsed()) / 1e6);
            if (turn.elapsed() > 100)
                fprintf(stderr, "gap %lld ms\n", turn.elapsed());
            turn.restart();
        });
        beat.start(0);
        turn.start();
        QElapsedTimer cc;
        cc.start();
        window().checkCollection(3);
        fprintf(stderr, "checkCollection %lld ms\n", cc.elapsed());
        while (window().Auditing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return longest;
    }
};

AuditWorld& world() {
    static AuditWorld shared;
    return shared;
}

double waited = -1, firstPause = -1;
int round = 0;

void BM_OneZipChangedThroughTheWindow(benchmark::State& state) {
    AuditWorld& w = world();
    w.verify();
    for (auto _ : state) {
        state.PauseTiming();
        AuditWorld::write(w.roms.file(w.changed + QStringLiteral(".zip")), QByteArray(++round, 'x'));
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        w.verify();
        waited = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    }
}

void BM_LongestPauseOfTheListDuringAFirstAudit(benchmark::State& state) {
    AuditWorld& w = world();
    for (auto _ : state) {
        state.PauseTiming();
        w.vars.CatalogueDb->Execute(QStringLiteral("DELETE FROM ") + AuditTable);
        state.ResumeTiming();
        firstPause = w.verify();
    }
}

BENCHMARK(BM_OneZipChangedThroughTheWindow)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LongestPauseOfTheListDuringAFirstAudit)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    bench::RunWindowBenchmarks(argc, argv);
    std::printf("Verify ROMS through the window after one zip changed, %d games, %d sets present: %.3f s until "
                "the result (at most 0.5 s)\n",
                bench::Games, Present, waited);
    std::printf("The window's longest pause while a first Verify ROMS of %d sets runs beside the list: %.1f ms\n",
                Present, firstPause);
    return 0;
}
