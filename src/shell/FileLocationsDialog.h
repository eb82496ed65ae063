#pragma once

#include <QDialog>

#include "shell/FirstStart.h"

#include <array>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zelvora {

class Shell;

// Where the user names MAME's directory, the screenshots', the ROM sets', the support files'
// (catver.ini, nplayers.ini, history and information texts; may stay empty) and the artwork's (may
// stay empty). At a first start, a MAME found on PATH or in /usr/games fills them with its own
// folders. When the main window
// cannot start it takes the window's place, and OK or Cancel loads a fresh main window. Asked for
// from the menu it is a modal dialog over the main window: Cancel leaves it as it is, OK starts it
// afresh with the new folders. Enter is OK, Escape is Cancel where Cancel may be used.
class FileLocationsDialog : public QDialog {
    Q_OBJECT

public:
    // Over `mainWindow` when it is given; in the main window's place otherwise.
    explicit FileLocationsDialog(Shell& shell, QWidget* mainWindow = nullptr);

    void start();
    void browse(int index);
    void confirm();
    void cancelEdit();

    // Why the dialog took the main window's place; hidden when it was asked for from the menu.
    QLabel* reasonLabel = nullptr;
    static constexpr int FolderCount = 5;
    std::array<QLineEdit*, FolderCount> folderFields{};
    std::array<QPushButton*, FolderCount> browseButtons{};
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Shell& shell_;
    const bool overMain_;
    std::optional<FirstStartFolders> found_; // what a MAME found at a first start proposed
};

} // namespace zelvora
