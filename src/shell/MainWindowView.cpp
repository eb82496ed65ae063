// The main window as the user arranges and reads it: its place, size, splitter and tab in front
// kept between runs, the list narrowed by the find field, the counts, the type-ahead's typed text
// and the outcome of the last long job in the status bar.

#include "shell/MainWindow.h"

#include "detail/DetailTabs.h"
#include "gamelist/FindField.h"
#include "gamelist/GameGrid.h"
#include "platform/TextCompare.h"
#include "platform/WindowPlacement.h"
#include "shell/MainStatusBar.h"
#include "shell/Shell.h"
#include "store/ProgramSettings.h"
#include "store/Settings.h"

#include <QHeaderView>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>

namespace zelvora {

namespace {

// The window as it first opens, before the user has arranged it.
constexpr QSize StartingSize(1000, 640);

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
}

void MainWindow::setUpGridColumns() {
    QHeaderView* header = gameList->horizontalHeader();
    const QFontMetrics metrics = gameList->fontMetrics();
    gameList->setColumnWidth(GameListModel::YearColumn, metrics.horizontalAdvance(QStringLiteral("8888?")) + 16);
    gameList->setColumnWidth(GameListModel::ManufacturerColumn, metrics.averageCharWidth() * 18);
    gameList->setColumnWidth(GameListModel::SetColumn, metrics.averageCharWidth() * 12);
    // The user's order and widths, where they were kept; the title column takes the rest.
    if (const QByteArray kept = ProgramSettings(shell_.Settings()).ListColumns(); !kept.isEmpty())
        header->restoreState(kept);
    header->setSectionResizeMode(GameListModel::MarksColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(GameListModel::TitleColumn, QHeaderView::Stretch);
    // Wide enough for all four marks "SBR*" at this screen's scale.
    gameList->setColumnWidth(GameListModel::MarksColumn, metrics.horizontalAdvance(QStringLiteral("SBR*")) + 12);
}

void MainWindow::sortByColumn(int column) {
    const QString key = GameListModel::SortKeyOf(column);
    if (key.isEmpty()) {
        // The marks sort nothing: the header's own flip of the indicator is put back.
        showSortIndicator();
        return;
    }
    // The column sorted by already turns the other way; another starts from its top.
    sortDescending_ = EqualNoCase(key, sortButton->text()) && !sortDescending_;
    sortButton->setText(key);
    FillGrid();
}

void MainWindow::showSortIndicator() {
    gameList->horizontalHeader()->setSortIndicator(GameListModel::ColumnOf(sortButton->text()),
                                                   sortDescending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
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
    rows_.SetRows(FindInRows(loaded_, findField->text()));
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
