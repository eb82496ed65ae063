// The main window as the user arranges and reads it: its place, size, splitter and tab in front
// kept between runs, the list narrowed by the find field, the counts, the type-ahead's typed text
// and the outcome of the last long job in the status bar.

#include "shell/MainWindow.h"

#include "checks/PresenceChecks.h"
#include "detail/DetailTabs.h"
#include "detail/HistoryPage.h"
#include "detail/InformationPage.h"
#include "detail/ScreenShotPage.h"
#include "gamelist/FilterBar.h"
#include "gamelist/FindField.h"
#include "gamelist/GameGrid.h"
#include "platform/DirectoryListing.h"
#include "platform/TextCompare.h"
#include "platform/WindowPlacement.h"
#include "shell/MainStatusBar.h"
#include "shell/Shell.h"
#include "store/ProgramSettings.h"
#include "store/Settings.h"
#include "store/SupportFiles.h"
#include "store/Variables.h"

#include <QBitArray>
#include <QDataStream>
#include <QDir>
#include <QHeaderView>
#include <QLayout>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>

namespace zelvora {

namespace {

// The window as it first opens, before the user has arranged it.
constexpr QSize StartingSize(1000, 640);

// How many sections a header's kept state holds, read as QHeaderView writes it; 0 when it does not
// read as such.
int KeptSectionCount(const QByteArray& state) {
    QDataStream stream(state);
    stream.setVersion(QDataStream::Qt_5_0); // as the header writes it, for older Qt to read
    int marker = 0, version = -1, orientation = 0, order = 0, sortSection = 0, length = 0, sections = 0;
    bool indicator = false;
    QList<int> visual, logical;
    QBitArray hidden;
    QHash<int, int> hiddenSizes;
    stream >> marker >> version >> orientation >> order >> sortSection >> indicator >> visual >> logical >> hidden >>
        hiddenSizes >> length >> sections;
    return marker == 0xff && version == 0 && stream.status() == QDataStream::Ok ? sections : 0;
}

} // namespace

void MainWindow::RestoreArrangement() {
    const ProgramSettings settings(shell_.Settings());
    const QByteArray geometry = settings.WindowGeometry();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        // The first start: the starting size as far as the screen has room for it, in its middle.
        QSize size = StartingSize;
        if (const QScreen* shown = screen())
            size = size.boundedTo(shown->availableGeometry().size() * 0.9);
        resize(size.expandedTo(minimumSizeHint()));
        CentreOver(this, nullptr);
    }

    // The splitter shares out what it has in proportion to the widths it is given: it is given
    // the widths it will have, as the window is not laid out before it is shown.
    QList<int> widths = settings.SplitterWidths();
    if (widths.size() != 2 || widths[0] <= 0 || widths[1] <= 0) {
        // The tabs as they were drawn, the list the rest.
        const QMargins margins = centralWidget()->layout()->contentsMargins();
        const int room = width() - margins.left() - margins.right() - splitter->handleWidth();
        const int tabs = std::min(detailTabs->sizeHint().width(), room * 2 / 3);
        widths = {room - tabs, tabs};
    }
    splitter->setSizes(widths);

    const long long tab = settings.Tab();
    if (tab >= 0 && tab < detailTabs->count())
        detailTabs->setCurrentIndex(static_cast<int>(tab));
    if (const long long kind = settings.PictureKind(); kind > 0 && kind < std::ssize(kArtworkKinds))
        detailTabs->screenShot->SetKind(kArtworkKinds[kind]);
    connect(detailTabs->screenShot, &ScreenShotPage::kindChosen, this,
            [this](ArtworkKind kind) { ProgramSettings(shell_.Settings()).SavePictureKind(static_cast<int>(kind)); });
    connect(detailTabs->history, &HistoryPage::problem, this, [this](const QString& text) { ShowResult(text); });
}

void MainWindow::setUpGridColumns() {
    QHeaderView* header = gameList->horizontalHeader();
    const QFontMetrics metrics = gameList->fontMetrics();
    const int character = metrics.averageCharWidth();
    gameList->setColumnWidth(GameListModel::YearColumn, metrics.horizontalAdvance(QStringLiteral("8888?")) + 16);
    const std::pair<int, int> widths[] = {
        {GameListModel::ManufacturerColumn, 18}, {GameListModel::SetColumn, 12},
        {GameListModel::SourceColumn, 14},       {GameListModel::PlayersColumn, 10},
        {GameListModel::CategoryColumn, 24},     {GameListModel::StatusColumn, 12},
        {GameListModel::TypeColumn, 14},         {GameListModel::PlayCountColumn, 6},
        {GameListModel::LastPlayedColumn, 17},
    };
    for (const auto& [column, characters] : widths)
        gameList->setColumnWidth(column, character * characters);
    gameList->setColumnWidth(GameListModel::FavouriteColumn, metrics.horizontalAdvance(QStringLiteral("\u2605")) + 16);
    // The columns beyond the first five are there to be switched on.
    for (int column = DefaultColumnCount; column < ColumnCount; ++column)
        header->setSectionHidden(column, true);
    // The user's order, widths and columns, where they were kept; the title column takes the rest.
    // A header kept before the list had its later columns holds fewer of them and is not taken:
    // Qt would show the columns it does not know, and hidden again they would leave a gap.
    if (const QByteArray kept = ProgramSettings(shell_.Settings()).ListColumns();
        KeptSectionCount(kept) == ColumnCount) {
        const QByteArray before = header->saveState();
        if (!header->restoreState(kept))
            header->restoreState(before);
    }
    // A header kept with the title stretched (as before FitTitle) is taken without it.
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(GameListModel::MarksColumn, QHeaderView::Fixed);
    // Wide enough for all four marks "SBR*" at this screen's scale.
    gameList->setColumnWidth(GameListModel::MarksColumn, metrics.horizontalAdvance(QStringLiteral("SBR*")) + 12);
    gameList->FitTitle();
    filterBar->SetFilters(KeptListFilters(ProgramSettings(shell_.Settings())));
}

void MainWindow::connectListControls() {
    detailTabs->findChild<InformationPage*>()->SetFactsLookup(
        [this](const QString& rom) { return Games().FactsOf(rom); });
    QHeaderView* header = gameList->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::customContextMenuRequested, this, [this, header](const QPoint& at) {
        QMenu* menu = ColumnMenu();
        menu->exec(header->mapToGlobal(at));
        menu->deleteLater();
    });
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) { sortByColumn(column); });
    connect(gameList, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == GameListModel::FavouriteColumn)
            toggleFavourite();
    });
    connect(filterBar, &FilterBar::changed, this, [this] { barFiltersChanged(); });
}

QMenu* MainWindow::ColumnMenu() {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("columnMenu"));
    QHeaderView* header = gameList->horizontalHeader();
    for (int column = 0; column < ColumnCount; ++column) {
        // The titles stay: a list without them says nothing.
        if (column == GameListModel::TitleColumn)
            continue;
        QAction* action = menu->addAction(column == GameListModel::MarksColumn       ? QStringLiteral("Marks")
                                          : column == GameListModel::FavouriteColumn ? QStringLiteral("Favourite")
                                                                                     : ColumnCaption(column));
        action->setCheckable(true);
        action->setChecked(!header->isSectionHidden(column));
        connect(action, &QAction::toggled, this,
                [header, column](bool shown) { header->setSectionHidden(column, !shown); });
    }
    return menu;
}

void MainWindow::sortByColumn(int column) {
    const QString key = GameListModel::SortKeyOf(column);
    if (key.isEmpty()) {
        // The marks sort nothing: the header's own flip of the indicator is put back.
        showSortIndicator();
        return;
    }
    // The column sorted by already turns the other way; another starts from its top.
    sortList(key, EqualNoCase(key, sortButton->text()) && !sortDescending_);
}

void MainWindow::sortList(const QString& key, bool descending) {
    sortButton->setText(key);
    sortDescending_ = descending;
    if (!loaded_)
        return;
    commitOptions();
    const int row = gameList->CurrentRow();
    loaded_->Sort(GameListModel::ColumnOf(key), descending);
    ShowRows();
    SelectShownGame(row);
    FocusGrid();
}

void MainWindow::showSortIndicator() {
    gameList->horizontalHeader()->setSortIndicator(GameListModel::ColumnOf(sortButton->text()),
                                                   sortDescending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void MainWindow::barFiltersChanged() {
    ProgramSettings settings(shell_.Settings());
    KeepListFilters(settings, filterBar->Filters());
    commitOptions();
    // The list narrows as for a find, and the selection follows the same rule.
    FindChanged();
}

const CloneFamily* MainWindow::familyOf(const GameRecord& game) {
    if (!families_)
        families_ = Games().CloneFamilies();
    const QString clone = game.Value(Field::Clone).toString();
    const auto found = families_->constFind(FoldedKey(clone.isEmpty() ? game.Value(Field::Rom).toString() : clone));
    return found == families_->constEnd() ? nullptr : &*found;
}

ListExtras MainWindow::listExtras() {
    ListExtras extras;
    if (const QStringList romFolders = FolderList(romSearchPath()); !romFolders.isEmpty()) {
        auto roms = std::make_shared<DirectoryListing>(romFolders);
        const bool merged = assumeMergedAction->isChecked();
        const auto present = [roms](const QString& rom) {
            return IsPlainFileName(rom) && HasRomSet(*roms, rom, RomSetKinds::ZipSevenZipOrFolder);
        };
        extras.romSetPresent = [present, merged](const QString& rom, const QString& clone) {
            return present(rom) || (merged && !clone.isEmpty() && present(clone));
        };
    }
    const ProgramSettings settings(shell_.Settings());
    const Folders folders = settings.ReadFolders();
    const MameFolders mameFolders = settings.ReadMameFolders();
    support_.SetFolders(SearchFolders(folders.support, mameFolders.ini));
    detailTabs->screenShot->SetArtworkRoots(SearchFolders(folders.artwork, mameFolders.artwork));
    detailTabs->history->SetFolders(SearchFolders(folders.support, mameFolders.history));
    support_.Refresh();
    if (const QString problem = support_.TakeProblem(); !problem.isEmpty())
        ShowResult(problem);
    else if (const QString& folder = folders.support;
             // A folder of the user's own, not only MAME's ini folders as a first start names them.
             SearchFolders(folder, mameFolders.ini).size() > SearchFolders(QString(), mameFolders.ini).size() &&
             !support_.HasCategories() && !noCategoriesSaid_) {
        // Said once: a Support Files folder of the user's own was given, and no catver.ini was found.
        ShowResult(QStringLiteral("No catver.ini in %1 nor in MAME's ini folders: the games have no category")
                       .arg(QDir::toNativeSeparators(folder)));
        noCategoriesSaid_ = true;
    }
    if (support_.HasCategories() || support_.HasPlayers()) {
        extras.describe = [this](const QString& rom, ListedGame& game) {
            if (game.category.isEmpty()) {
                game.category = support_.Category(rom);
                game.mature = support_.Mature(rom);
            }
            if (game.players.isEmpty()) {
                game.players = support_.Players(rom);
                if (const int count = support_.PlayerCount(rom); count > 0)
                    game.playerCount = count;
            }
        };
    }
    if (const std::unique_ptr<Database>& db = shell_.Variables().CatalogueDb)
        extras.facts = GameStore(*db).Facts();
    return extras;
}

void MainWindow::SaveArrangement() {
    ProgramSettings settings(shell_.Settings());
    settings.SaveListColumns(gameList->horizontalHeader()->saveState());
    settings.SaveWindowGeometry(saveGeometry());
    const QList<int> widths = splitter->sizes();
    settings.SaveSplitterWidths({widths.value(0), widths.value(1)});
    settings.SaveTab(detailTabs->currentIndex());
}

void MainWindow::ShowRows() {
    const SearchQuery query = SearchQuery::Parse(findField->text());
    const ListFilters bar = filterBar->Filters();
    rows_.SetGames(loaded_, loaded_ ? loaded_->Select(bar, query) : std::vector<int>());
    status_->SetFilters(FiltersText(filters_, bar.Names()));
    // A word the search did not take as asked is said while it is in the field.
    if (!query.problem.isEmpty())
        status_->ShowTyped(query.problem);
    else if (!searchProblem_.isEmpty() && status_->Typed() == searchProblem_)
        status_->ClearTyped();
    searchProblem_ = query.problem;
    showSortIndicator();
    ShowCounts();
}

void MainWindow::ShowCounts() {
    const int games = std::max(rows_.rowCount() - 1, 0);
    setWindowTitle(QStringLiteral("Zelvora  (%1 Games)").arg(games));
    status_->SetCounts(games, catalogueGames_);
}

void MainWindow::FindChanged() {
    ShowRows();
    // The selected game stays selected while it is listed; otherwise the first game found is
    // entered, so that the tabs show a game of the list. The default record's row, always listed,
    // is left for a game as soon as one is found.
    if (rows_.rowCount() > 1 && EqualNoCase(shownRom_, DefaultRom))
        gameList->SetCurrentRow(1);
    else
        SelectShownGame(rows_.rowCount() > 1 ? 1 : 0);
}

void MainWindow::ShowResult(const QString& text) {
    status_->SetResult(text);
}

std::function<void(const QString&)> MainWindow::ResultCallback() {
    return [self = QPointer<MainWindow>(this)](const QString& text) {
        if (self)
            self->ShowResult(text);
    };
}

void MainWindow::ShowTypedText(bool sortedByDescription, int found) {
    // An arrow or another key that does not type ends the word on the screen as in the search.
    if (!typeAhead_.LastKeyTyped()) {
        status_->ClearTyped();
        return;
    }
    QString text = QStringLiteral("Typed \"%1\"").arg(typeAhead_.TypedText());
    if (!sortedByDescription)
        text += QStringLiteral(": the list goes to a title only while it is sorted by Description");
    else if (found < 0)
        text += QStringLiteral(": no title starts with it");
    status_->ShowTyped(text);
}

} // namespace zelvora
