#pragma once

#include "ScriptedDialogs.h"
#include "TestDirs.h"

#include "shell/Shell.h"
#include "shell/frmMain.h"
#include "store/Catalogue.h"
#include "store/Settings.h"
#include "store/Variables.h"

#include <QApplication>

#include <functional>

#include <gtest/gtest.h>

namespace zelvora::test {

template <typename Window> Window* findWindow() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

inline void closeAll() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        widget->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A program directory, a settings directory and a MAME folder of their own, and the shell the
// windows are loaded through, with dialogs and clock answered by the test.
class ShellFixture : public ::testing::Test {
public:
    ShellFixture() : settings(config.path()), shell(vars, settings, dialogs, clock, runner) {
        vars.ProgramDir = program.path();
        shell.onFatal = [this](const QString& text) { fatal << text; };
    }
    ~ShellFixture() override { closeAll(); }

    QString mameDir() const { return mame.path() + "/"; }
    void installMame() { WriteScript(mame.file("mame"), "#!/bin/sh\n"); }
    void storeDirectories() {
        settings.Save("Zelvora", "Settings", "MameLocation", mameDir());
        settings.Save("Zelvora", "Settings", "PCXFiles", program.path() + "/pcx/");
        settings.Save("Zelvora", "Settings", "ROMFiles", program.path() + "/roms/");
    }
    // A current catalogue in the program directory, filled by `fill` through its recordset.
    void fillCatalogue(const std::function<void(Recordset&)>& fill) {
        Variables setup;
        setup.ProgramDir = program.path();
        setup.Fields.InitFieldNames();
        PrepareCatalogue(setup);
        fill(*setup.RomsRecordset);
    }
    frmMain* start() {
        shell.LoadMain();
        return findWindow<frmMain>();
    }

    // The list row that shows `description`.
    int rowOf(frmMain* window, const QString& description) {
        for (int r = 0; r < window->Rows().rowCount(); ++r) {
            if (window->Rows().Text(r, 1) == description)
                return r;
        }
        ADD_FAILURE() << "no row " << description.toStdString();
        return 0;
    }

    TempProgramDir program, config, mame;
    Variables vars;
    Settings settings;
    ScriptedDialogs dialogs;
    FakeClock clock;
    RecordingRunner runner;
    Shell shell;
    QStringList fatal;
};

} // namespace zelvora::test
