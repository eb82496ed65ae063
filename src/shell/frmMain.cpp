#include "shell/frmMain.h"

#include "gamelist/Clock.h"
#include "gamelist/GameGrid.h"
#include "gamelist/GameListQuery.h"
#include "gamelist/KeyCodes.h"
#include "gamelist/frmFilter.h"
#include "shell/Shell.h"
#include "store/Catalogue.h"
#include "store/DirectoryListing.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TextCompare.h"
#include "store/Variables.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace zelvora {

namespace {

const QString AppSettings = QStringLiteral("Zelvora");
const QString SettingsSection = QStringLiteral("Settings");
const QString AppState = QStringLiteral("zelvora");
const QString StateSection = QStringLiteral("settings");

} // namespace

frmMain::frmMain(Shell& shell, QWidget* parent) : QMainWindow(parent), shell_(shell) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Zelvora"));
    resize(760, 560);

    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    auto* listColumn = new QVBoxLayout;
    cmdSort = new QPushButton(QStringLiteral("Description"), central);
    cmdSort->setObjectName(QStringLiteral("cmdSort"));
    cmdSort->setToolTip(QStringLiteral("The field the list is sorted by; click for the next one"));
    MSFlexGrid1 = new GameGrid(central);
    MSFlexGrid1->setModel(&rows_);
    auto* sortRow = new QHBoxLayout;
    sortRow->addWidget(cmdSort);
    sortRow->addStretch(1);
    listColumn->addLayout(sortRow);
    listColumn->addWidget(MSFlexGrid1, 1);
    columns->addLayout(listColumn, 1);
    setCentralWidget(central);

    buildMenu();

    connect(cmdSort, &QPushButton::clicked, this, [this] { cmdSort_Click(); });
    connect(MSFlexGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (!current.isValid() || current.row() == previous.row())
                    return;
                MSFlexGrid1_LeaveCell();
                MSFlexGrid1_EnterCell();
            });
    connect(MSFlexGrid1, &GameGrid::keyReleased, this, [this](int qtKey, Qt::KeyboardModifiers modifiers) {
        int key = VirtualKeyCode(qtKey, modifiers);
        if (key != 0)
            MSFlexGrid1_Keyup(key);
    });
}

void frmMain::buildMenu() {
    mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileLocations = mnuFile->addAction(QStringLiteral("File Locations"), this, [this] { mnuFileLocations_Click(); });
    mnuFileLocations->setObjectName(QStringLiteral("mnuFileLocations"));
    mnuExit = mnuFile->addAction(QStringLiteral("Exit"), this, [this] { mnuExit_Click(); });
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

    mnuOptions = menuBar()->addMenu(QStringLiteral("Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuFilter = mnuOptions->addAction(QStringLiteral("Game Filters"), this, [this] { mnuFilter_Click(); });
    mnuFilter->setObjectName(QStringLiteral("mnuFilter"));
}

template <typename Step> void frmMain::guarded(Step step) {
    try {
        step();
    } catch (const StoreError& error) {
        shell_.Fatal(error.text());
    }
}

void frmMain::setUpGridColumns() {
    // Wide enough for all four marks "SBR*"; the descriptions take the rest.
    const int marksWidth = MSFlexGrid1->fontMetrics().horizontalAdvance(QStringLiteral("SBR*")) + 12;
    MSFlexGrid1->setColumnWidth(0, marksWidth);
}

void frmMain::Form_Load() {
    show();
    Variables& vars = shell_.vars();
    vars.Fields.InitFieldNames();
    setUpGridColumns();

    const Settings& settings = shell_.settings();
    vars.MamePath = settings.Get(AppSettings, SettingsSection, QStringLiteral("MameLocation"), QString());
    vars.PcxPath = settings.Get(AppSettings, SettingsSection, QStringLiteral("PCXFiles"), QString());
    vars.RomPath = settings.Get(AppSettings, SettingsSection, QStringLiteral("ROMFiles"), QString());

    // Without a MAME directory holding MAME there is nothing to show: the file locations dialog
    // takes this window's place, before any catalogue is made.
    if (vars.MamePath.trimmed().isEmpty() || !DirectoryListing(vars.MamePath).Contains(QStringLiteral("mame"))) {
        shell_.ShowFileLocations();
        return;
    }

    guarded([&] {
        PrepareCatalogue(vars);
        setUpGridColumns();
        FillGrid(QStringLiteral("Description"));
        vars.RomsRecordset->FindFirst(QStringLiteral("Rom"), DefaultRom);

        const long long last = Settings::ToNumber(settings.Get(AppState, StateSection, QStringLiteral("Last"), 0));
        if (last >= 0 && last <= rows_.rowCount() - 1) {
            const int row = static_cast<int>(last);
            MSFlexGrid1->SetCurrentRow(row);
            MSFlexGrid1->SetTopRow(row >= 10 ? row - 10 : row);
        }
    });
}

void frmMain::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    shell_.settings().Save(AppState, StateSection, QStringLiteral("Last"), QString::number(MSFlexGrid1->CurrentRow()));
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        MSFlexGrid1->setFocus();
    QMainWindow::changeEvent(event);
}

void frmMain::FillGrid(const QString& sortKey) {
    guarded([&] {
        // The grid keeps its current row index across a fill, as a refill selects no game: the
        // detail tabs go on showing the game they showed until a row is entered.
        const bool hadRow = MSFlexGrid1->currentIndex().isValid();
        const int row = MSFlexGrid1->CurrentRow();
        GameListRows rows = LoadGameList(shell_.vars(), ReadFilters(shell_.settings()), sortKey);
        rows_.SetRows(std::move(rows.marks), std::move(rows.descriptions));
        if (hadRow && rows_.rowCount() > 0) {
            const QSignalBlocker quiet(MSFlexGrid1->selectionModel());
            MSFlexGrid1->SetCurrentRow(std::min(row, rows_.rowCount() - 1));
            MSFlexGrid1->viewport()->update();
        }
        const int games = std::max(rows_.rowCount() - 1, 0);
        setWindowTitle(QStringLiteral("Zelvora  (%1 Games)").arg(games));
        MSFlexGrid1->setFocus();
    });
}

void frmMain::cmdSort_Click() {
    cmdSort->setText(NextSortKey(cmdSort->text()));
    FillGrid(cmdSort->text());
}

void frmMain::MSFlexGrid1_LeaveCell() {
    // The shown game's option edits are written here, before the recordset moves on, once the
    // option controls exist.
}

void frmMain::MSFlexGrid1_EnterCell() {
    guarded([&] {
        Recordset* rs = shell_.vars().RomsRecordset.get();
        if (!rs || rows_.rowCount() == 0)
            return;
        // Of two games with one description the later one in the table is taken.
        rs->FindLast(QStringLiteral("Description"), rows_.Text(MSFlexGrid1->CurrentRow(), 1));
    });
}

void frmMain::MSFlexGrid1_Keyup(int& key) {
    const int rows = rows_.rowCount();
    switch (key) {
    case KeyCode::Enter:
    case KeyCode::Delete:
        // Starting the game and deleting its screenshot come with the launcher and the checks.
        return;
    case KeyCode::Home:
        MSFlexGrid1->SetTopRow(0);
        MSFlexGrid1->SetCurrentRow(0);
        typeAhead_.Clear();
        return;
    case KeyCode::End:
        MSFlexGrid1->SetTopRow(rows - 1);
        MSFlexGrid1->SetCurrentRow(rows - 1);
        typeAhead_.Clear();
        return;
    case KeyCode::F5:
        typeAhead_.Clear();
        return;
    default:
        break;
    }
    const bool sortedByDescription = EqualNoCase(cmdSort->text(), QStringLiteral("Description"));
    const int found = typeAhead_.Key(key, shell_.clock().SecondsSinceMidnight(), rows_, sortedByDescription);
    if (found >= 0) {
        MSFlexGrid1->SetCurrentRow(found);
        MSFlexGrid1->SetTopRow(found);
    }
}

void frmMain::mnuExit_Click() {
    close();
}

void frmMain::mnuFileLocations_Click() {
    shell_.ShowFileLocations();
}

void frmMain::mnuFilter_Click() {
    QPointer<frmMain> self(this);
    auto* dialog = new frmFilter(shell_.settings(), this, [self] {
        if (!self)
            return;
        self->FillGrid(QStringLiteral("Description"));
        self->MSFlexGrid1_EnterCell();
    });
    dialog->show();
}

} // namespace zelvora
