// The catalogue update of 50,000 games (UpdateData.h), measured twice:
// - the merge alone, beside its baseline: the same four files read and 50,000 records of the same
//   fields inserted through the recordset in one transaction;
// - the whole update as the user waits for it, through the real main window and UpdateWindow
//   with the stand-in MAME answering, from the confirmation's OK to the refilled list, beside its
//   floor: the four files read and every game's final values inserted with one prepared statement
//   in one transaction, through SQLite alone.
#include "UpdateData.h"

#include "../WindowBenchmarks.h"
#include "CatalogueFixture.h"
#include "MainWindowParts.h"
#include "ScriptedDialogs.h"
#include "UpdateProgram.h"

#include "launcher/ProcessRunner.h"
#include "platform/TextLines.h"
#include "shell/MainWindow.h"
#include "shell/Shell.h"
#include "shell/UpdateWindow.h"
#include "store/GameStore.h"
#include "store/Settings.h"
#include "update/CatalogueMerge.h"
#include "update/ListingParsers.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

using namespace zelvora;
using namespace zelvora::bench;

namespace {

long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A program directory with the captured listings and the catalogue of before the update kept
// aside, and a MAME directory with the stand-in MAME, its game data and the document.
struct World {
    test::TempProgramDir program, mame, config;
    QString before = program.file(QStringLiteral("before.db"));
    std::vector<StandinGame> games = listedGames();

    World() {
        writeLines(program.file(QStringLiteral("Details.txt")), standin::ListDetails(games));
        writeLines(program.file(QStringLiteral("Games.txt")), standin::ListGames(games));
        writeLines(program.file(QStringLiteral("Clones.txt")), standin::ListClones(games));
        writeLines(mame.file(QStringLiteral("gamelist.txt")), gamelist(games));
        if (!QFile::copy(QStringLiteral(ZELVORA_STANDIN_PATH), mame.file(QStringLiteral("mame"))))
            std::abort();
        test::WriteBytes(mame.file(QStringLiteral("standin-games.tsv")), standin::GamesFile::Format(games));
        writeCatalogueBefore(program.path(), games, before);
    }

    Variables fresh() const {
        Variables vars = unopened();
        QFile::remove(CatalogueFile(program.path()));
        PrepareCatalogue(vars);
        return vars;
    }
    Variables restored() const {
        restoreCatalogue(program.path(), before);
        Variables vars = unopened();
        OpenCatalogue(vars);
        return vars;
    }
    Variables unopened() const {
        Variables vars;
        vars.ProgramDir = program.path();
        vars.MamePath = mame.path() + QLatin1Char('/');
        return vars;
    }
};

World& world() {
    static World shared;
    return shared;
}

using test::CountingReport;

double baselineSeconds = 0, mergeSeconds = 0;
// Means over the iterations: the whole update runs three processes and is the noisiest figure.
double windowSeconds = 0, floorSeconds = 0;
long mergePeakKb = 0;

void BM_Baseline_ReadFourFilesInsertInOneTransaction(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) {
        state.PauseTiming();
        Variables vars = w.fresh();
        const std::unique_ptr<Recordset> keyset = vars.CatalogueDb->OpenRecordset(QStringLiteral("ROMS"));
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const QStringList details = *ReadTextLines(w.program.file(QStringLiteral("Details.txt")));
        benchmark::DoNotOptimize(ReadTextLines(w.program.file(QStringLiteral("Games.txt")))->size());
        benchmark::DoNotOptimize(ReadTextLines(w.program.file(QStringLiteral("Clones.txt")))->size());
        benchmark::DoNotOptimize(ReadTextLines(w.mame.file(QStringLiteral("gamelist.txt")))->size());
        Recordset& rs = *keyset;
        Transaction transaction(*vars.CatalogueDb);
        for (qsizetype i = DetailsHeadingLines; i < details.size(); ++i) {
            const std::optional<DetailsEntry> game = ParseDetailsLine(details[i]);
            rs.AddNew();
            rs.SetValue(QStringLiteral("Rom"), game->name);
            rs.SetValue(QStringLiteral("Driver"), game->driver);
            for (int c = 0; c < 3; ++c) {
                rs.SetValue(QStringLiteral("CPU %1").arg(c + 1), game->cpus[c]);
                rs.SetValue(QStringLiteral("Sound %1").arg(c + 1), game->sounds[c]);
            }
            rs.SetValue(QStringLiteral("Description"), game->description);
            rs.SetValue(QStringLiteral("Active"), -1);
            rs.SetValue(QStringLiteral("Default"), 1);
            for (const char* status : {"Playable", "Colors", "Sound", "Hi Score", "Cocktail"})
                rs.SetValue(QLatin1String(status), QStringLiteral("Yes"));
            rs.SetValue(QStringLiteral("Manufacturer"), QStringLiteral("Namco "));
            rs.SetValue(QStringLiteral("Date"), QStringLiteral("1981"));
            rs.Update();
        }
        transaction.Commit();
        baselineSeconds = secondsSince(start);
        if (rs.RecordCount() != Games + 1)
            state.SkipWithError("wrong record count");
    }
}

void BM_Merge_Phases1To6(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) {
        state.PauseTiming();
        Variables vars = w.restored();
        CountingReport report;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const MergeOutcome outcome = MergeListings(vars, report);
        mergeSeconds = secondsSince(start);
        mergePeakKb = peakResidentKb();
        if (!outcome.merged || report.added != Games - Kept || report.expired != Expired ||
            GameStore(*vars.CatalogueDb).RecordCount() != Games + 1)
            state.SkipWithError("the merge did not give the expected catalogue");
        state.counters["new"] = report.added;
        state.counters["expired"] = report.expired;
    }
    state.counters["peak_MB"] = static_cast<double>(mergePeakKb) / 1024.0;
}

// The fields the update writes, as the floor inserts them.
const char* const UpdatedFields[] = {
    "Rom",     "Driver",   "CPU 1",  "CPU 2", "CPU 3",    "Sound 1",  "Sound 2", "Sound 3", "Description",  "Active",
    "Default", "Playable", "Colors", "Sound", "Hi Score", "Cocktail", "Notes",   "Clone",   "Manufacturer", "Date"};

// One game's values of UpdatedFields as the update leaves them; SQLite's own types and bytes.
struct FinalCell {
    int type = SQLITE_NULL;
    sqlite3_int64 integer = 0;
    std::string text;
};
using FinalRow = std::vector<FinalCell>;

QString fieldList() {
    QStringList names;
    for (const char* name : UpdatedFields)
        names << QStringLiteral("[%1]").arg(QLatin1String(name));
    return names.join(QLatin1Char(','));
}

sqlite3* openDb(const QString& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        std::abort();
    return db;
}

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        std::abort();
}

// The games as an update of the catalogue of before leaves them, read straight from the table.
const std::vector<FinalRow>& finalRows() {
    static const std::vector<FinalRow> rows = [] {
        World& w = world();
        {
            Variables vars = w.restored();
            std::vector<ListingCapture> captures = ListingCommands(vars.MamePath, vars.ProgramDir);
            ShellRunner runner;
            CountingReport report;
            CaptureListings(captures, runner, report);
            if (!MergeListings(vars, report, captures).merged)
                std::abort();
        }
        sqlite3* db = openDb(CatalogueFile(w.program.path()));
        const QByteArray sql = QStringLiteral("SELECT %1 FROM ROMS WHERE Rom <> '-default-'").arg(fieldList()).toUtf8();
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
        std::vector<FinalRow> read;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            FinalRow& row = read.emplace_back(std::size(UpdatedFields));
            for (int c = 0; c < static_cast<int>(row.size()); ++c) {
                row[c].type = sqlite3_column_type(stmt, c);
                if (row[c].type == SQLITE_INTEGER)
                    row[c].integer = sqlite3_column_int64(stmt, c);
                else if (row[c].type != SQLITE_NULL)
                    row[c].text.assign(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                                       static_cast<size_t>(sqlite3_column_bytes(stmt, c)));
            }
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return read;
    }();
    return rows;
}

void BM_Floor_ReadFourFilesInsertFinalValuesWithOneStatement(benchmark::State& state) {
    World& w = world();
    const std::vector<FinalRow>& rows = finalRows();
    QStringList marks;
    for (size_t i = 0; i < std::size(UpdatedFields); ++i)
        marks << QStringLiteral("?");
    const QByteArray insert =
        QStringLiteral("INSERT INTO ROMS (%1) VALUES (%2)").arg(fieldList(), marks.join(QLatin1Char(','))).toUtf8();
    for (auto _ : state) {
        state.PauseTiming();
        w.fresh();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        for (const char* file : {"Details.txt", "Games.txt", "Clones.txt"})
            benchmark::DoNotOptimize(ReadTextLines(w.program.file(QLatin1String(file)))->size());
        benchmark::DoNotOptimize(ReadTextLines(w.mame.file(QStringLiteral("gamelist.txt")))->size());
        sqlite3* db = openDb(CatalogueFile(w.program.path()));
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, insert.constData(), -1, &stmt, nullptr);
        exec(db, "BEGIN");
        for (const FinalRow& row : rows) {
            for (int c = 0; c < static_cast<int>(row.size()); ++c) {
                if (row[c].type == SQLITE_INTEGER)
                    sqlite3_bind_int64(stmt, c + 1, row[c].integer);
                else if (row[c].type == SQLITE_NULL)
                    sqlite3_bind_null(stmt, c + 1);
                else
                    sqlite3_bind_text(stmt, c + 1, row[c].text.data(), static_cast<int>(row[c].text.size()),
                                      SQLITE_STATIC);
            }
            if (sqlite3_step(stmt) != SQLITE_DONE)
                std::abort();
            sqlite3_reset(stmt);
        }
        exec(db, "COMMIT");
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        floorSeconds += secondsSince(start) / static_cast<double>(state.max_iterations);
        if (rows.size() != static_cast<size_t>(Games))
            state.SkipWithError("the update left the wrong number of games");
    }
}

void BM_Window_WholeUpdateFromOkToTheRefilledList(benchmark::State& state) {
    World& w = world();
    bench::UpdateProgram program(w.config.path(), w.program, w.mame.path() + QLatin1Char('/'));
    for (auto _ : state) {
        state.PauseTiming();
        program.vars.CatalogueDb.reset();
        restoreCatalogue(w.program.path(), w.before);
        program.shell.LoadMain();
        MainWindow* main = program.shell.Main();
        QCoreApplication::processEvents();
        program.dialogs.answers = {true};
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        zelvora::test::action(main, "updateAction")->trigger();
        // What the refill and the update's last steps left to lay out and paint.
        QCoreApplication::processEvents();
        windowSeconds += secondsSince(start) / static_cast<double>(state.max_iterations);

        state.PauseTiming();
        UpdateWindow* done = bench::ShownUpdateWindow();
        if (!program.fatal.isEmpty() || !done || done->progressText->text() != QLatin1String("DONE!") ||
            done->newGamesList->count() != Games - Kept || done->expiredGamesList->count() != Expired ||
            main->Rows().rowCount() != Games + 1)
            state.SkipWithError("the update did not give the expected window and list");
        if (done)
            done->okButton->click();
        program.shell.UnloadMain();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

} // namespace

int main(int argc, char** argv) {
    zelvora::bench::RunWindowBenchmarks(argc, argv, [] {
        // The merge runs first, so that the peak it reports is not another case's.
        benchmark::RegisterBenchmark("BM_Merge_Phases1To6", BM_Merge_Phases1To6)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark("BM_Baseline_ReadFourFilesInsertInOneTransaction",
                                     BM_Baseline_ReadFourFilesInsertInOneTransaction)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark("BM_Window_WholeUpdateFromOkToTheRefilledList",
                                     BM_Window_WholeUpdateFromOkToTheRefilledList)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark("BM_Floor_ReadFourFilesInsertFinalValuesWithOneStatement",
                                     BM_Floor_ReadFourFilesInsertFinalValuesWithOneStatement)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    });
    if (mergeSeconds > 0 && baselineSeconds > 0) {
        std::printf("catalogue update of %d games: merge %.2f s (at most 5 s), peak memory %.0f MB (at most 300 MB)\n",
                    Games, mergeSeconds, static_cast<double>(mergePeakKb) / 1024.0);
        std::printf("baseline, four files read and %d records inserted in one transaction: %.2f s; "
                    "merge / baseline = %.1f\n",
                    Games, baselineSeconds, mergeSeconds / baselineSeconds);
    }
    if (windowSeconds > 0 && floorSeconds > 0) {
        std::printf("whole update of %d games through the window, OK to the refilled list: %.2f s (at most 1.5 s); "
                    "floor, the four files read and the final values inserted with one prepared statement in one "
                    "transaction: %.2f s; window / floor = %.1f (at most 5)\n",
                    Games, windowSeconds, floorSeconds, windowSeconds / floorSeconds);
    }
    return 0;
}
