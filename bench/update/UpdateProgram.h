#pragma once

// The program as the user runs it, for the update benchmarks: the real main window, the real
// process runner and a MAME folder; only the confirmation is answered without a person.
#include "ScriptedDialogs.h"
#include "TestDirs.h"

#include "launcher/ProcessRunner.h"
#include "shell/Shell.h"
#include "shell/UpdateWindow.h"
#include "store/Settings.h"
#include "store/Variables.h"

#include <QApplication>

namespace zelvora::bench {

struct UpdateProgram {
    Variables vars;
    Settings settings;
    test::ScriptedDialogs dialogs;
    ShellRunner runner;
    Shell shell{vars, settings, dialogs, runner};
    QString fatal;

    // Settings in `configDir`; the catalogue in `program`, its screenshots and ROM sets below it.
    UpdateProgram(const QString& configDir, const test::TempProgramDir& program, const QString& mamePath)
        : settings(configDir) {
        const QString section = QStringLiteral("Settings");
        settings.Save(QStringLiteral("Zelvora"), section, QStringLiteral("MameLocation"), mamePath);
        settings.Save(QStringLiteral("Zelvora"), section, QStringLiteral("PCXFiles"),
                      program.file(QStringLiteral("pcx/")));
        settings.Save(QStringLiteral("Zelvora"), section, QStringLiteral("ROMFiles"),
                      program.file(QStringLiteral("roms/")));
        vars.ProgramDir = program.path();
        shell.onFatal = [this](const QString& text) { fatal = text; };
    }
};

// The update window once it is shown.
inline UpdateWindow* ShownUpdateWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<UpdateWindow*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

} // namespace zelvora::bench
