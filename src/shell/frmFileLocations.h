#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zelvora {

class Shell;

// Where the user names MAME's directory, the screenshots' and the ROM sets'. When the main window
// cannot start it takes the window's place, and OK or Cancel loads a fresh main window. Asked for
// from the menu it is a modal dialog over the main window: Cancel leaves it as it is, OK starts it
// afresh with the new folders. Enter is OK, Escape is Cancel where Cancel may be used.
class frmFileLocations : public QDialog {
    Q_OBJECT

public:
    // Over `mainWindow` when it is given; in the main window's place otherwise.
    explicit frmFileLocations(Shell& shell, QWidget* mainWindow = nullptr);

    void Form_Load();
    void Command1_Click(int index);
    void Command2_Click();
    void Command3_Click();

    // Why the dialog took the main window's place; hidden when it was asked for from the menu.
    QLabel* lblReason = nullptr;
    std::array<QLineEdit*, 3> txtFile{};
    std::array<QPushButton*, 3> Command1{};
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Shell& shell_;
    const bool overMain_;
};

} // namespace zelvora
