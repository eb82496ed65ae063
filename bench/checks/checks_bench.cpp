// The collection checks over a catalogue of 50,000 games: the two presence checks with 40,000
// files in each folder (beside each, one listing of that folder: the baseline), a verification
// report of 50,000 lines carried into the catalogue, today's MAME verifying 45,000 sets (beside
// it, the stand-in printing its report alone: the baseline), and the compaction.
#include "CatalogueGenerator.h"
#include "TestDirs.h"

#include "checks/PresenceChecks.h"
#include "checks/RomVerification.h"
#include "checks/VerifyReport.h"
#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "platform/DirectoryListing.h"
#include "platform/Progress.h"
#include "store/Catalogue.h"
#include "store/GameStore.h"
#include "store/Variables.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

using namespace zelvora;

namespace {

constexpr int Games = 50000;
constexpr int FilesPerFolder = 40000;
constexpr int ReportSets = 10000; // four detail lines and a romset line each
constexpr int TodaysSets = 45000; // every tenth bad, with three detail lines

struct World {
    test::TempProgramDir program;
    std::vector<test::GeneratedGame> games = test::MakeCatalogue(program.path(), Games);
    QString pcx = program.path() + QStringLiteral("/pcx/");
    QString roms = program.path() + QStringLiteral("/roms/");
    QString report = program.file(QStringLiteral("Verify.txt"));
    QString todaysMame = program.path() + QStringLiteral("/mame/");
    Variables vars;

    World() {
        QDir().mkpath(pcx);
        QDir().mkpath(roms);
        for (int i = 0; i < FilesPerFolder; ++i) {
            touch(pcx + games[i].rom + QStringLiteral(".pcx"));
            touch(roms + games[Games - 1 - i].rom + QStringLiteral(".zip"));
        }
        QFile file(report);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        for (int s = 0; s < ReportSets; ++s) {
            const QByteArray rom = games[s * 5].rom.toLatin1();
            file.write(rom + ".1a  : NOT FOUND\n" + rom + ".1b  : bad CRC\nerror in zipfile " + rom +
                       ".zip\n\nromset " + rom + " is bad\n");
        }
        writeTodaysMame();
        vars.ProgramDir = program.path();
        OpenCatalogue(vars);
    }
    // A MAME that prints a recorded report of today's kind, as the real one prints it.
    void writeTodaysMame() {
        QDir().mkpath(todaysMame);
        QFile file(todaysMame + QStringLiteral("report.txt"));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        for (int s = 0; s < TodaysSets; ++s) {
            const QByteArray rom = games[s].rom.toLatin1();
            const QByteArray padded = rom.leftJustified(12, ' ');
            if (s % 10 == 0)
                file.write(padded + ": " + rom + ".1a (4096 bytes) - INCORRECT CHECKSUM:\nEXPECTED: CRC(c1e6ab10)\n" +
                           "   FOUND: CRC(3e1077c1)\n" + padded + ": " + rom + ".1b (4096 bytes) - NOT FOUND\nromset " +
                           rom + " [parent] is bad\n");
            else
                file.write("romset " + rom + (s % 2 ? " is good\n" : " is best available\n"));
        }
        file.close();
        test::WriteScript(
            MameExecutable(todaysMame),
            "#!/bin/sh\ncat \"$(dirname \"$0\")/report.txt\"\necho '45000 romsets found, 40500 were OK.' >&2\n"
            "exit 2\n");
    }
    static void touch(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
    }
    // Every record will have its mark written: the slowest run a check can have.
    void forgetMarks() {
        vars.CatalogueDb->Execute(QStringLiteral("UPDATE ROMS SET Screenshot=NULL, [Missing ROM]=NULL, [Bad ROM]=0"));
    }
};

World& world() {
    static World shared;
    return shared;
}

std::map<std::string, double> seconds;

template <typename Run> void timed(const std::string& name, Run run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    seconds[name] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ListingOfTheScreenshotFolder(benchmark::State& state) {
    world(); // made before the clock starts
    for (auto _ : state)
        timed("pcx listing", [] { benchmark::DoNotOptimize(DirectoryListing(world().pcx).Size()); });
}

// Times `check` over the catalogue with its marks forgotten before each run, and shows what it
// returns as the counter "marked"; `expected`, when given, is the only right answer.
template <typename Check>
void onForgottenMarks(benchmark::State& state, const std::string& name, Check check, int expected = -1) {
    World& w = world();
    for (auto _ : state) {
        state.PauseTiming();
        w.forgetMarks();
        state.ResumeTiming();
        int marked = 0;
        GameStore catalogue(*w.vars.CatalogueDb);
        timed(name, [&] { marked = check(catalogue); });
        state.counters["marked"] = marked;
        if (expected >= 0 && marked != expected) {
            state.SkipWithError("the wrong number of sets was marked");
            break;
        }
    }
}

NoProgress progress;

void BM_MissingScreenshots(benchmark::State& state) {
    onForgottenMarks(state, "screenshots", [](GameStore& catalogue) {
        return CheckMissingScreenshots(catalogue, world().pcx, true, progress, ScreenshotKinds::Pcx);
    });
}

void BM_ListingOfTheRomFolder(benchmark::State& state) {
    for (auto _ : state)
        timed("roms listing", [] { benchmark::DoNotOptimize(DirectoryListing(world().roms).Size()); });
}

void BM_MissingZippedRoms(benchmark::State& state) {
    onForgottenMarks(state, "roms", [](GameStore& catalogue) {
        return CheckMissingZippedRoms(catalogue, world().roms, true, progress, RomSetKinds::Zip);
    });
}

void BM_VerifyReport50000Lines(benchmark::State& state) {
    onForgottenMarks(
        state, "report",
        [](GameStore& catalogue) {
            return static_cast<int>(ReadVerifyReport(world().report, catalogue, progress).counts.marked);
        },
        ReportSets);
}

ShellRunner runner;

void BM_TodaysMamePrintingItsReport(benchmark::State& state) {
    world();
    const QString command = ShellQuote(MameExecutable(world().todaysMame)) + QStringLiteral(" >/dev/null 2>&1");
    for (auto _ : state)
        timed("today's report alone", [&] { benchmark::DoNotOptimize(runner.ExecCmd(command).exitCode); });
}

void BM_VerifyRomsWithTodaysMame(benchmark::State& state) {
    onForgottenMarks(
        state, "today's verify",
        [](GameStore& catalogue) {
            const VerifyOutcome outcome =
                VerifyTodaysRoms(catalogue, world().todaysMame, world().roms, runner, progress);
            return outcome.problem.isEmpty() ? static_cast<int>(outcome.counts.marked) : -1;
        },
        TodaysSets / 10);
}

void BM_CompactDatabase(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) {
        state.PauseTiming();
        w.vars.CatalogueDb.reset();
        state.ResumeTiming();
        timed("compact", [&] { CompactCatalogue(w.program.path()); });
        state.PauseTiming();
        OpenCatalogue(w.vars);
        if (GameStore(*w.vars.CatalogueDb).RecordCount() != Games + 1)
            state.SkipWithError("records lost");
        state.ResumeTiming();
    }
}

BENCHMARK(BM_ListingOfTheScreenshotFolder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MissingScreenshots)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ListingOfTheRomFolder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MissingZippedRoms)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_VerifyReport50000Lines)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TodaysMamePrintingItsReport)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_VerifyRomsWithTodaysMame)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CompactDatabase)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The last run of each, in seconds.
    const auto s = [](const char* name) { return seconds.count(name) ? seconds[name] : -1.0; };
    std::printf(
        "Missing Screenshots over %d games, %d files: %.3f s (at most 1 s); one listing of the folder: %.3f s\n", Games,
        FilesPerFolder, s("screenshots"), s("pcx listing"));
    std::printf(
        "Missing Zipped ROMS over %d games, %d files: %.3f s (at most 1 s); one listing of the folder: %.3f s\n", Games,
        FilesPerFolder, s("roms"), s("roms listing"));
    std::printf("verification report of %d lines read into the catalogue: %.3f s (at most 2 s)\n", ReportSets * 5,
                s("report"));
    std::printf("Verify ROMS with today's MAME, %d sets reported: %.3f s; the stand-in printing its report alone: "
                "%.3f s; the difference: %.3f s (at most 1 s)\n",
                TodaysSets, s("today's verify"), s("today's report alone"),
                s("today's verify") - s("today's report alone"));
    std::printf("Compact Database on %d games: %.3f s (at most 2 s)\n", Games, s("compact"));
    return 0;
}
