#pragma once

#include "gamelist/GameListQuery.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace zelvora {

class Settings;

// The game filters dialog. Each filter row has "Show Only" and "Exclude"; the choice of row i is
// stored as 2 x Exclude + ShowOnly under "Filter i". The dialog is modal over the main window;
// Enter presses OK and Escape closes it without storing anything.
class frmFilter : public QDialog {
    Q_OBJECT

public:
    // The dialog is one of mainWindow's windows and opens centred over it. refill runs after OK
    // has stored the filters and the dialog has gone.
    frmFilter(Settings& settings, QWidget* mainWindow, std::function<void()> refill);

private:
    void Form_Load();
    void PlaceControls();
    void chkShow_MouseUp(int index);
    void chkExclude_MouseUp(int index);
    void Command1_Click();

    Settings& settings_;
    QPointer<QWidget> mainWindow_;
    std::function<void()> refill_;

    std::array<QLabel*, FilterCount> Label1{};
    std::array<QCheckBox*, FilterCount> chkShow{};
    std::array<QCheckBox*, FilterCount> chkExclude{};
    QPushButton* Command1 = nullptr;
};

} // namespace zelvora
