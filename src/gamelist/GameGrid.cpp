#include "gamelist/GameGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

namespace zelvora {

GameGrid::GameGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("MSFlexGrid1"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setTabKeyNavigation(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void GameGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    // The marks column keeps the width it is given; the description column takes the rest.
    if (model && model->columnCount() > 0)
        horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
}

int GameGrid::CurrentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : 0;
}

void GameGrid::SetCurrentRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    setCurrentIndex(model()->index(row, 1));
}

void GameGrid::SetTopRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    verticalScrollBar()->setValue(row);
}

void GameGrid::keyReleaseEvent(QKeyEvent* event) {
    Q_EMIT keyReleased(event->key(), event->modifiers());
    QTableView::keyReleaseEvent(event);
}

} // namespace zelvora
