#pragma once

#include "store/ProgramSettings.h"
#include "update/CatalogueMerge.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <functional>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace zelvora {

class Mame;
class MameVersions;
class ProcessRunner;
class WorkProgress;
struct Variables;

// The window the catalogue update runs in: loading it captures MAME's listings and merges them
// into the catalogue, showing the phase, its progress and the games added and removed. OK appears
// when the update has ended, as the default button. The window is modal over the main window, as
// the update works on the main window's recordset. While it runs, Cancel, Escape or closing the
// window stops the update: MAME is ended, the catalogue stays as it was and the window goes.
class UpdateWindow : public QDialog, public MergeReport {
    Q_OBJECT

public:
    // What the update needs of the main window, which it works beside.
    struct Owner {
        QPointer<QWidget> window;                       // the window the update opens over
        std::function<void()> refill;                   // refills the game list at the end
        std::function<void()> focusList;                // gives the game list the keyboard after OK
        std::function<void(const QString&)> fatal;      // an engine error: shown, and the program ends
        std::function<void(const QString&)> showResult; // the update's outcome, for the status bar
        // MAME's ini folders, kept for the game list's support files
        std::function<void(const MameFolders&)> keepMameFolders;
        // what the update changed, shown after OK when it changed games the catalogue held
        std::function<void()> showChanges;
    };

    // `versions` keeps which MAME each executable is; the run's own unless one is given.
    UpdateWindow(Variables& vars, ProcessRunner& runner, Owner main, MameVersions* versions = nullptr);

    // Shows the window and runs the whole update; returns when it has ended.
    void start();
    void finish();
    // Stops the update at its next step; the window closes once it has stopped.
    void cancelWork();
    // Every way of closing (OK, Escape, the title bar) ends here; while the update runs it cancels.
    void done(int result) override;
    bool IsRunning() const { return running_; }

    // The update's reports. The update runs on a thread of its own: they reach the window on its
    // own thread (RunBesideEvents).
    void SetText(const QString& text) override;
    void SetRange(int minimum, int maximum) override;
    void SetValue(int value) override;
    bool Cancelled() const override { return cancelled_; }
    void NewGame(const QString& description) override;
    void ExpiredGame(const QString& description) override;
    void RenamedGame(const RenamedSet& set) override;

    QLabel* newGamesCaption = nullptr;
    QListWidget* newGamesList = nullptr;
    QLabel* expiredGamesCaption = nullptr;
    QListWidget* expiredGamesList = nullptr;
    // Below the two lists, shown once the update finds a renamed set.
    QLabel* renamedGamesCaption = nullptr;
    QListWidget* renamedGamesList = nullptr;
    QProgressBar* progressBar = nullptr;
    QLabel* progressText = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr; // in OK's place while the update runs

private:
    // What an item of a result list measures besides its text, as the list's delegate gives it for
    // the first item.
    struct ItemSize {
        int margin = -1;
        int height = 0;
    };

    // The window's side of the reports: the phase's text and the progress bar.
    class Display : public Progress {
    public:
        explicit Display(UpdateWindow& window) : window_(window) {}
        void SetText(const QString& text) override;
        void SetRange(int minimum, int maximum) override;
        void SetValue(int value) override;
        bool Cancelled() const override { return window_.Cancelled(); }

    private:
        UpdateWindow& window_;
    };

    // On the update's thread: finds the MAME and captures and merges its listings.
    MergeOutcome RunUpdate();
    // Back on the window's thread: the last words, the refilled list and the status bar's result.
    void ShowOutcome(const MergeOutcome& outcome);
    MergeOutcome UpdateFrom(const Mame& mame);
    void Append(QListWidget* list, ItemSize& size, const QString& text);
    // Makes room below the progress text when the update's last words need more than its lines.
    void FitProgressText();

    Variables& vars_;
    ProcessRunner& runner_;
    Owner main_;
    MameVersions& versions_;
    bool running_ = false;
    std::atomic<bool> cancelled_ = false;
    Display display_{*this};
    WorkProgress* work_ = nullptr; // while the update runs
    ItemSize newSize_, expiredSize_, renamedSize_;
    MameFolders mameFolders_; // MAME's, as it named them during the update
    bool changedGames_ = false;
    std::vector<RenamedSet> renamed_; // by the merge, on the update's thread
};

} // namespace zelvora
