#include "shell/MainWindow.h"

#include "detail/DetailTabs.h"
#include "detail/OptionsPanel.h"
#include "detail/ScreenshotView.h"
#include "gamelist/FilterBar.h"
#include "gamelist/FindField.h"
#include "gamelist/GameGrid.h"
#include "gamelist/GameListQuery.h"
#include "launcher/ProcessRunner.h"
#include "platform/BackgroundWork.h"
#include "platform/TextCompare.h"
#include "platform/UserDialogs.h"
#include "shell/MainStatusBar.h"
#include "shell/Shell.h"
#include "store/Catalogue.h"
#include "store/FieldNames.h"
#include "store/GameStore.h"
#include "store/ProgramSettings.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/Variables.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace zelvora {

namespace {

// The game selected at the end, by its set name, and the list's order; "Last" keeps the row
// number as well, for an older settings file.

} // namespace

MainWindow::MainWindow(Shell& shell, QWidget* parent) : QMainWindow(parent), shell_(shell) {
    setObjectName(QStringLiteral("MainWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Zelvora"));
    QElapsedTimer opened;
    opened.start();
    clock_ = [opened] { return opened.elapsed(); };

    // The list and the tabs share the window through a splitter; both grow with it.
    splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setChildrenCollapsible(false);

    auto* listPane = new QWidget(splitter);
    auto* listColumn = new QVBoxLayout(listPane);
    listColumn->setContentsMargins(0, 0, 0, 0);
    sortButton = new QPushButton(Field::Description, listPane);
    sortButton->setObjectName(QStringLiteral("sortButton"));
    sortButton->setToolTip(QStringLiteral("The field the list is sorted by; click for the next one"));
    findField = new FindField(listPane);
    filterBar = new FilterBar(listPane);
    gameList = new GameGrid(listPane);
    gameList->setModel(&rows_);
    findField->setMinimumWidth(findField->fontMetrics().horizontalAdvance(findField->placeholderText()) + 32);
    auto* sortRow = new QHBoxLayout;
    sortRow->addWidget(sortButton);
    sortRow->addWidget(findField, 1);
    listColumn->addLayout(sortRow);
    listColumn->addWidget(filterBar);
    listColumn->addWidget(gameList, 1);

    auto* detailPane = new QWidget(splitter);
    auto* detailColumn = new QVBoxLayout(detailPane);
    detailColumn->setContentsMargins(0, 0, 0, 0);
    detailTabs = new DetailTabs(
        shell_.UserDialogs(),
        [this] {
            return OptionsPanel::Folders{shell_.Variables().MamePath, shell_.Variables().RomPath};
        },
        [this] { FocusGrid(); }, detailPane);
    startButton = new QPushButton(QStringLiteral("&Start Game"), detailPane);
    startButton->setObjectName(QStringLiteral("startButton"));
    startButton->setAutoDefault(false);
    detailColumn->addWidget(detailTabs, 1);
    detailColumn->addWidget(startButton, 0, Qt::AlignRight);

    splitter->addWidget(listPane);
    splitter->addWidget(detailPane);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    auto* central = new QWidget(this);
    auto* margins = new QVBoxLayout(central);
    margins->addWidget(splitter);
    setCentralWidget(central);

    status_ = new MainStatusBar(this);
    setStatusBar(status_);

    buildMenu();

    auto* find = new QAction(this);
    find->setObjectName(QStringLiteral("actFind"));
    find->setShortcut(QKeySequence::Find);
    addAction(find);
    connect(find, &QAction::triggered, this, [this] {
        findField->setFocus(Qt::ShortcutFocusReason);
        findField->selectAll();
    });
    connect(findField, &QLineEdit::textChanged, this, [this] { FindChanged(); });
    connect(findField, &FindField::done, this, [this] { gameList->setFocus(); });

    connect(sortButton, &QPushButton::clicked, this, [this] { cycleSort(); });
    connectListControls();
    connect(startButton, &QPushButton::clicked, this, [this] { startGame(); });
    connect(detailTabs, &QTabWidget::currentChanged, this, [this] { tabChanged(); });
    connect(detailTabs->Options, &OptionsPanel::defaultToggledByMouse, this,
            [this](bool checked) { defaultBoxToggled(checked); });
    connect(gameList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (!current.isValid() || current.row() == previous.row())
                    return;
                leaveGame();
                enterGame();
            });
    connect(gameList, &GameGrid::keyReleased, this, &MainWindow::gameListKeyReleased);
    gameList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gameList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (const QModelIndex index = gameList->indexAt(at); index.isValid())
            GameMenu(index.row())->popup(gameList->viewport()->mapToGlobal(at));
    });
}

void MainWindow::buildMenu() {
    // Each caption keeps its words; the & marks the letter that opens it with Alt, one per menu.
    fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    fileLocationsAction = fileMenu->addAction(QStringLiteral("File &Locations"), this, [this] { editFileLocations(); });
    fileLocationsAction->setObjectName(QStringLiteral("fileLocationsAction"));
    exitAction = fileMenu->addAction(QStringLiteral("E&xit"), this, [this] { quit(); });
    exitAction->setObjectName(QStringLiteral("exitAction"));
    exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    actionsMenu = menuBar()->addMenu(QStringLiteral("&Actions"));
    actionsMenu->setObjectName(QStringLiteral("actionsMenu"));
    updateAction = actionsMenu->addAction(QStringLiteral("&New Version Update"), this, [this] { updateCatalogue(); });
    updateAction->setObjectName(QStringLiteral("updateAction"));
    addWhatsNewEntry();
    defaultOptionsAction = actionsMenu->addAction(QStringLiteral("Configure &Default Options"), this,
                                                  [this] { configureDefaultOptions(); });
    defaultOptionsAction->setObjectName(QStringLiteral("defaultOptionsAction"));
    checkMenu = actionsMenu->addMenu(QStringLiteral("&Check"));
    checkMenu->setObjectName(QStringLiteral("checkMenu"));
    const QString checks[] = {QStringLiteral("Missing &Screenshots"), QStringLiteral("Missing &Zipped ROMS"),
                              QStringLiteral("C&lear Status Fields"), QStringLiteral("&Verify ROMS"),
                              QStringLiteral("Verify &All")};
    for (int index = 0; index < static_cast<int>(std::size(checks)); ++index) {
        QAction* entry = checkMenu->addAction(checks[index], this, [this, index] { checkCollection(index); });
        entry->setObjectName(QStringLiteral("checkAction%1").arg(index));
        checkActions << entry;
    }
    deleteScreenshotAction =
        actionsMenu->addAction(QStringLiteral("Delete Sc&reenshot"), this, [this] { deleteScreenshot(); });
    deleteScreenshotAction->setObjectName(QStringLiteral("deleteScreenshotAction"));
    compactAction = actionsMenu->addAction(QStringLiteral("Co&mpact Database"), this, [this] { compactCatalogue(); });
    compactAction->setObjectName(QStringLiteral("compactAction"));
    favouriteAction = actionsMenu->addAction(QStringLiteral("&Favourite"), this, [this] { toggleFavourite(); });
    favouriteAction->setObjectName(QStringLiteral("favouriteAction"));
    favouriteAction->setCheckable(true);
    favouriteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));

    optionsMenu = menuBar()->addMenu(QStringLiteral("&Options"));
    optionsMenu->setObjectName(QStringLiteral("optionsMenu"));
    filterAction = optionsMenu->addAction(QStringLiteral("Game &Filters"), this, [this] { editFilters(); });
    filterAction->setObjectName(QStringLiteral("filterAction"));
    assumeMergedAction =
        optionsMenu->addAction(QStringLiteral("Assume &Merged ROMS"), this, [this] { toggleAssumeMerged(); });
    assumeMergedAction->setObjectName(QStringLiteral("assumeMergedAction"));
    assumeMergedAction->setCheckable(true);

    helpMenu = menuBar()->addMenu(QStringLiteral("A&bout"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    aboutAction = helpMenu->addAction(QStringLiteral("&About Zelvora"), this, [this] { showAbout(); });
    aboutAction->setObjectName(QStringLiteral("aboutAction"));
    aboutAction->setShortcut(QKeySequence(Qt::Key_F1));
}

void MainWindow::start() {
    RestoreArrangement();
    show();
    Variables& vars = shell_.Variables();
    setUpGridColumns();

    const ProgramSettings settings(shell_.Settings());
    vars.SetFolders(settings.ReadFolders());

    // Without a MAME directory holding MAME there is nothing to show: the file locations dialog
    // takes this window's place, before any catalogue is made, and says what it found wrong.
    if (CheckMameFolder(vars.MamePath) != MameFolder::Ready) {
        shell_.ShowFileLocations();
        return;
    }

    guarded([&] {
        PrepareCatalogue(vars);
        setUpGridColumns();
        sortButton->setText(GameListModel::SortKeyOf(GameListModel::ColumnOf(settings.SortKey(Field::Description))));
        sortDescending_ = settings.SortDescending();
        FillGrid();
        InitOptionControls();

        // The game itself when the settings name it; the row number of an older settings file
        // otherwise.
        long long last = rows_.RowOfRom(settings.LastRom());
        if (last < 0)
            last = settings.LastRow();
        if (last >= 0 && last <= rows_.rowCount() - 1) {
            const int row = static_cast<int>(last);
            gameList->SetCurrentRow(row);
            gameList->SetTopRow(row >= 10 ? row - 10 : row);
        } else {
            UpdateTab();
        }
    });
}

void MainWindow::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    commitOptions();
    ProgramSettings settings(shell_.Settings());
    const int row = gameList->CurrentRow();
    settings.SaveLastGame(row, rows_.Rom(row));
    settings.SaveSortKey(sortButton->text());
    settings.SaveSortDescending(sortDescending_);
    SaveArrangement();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Work the user waits on still uses this window and its recordset: the work is asked to stop,
    // and the window closes once it has ended.
    if (working_) {
        closeWhenDone_ = true;
        if (workWindow_)
            workWindow_->close();
        event->ignore();
        return;
    }
    stopAudit();
    unload();
    // The windows opened over this one (the filters, the About box) go with it, closed as their
    // own way of closing does, while this window is still whole.
    for (QWidget* owned : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (owned->isWindow() && owned->isVisible())
            owned->close();
    }
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        gameList->setFocus();
    QMainWindow::changeEvent(event);
}

void MainWindow::FillGrid() {
    guarded([&] {
        // Edits still in the option controls belong to the game shown now, which the refill may
        // no longer list.
        commitOptions();
        const bool hadRow = gameList->currentIndex().isValid();
        const int row = gameList->CurrentRow();
        const FilterStates filters = ProgramSettings(shell_.Settings()).Filters();
        const GameStore catalogue(*shell_.Variables().CatalogueDb);
        filters_ = filters;
        // The old rows go first: two lists of every game at once would double the list's memory.
        rows_.Clear();
        loaded_.reset();
        families_.reset();
        loaded_ = std::make_shared<ListedGames>(
            LoadGameList(catalogue, filters, ListOrder(sortButton->text(), sortDescending_), listExtras()));
        catalogueGames_ = std::max(catalogue.RecordCount() - 1, 0);
        filterBar->SetChoices(loaded_->Categories(), loaded_->PlayerCounts(), loaded_->HasTypes());
        ShowRows();
        // Before the start-up has selected a row there is no game to keep.
        if (hadRow)
            SelectShownGame(row);
        RefindShownGame();
        FocusGrid();
    });
}

void MainWindow::SelectShownGame(int fallbackRow) {
    const int count = rows_.rowCount();
    if (count == 0)
        return;
    const int row = shownRom_.isEmpty() ? -1 : rows_.RowOfRom(shownRom_);
    if (row >= 0) {
        // The tabs already show this game: nothing is entered anew.
        const QSignalBlocker quiet(gameList->selectionModel());
        gameList->SetCurrentRow(row);
        gameList->viewport()->update();
    } else {
        // The rows were replaced, so the grid has no current row: this one is entered, and its
        // game's tabs are shown.
        gameList->SetCurrentRow(std::clamp(fallbackRow, 0, count - 1));
    }
    gameList->scrollTo(gameList->currentIndex());
}

void MainWindow::cycleSort() {
    sortList(NextSortKey(sortButton->text()), false);
}

void MainWindow::leaveGame() {
    commitOptions();
}

void MainWindow::enterGame() {
    guarded([&] {
        if (const std::optional<GameRecord> game = rowGame(gameList->CurrentRow()))
            showGame(*game);
    });
}

GameStore MainWindow::Games() {
    return GameStore(*shell_.Variables().CatalogueDb);
}

std::optional<GameRecord> MainWindow::rowGame(int row) {
    if (!shell_.Variables().CatalogueDb || row < 0 || row >= rows_.rowCount())
        return std::nullopt;
    // By the set name, the record's key: two games may share a title. A game without one can be
    // found only by its title.
    const QString rom = rows_.Rom(row);
    return rom.isEmpty() ? Games().GameTitled(rows_.Text(row, 1)) : Games().Game(rom);
}

std::optional<GameRecord> MainWindow::shownGame() {
    if (shownRom_.isEmpty())
        return rowGame(gameList->CurrentRow());
    // By the set name: a record number may be a deleted record's, or after a rewrite of the file
    // another game's.
    return Games().Game(shownRom_);
}

void MainWindow::RefindShownGame() {
    if (shownRom_.isEmpty() || Games().Game(shownRom_))
        return;
    // The game the tabs showed is gone; its edits have nowhere to go.
    detailTabs->Options->DropPendingEdits();
    enterGame();
}

void MainWindow::InitOptionControls() {
    detailTabs->Options->SetMame(shell_.Mame());
    assumeMergedAction->setChecked(ProgramSettings(shell_.Settings()).AssumeMerged());
}

void MainWindow::UpdateTab() {
    guarded([&] {
        if (!shell_.Variables().CatalogueDb || rows_.rowCount() == 0)
            return;
        // Reloading the controls would throw away edits not yet written.
        commitOptions();
        if (const std::optional<GameRecord> game = shownGame())
            showGame(*game);
    });
}

void MainWindow::showGame(const GameRecord& game) {
    DetailTabs::Selection selection;
    selection.row = gameList->CurrentRow();
    selection.rowText = rows_.Text(selection.row, 1);
    selection.pcxPath = shell_.Variables().PcxPath;
    selection.assumeMerged = assumeMergedAction->isChecked();
    const std::shared_ptr<const Mame> mame = mameInUse();
    selection.mame = mame.get();
    selection.listed = rows_.Game(selection.row);
    if (detailTabs->currentIndex() == DetailTabs::InformationTab)
        selection.family = familyOf(game);
    shownRom_ = game.Value(Field::Rom).toString();
    favouriteAction->setChecked(!shownRom_.isEmpty() && Games().History(shownRom_).favourite);
    detailTabs->UpdateTab(game, selection);
}

void MainWindow::commitOptions() {
    if (!detailTabs->Options->Changed())
        return;
    guarded([&] {
        if (!shownRom_.isEmpty() && shell_.Variables().CatalogueDb)
            Games().SaveOptions(shownRom_, detailTabs->Options->Options());
        detailTabs->Options->DropPendingEdits();
    });
}

void MainWindow::tabChanged() {
    UpdateTab();
}

void MainWindow::defaultBoxToggled(bool checked) {
    guarded([&] {
        if (shownRom_.isEmpty() || !Games().Options(shownRom_))
            return;
        if (checked) {
            commitOptions();
        } else {
            // Leaving the default set starts from a copy of it, taken from the default record.
            const std::optional<GameOptions> defaults = Games().DefaultOptions();
            Games().SaveOptions(shownRom_,
                                defaults ? OwnCopyOfDefaults(*defaults) : GameOptions({{Field::Default, 0}}));
            // The hidden controls held the game's old values; the copy replaces them.
            detailTabs->Options->DropPendingEdits();
        }
        UpdateTab();
    });
}

void MainWindow::configureDefaultOptions() {
    gameList->SetCurrentRow(0);
    gameList->SetTopRow(0);
    detailTabs->setCurrentIndex(DetailTabs::OptionsTab);
    gameList->setFocus();
}

void MainWindow::gameListKeyReleased(int key, const QString& text) {
    const int rows = rows_.rowCount();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        startGame();
        show();
        raise();
        activateWindow();
        gameList->setFocus();
        return;
    case Qt::Key_Delete:
        deleteScreenshot();
        return;
    case Qt::Key_Home:
        gameList->SetTopRow(0);
        gameList->SetCurrentRow(0);
        typeAhead_.Clear();
        status_->ClearTyped();
        return;
    case Qt::Key_End:
        gameList->SetTopRow(rows - 1);
        gameList->SetCurrentRow(rows - 1);
        typeAhead_.Clear();
        status_->ClearTyped();
        return;
    case Qt::Key_F5:
        typeAhead_.Clear();
        status_->ClearTyped();
        return;
    default:
        break;
    }
    if (!TypeAhead::Concerns(key, text))
        return;
    const bool sortedByDescription = EqualNoCase(sortButton->text(), Field::Description);
    const int found = typeAhead_.Key(key, text, clock_(), rows_, sortedByDescription);
    if (found >= 0) {
        gameList->SetCurrentRow(found);
        gameList->SetTopRow(found);
    }
    ShowTypedText(sortedByDescription, found);
}

void MainWindow::FocusGrid() {
    if (!findField->hasFocus())
        gameList->setFocus();
}

} // namespace zelvora
