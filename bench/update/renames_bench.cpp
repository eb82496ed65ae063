// What telling renamed sets adds to an update from today's MAME: the whole listing read and merged
// into the catalogue of the update before, once with the machines' ROMs read, the renamed sets
// found and moved and the fingerprints stored, once without. In the listing of now every
// hundredth runnable system has a new name.
//
// With MAME installed at /usr/games/mame, its whole listing (0.251: 45,294 machines), written to a
// file first (its run timed, for the update as the user waits for it); without it, the recorded
// listing scaled to 45,000 machines. The reading and the merge alone are the stricter figure.
#include "CatalogueFixture.h"
#include "TestDirs.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "platform/Progress.h"
#include "store/Catalogue.h"
#include "store/Variables.h"
#include "update/CatalogueMerge.h"
#include "update/MachineListing.h"

#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace zelvora;

namespace {

constexpr int ScaledMachines = 45000;
constexpr qsizetype Piece = 64 * 1024;

// The recorded listing's runnable systems copied under new names up to `machines`.
QByteArray scaledListing(const QByteArray& recorded, int machines) {
    const qsizetype first = recorded.indexOf("\t<machine ");
    const qsizetype last = recorded.lastIndexOf("</mame>");
    QByteArray listing = recorded.left(first);
    for (int made = 0, copy = 0; made < machines; ++copy) {
        for (qsizetype at = first; at < last && made < machines; ++made) {
            const qsizetype end = recorded.indexOf("\t</machine>\n", at) + 12;
            QByteArray block = recorded.mid(at, end - at);
            const qsizetype quote = block.indexOf('"', block.indexOf("name=\"") + 6);
            block.insert(quote, "_" + QByteArray::number(copy));
            listing += block;
            at = end;
        }
    }
    return listing + "</mame>\n";
}

// The listing with every hundredth runnable system renamed, piece by piece.
void writeRenamed(const QString& from, const QString& to) {
    QFile in(from), out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        std::abort();
    int systems = 0;
    QByteArray line;
    while (!(line = in.readLine()).isEmpty()) {
        if (line.startsWith("\t<machine name=\"") && !line.contains("isdevice=\"yes\"") &&
            !line.contains("isbios=\"yes\"") && ++systems % 100 == 0)
            line.insert(line.indexOf('"', 16), "_r");
        out.write(line);
    }
}

int renamedFound = 0;

struct RenamesReport : test::CountingReport {
    void RenamedGame(const RenamedSet&) override { ++renamedFound; }
};

struct World {
    test::TempProgramDir program;
    QString listing = program.file(QStringLiteral("listing.xml"));
    QString renamed = program.file(QStringLiteral("renamed.xml"));
    QString before = program.file(QStringLiteral("before.db"));
    bool real = QFileInfo(MameExecutable(test::InstalledMame)).isExecutable();
    double mameSeconds = 0; // MAME's own run, which the user waits for as well

    World() {
        if (real) {
            ShellRunner runner;
            const auto start = std::chrono::steady_clock::now();
            if (runner.ExecCmd(ShellQuote(MameExecutable(test::InstalledMame)) + " -listxml > " + ShellQuote(listing))
                    .exitCode != 0)
                std::abort();
            mameSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        } else {
            test::WriteBytes(
                listing, scaledListing(test::ReadBytes(test::FixturePath("mame-today/listxml.xml")), ScaledMachines));
        }
        writeRenamed(listing, renamed);
        Variables vars = opened();
        if (!merge(vars, listing, true))
            std::abort();
        vars.CatalogueDb.reset();
        QFile::rename(CatalogueFile(program.path()), before);
    }

    Variables opened() const {
        Variables vars;
        vars.ProgramDir = program.path();
        PrepareCatalogue(vars);
        return vars;
    }
    Variables restored() const {
        const QString file = CatalogueFile(program.path());
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(file + QLatin1String(suffix));
        QFile::copy(before, file);
        Variables vars;
        vars.ProgramDir = program.path();
        OpenCatalogue(vars);
        return vars;
    }

    // The listing read as MAME would print it and merged: what the update does after MAME's run.
    static bool merge(Variables& vars, const QString& file, bool fingerprints) {
        NoProgress quiet;
        MachineListingReader reader(quiet, MaxListedGames, fingerprints);
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            return false;
        for (QByteArray piece; !(piece = in.read(Piece)).isEmpty();)
            reader.Read(piece);
        reader.Finish();
        MachineListing listing{{}, {0, {}, false}, std::move(reader.Machines()), reader.Skipped(), reader.Problem()};
        listing.fingerprints = fingerprints;
        RenamesReport report;
        renamedFound = 0;
        return MergeMachineListing(vars, report, listing).merged;
    }
};

World& world() {
    static World shared;
    return shared;
}

// The least processor time of each, over rounds that take them in turn: the cores are shared, and
// a round that another program slowed says nothing of the update.
double seconds[2] = {0, 0};

double once(bool fingerprints) {
    Variables vars = world().restored();
    const std::clock_t start = std::clock();
    if (!World::merge(vars, world().renamed, fingerprints))
        std::abort();
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

void BM_Update_WithoutAndWithRenamedSets(benchmark::State& state) {
    for (auto _ : state) {
        for (const bool fingerprints : {false, true}) {
            const double taken = once(fingerprints);
            double& least = seconds[fingerprints];
            least = least > 0 ? std::min(least, taken) : taken;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("BM_Update_WithoutAndWithRenamedSets", BM_Update_WithoutAndWithRenamedSets)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (seconds[0] > 0 && seconds[1] > 0)
        std::printf("update from %s, one system in a hundred renamed (%d found), processor time of the reading and "
                    "the merge, the least of 5 rounds: without telling renamed sets %.2f s, with it %.2f s; with / "
                    "without = %.3f\n",
                    world().real ? "the installed MAME's whole listing" : "a listing of 45,000 machines", renamedFound,
                    seconds[0], seconds[1], seconds[1] / seconds[0]);
    if (world().mameSeconds > 0)
        std::printf(
            "with MAME's own run of %.2f s, as the user waits for the update: with / without = %.3f (at most 1.10)\n",
            world().mameSeconds, (world().mameSeconds + seconds[1]) / (world().mameSeconds + seconds[0]));
    return 0;
}
