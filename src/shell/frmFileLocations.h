#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zelvora {

class Shell;

// Where the user names MAME's directory, the screenshots' and the ROM sets'. It takes the main
// window's place while it is open; OK or Cancel loads a fresh main window.
class frmFileLocations : public QWidget {
    Q_OBJECT

public:
    explicit frmFileLocations(Shell& shell, QWidget* parent = nullptr);

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
};

} // namespace zelvora
