// The game list over a generated catalogue of 50,000 games: filling the grid (with a plain
// SQLite read of the same rows as the baseline), the start-up to a filled window, one
// type-ahead key press, and one key press in the find field over the list.
#include "BenchWorld.h"

#include "gamelist/GameGrid.h"
#include "gamelist/GameListQuery.h"
#include "gamelist/TypeAhead.h"
#include "shell/MainWindow.h"
#include "shell/Shell.h"
#include "store/Catalogue.h"
#include "store/Settings.h"
#include "store/Variables.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <random>

using namespace zelvora;
using zelvora::bench::Games;
using zelvora::bench::World;
using zelvora::bench::world;

namespace {

void fillGrid(benchmark::State& state, const FilterStates& filters) {
    World& w = world();
    MainWindow* window = w.mainWindow();
    w.setFilters(filters);
    for (auto _ : state)
        window->FillGrid();
    state.counters["rows"] = window->Rows().rowCount();
    w.setFilters({});
}

void BM_FillGrid_NoFilter(benchmark::State& state) {
    fillGrid(state, {});
}
// Original games only, with screenshots, and no bad ROM sets.
void BM_FillGrid_ThreeFilters(benchmark::State& state) {
    using S = FilterState;
    fillGrid(state, {S::Off, S::ShowOnly, S::Off, S::Exclude, S::Off, S::Exclude});
}
BENCHMARK(BM_FillGrid_NoFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillGrid_ThreeFilters)->Unit(benchmark::kMillisecond);

// The baseline: the same rows' two texts read with one plain SQLite query.
void BM_Baseline_PlainSqliteRead(benchmark::State& state) {
    World& w = world();
    w.mainWindow();
    const QByteArray path = QFile::encodeName(CatalogueFile(w.program.path()) + ".copy");
    QFile::remove(QString::fromLocal8Bit(path));
    w.vars.CatalogueDb->CompactInto(QString::fromLocal8Bit(path));
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT Description, Screenshot, [Bad ROM], [Missing ROM], \"Default\", Rom FROM ROMS "
                       "ORDER BY Description, Description",
                       -1, &stmt, nullptr);
    for (auto _ : state) {
        QStringList marks, descriptions;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            descriptions << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
            QString mark;
            if (sqlite3_column_int(stmt, 1) == 1)
                mark += 'S';
            if (sqlite3_column_int(stmt, 2) == 1)
                mark += 'B';
            if (sqlite3_column_int(stmt, 3) == 1)
                mark += 'R';
            if (sqlite3_column_type(stmt, 4) != SQLITE_NULL && sqlite3_column_int(stmt, 4) == 0)
                mark += '*';
            marks << mark;
        }
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(descriptions.size());
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    QFile::remove(QString::fromLocal8Bit(path));
}
BENCHMARK(BM_Baseline_PlainSqliteRead)->Unit(benchmark::kMillisecond);

// From loading the main window to the filled, shown list, on a current catalogue.
void BM_StartupToFilledWindow(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) {
        state.PauseTiming();
        w.shell.UnloadMain();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w.vars.CatalogueDb.reset();
        state.ResumeTiming();
        w.shell.LoadMain();
        QCoreApplication::processEvents();
        if (!w.shell.Main() || w.shell.Main()->Rows().rowCount() != Games + 1)
            state.SkipWithError("the list was not filled");
    }
}
BENCHMARK(BM_StartupToFilledWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TypeAheadKeyPress(benchmark::State& state) {
    World& w = world();
    MainWindow* window = w.mainWindow();
    const GridRows& rows = window->Rows();
    TypeAhead search;
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> letter('A', 'Z');
    qint64 now = 0;
    for (auto _ : state) {
        now += 300;
        benchmark::DoNotOptimize(search.Key(letter(rng), {}, now, rows, true));
    }
}
BENCHMARK(BM_TypeAheadKeyPress)->Unit(benchmark::kMicrosecond);

// A key typed into the window's find field, up to the list refilled with the games it keeps. Each
// press alternates between "a", which keeps most games, and Backspace, which lists every game
// again: the two largest refills a press can cause.
void BM_FindKeyPress(benchmark::State& state) {
    World& w = world();
    MainWindow* window = w.mainWindow();
    auto* find = window->findChild<QLineEdit*>(QStringLiteral("findField"));
    bool typed = false;
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, typed ? Qt::Key_Backspace : Qt::Key_A, Qt::NoModifier,
                        typed ? QString() : QStringLiteral("a"));
        QCoreApplication::sendEvent(find, &press);
        typed = !typed;
    }
    if (typed)
        find->clear();
    state.counters["rows"] = window->Rows().rowCount();
}
BENCHMARK(BM_FindKeyPress)->Unit(benchmark::kMillisecond);

} // namespace

ZELVORA_WINDOW_BENCHMARK_MAIN()
