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
class FilterDialog : public QDialog {
    Q_OBJECT

public:
    // The dialog is one of mainWindow's windows and opens centred over it. refill runs after OK
    // has stored the filters and the dialog has gone.
    FilterDialog(Settings& settings, QWidget* mainWindow, std::function<void()> refill);

private:
    void start();
    void PlaceControls();
    void showOnlyReleased(int index);
    void excludeReleased(int index);
    void finish();

    Settings& settings_;
    QPointer<QWidget> mainWindow_;
    std::function<void()> refill_;

    std::array<QLabel*, FilterCount> captions{};
    std::array<QCheckBox*, FilterCount> showOnlyBoxes{};
    std::array<QCheckBox*, FilterCount> excludeBoxes{};
    QPushButton* okButton = nullptr;
};

} // namespace zelvora
