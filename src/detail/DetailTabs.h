#pragma once

#include <QTabWidget>

#include "checks/ScreenshotFinder.h"
#include "detail/OptionsPanel.h"
#include "store/GameStore.h"

#include <QHash>

#include <functional>
#include <vector>

class QLabel;

namespace zelvora {

class InformationPage;
struct ListedGame;
class HistoryPage;
class Mame;
class ScreenShotPage;
class OptionsPanel;
class ScreenshotView;
class UserDialogs;

// The tabs beside the game list: the selected game's pictures, its options, its information and
// its history, filled from the game's record.
class DetailTabs : public QTabWidget {
    Q_OBJECT

public:
    enum Tab { ScreenShotTab = 0, OptionsTab = 1, InformationTab = 2, HistoryTab = 3 };

    DetailTabs(UserDialogs& dialogs, std::function<OptionsPanel::Folders()> folders, std::function<void()> focusGrid,
               QWidget* parent = nullptr);

    // What UpdateTab needs to know of the list and the settings besides the record.
    struct Selection {
        int row = 0;     // the grid's current row; row 0 is the default record's
        QString rowText; // the row's description
        QString pcxPath; // the screenshot directory, ending with "/"
        bool assumeMerged = false;
        const Mame* mame = nullptr;          // the installed MAME: the screenshots it leaves, what it calls things
        const ListedGame* listed = nullptr;  // the row's game as the list holds it
        const CloneFamily* family = nullptr; // the family of the game's parent, or of the game
    };

    // Fills the tab in front from the game's record.
    void UpdateTab(const GameRecord& game, const Selection& selection);

    ScreenshotFinder& Finder() { return finder_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    ScreenShotPage* screenShot = nullptr;
    ScreenshotView* screenshotView = nullptr;
    QLabel* gameTitle = nullptr;
    OptionsPanel* Options = nullptr;
    HistoryPage* history = nullptr;
    ScreenshotView* infoPicture = nullptr;
    // The information page's value and caption of a catalogue field (or of a row of
    // InformationPage's own); null for one it does not show.
    QLabel* Info(const QString& field) const;
    QLabel* Caption(const QString& field) const;

private:
    QString screenshotPath(const GameRecord& game, const Selection& selection);
    void showScreenshot(ScreenshotView* view, const GameRecord& game, const Selection& selection);

    int Frame() const;

    InformationPage* information_ = nullptr;
    std::function<void()> focusGrid_;
    ScreenshotFinder finder_;
};

} // namespace zelvora
