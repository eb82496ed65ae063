// The catalogue store over a generated catalogue of 50,000 games: look-ups, a full walk, one
// field rewritten in every record, and the start-up sequence.
#include "CatalogueGenerator.h"
#include "TestDirs.h"

#include "store/Catalogue.h"
#include "store/GameStore.h"
#include "store/Recordset.h"
#include "store/Variables.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace zelvora;

namespace {

constexpr int Games = 50000;

struct Catalogue {
    test::TempProgramDir dir;
    std::vector<test::GeneratedGame> games;
    Variables vars;
    std::unique_ptr<Recordset> rs;

    Catalogue() {
        games = test::MakeCatalogue(dir.path(), Games);
        vars.ProgramDir = dir.path();
        OpenCatalogue(vars);
        rs = vars.CatalogueDb->OpenRecordset(QStringLiteral("ROMS"));
    }
};

Catalogue& catalogue() {
    static Catalogue shared;
    return shared;
}

void findBenchmark(benchmark::State& state, const char* field, bool last) {
    Catalogue& c = catalogue();
    Recordset& rs = *c.rs;
    const bool byRom = QLatin1String(field) == QLatin1String("Rom");
    std::mt19937 rng(7);
    std::uniform_int_distribution<size_t> pick(0, c.games.size() - 1);
    for (auto _ : state) {
        const test::GeneratedGame& game = c.games[pick(rng)];
        const bool found = last ? rs.FindLast(QLatin1String(field), byRom ? game.rom : game.description)
                                : rs.FindFirst(QLatin1String(field), byRom ? game.rom : game.description);
        if (!found)
            state.SkipWithError("game not found");
        benchmark::DoNotOptimize(found);
    }
}

void BM_FindFirst_Rom(benchmark::State& state) {
    findBenchmark(state, "Rom", false);
}
void BM_FindLast_Rom(benchmark::State& state) {
    findBenchmark(state, "Rom", true);
}
void BM_FindFirst_Description(benchmark::State& state) {
    findBenchmark(state, "Description", false);
}
void BM_FindLast_Description(benchmark::State& state) {
    findBenchmark(state, "Description", true);
}
BENCHMARK(BM_FindFirst_Rom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindLast_Rom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindFirst_Description)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindLast_Description)->Unit(benchmark::kMicrosecond);

void BM_OpenAndVisitEveryRecord(benchmark::State& state) {
    Catalogue& c = catalogue();
    for (auto _ : state) {
        auto rs = c.vars.CatalogueDb->OpenRecordset(QStringLiteral("ROMS"));
        int visited = 0;
        for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
            benchmark::DoNotOptimize(rs->Value(QStringLiteral("Description")));
            ++visited;
        }
        if (visited != Games + 1)
            state.SkipWithError("wrong record count");
    }
}
BENCHMARK(BM_OpenAndVisitEveryRecord)->Unit(benchmark::kMillisecond);

void editEveryRecord(benchmark::State& state, bool oneTransaction) {
    Catalogue& c = catalogue();
    int round = 0;
    for (auto _ : state) {
        ++round;
        std::unique_ptr<Transaction> transaction;
        if (oneTransaction)
            transaction = std::make_unique<Transaction>(*c.vars.CatalogueDb);
        Recordset& rs = *c.rs;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
            rs.Edit();
            rs.SetValue(QStringLiteral("Gamma"), round);
            rs.Update();
        }
        if (transaction)
            transaction->Commit();
    }
}

// Each Update is its own commit, as the catalogue update stores its changes.
void BM_EditUpdateEveryRecord_OneAtATime(benchmark::State& state) {
    editEveryRecord(state, false);
}
// The same changes in one transaction: the baseline.
void BM_EditUpdateEveryRecord_OneTransaction(benchmark::State& state) {
    editEveryRecord(state, true);
}
BENCHMARK(BM_EditUpdateEveryRecord_OneAtATime)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EditUpdateEveryRecord_OneTransaction)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StartupSequence(benchmark::State& state) {
    Catalogue& c = catalogue();
    c.rs.reset();
    c.vars.CatalogueDb.reset();
    for (auto _ : state) {
        Variables vars;
        vars.ProgramDir = c.dir.path();
        PrepareCatalogue(vars);
        benchmark::DoNotOptimize(GameStore(*vars.CatalogueDb).RecordCount());
    }
    OpenCatalogue(c.vars);
    c.rs = c.vars.CatalogueDb->OpenRecordset(QStringLiteral("ROMS"));
}
BENCHMARK(BM_StartupSequence)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
