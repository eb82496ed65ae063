#pragma once

#include "store/GameOptions.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;

namespace zelvora {

class Mame;
class TodaysOptionsPage;
class UserDialogs;

// The controls of the "Options" tab: one game's emulator options. Each option control carries
// the name of its catalogue field in its "tag" property; loading, saving and copying walk the
// control arrays by tag. Any change to a control, by the user or by code, is a pending edit;
// loading and saving end it.
class OptionsPanel : public QWidget {
    Q_OBJECT

public:
    // MAME's folder and the ROM folder, each ending in "/".
    struct Folders {
        QString mame;
        QString rom;
    };

    // `folders` gives the folders as they are now; `focusGrid` gives the focus back to the game
    // list.
    OptionsPanel(UserDialogs& dialogs, std::function<Folders()> folders, std::function<void()> focusGrid,
                 QWidget* parent = nullptr);

    // Whether the controls hold edits not yet written to the shown game's record.
    bool Changed() const { return optionsChanged_; }
    // The controls' values are written, or superseded (the record changed under them, or is gone).
    void DropPendingEdits() { optionsChanged_ = false; }

    // Shows a game's options. `shown` false leaves only the "Use Default Options" box visible;
    // `defaultBoxEnabled` false greys it out.
    void LoadOptions(const GameOptions& options, bool shown, bool defaultBoxEnabled);
    // Sets the controls up for `mame`, the MAME in use: greys out, with a word why, the options it
    // has no switch for, their stored values staying as they are; the other controls take its
    // ranges and value texts. Until then the controls have neither.
    void SetMame(std::shared_ptr<const Mame> mame);
    // What the controls show, in every option field, changed or not.
    GameOptions Options() const;

    void sliderMoved(int index);
    void sliderReleased(int index);
    void scrollMoved(int index);
    void checkReleased(int index);
    void textEdited(int index);
    void playbackChosen(int index);
    void browseOption(int index);

    std::array<QCheckBox*, 17> checks{};
    static constexpr int ScrollCount = 3;
    static constexpr int SlideCount = 8;
    std::array<QScrollBar*, ScrollCount> scrolls{};
    std::array<QSlider*, SlideCount> sliders{};
    std::array<QLineEdit*, 2> texts{};
    std::array<QLabel*, 2> browsedLabels{};
    std::array<QRadioButton*, 3> playbackButtons{};
    std::array<QPushButton*, 3> optionButtons{};
    std::array<QLabel*, 7> headings{};
    std::array<QLabel*, 13> valueLabels{};
    // The controls above the rows of playback, folders and additional switches: the classic MAME's,
    // or today's page for a MAME that has its settings.
    QWidget* classicPage = nullptr;
    TodaysOptionsPage* todaysPage = nullptr;

Q_SIGNALS:
    // A mouse click changed "Use Default Options"; the main window decides what follows.
    void defaultToggledByMouse(bool checked);

private:
    void createControls();
    void initOptionControls();
    void placeControls();
    void writeScrollLabel(int index);
    void writeSlideLabel(int index);
    void giveFocusToGrid();
    bool showsTodaysPage() const;

    UserDialogs& dialogs_;
    bool optionsChanged_ = false;
    std::shared_ptr<const Mame> mame_; // what the controls were last set up for
    std::function<Folders()> folders_;
    std::function<void()> focusGrid_;
};

} // namespace zelvora
