// The catalogue update from today's MAME as the user waits for it: through the real main window
// and UpdateWindow, from the confirmation's OK to the refilled list, MAME's own run included.
// Beside it, in the same run, its baseline: MAME printing the same listing to /dev/null.
//
// With MAME installed at /usr/games/mame, that MAME and its whole listing (0.251: 45,294
// machines). Without it, the stand-in MAME replaying a listing made in the set-up from the
// recorded one, scaled to 45,000 machines.
#include "../WindowBenchmarks.h"
#include "MainWindowParts.h"
#include "ScriptedDialogs.h"
#include "TestDirs.h"
#include "UpdateProgram.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "mame/Mame.h"
#include "mame/MameVersion.h"
#include "platform/Progress.h"
#include "shell/MainWindow.h"
#include "shell/Shell.h"
#include "shell/UpdateWindow.h"
#include "store/Catalogue.h"
#include "store/Settings.h"
#include "store/Variables.h"
#include "update/MachineListing.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

using namespace zelvora;

namespace {

const QString InstalledMame = QStringLiteral("/usr/games/");
// As many as today's MAME lists, in its proportions.
constexpr int ScaledMachines = 45000;
constexpr int ScaledSystems = 39000;

long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    }
    return -1;
}

long peakResidentKb() {
    return statusKb("VmHWM:");
}

// From here on the peak is the program's peak since now, not the set-up's.
bool resetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The recorded listing's machines copied under new names, each copy's clones naming their parents
// of the same copy: `systems` runnable systems first, then devices and BIOS sets up to `machines`
// in all, as MAME lists them.
QByteArray scaledListing(const QByteArray& recorded, int systems, int machines) {
    const qsizetype first = recorded.indexOf("\t<machine ");
    const qsizetype last = recorded.lastIndexOf("</mame>");
    QList<QByteArray> runnable, others;
    for (qsizetype at = first; at < last;) {
        const qsizetype end = recorded.indexOf("\t</machine>\n", at) + 12;
        const QByteArray block = recorded.mid(at, end - at);
        const QByteArray machineLine = block.left(block.indexOf('\n'));
        (machineLine.contains("isdevice=\"yes\"") || machineLine.contains("isbios=\"yes\"") ? others : runnable)
            << block;
        at = end;
    }
    static const QRegularExpression names(QStringLiteral("( (?:name|cloneof|romof)=\"[^\"]*)\""));
    QByteArray listing = recorded.left(first);
    int made = 0;
    const auto copies = [&](const QList<QByteArray>& blocks, int until) {
        for (int copy = 0; made < until; ++copy) {
            for (const QByteArray& block : blocks) {
                if (made == until)
                    break;
                ++made;
                const qsizetype lineEnd = block.indexOf('\n');
                QString machineLine = QString::fromUtf8(block.left(lineEnd));
                machineLine.replace(names, QStringLiteral("\\1_%1\"").arg(copy));
                listing += machineLine.toUtf8() + block.mid(lineEnd);
            }
        }
    };
    copies(runnable, systems);
    copies(others, machines);
    return listing + "</mame>\n";
}

// A program directory with an empty catalogue kept aside, and the MAME to update from.
struct World {
    test::TempProgramDir program, config, home, standin;
    const bool real = QFileInfo(MameExecutable(InstalledMame)).isExecutable();
    QString mamePath = real ? InstalledMame : standin.path() + QLatin1Char('/');
    QString empty = program.file(QStringLiteral("empty.db"));
    QString current = program.file(QStringLiteral("current.db"));
    QString version;

    World() {
        // MAME keeps its settings under the home folder it is given; the user's stay untouched.
        qputenv("HOME", home.path().toUtf8());
        if (!real) {
            if (!QFile::copy(QStringLiteral(ZELVORA_STANDIN_PATH), standin.file(QStringLiteral("mame"))))
                std::abort();
            test::WriteBytes(standin.file(QStringLiteral("standin-listxml.xml")),
                             scaledListing(test::ReadBytes(test::FixturePath(QStringLiteral("mame-today/listxml.xml"))),
                                           ScaledSystems, ScaledMachines));
        }
        Variables vars;
        vars.ProgramDir = program.path();
        PrepareCatalogue(vars);
        vars.CatalogueDb.reset();
        QFile::rename(CatalogueFile(program.path()), empty);
        ShellRunner runner;
        version = MameVersions().Of(MameExecutable(mamePath), runner)->VersionNumber();
    }

    // Puts a kept catalogue in place; nothing may hold it open.
    void restore(const QString& kept) const {
        const QString file = CatalogueFile(program.path());
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(file + QLatin1String(suffix));
        QFile::copy(kept, file);
    }
};

World& world() {
    static World shared;
    return shared;
}

// Means over the iterations: MAME's own run is the noisiest part, so each update is paired with
// a baseline run right before it.
struct Figures {
    double seconds = 0;
    double baselineSeconds = 0;
    long peakKb = 0;
};
Figures first, repeat;
int newGames = 0;

double baselineRun() {
    const QString command = ShellQuote(MameExecutable(world().mamePath)) + QStringLiteral(" -listxml > /dev/null");
    ShellRunner runner;
    const auto start = std::chrono::steady_clock::now();
    if (runner.ExecCmd(command).exitCode != 0)
        std::abort();
    return secondsSince(start);
}

// The whole update over the catalogue `before`: from an empty one, every game is new.
void wholeUpdate(benchmark::State& state, const QString& before, Figures& figures, bool firstRun) {
    World& w = world();
    bench::UpdateProgram program(w.config.path(), w.program, w.mamePath);
    double& seconds = figures.seconds;
    long& peakKb = figures.peakKb;
    for (auto _ : state) {
        state.PauseTiming();
        figures.baselineSeconds += baselineRun() / static_cast<double>(state.max_iterations);
        program.vars.CatalogueDb.reset();
        w.restore(before);
        program.shell.LoadMain();
        MainWindow* main = program.shell.Main();
        QCoreApplication::processEvents();
        program.dialogs.answers = {true};
        const bool reset = resetPeakResident();
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        test::action(main, "updateAction")->trigger();
        // What the refill and the update's last steps left to lay out and paint.
        QCoreApplication::processEvents();
        seconds += secondsSince(start) / static_cast<double>(state.max_iterations);

        state.PauseTiming();
        peakKb = std::max(peakKb, reset ? peakResidentKb() : -1);
        UpdateWindow* done = bench::ShownUpdateWindow();
        const int listed = done ? done->newGamesList->count() : -1;
        if (!program.fatal.isEmpty() || !done || done->progressText->text() != QLatin1String("DONE!") ||
            (firstRun ? listed < 1000 : listed != 0) || done->expiredGamesList->count() != 0)
            state.SkipWithError("the update did not give the expected window");
        if (firstRun && done) {
            newGames = listed;
            program.vars.CatalogueDb.reset();
            QFile::remove(w.current);
            QFile::copy(CatalogueFile(w.program.path()), w.current);
        }
        if (done)
            done->okButton->click();
        program.shell.UnloadMain();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024.0;
}

// What MAME printed, handed to the reader in the pipe's pieces as it comes, without being held:
// the reader's own memory is all the program's memory grows by.
struct Flood {
    double seconds = 0;
    long grownKb = 0; // the peak over what the program held before
    QString problem;
    int malformed = 0;
};
Flood oneLongDescription, endlessListing;

template <typename Next> void readFlood(benchmark::State& state, Flood& flood, Next next) {
    for (auto _ : state) {
        NoProgress quiet;
        MachineListingReader reader(quiet);
        const bool reset = resetPeakResident();
        const long before = statusKb("VmRSS:");
        const auto start = std::chrono::steady_clock::now();
        for (QByteArray piece; next(piece) && reader.Read(piece);) {
        }
        reader.Finish();
        flood.seconds = secondsSince(start);
        flood.grownKb = reset ? peakResidentKb() - before : -1;
        flood.problem = reader.Problem();
        flood.malformed = reader.Malformed();
    }
    state.counters["grown_MB"] = static_cast<double>(flood.grownKb) / 1024.0;
}

const QByteArray ListingHead = "<?xml version=\"1.0\"?>\n<mame build=\"flood\">\n";

// A listing whose one description is 1 GB on one line, the machines around it as MAME prints them.
void BM_Reader_OneDescriptionOf1GB(benchmark::State& state) {
    const QByteArray fill(64 * 1024, 'x');
    const qint64 pieces = (1LL << 30) / fill.size();
    qint64 given = 0;
    readFlood(state, oneLongDescription, [&](QByteArray& piece) {
        const qint64 at = given++;
        piece = at == 0 ? ListingHead + "\t<machine name=\"long\">\n\t\t<description>"
                : at <= pieces
                    ? fill
                    : QByteArray("</description>\n\t</machine>\n\t<machine name=\"short\">\n\t\t<description>"
                                 "Short</description>\n\t</machine>\n</mame>\n");
        return at <= pieces + 1;
    });
}

// A valid listing that does not end: runnable machines, one after another.
void BM_Reader_EndlessListing(benchmark::State& state) {
    int machine = 0;
    readFlood(state, endlessListing, [&](QByteArray& piece) {
        piece = machine == 0 ? ListingHead : QByteArray();
        for (int i = 0; i < 200; ++i, ++machine)
            piece += QStringLiteral("\t<machine name=\"m%1\" sourcefile=\"flood.cpp\">\n\t\t<description>Machine "
                                    "number %1</description>\n\t\t<year>1980</year>\n\t\t<manufacturer>Flood"
                                    "</manufacturer>\n\t\t<driver status=\"good\"/>\n\t</machine>\n")
                         .arg(machine)
                         .toUtf8();
        return true;
    });
}

void BM_Window_FirstUpdateFromAnEmptyCatalogue(benchmark::State& state) {
    wholeUpdate(state, world().empty, first, true);
}

void BM_Window_RepeatUpdateOfTheCurrentCatalogue(benchmark::State& state) {
    wholeUpdate(state, world().current, repeat, false);
}

} // namespace

int main(int argc, char** argv) {
    zelvora::bench::RunWindowBenchmarks(argc, argv, [] {
        using Case = std::pair<const char*, void (*)(benchmark::State&)>;
        for (const auto& [name, function] :
             {Case{"BM_Window_FirstUpdateFromAnEmptyCatalogue", BM_Window_FirstUpdateFromAnEmptyCatalogue},
              Case{"BM_Window_RepeatUpdateOfTheCurrentCatalogue", BM_Window_RepeatUpdateOfTheCurrentCatalogue}})
            benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMillisecond)->Iterations(3);
        for (const auto& [name, function] : {Case{"BM_Reader_OneDescriptionOf1GB", BM_Reader_OneDescriptionOf1GB},
                                             Case{"BM_Reader_EndlessListing", BM_Reader_EndlessListing}})
            benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMillisecond)->Iterations(1);
    });

    const World& w = world();
    const QByteArray mame = w.real ? QByteArrayLiteral("the installed MAME ") + w.version.toUtf8()
                                   : QByteArrayLiteral("the stand-in MAME replaying a generated listing");
    const char* limit = w.real ? " (at most 1.5)" : "";
    if (first.seconds > 0) {
        std::printf("catalogue update from %s, %d new games, first update through the window from OK to the "
                    "refilled list: %.2f s; baseline, mame -listxml > /dev/null: %.2f s; update / baseline = %.2f%s; "
                    "peak memory of the program %.0f MB (at most 200 MB)\n",
                    mame.constData(), newGames, first.seconds, first.baselineSeconds,
                    first.seconds / first.baselineSeconds, limit, static_cast<double>(first.peakKb) / 1024.0);
    }
    if (repeat.seconds > 0) {
        std::printf("repeat update of the current catalogue, no new or expired games: %.2f s; baseline %.2f s; "
                    "update / baseline = %.2f%s; peak memory of the program %.0f MB (at most 200 MB)\n",
                    repeat.seconds, repeat.baselineSeconds, repeat.seconds / repeat.baselineSeconds, limit,
                    static_cast<double>(repeat.peakKb) / 1024.0);
    }
    if (oneLongDescription.seconds > 0) {
        std::printf("reading a listing whose one description is 1 GB: %.2f s, %d machine skipped as malformed%s; "
                    "the program's memory grew by %.0f MB at its peak (at most 50 MB)\n",
                    oneLongDescription.seconds, oneLongDescription.malformed,
                    oneLongDescription.problem.isEmpty() ? "" : " (refused!)",
                    static_cast<double>(oneLongDescription.grownKb) / 1024.0);
    }
    if (endlessListing.seconds > 0) {
        std::printf("reading a listing that does not end: refused after %.2f s (%s); the program's memory grew by "
                    "%.0f MB at its peak (at most 300 MB)\n",
                    endlessListing.seconds, endlessListing.problem.toUtf8().constData(),
                    static_cast<double>(endlessListing.grownKb) / 1024.0);
    }
    return 0;
}
