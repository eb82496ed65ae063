// The game list over a generated catalogue of 50,000 games: filling the grid (with a plain
// SQLite read of the same rows as the baseline), the start-up to a filled window, one
// type-ahead key press, one key press in the find field over the list, with and without
// qualifiers, and a sort by a column's caption.
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
#include <QElapsedTimer>
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

// The baseline: the rows of the five default columns read with one plain SQLite query into
// lists of texts and marks, in milliseconds per read.
double plainSqliteRead(benchmark::State* state, int reads) {
    World& w = world();
    w.mainWindow();
    const QByteArray path = QFile::encodeName(CatalogueFile(w.program.path()) + ".copy");
    QFile::remove(QString::fromLocal8Bit(path));
    w.vars.CatalogueDb->CompactInto(QString::fromLocal8Bit(path));
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT Description, Date, Manufacturer, Rom, Screenshot, [Bad ROM], [Missing ROM], \"Default\" "
                       "FROM ROMS ORDER BY Description, Description",
                       -1, &stmt, nullptr);
    const auto text = [&](int column) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)));
    };
    const auto read = [&] {
        QStringList marks, descriptions, years, makers, roms;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            descriptions << text(0);
            years << text(1);
            makers << text(2);
            roms << text(3);
            QString mark;
            if (sqlite3_column_int(stmt, 4) == 1)
                mark += 'S';
            if (sqlite3_column_int(stmt, 5) == 1)
                mark += 'B';
            if (sqlite3_column_int(stmt, 6) == 1)
                mark += 'R';
            if (sqlite3_column_type(stmt, 7) != SQLITE_NULL && sqlite3_column_int(stmt, 7) == 0)
                mark += '*';
            marks << mark;
        }
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(descriptions.size());
    };
    QElapsedTimer clock;
    clock.start();
    if (state) {
        for (auto _ : *state)
            read();
    } else {
        for (int i = 0; i < reads; ++i)
            read();
    }
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6 / std::max<double>(reads, 1);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    QFile::remove(QString::fromLocal8Bit(path));
    return ms;
}

void fillGrid(benchmark::State& state, const FilterStates& filters) {
    World& w = world();
    MainWindow* window = w.mainWindow();
    w.setFilters(filters);
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state)
        window->FillGrid();
    const double fillMs = static_cast<double>(clock.nsecsElapsed()) / 1e6 / static_cast<double>(state.iterations());
    const double plainMs = plainSqliteRead(nullptr, 5);
    state.counters["rows"] = window->Rows().rowCount();
    state.counters["plain_read_ms"] = plainMs;
    state.counters["ratio"] = fillMs / plainMs;
    state.SetLabel("ratio to the plain read: at most 1.2");
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

void BM_Baseline_PlainSqliteRead(benchmark::State& state) {
    plainSqliteRead(&state, 0);
}
BENCHMARK(BM_Baseline_PlainSqliteRead)->Unit(benchmark::kMillisecond);

// A click on a column's caption: the list sorted by it, one way and then the other, the selected
// game kept.
void BM_SortByColumn(benchmark::State& state) {
    MainWindow* window = world().mainWindow();
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state)
        window->sortByColumn(column);
    window->sortByColumn(GameListModel::TitleColumn);
    state.SetLabel(GameListModel::SortKeyOf(column).toStdString() + ": at most 50 ms");
}
BENCHMARK(BM_SortByColumn)
    ->Unit(benchmark::kMillisecond)
    ->Arg(GameListModel::TitleColumn)
    ->Arg(GameListModel::YearColumn)
    ->Arg(GameListModel::ManufacturerColumn)
    ->Arg(GameListModel::SetColumn)
    ->Arg(GameListModel::SourceColumn)
    ->Arg(GameListModel::StatusColumn)
    ->Arg(GameListModel::PlayCountColumn);

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
BENCHMARK(BM_StartupToFilledWindow)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Name("StartupToFilledWindow (at most 300 ms)");

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
// press alternates between a letter, which narrows, and Backspace, which widens again: after
// nothing, "a" keeps most games and Backspace lists every game, the two largest refills a plain
// press can cause; after qualifiers, each press parses and applies them all.
void findKeyPress(benchmark::State& state, const QString& before) {
    World& w = world();
    MainWindow* window = w.mainWindow();
    auto* find = window->findChild<QLineEdit*>(QStringLiteral("findField"));
    find->setText(before);
    bool typed = false;
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, typed ? Qt::Key_Backspace : Qt::Key_A, Qt::NoModifier,
                        typed ? QString() : QStringLiteral("a"));
        QCoreApplication::sendEvent(find, &press);
        typed = !typed;
    }
    find->clear();
    state.counters["rows"] = window->Rows().rowCount();
    state.SetLabel("at most 5 ms");
}
void BM_FindKeyPress(benchmark::State& state) {
    findKeyPress(state, {});
}
void BM_FindKeyPress_Qualifiers(benchmark::State& state) {
    findKeyPress(state, QStringLiteral("year:1980-1995 set:*a* is:working mfr:"));
}
BENCHMARK(BM_FindKeyPress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindKeyPress_Qualifiers)->Unit(benchmark::kMillisecond);

} // namespace

ZELVORA_WINDOW_BENCHMARK_MAIN()
