#pragma once

#include "shell/FirstStart.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

namespace zelvora {

class FolderLock;
class Mame;
class ProcessRunner;
class Settings;
class UserDialogs;
class MainWindow;
struct Variables;

// What the main window's start-up finds at the MAME folder it was given.
enum class MameFolder {
    NotSet,      // blank: a first start
    Missing,     // no such folder
    WithoutMame, // the folder is there, the executable is not
    Ready,
};

// Looks for the regular, executable file `mamePath` + "mame", exactly the name every command runs:
// a file called "MAME" would pass a case-blind look-up and then fail every start, and a folder
// typed without its final "/" would have MAME run as ".../foldermame".
MameFolder CheckMameFolder(const QString& mamePath);

// Which of the program's top windows is loaded. The main window and the file locations dialog
// take each other's place; the program ends when no window is left.
class Shell {
public:
    Shell(zelvora::Variables& vars, zelvora::Settings& settings, zelvora::UserDialogs& dialogs,
          zelvora::ProcessRunner& runner);
    ~Shell();

    // Named as the classes they return, so each return type is spelled in full.
    zelvora::Variables& Variables() { return vars_; }
    zelvora::Settings& Settings() { return settings_; }
    zelvora::UserDialogs& UserDialogs() { return dialogs_; }
    // The one way the program runs MAME.
    zelvora::ProcessRunner& ProcessRunner() { return runner_; }
    // Where a first start looks for a MAME installed for the user.
    QStringList MameSearchFolders = zelvora::MameSearchFolders();

    // The program's start: takes the lock that makes it the only Zelvora using the catalogue of the
    // program directory, held as long as the shell, then loads the main window. When another
    // Zelvora holds it, says that Zelvora is already running, before any window, and returns false:
    // the program ends.
    bool Start();
    // Loads a fresh main window: shows it and runs its whole start-up.
    void LoadMain();
    // Unloads the main window, if one is loaded (its unload steps run).
    void UnloadMain();
    // Shows the file locations dialog in place of the main window, which it unloads.
    void ShowFileLocations();
    // Opens the file locations dialog over the main window, modal; its OK reloads the main window.
    void EditFileLocations();
    // Replaces the main window with a fresh one that runs the whole start-up again. The old one
    // saves what the new one takes up and stays until the new one is up.
    void ReloadMain();

    MainWindow* Main() const;
    // The MAME the MAME folder holds, asked once per executable for the run.
    std::shared_ptr<const zelvora::Mame> Mame();

    // What happens to an engine or file error that the program cannot go on from. The program
    // shows it and ends; tests record it instead.
    void Fatal(const QString& text);
    std::function<void(const QString&)> onFatal;

private:
    zelvora::Variables& vars_;
    zelvora::Settings& settings_;
    zelvora::UserDialogs& dialogs_;
    zelvora::ProcessRunner& runner_;
    QPointer<MainWindow> main_;
    std::unique_ptr<FolderLock> lock_;
};

} // namespace zelvora
