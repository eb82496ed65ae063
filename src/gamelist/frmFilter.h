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
// stored as 2 x Exclude + ShowOnly under "Filter i". The main window stays disabled while the
// dialog is open and is enabled again however the dialog goes away.
class frmFilter : public QDialog {
    Q_OBJECT

public:
    // The dialog is one of mainWindow's windows and opens centred over it; it disables mainWindow
    // and stays usable itself. refill runs after OK has stored the filters, with the main window
    // enabled again.
    frmFilter(Settings& settings, QWidget* mainWindow, std::function<void()> refill);
    ~frmFilter() override;

    // Every way of closing a shown dialog (OK, Escape, the title bar) ends here.
    void done(int result) override;

private:
    void Form_Load();
    void PlaceControls();
    void chkShow_MouseUp(int index);
    void chkExclude_MouseUp(int index);
    void Command1_Click();
    void EnableMainWindow();

    Settings& settings_;
    QPointer<QWidget> mainWindow_;
    std::function<void()> refill_;
    bool mainWindowDisabled_ = false;

    std::array<QLabel*, FilterCount> Label1{};
    std::array<QCheckBox*, FilterCount> chkShow{};
    std::array<QCheckBox*, FilterCount> chkExclude{};
    QPushButton* Command1 = nullptr;
};

} // namespace zelvora
