// The catalogue update over MAME's listings for 50,000 games (20,000 of them clones) and a game
// list document of 50,000 table rows and 5,000 notes, merged into a catalogue that already holds
// 45,000 games: 40,000 still listed, 5,000 no longer. Beside it, the baseline: the same four
// files read and 50,000 records of the same fields inserted in one transaction.
#include "CatalogueGenerator.h"
#include "Listings.h"
#include "TestDirs.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/TextLines.h"
#include "store/Variables.h"
#include "update/CatalogueMerge.h"
#include "update/ListingParsers.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

using namespace zelvora;
using standin::StandinGame;

namespace {

constexpr int Games = 50000;
constexpr int Clones = 20000;
constexpr int Notes = 5000;
constexpr int Kept = 40000;
constexpr int Expired = 5000;

QString setName(int i) {
    return QStringLiteral("s%1").arg(i, 6, 10, QLatin1Char('0'));
}

std::vector<StandinGame> listedGames() {
    static const char* const makers[] = {"Namco", "Konami", "Capcom", "SNK", "Taito", "Sega", "Irem", "Data East"};
    static const char* const cpus[] = {"Z80", "M68000", "M6809", "M6502", "I8039", ""};
    std::vector<StandinGame> games(Games);
    for (int i = 0; i < Games; ++i) {
        StandinGame& g = games[i];
        g.name = setName(i);
        // The last 20,000 are clones of parents among the first 30,000.
        if (i >= Games - Clones)
            g.parent = setName((i * 7) % (Games - Clones));
        g.year = QString::number(1975 + i % 30);
        g.maker = QLatin1String(makers[i % 8]);
        g.description = QStringLiteral("Game number %1 (%2 set %3)").arg(i).arg(g.maker).arg(i % 13);
        g.driver = QStringLiteral("drv%1.c").arg(i % 900);
        g.cpus = {QLatin1String(cpus[i % 5]), QLatin1String(cpus[(i + 2) % 6]), QLatin1String(cpus[5])};
        g.sounds = {QStringLiteral("AY8910"), QLatin1String(i % 3 ? "DAC" : ""), QString()};
    }
    return games;
}

QStringList gamelist(const std::vector<StandinGame>& games) {
    QStringList lines{
        QStringLiteral("Supported Games"),
        QStringLiteral("---------------"),
        QString(),
        QString(80, QLatin1Char('=')),
        QStringLiteral("|                      |        |Accurate|        |Hi score|Cocktail|Directory |"),
        QStringLiteral("| Game Name            |Playable| colors | Sound  |  save  |  mode  |   Name   |"),
        QString(80, QLatin1Char('='))};
    for (const StandinGame& g : games) {
        lines << QStringLiteral("| %1|  Yes   |  Yes   |   No   |  Yes   |   No   | %2|")
                     .arg(g.description.left(21).leftJustified(21), g.name.leftJustified(9));
    }
    lines << QStringLiteral("|----------------------|--------|--------|--------|--------|--------|----------|")
          << QString();
    for (int n = 0; n < Notes; ++n) {
        const StandinGame& g = games[n * 6];
        lines << QString() << QString() << QStringLiteral("%1 (\"%2\")").arg(g.description, g.name)
              << QString(g.description.size() + 10, QLatin1Char('=')) << QStringLiteral("Known issues:")
              << QStringLiteral("- The sound is not quite right.") << QStringLiteral("- The colours are not verified.");
    }
    return lines;
}

void writeLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    for (const QString& line : lines) {
        file.write(line.toLatin1());
        file.write("\n");
    }
}

long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// A program directory with the captured listings, a MAME directory with the document, and the
// catalogue as it stood before the update, kept aside so that every run starts from it.
struct World {
    test::TempProgramDir program, mame;
    QString before;
    std::vector<StandinGame> games = listedGames();

    World() {
        writeLines(program.file(QStringLiteral("Details.txt")), standin::ListDetails(games));
        writeLines(program.file(QStringLiteral("Games.txt")), standin::ListGames(games));
        writeLines(program.file(QStringLiteral("Clones.txt")), standin::ListClones(games));
        writeLines(mame.file(QStringLiteral("gamelist.txt")), gamelist(games));

        Variables vars = fresh();
        Database& db = *vars.CatalogueDb;
        Recordset& rs = *vars.RomsRecordset;
        Transaction transaction(db);
        for (int i = 0; i < Kept + Expired; ++i) {
            // The first 40,000 listed games, and 5,000 that are listed no more.
            const bool kept = i < Kept;
            test::AddGame(rs, kept ? games[i].name : QStringLiteral("x%1").arg(i, 6, 10, QLatin1Char('0')),
                          kept ? games[i].description : QStringLiteral("Expired game %1").arg(i),
                          {{QStringLiteral("Default"), i % 2},
                           {QStringLiteral("Sound Card"), i % 4},
                           {QStringLiteral("Active"), -1}});
        }
        transaction.Commit();
        vars.RomsRecordset.reset();
        vars.CatalogueDb.reset();
        before = program.file(QStringLiteral("before.db"));
        QFile::rename(CatalogueFile(program.path()), before);
    }

    Variables fresh() const {
        Variables vars;
        vars.ProgramDir = program.path();
        vars.MamePath = mame.path() + QLatin1Char('/');
        vars.Fields.InitFieldNames();
        QFile::remove(CatalogueFile(program.path()));
        PrepareCatalogue(vars);
        return vars;
    }
    Variables restored() const {
        QFile::remove(CatalogueFile(program.path()));
        QFile::copy(before, CatalogueFile(program.path()));
        Variables vars;
        vars.ProgramDir = program.path();
        vars.MamePath = mame.path() + QLatin1Char('/');
        vars.Fields.InitFieldNames();
        OpenCatalogue(vars);
        return vars;
    }
};

World& world() {
    static World shared;
    return shared;
}

class CountingReport : public MergeReport {
public:
    void SetText(const QString&) override {}
    void SetRange(int, int) override {}
    void SetValue(int) override {}
    void LetEventsRun() override {}
    void NewGame(const QString&) override { ++added; }
    void ExpiredGame(const QString&) override { ++expired; }
    int added = 0, expired = 0;
};

double baselineSeconds = 0, mergeSeconds = 0;
long mergePeakKb = 0;

void BM_Baseline_ReadFourFilesInsertInOneTransaction(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) {
        state.PauseTiming();
        Variables vars = w.fresh();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const QStringList details = *ReadTextLines(w.program.file(QStringLiteral("Details.txt")));
        benchmark::DoNotOptimize(ReadTextLines(w.program.file(QStringLiteral("Games.txt")))->size());
        benchmark::DoNotOptimize(ReadTextLines(w.program.file(QStringLiteral("Clones.txt")))->size());
        benchmark::DoNotOptimize(ReadTextLines(w.mame.path() + QStringLiteral("/gamelist.txt"))->size());
        Recordset& rs = *vars.RomsRecordset;
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
        baselineSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
        mergeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        mergePeakKb = peakResidentKb();
        if (!outcome.merged || report.added != Games - Kept || report.expired != Expired ||
            vars.RomsRecordset->RecordCount() != Games + 1)
            state.SkipWithError("the merge did not give the expected catalogue");
        state.counters["new"] = report.added;
        state.counters["expired"] = report.expired;
    }
    state.counters["peak_MB"] = static_cast<double>(mergePeakKb) / 1024.0;
}

// The merge runs first, so that the peak it reports is not the baseline's.
BENCHMARK(BM_Merge_Phases1To6)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Baseline_ReadFourFilesInsertInOneTransaction)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (mergeSeconds > 0 && baselineSeconds > 0) {
        std::printf("catalogue update of %d games: merge %.2f s (at most 5 s), peak memory %.0f MB (at most 300 MB)\n",
                    Games, mergeSeconds, static_cast<double>(mergePeakKb) / 1024.0);
        std::printf("baseline, four files read and %d records inserted in one transaction: %.2f s; "
                    "merge / baseline = %.1f\n",
                    Games, baselineSeconds, mergeSeconds / baselineSeconds);
    }
    return 0;
}
