#pragma once

#include "gamelist/GameListModel.h"
#include "gamelist/GameListQuery.h"
#include "gamelist/TypeAhead.h"
#include "store/GameStore.h"
#include "store/StoreError.h"
#include "store/SupportFiles.h"

#include <QMainWindow>
#include <QPointer>

#include <exception>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QPushButton;
class QSplitter;

namespace zelvora {

class Mame;

class DetailTabs;
class FilterBar;
class FindField;
class GameGrid;
class MainStatusBar;
class BackgroundJob;
struct AuditOutcome;
struct AuditQueue;
struct AuditVerdicts;
class Shell;
class WorkProgress;

// The main window; the program lives as long as it does. start() brings the catalogue into use
// and fills the game list; closing the window runs unload().
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(Shell& shell, QWidget* parent = nullptr);
    ~MainWindow() override;

    void start();
    // Saves what the next start takes up again: pending option edits, the selected game, the
    // sort and the window's arrangement. Runs once, however the window goes.
    void unload();
    // Fills the list anew in the order the sort button names; the selected game stays selected.
    void FillGrid();
    void cycleSort();
    void sortByColumn(int column);
    void leaveGame();
    void enterGame();
    // A key the grid let go of: its Qt::Key and the text it typed.
    void gameListKeyReleased(int key, const QString& text);

    void quit();
    void editFileLocations();
    void editFilters();
    void configureDefaultOptions();
    void startGame();
    void deleteScreenshot();
    void toggleAssumeMerged();
    void compactCatalogue();
    void toggleFavourite();
    // The row's context menu: what can be done with its game.
    QMenu* GameMenu(int row);
    // The header's menu: each column but the titles, checked while shown.
    QMenu* ColumnMenu();
    // The Check submenu's entries, by their index (a CollectionCheck).
    void checkCollection(int index);
    void updateCatalogue();
    // "Verify ROMS" with today's MAME: the audit runs beside the list, which stays in use; its
    // progress and Cancel are in the status bar. The update, the compaction and the checks wait
    // until it has ended. False when it was not started (one runs already, no games).
    bool auditRoms(const QString& mamePath, const QString& romPath);
    // Stops a running audit and waits for it, keeping every verdict it handed on.
    void stopAudit();
    bool Auditing() const { return audit_ != nullptr; }
    // The update without asking, when the catalogue holds no games yet: the first start's OK in File
    // Locations asked for it.
    void updateEmptyCatalogue();
    void showAbout();
    // The last update's report, over this window; and the game one of its lines names, selected in
    // the list, the find field and the filter bar giving way when they hide it. Says why it could
    // not, or nothing.
    void showWhatsNew();
    QString selectListedGame(const QString& rom);

    void InitOptionControls();
    void UpdateTab();
    // The one place option edits are written: to the game the tabs show, when there are any. Run
    // before the selection leaves the game and before any work that reads or replaces the catalogue.
    void commitOptions();
    void tabChanged();

    // Gives the game list the keyboard, as after every command; never while the user types in the
    // find field, which keeps the keyboard until the user leaves it.
    void FocusGrid();

    // Shows what a long job found in the status bar, until the next one: "Bad ROM sets: 4".
    void ShowResult(const QString& text);
    // The same for a window that may outlive this one: it shows nothing once the main window is
    // gone. The catalogue update reports "New: 12, Expired: 3" through it.
    std::function<void(const QString&)> ResultCallback();

    const GameListModel& Rows() const { return rows_; }
    // The set name of the game the tabs show.
    const QString& ShownRom() const { return shownRom_; }
    const TypeAhead& Search() const { return typeAhead_; }
    // The clock the type-ahead's pause and the guard after a game measure with, in milliseconds:
    // a QElapsedTimer started with the window, or a test's own, which it moves without sleeping.
    void SetClock(std::function<qint64()> milliseconds) { clock_ = std::move(milliseconds); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void runUpdate();
    // The folders MAME is told to find ROM sets in, ";" between them: the user's, then MAME's own,
    // so that a BIOS or device set kept in MAME's folders is still found.
    QString romSearchPath() const;
    // Verdicts of the running audit reached the catalogue: the loaded games show their marks.
    void showAuditMarks(const AuditVerdicts& verdicts);
    // Writes the verdicts the audit handed on: a part, asking for the next turn while more wait,
    // or `all` of them.
    void writeAuditVerdicts(bool all);
    void auditEnded(const AuditOutcome& outcome, std::exception_ptr failure);
    void enableCatalogueWork(bool enabled);
    QSplitter* splitter = nullptr;
    FindField* findField = nullptr;
    FilterBar* filterBar = nullptr;
    MainStatusBar* status_ = nullptr;
    GameGrid* gameList = nullptr;
    QPushButton* sortButton = nullptr;
    QPushButton* startButton = nullptr;
    QMenu* fileMenu = nullptr;
    QMenu* actionsMenu = nullptr;
    QMenu* optionsMenu = nullptr;
    QAction* defaultOptionsAction = nullptr;
    QAction* deleteScreenshotAction = nullptr;
    QAction* compactAction = nullptr;
    QAction* favouriteAction = nullptr;
    QMenu* checkMenu = nullptr;
    QList<QAction*> checkActions;
    QAction* updateAction = nullptr;
    QAction* whatsNewAction = nullptr; // enabled while the catalogue holds a report
    // Its check mark says whether ROM sets are assumed merged: a clone's file counts as present
    // when its parent's is.
    QAction* assumeMergedAction = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* aboutAction = nullptr;
    DetailTabs* detailTabs = nullptr;
    QAction* fileLocationsAction = nullptr;
    QAction* exitAction = nullptr;
    QAction* filterAction = nullptr;

    GameStore Games();
    // The game of a list row, by its set name. Nothing when no record has it.
    std::optional<GameRecord> rowGame(int row);
    // The game the tabs show, read anew; nothing when they show none or it is gone (an update
    // expired it).
    std::optional<GameRecord> shownGame();
    void showGame(const GameRecord& game);
    // After the list's rows were replaced: the game the tabs show is made current again and
    // scrolled into view; when the list no longer holds it, `fallbackRow` (or the nearest row
    // there is) becomes current and the tabs follow it.
    void SelectShownGame(int fallbackRow);
    // After the catalogue was rewritten: when the game the tabs show is gone, the tabs show the
    // selected row's game instead, so that an edit never reaches a record the user is not looking
    // at.
    void RefindShownGame();
    void buildMenu();
    void addWhatsNewEntry();
    void setUpGridColumns();
    // Once, as the window is made: the header's clicks and menu, the star column, the filter bar.
    void connectListControls();
    // The filter bar changed: the list narrows at once, and the filters are kept.
    void barFiltersChanged();
    // What the list shows beside the catalogue's fields: the facts, the ROM sets present, the
    // categories and players.
    ListExtras listExtras();
    // The family of the game's parent, or of the game when it is a parent; null for a game of none.
    const CloneFamily* familyOf(const GameRecord& game);
    // Orders the loaded games anew, keeping the selected game selected.
    void sortList(const QString& key, bool descending);
    void showSortIndicator();
    // The window's place, size, splitter and tab in front as the last main window left them, set
    // before it is shown; and kept when it is unloaded.
    void RestoreArrangement();
    void SaveArrangement();
    // Shows the loaded rows that hold the find field's text, and the counts that go with them.
    void ShowRows();
    // The find field's text or the filter bar changed: the list narrows, keeping the game selected
    // while it is listed.
    void FindChanged();
    void ShowCounts();
    void ShowTypedText(bool sortedByDescription, int found);
    void defaultBoxToggled(bool checked);
    // The installed MAME; the Options tab is set up for it.
    std::shared_ptr<const Mame> mameInUse();
    // Runs a step that may meet an engine error: the error ends the program.
    template <typename Step> void guarded(Step step) {
        CatchStoreError(step, [this](const QString& text) { fatal(text); });
    }
    void fatal(const QString& text);
    // Runs a job over the whole catalogue on a thread of its own behind the progress window, modal
    // over this one: pending option edits saved first, the grid focused afterwards. The job
    // touches no window; what it found is shown once it has ended. False when the window was
    // closed meanwhile: it has closed now.
    bool RunWithStatus(const std::function<void(WorkProgress&)>& job);
    // Runs work the user waits on (a game, a job, the update), which keeps this window's events
    // running (RunBesideEvents); `workWindow`, when there is one, shows it. Closing this window meanwhile would pull
    // the window out from under the work: it closes the work's window instead, which stops work that can stop, and this
    // window closes once the work has ended (CloseIfAsked).
    void WaitOn(QWidget* workWindow, const std::function<void()>& work);
    // After the work: closes the window when that was asked meanwhile; true when it did.
    bool CloseIfAsked();

    Shell& shell_;
    // Every game the six filters let through, in the list's order; rows_ holds those the filter
    // bar and the find field keep.
    std::shared_ptr<ListedGames> loaded_;
    // The six filters the catalogue was read with.
    FilterStates filters_{};
    // catver.ini and nplayers.ini, read again when they change.
    SupportFiles support_;
    bool noCategoriesSaid_ = false;
    // What the status bar says of the find field's text, while it says it.
    QString searchProblem_;
    // Every parent's clones, read at the first look at a family after a fill.
    std::optional<QHash<QString, CloneFamily>> families_;
    // The catalogue's games, without the default record, as the last fill found them.
    int catalogueGames_ = 0;
    GameListModel rows_;
    TypeAhead typeAhead_;
    bool sortDescending_ = false;
    bool unloaded_ = false;
    // The set name of the record the detail tabs show, so that edits reach it whatever the list
    // shows now; empty while they show none.
    QString shownRom_;
    // Set by WaitOn while work runs; the window was asked to close meanwhile.
    bool working_ = false;
    QPointer<QWidget> workWindow_;
    bool closeWhenDone_ = false;
    std::function<qint64()> clock_;
    // When the last game run ended, on clock_; a start within a second of it is the same key press
    // bouncing and is ignored. Negative until the first run ends.
    qint64 lastRunEnd_ = -1;
    std::unique_ptr<BackgroundJob> audit_;
    std::shared_ptr<AuditQueue> auditQueue_;
    // The loaded games by set name (FoldedKey), for the audit's marks; made for one fill.
    QHash<QString, int> auditRows_;
    std::weak_ptr<ListedGames> auditRowsOf_;
    int auditMarked_ = 0; // the games whose marks the running audit changed
};

} // namespace zelvora
