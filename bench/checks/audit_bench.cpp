// "Verify ROMS" with today's MAME over a catalogue of 40,000 games with 1,000 ROM sets present:
// the first verification (beside it, the stand-in MAME asked about the same sets in one run: the
// baseline), and a verification after one set's zip changed. The stand-in answers at once, so the
// time left beside MAME's is the program's own: planning, reading and writing the catalogue.
#include "AuditData.h"
#include "CatalogueGenerator.h"
#include "TestDirs.h"

#include "checks/RomAudit.h"
#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "platform/Progress.h"
#include "store/AuditStore.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/GameStore.h"
#include "store/Recordset.h"
#include "store/Variables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

using namespace zelvora;

namespace {

constexpr int Games = 40000;
constexpr int Present = 1000;

struct World {
    test::TempProgramDir program;
    std::vector<test::GeneratedGame> games = test::MakeCatalogue(program.path(), Games);
    QString roms = program.path() + QStringLiteral("/roms/");
    QString mame = program.path() + QStringLiteral("/mame/");
    Variables vars;
    QString changed; // a clone's set: nothing depends on it

    World() {
        QDir().mkpath(roms);
        for (int i = 0; i < Present; ++i) {
            write(roms + games[i].rom + QStringLiteral(".zip"), "zip");
            if (changed.isEmpty() && !games[i].clone.isEmpty())
                changed = games[i].rom;
        }
        QDir().mkpath(mame);
        test::WriteScript(MameExecutable(mame), "#!/bin/sh\nshift\nfor name in \"$@\"; do\n"
                                                "  [ \"$name\" = -rompath ] && break\n"
                                                "  echo \"romset $name is good\"\ndone\n");
        vars.ProgramDir = program.path();
        OpenCatalogue(vars);
        GameStore catalogue(*vars.CatalogueDb);
        bench::EverySetNeedsFiles(catalogue, games);
    }
    static void write(const QString& path, const QByteArray& bytes) { bench::WriteFile(path, bytes); }
};

World& world() {
    static World shared;
    return shared;
}

struct Timing {
    double total = -1, mame = -1;
    int asked = 0;
};
Timing first, again;
double baseline = -1;

ShellRunner runner;
NoProgress progress;

Timing audit() {
    GameStore catalogue(*world().vars.CatalogueDb);
    const auto start = std::chrono::steady_clock::now();
    const AuditOutcome outcome = AuditTodaysRoms(catalogue, world().mame, world().roms, runner, progress);
    Timing timing;
    timing.total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timing.mame = static_cast<double>(outcome.mameMs) / 1000;
    timing.asked = outcome.asked;
    if (!outcome.problem.isEmpty())
        std::abort();
    return timing;
}

void BM_FirstVerification(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) {
        state.PauseTiming();
        w.vars.CatalogueDb->Execute(QStringLiteral("DELETE FROM ") + AuditTable);
        state.ResumeTiming();
        first = audit();
        state.counters["asked"] = first.asked;
    }
}

// The stand-in asked once about every set the first verification asked about.
void BM_StandInOverTheSameSets(benchmark::State& state) {
    QString command = ShellQuote(MameExecutable(world().mame)) + QStringLiteral(" -verifyroms");
    GameStore catalogue(*world().vars.CatalogueDb);
    for (const SetNow& set : SetsNow(catalogue, world().roms)) {
        if (set.hasFiles)
            command += QLatin1Char(' ') + set.rom;
    }
    command += QStringLiteral(" -rompath ") + ShellQuote(world().roms) + QStringLiteral(" >/dev/null");
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(runner.ExecCmd(command).exitCode);
        baseline = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
}

void BM_OneZipChanged(benchmark::State& state) {
    World& w = world();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        World::write(w.roms + w.changed + QStringLiteral(".zip"), QByteArray(++round, 'x'));
        state.ResumeTiming();
        again = audit();
        state.counters["asked"] = again.asked;
        if (again.asked != 1) {
            state.SkipWithError("not only the changed set was asked about");
            break;
        }
    }
}

// Debian's MAME, where it is installed, over 1,000 of its own sets, each an empty zip: the first
// verification beside MAME asked about the same sets in one run.
struct RealWorld {
    test::TempProgramDir program;
    QString roms = program.path() + QStringLiteral("/roms/");
    QString command;
    Variables vars;

    RealWorld() {
        QDir().mkpath(roms);
        QProcess list;
        list.start(QStringLiteral("/usr/games/mame"), {QStringLiteral("-listfull")});
        list.waitForFinished(60000);
        QStringList names = QString::fromUtf8(list.readAllStandardOutput()).split(QLatin1Char('\n'));
        names = names.mid(1, Present);
        vars.ProgramDir = program.path();
        PrepareCatalogue(vars);
        const std::unique_ptr<Recordset> rs = vars.CatalogueDb->OpenRecordset(QStringLiteral("ROMS"));
        command = QStringLiteral("/usr/games/mame -verifyroms");
        for (QString name : names) {
            name = name.section(QLatin1Char(' '), 0, 0);
            test::AddGame(*rs, name, name);
            World::write(roms + name + QStringLiteral(".zip"), QByteArray("PK\x05\x06", 4) + QByteArray(18, 0));
            command += QLatin1Char(' ') + name;
        }
        command += QStringLiteral(" -rompath ") + ShellQuote(roms) + QStringLiteral(" >/dev/null 2>&1");
    }
};

double realAudit = -1, realMame = -1, realAlone = -1;

void BM_RealMame(benchmark::State& state) {
    if (!QFileInfo(QStringLiteral("/usr/games/mame")).isExecutable()) {
        state.SkipWithError("no MAME in /usr/games");
        return;
    }
    static RealWorld real;
    qputenv("HOME", real.program.path().toUtf8());
    for (auto _ : state) {
        state.PauseTiming();
        real.vars.CatalogueDb->Execute(QStringLiteral("DELETE FROM ") + AuditTable);
        state.ResumeTiming();
        GameStore catalogue(*real.vars.CatalogueDb);
        auto start = std::chrono::steady_clock::now();
        const AuditOutcome outcome =
            AuditTodaysRoms(catalogue, QStringLiteral("/usr/games/"), real.roms, runner, progress);
        realAudit = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        realMame = static_cast<double>(outcome.mameMs) / 1000;
        state.counters["asked"] = outcome.asked;
        start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(runner.ExecCmd(real.command).exitCode);
        realAlone = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
}

BENCHMARK(BM_FirstVerification)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_StandInOverTheSameSets)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_OneZipChanged)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RealMame)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("First Verify ROMS over %d games, %d sets with files: %.3f s, of which MAME %.3f s; MAME asked about "
                "the same sets in one run: %.3f s\n",
                Games, first.asked, first.total, first.mame, baseline);
    std::printf("Verify ROMS after one zip changed: the program's own work %.3f s (at most 0.5 s); MAME for the one "
                "set %.3f s\n",
                again.total - again.mame, again.mame);
    std::printf("First Verify ROMS with Debian's MAME over %d of its sets: %.3f s, of which MAME %.3f s; MAME asked "
                "about the same sets in one run: %.3f s\n",
                Present, realAudit, realMame, realAlone);
    return 0;
}
