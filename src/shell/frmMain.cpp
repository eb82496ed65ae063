#include "shell/frmMain.h"

#include "detail/DetailTabs.h"
#include "detail/OptionsPanel.h"
#include "detail/ScreenshotView.h"
#include "gamelist/FindField.h"
#include "gamelist/GameGrid.h"
#include "gamelist/GameListQuery.h"
#include "gamelist/frmFilter.h"
#include "launcher/ProcessRunner.h"
#include "mame/OptionTable.h"
#include "platform/TextCompare.h"
#include "platform/UserDialogs.h"
#include "shell/MainStatusBar.h"
#include "shell/Shell.h"
#include "store/Catalogue.h"
#include "store/FieldNames.h"
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

frmMain::frmMain(Shell& shell, QWidget* parent) : QMainWindow(parent), shell_(shell) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Zelvora"));
    QElapsedTimer opened;
    opened.start();
    clock_ = [opened] { return opened.elapsed(); };

    // The list and the tabs share the window through a splitter; both grow with it.
    splMain = new QSplitter(Qt::Horizontal, this);
    splMain->setObjectName(QStringLiteral("splMain"));
    splMain->setChildrenCollapsible(false);

    auto* listPane = new QWidget(splMain);
    auto* listColumn = new QVBoxLayout(listPane);
    listColumn->setContentsMargins(0, 0, 0, 0);
    cmdSort = new QPushButton(Field::Description, listPane);
    cmdSort->setObjectName(QStringLiteral("cmdSort"));
    cmdSort->setToolTip(QStringLiteral("The field the list is sorted by; click for the next one"));
    txtFind = new FindField(listPane);
    MSFlexGrid1 = new GameGrid(listPane);
    MSFlexGrid1->setModel(&rows_);
    txtFind->setMinimumWidth(txtFind->fontMetrics().horizontalAdvance(txtFind->placeholderText()) + 32);
    auto* sortRow = new QHBoxLayout;
    sortRow->addWidget(cmdSort);
    sortRow->addWidget(txtFind, 1);
    listColumn->addLayout(sortRow);
    listColumn->addWidget(MSFlexGrid1, 1);

    auto* detailPane = new QWidget(splMain);
    auto* detailColumn = new QVBoxLayout(detailPane);
    detailColumn->setContentsMargins(0, 0, 0, 0);
    sstDisplay = new DetailTabs(
        shell_.UserDialogs(),
        [this] {
            return OptionsPanel::Folders{shell_.Variables().MamePath, shell_.Variables().RomPath};
        },
        [this] { FocusGrid(); }, detailPane);
    cmbRunGame = new QPushButton(QStringLiteral("&Start Game"), detailPane);
    cmbRunGame->setObjectName(QStringLiteral("cmbRunGame"));
    cmbRunGame->setAutoDefault(false);
    detailColumn->addWidget(sstDisplay, 1);
    detailColumn->addWidget(cmbRunGame, 0, Qt::AlignRight);

    splMain->addWidget(listPane);
    splMain->addWidget(detailPane);
    splMain->setStretchFactor(0, 1);
    splMain->setStretchFactor(1, 1);
    auto* central = new QWidget(this);
    auto* margins = new QVBoxLayout(central);
    margins->addWidget(splMain);
    setCentralWidget(central);

    status_ = new MainStatusBar(this);
    setStatusBar(status_);

    buildMenu();

    auto* find = new QAction(this);
    find->setObjectName(QStringLiteral("actFind"));
    find->setShortcut(QKeySequence::Find);
    addAction(find);
    connect(find, &QAction::triggered, this, [this] {
        txtFind->setFocus(Qt::ShortcutFocusReason);
        txtFind->selectAll();
    });
    connect(txtFind, &QLineEdit::textChanged, this, [this] { FindChanged(); });
    connect(txtFind, &FindField::done, this, [this] { MSFlexGrid1->setFocus(); });

    connect(cmdSort, &QPushButton::clicked, this, [this] { cmdSort_Click(); });
    connect(cmbRunGame, &QPushButton::clicked, this, [this] { cmbRunGame_Click(); });
    connect(sstDisplay, &QTabWidget::currentChanged, this, [this] { sstDisplay_Click(); });
    connect(sstDisplay->Options, &OptionsPanel::defaultToggledByMouse, this,
            [this](bool checked) { defaultBoxToggled(checked); });
    connect(MSFlexGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (!current.isValid() || current.row() == previous.row())
                    return;
                MSFlexGrid1_LeaveCell();
                MSFlexGrid1_EnterCell();
            });
    connect(MSFlexGrid1, &GameGrid::keyReleased, this, &frmMain::MSFlexGrid1_Keyup);
}

void frmMain::buildMenu() {
    // Each caption keeps its words; the & marks the letter that opens it with Alt, one per menu.
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileLocations =
        mnuFile->addAction(QStringLiteral("File &Locations"), this, [this] { mnuFileLocations_Click(); });
    mnuFileLocations->setObjectName(QStringLiteral("mnuFileLocations"));
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"), this, [this] { mnuExit_Click(); });
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    mnuActions = menuBar()->addMenu(QStringLiteral("&Actions"));
    mnuActions->setObjectName(QStringLiteral("mnuActions"));
    mnuUpdate = mnuActions->addAction(QStringLiteral("&New Version Update"), this, [this] { mnuUpdate_Click(); });
    mnuUpdate->setObjectName(QStringLiteral("mnuUpdate"));
    mnuDefault =
        mnuActions->addAction(QStringLiteral("Configure &Default Options"), this, [this] { mnuDefault_Click(); });
    mnuDefault->setObjectName(QStringLiteral("mnuDefault"));
    mnuCheck1 = mnuActions->addMenu(QStringLiteral("&Check"));
    mnuCheck1->setObjectName(QStringLiteral("mnuCheck1"));
    const QString checks[] = {QStringLiteral("Missing &Screenshots"), QStringLiteral("Missing &Zipped ROMS"),
                              QStringLiteral("C&lear Status Fields"), QStringLiteral("&Verify ROMS")};
    for (int index = 0; index < static_cast<int>(std::size(checks)); ++index) {
        QAction* entry = mnuCheck1->addAction(checks[index], this, [this, index] { mnuCheck_Click(index); });
        entry->setObjectName(QStringLiteral("mnuCheck%1").arg(index));
        mnuCheck << entry;
    }
    mnuDelete = mnuActions->addAction(QStringLiteral("Delete Sc&reenshot"), this, [this] { mnuDelete_Click(); });
    mnuDelete->setObjectName(QStringLiteral("mnuDelete"));
    mnuCompact = mnuActions->addAction(QStringLiteral("Co&mpact Database"), this, [this] { mnuCompact_Click(); });
    mnuCompact->setObjectName(QStringLiteral("mnuCompact"));

    mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuFilter = mnuOptions->addAction(QStringLiteral("Game &Filters"), this, [this] { mnuFilter_Click(); });
    mnuFilter->setObjectName(QStringLiteral("mnuFilter"));
    mnuAssume = mnuOptions->addAction(QStringLiteral("Assume &Merged ROMS"), this, [this] { mnuAssume_Click(); });
    mnuAssume->setObjectName(QStringLiteral("mnuAssume"));
    mnuAssume->setCheckable(true);

    mnuAbout = menuBar()->addMenu(QStringLiteral("A&bout"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuAboutDisplay = mnuAbout->addAction(QStringLiteral("&About Zelvora"), this, [this] { mnuAboutDisplay_Click(); });
    mnuAboutDisplay->setObjectName(QStringLiteral("mnuAboutDisplay"));
    mnuAboutDisplay->setShortcut(QKeySequence(Qt::Key_F1));
}

void frmMain::setUpGridColumns() {
    // Wide enough for all four marks "SBR*"; the descriptions take the rest.
    const int marksWidth = MSFlexGrid1->fontMetrics().horizontalAdvance(QStringLiteral("SBR*")) + 12;
    MSFlexGrid1->setColumnWidth(0, marksWidth);
}

void frmMain::Form_Load() {
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
        cmdSort->setText(KnownSortKey(settings.SortKey(Field::Description)));
        FillGrid();
        vars.RomsRecordset->FindFirst(Field::Rom, DefaultRom);
        InitOptionControls();

        // The game itself when the settings name it; the row number of an older settings file
        // otherwise.
        long long last = rows_.RowOfRom(settings.LastRom());
        if (last < 0)
            last = settings.LastRow();
        if (last >= 0 && last <= rows_.rowCount() - 1) {
            const int row = static_cast<int>(last);
            MSFlexGrid1->SetCurrentRow(row);
            MSFlexGrid1->SetTopRow(row >= 10 ? row - 10 : row);
        } else {
            UpdateTab();
        }
    });
}

void frmMain::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    if (OptionsChanged())
        SaveGameOptions();
    ProgramSettings settings(shell_.Settings());
    const int row = MSFlexGrid1->CurrentRow();
    settings.SaveLastGame(row, rows_.Rom(row));
    settings.SaveSortKey(cmdSort->text());
    SaveArrangement();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Work the user waits on still uses this window and its recordset: the work is asked to stop,
    // and the window closes once it has ended.
    if (working_) {
        closeWhenDone_ = true;
        if (workWindow_)
            workWindow_->close();
        event->ignore();
        return;
    }
    Form_Unload();
    // The windows opened over this one (the filters, the About box) go with it, closed as their
    // own way of closing does, while this window is still whole.
    for (QWidget* owned : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (owned->isWindow() && owned->isVisible())
            owned->close();
    }
    event->accept();
}

void frmMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        MSFlexGrid1->setFocus();
    QMainWindow::changeEvent(event);
}

void frmMain::FillGrid() {
    guarded([&] {
        // Edits still in the option controls belong to the game shown now; after the refill the
        // recordset stands somewhere else.
        if (OptionsChanged())
            SaveGameOptions();
        const bool hadRow = MSFlexGrid1->currentIndex().isValid();
        const int row = MSFlexGrid1->CurrentRow();
        const FilterStates filters = ProgramSettings(shell_.Settings()).Filters();
        loaded_ = LoadGameList(shell_.Variables(), filters, cmdSort->text());
        // The recordset is over the whole table now.
        catalogueGames_ = std::max(shell_.Variables().RomsRecordset->RecordCount() - 1, 0);
        status_->SetFilters(FiltersText(filters));
        ShowRows();
        // Before the start-up has selected a row there is no game to keep.
        if (hadRow)
            SelectShownGame(row);
        RefindShownGame();
        FocusGrid();
    });
}

void frmMain::SelectShownGame(int fallbackRow) {
    const int count = rows_.rowCount();
    if (count == 0)
        return;
    const int row = shownRom_.isEmpty() ? -1 : rows_.RowOfRom(shownRom_);
    if (row >= 0) {
        // The tabs already show this game: nothing is entered anew.
        const QSignalBlocker quiet(MSFlexGrid1->selectionModel());
        MSFlexGrid1->SetCurrentRow(row);
        MSFlexGrid1->viewport()->update();
    } else {
        // The rows were replaced, so the grid has no current row: this one is entered, and its
        // game's tabs are shown.
        MSFlexGrid1->SetCurrentRow(std::clamp(fallbackRow, 0, count - 1));
    }
    MSFlexGrid1->scrollTo(MSFlexGrid1->currentIndex());
}

void frmMain::cmdSort_Click() {
    cmdSort->setText(NextSortKey(cmdSort->text()));
    FillGrid();
}

void frmMain::MSFlexGrid1_LeaveCell() {
    // Written before the recordset moves on, while it still stands on the game being left.
    if (OptionsChanged())
        SaveGameOptions();
}

void frmMain::MSFlexGrid1_EnterCell() {
    guarded([&] {
        if (FindRowGame(MSFlexGrid1->CurrentRow()))
            UpdateTab();
    });
}

bool frmMain::FindRowGame(int row) {
    Recordset* rs = shell_.Variables().RomsRecordset.get();
    if (!rs || row < 0 || row >= rows_.rowCount())
        return false;
    // By the set name, the record's key: two games may share a title. A game without one can be
    // found only by its title, the later of two in the table.
    const QString rom = rows_.Rom(row);
    return rom.isEmpty() ? rs->FindLast(Field::Description, rows_.Text(row, 1)) : rs->FindFirst(Field::Rom, rom);
}

bool frmMain::MoveToShownGame() {
    Recordset* rs = shell_.Variables().RomsRecordset.get();
    // By the set name, the record's key: a record number may be a deleted record's, or after a
    // rewrite of the file another game's.
    return rs && !shownRom_.isEmpty() && rs->FindFirst(Field::Rom, shownRom_);
}

void frmMain::RefindShownGame() {
    if (shownRom_.isEmpty() || MoveToShownGame())
        return;
    // The game the tabs showed is gone; its edits have nowhere to go.
    sstDisplay->Options->DropPendingEdits();
    MSFlexGrid1_EnterCell();
}

void frmMain::InitOptionControls() {
    sstDisplay->Options->SetMame(shell_.Mame());
    mnuAssume->setChecked(ProgramSettings(shell_.Settings()).AssumeMerged());
}

void frmMain::UpdateTab() {
    guarded([&] {
        Recordset* rs = shell_.Variables().RomsRecordset.get();
        if (!rs || rows_.rowCount() == 0 || rs->AbsolutePosition() < 0)
            return;
        // Reloading the controls would throw away edits not yet written.
        if (OptionsChanged()) {
            const std::int64_t here = rs->Bookmark();
            SaveGameOptions();
            rs->MoveToBookmark(here);
        }
        DetailTabs::Selection selection;
        selection.row = MSFlexGrid1->CurrentRow();
        selection.rowText = rows_.Text(selection.row, 1);
        selection.pcxPath = shell_.Variables().PcxPath;
        selection.assumeMerged = mnuAssume->isChecked();
        const std::shared_ptr<const Mame> mame = mameInUse();
        selection.mame = mame.get();
        shownRom_ = rs->Value(Field::Rom).toString();
        sstDisplay->UpdateTab(*rs, selection);
    });
}

void frmMain::SaveGameOptions() {
    guarded([&] {
        if (MoveToShownGame())
            sstDisplay->SaveGameOptions(*shell_.Variables().RomsRecordset);
        sstDisplay->Options->DropPendingEdits();
    });
}

void frmMain::sstDisplay_Click() {
    UpdateTab();
}

void frmMain::defaultBoxToggled(bool checked) {
    guarded([&] {
        Recordset* rs = shell_.Variables().RomsRecordset.get();
        if (!MoveToShownGame())
            return;
        if (checked) {
            SaveGameOptions();
        } else {
            // Leaving the default set starts from a copy of it, taken from the default record.
            std::unique_ptr<Recordset> defaults = shell_.Variables().CatalogueDb->OpenRecordset(RomsTable);
            if (defaults->FindFirst(Field::Rom, DefaultRom)) {
                CopyDefaultSet(*rs, *defaults);
            } else {
                rs->Edit();
                rs->SetValue(Field::Default, 0);
                rs->Update();
            }
            // The hidden controls held the game's old values; the copy replaces them.
            sstDisplay->Options->DropPendingEdits();
        }
        UpdateTab();
    });
}

void frmMain::mnuDefault_Click() {
    MSFlexGrid1->SetCurrentRow(0);
    MSFlexGrid1->SetTopRow(0);
    sstDisplay->setCurrentIndex(DetailTabs::OptionsTab);
    MSFlexGrid1->setFocus();
}

void frmMain::MSFlexGrid1_Keyup(int key, const QString& text) {
    const int rows = rows_.rowCount();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmbRunGame_Click();
        show();
        raise();
        activateWindow();
        MSFlexGrid1->setFocus();
        return;
    case Qt::Key_Delete:
        mnuDelete_Click();
        return;
    case Qt::Key_Home:
        MSFlexGrid1->SetTopRow(0);
        MSFlexGrid1->SetCurrentRow(0);
        typeAhead_.Clear();
        status_->ClearTyped();
        return;
    case Qt::Key_End:
        MSFlexGrid1->SetTopRow(rows - 1);
        MSFlexGrid1->SetCurrentRow(rows - 1);
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
    const bool sortedByDescription = EqualNoCase(cmdSort->text(), Field::Description);
    const int found = typeAhead_.Key(key, text, clock_(), rows_, sortedByDescription);
    if (found >= 0) {
        MSFlexGrid1->SetCurrentRow(found);
        MSFlexGrid1->SetTopRow(found);
    }
    ShowTypedText(sortedByDescription, found);
}

bool frmMain::OptionsChanged() const {
    return sstDisplay->Options->HasPendingEdits();
}

void frmMain::FocusGrid() {
    if (!txtFind->hasFocus())
        MSFlexGrid1->setFocus();
}

void frmMain::mnuExit_Click() {
    close();
}

void frmMain::mnuFileLocations_Click() {
    shell_.EditFileLocations();
}

void frmMain::mnuFilter_Click() {
    QPointer<frmMain> self(this);
    auto* dialog = new frmFilter(shell_.Settings(), this, [self] {
        if (!self)
            return;
        self->FillGrid();
    });
    dialog->open();
}

} // namespace zelvora
