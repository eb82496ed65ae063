#pragma once

#include "CatalogueFixture.h"
#include "MainWindowParts.h"
#include "ScriptedDialogs.h"

#include "launcher/ProcessRunner.h"
#include "shell/Shell.h"
#include "store/Settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <type_traits>

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

// Program, settings and MAME folders of their own, and the shell the windows load through, with
// dialogs and the main window's clock answered by the test; no test may end with an engine error.
class ShellFixture : public ::testing::Test {
public:
    ShellFixture() : settings(config.path()), shell(vars, settings, dialogs, runner) {
        vars.ProgramDir = program.path();
        shell.onFatal = [this](const QString& text) { fatal << text; };
        shell.MameSearchFolders = {};
    }
    ~ShellFixture() override { closeAll(); }
    void TearDown() override { EXPECT_TRUE(fatal.isEmpty()) << fatal.join('\n').toStdString(); }

    QString mameDir() const { return mame.path() + "/"; }
    void installMame() { WriteScript(mame.file("mame"), "#!/bin/sh\n"); }
    void storeDirectories() {
        settings.Save("Zelvora", "Settings", "MameLocation", mameDir());
        settings.Save("Zelvora", "Settings", "PCXFiles", program.path() + "/pcx/");
        settings.Save("Zelvora", "Settings", "ROMFiles", program.path() + "/roms/");
    }
    // As every start after the first finds things.
    void setUpMame() {
        installMame();
        storeDirectories();
    }
#ifdef ZELVORA_STANDIN_PATH
    // The built stand-in MAME, run through a real shell, in a folder the shell would misread
    // unquoted; returns the folder.
    QString useStandIn() {
        const QString folder = mame.path() + "/My MAME's \"best\" $HOME/";
        QDir().mkpath(folder);
        QFile::copy(ZELVORA_STANDIN_PATH, folder + "mame");
        settings.Save("Zelvora", "Settings", "MameLocation", folder);
        runner.forward = &shellRunner;
        return folder;
    }
    // The stand-in playing today's MAME from its recorded listing, in a folder of its own.
    QString useTodaysFolder() {
        const QString folder = mame.path() + "/today/";
        QDir().mkpath(folder);
        QFile::copy(ZELVORA_STANDIN_PATH, folder + "mame");
        QFile::copy(FixturePath("mame-today/listxml.xml"), folder + "standin-listxml.xml");
        runner.forward = &shellRunner;
        return folder;
    }
#endif
    // A catalogue filled by `fill` through a CatalogueFixture or its recordset, closed before use.
    template <typename Fill> void fillCatalogue(Fill fill) {
        CatalogueFixture catalogue(program.path());
        if constexpr (std::is_invocable_v<Fill, CatalogueFixture&>)
            fill(catalogue);
        else
            fill(catalogue.rs());
    }

    // The main window, or nullptr when the start-up gave way to the file locations dialog.
    MainWindow* start() {
        shell.LoadMain();
        window = findWindow<MainWindow>();
        if (window)
            window->SetClock([this] { return clockMs; });
        return window;
    }
    MainWindow* open() {
        if (!start())
            qFatal("the main window did not start");
        return window;
    }

    // The list row that shows `description`.
    int rowOf(MainWindow* shown, const QString& description) {
        for (int r = 0; r < shown->Rows().rowCount(); ++r) {
            if (shown->Rows().Text(r, 1) == description)
                return r;
        }
        ADD_FAILURE() << "no row " << description.toStdString();
        return 0;
    }
    void select(const QString& description) {
        grid(window)->SetCurrentRow(rowOf(window, description));
    }
    // The titles of the selected row and of the game the tabs show.
    QString selected() const {
        return window->Rows().Text(grid(window)->CurrentRow(), 1);
    }
    QString shown() {
        return stored(window->ShownRom(), "Description").toString();
    }
    // Column `column` of the list's rows from `from` on; row 0 is the default record's.
    QStringList listed(int column = 1, int from = 0) const {
        QStringList texts;
        for (int row = from; row < window->Rows().rowCount(); ++row)
            texts << window->Rows().Text(row, column);
        return texts;
    }
    QString result() const {
        return part<QLabel>(window, "resultLabel")->text();
    }
    void trigger(const char* entry) {
        action(window, entry)->trigger();
    }
    void click(const char* buttonName) {
        QTest::mouseClick(button(window, buttonName), Qt::LeftButton);
    }
    QVariant stored(const QString& rom, const QString& field) {
        return StoredValue(*vars.CatalogueDb, rom, field);
    }

    TempProgramDir program, config, mame;
    Variables vars;
    Settings settings;
    ScriptedDialogs dialogs;
    // The main window's clock in milliseconds, moved by the test.
    qint64 clockMs = 0;
    RecordingRunner runner;
    ShellRunner shellRunner;
    Shell shell;
    QStringList fatal;
    MainWindow* window = nullptr;
};

} // namespace zelvora::test
