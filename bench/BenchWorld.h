#pragma once

// A generated catalogue of 50,000 games with a MAME folder and settings of its own, and the
// shell that loads the main window over it, shared by the window benchmarks.
#include "CatalogueGenerator.h"
#include "ScriptedDialogs.h"
#include "TestDirs.h"
#include "WindowBenchmarks.h"

#include "gamelist/GameListQuery.h"
#include "shell/MainWindow.h"
#include "shell/Shell.h"
#include "store/Settings.h"
#include "store/Variables.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace zelvora::bench {

constexpr int Games = 50000;

struct World {
    zelvora::test::TempProgramDir program, config, mame;
    std::vector<zelvora::test::GeneratedGame> games;
    Variables vars;
    Settings settings{config.path()};
    zelvora::test::ScriptedDialogs dialogs;
    zelvora::test::RecordingRunner runner;
    Shell shell{vars, settings, dialogs, runner};

    World() {
        games = zelvora::test::MakeCatalogue(program.path(), Games);
        zelvora::test::WriteScript(mame.file("mame"), "#!/bin/sh\n");
        settings.Save("Zelvora", "Settings", "MameLocation", mame.path() + "/");
        settings.Save("Zelvora", "Settings", "PCXFiles", program.path() + "/pcx/");
        settings.Save("Zelvora", "Settings", "ROMFiles", program.path() + "/roms/");
        vars.ProgramDir = program.path();
    }

    MainWindow* mainWindow() {
        if (!shell.Main())
            shell.LoadMain();
        return shell.Main();
    }

    void setFilters(const FilterStates& filters) { ProgramSettings(settings).SaveFilters(filters); }
};

inline World& world() {
    static World shared;
    return shared;
}

} // namespace zelvora::bench

// The main function of a benchmark of windows.
#define ZELVORA_WINDOW_BENCHMARK_MAIN()                                                                                \
    int main(int argc, char** argv) {                                                                                  \
        zelvora::bench::RunWindowBenchmarks(argc, argv);                                                               \
        return 0;                                                                                                      \
    }
