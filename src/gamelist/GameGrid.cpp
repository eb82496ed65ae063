#include "gamelist/GameGrid.h"

#include "gamelist/ListedGames.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

namespace zelvora {

GameGrid::GameGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("gameList"));
    verticalHeader()->hide();
    // Columns can be moved and resized; a click on a caption sorts by it, which the window does.
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
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
    // Titles too long for their column end in an ellipsis; the list scrolls sideways only when the
    // other columns leave the title no room, as in a narrow pane at a large scale.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A list of a dozen rows at the least, wide enough for the marks and a title of a few words.
    setMinimumSize(fontMetrics().averageCharWidth() * 26, verticalHeader()->defaultSectionSize() * 12);
    // A column shown, hidden or widened changes the room the title has.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column != TitleColumn)
            FitTitle();
    });
}

void GameGrid::FitTitle() {
    QHeaderView* header = horizontalHeader();
    if (fitting_ || header->count() <= TitleColumn)
        return;
    fitting_ = true;
    int others = 0;
    for (int column = 0; column < header->count(); ++column) {
        if (column != TitleColumn && !header->isSectionHidden(column))
            others += header->sectionSize(column);
    }
    header->resizeSection(TitleColumn, std::max(viewport()->width() - others, fontMetrics().averageCharWidth() * 24));
    fitting_ = false;
}

void GameGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitTitle();
}

void GameGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    // The marks column keeps the width it is given; the title column takes what the others leave
    // (FitTitle). Not by QHeaderView::Stretch: a column hidden beside a stretched one keeps its
    // width in the header's length, a gap where it was.
    if (model && model->columnCount() > TitleColumn)
        horizontalHeader()->setSectionResizeMode(MarksColumn, QHeaderView::Fixed);
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

namespace {

// Alt, Ctrl and Meta make a key a shortcut's or a command's, never typing; so are those keys
// pressed on their own, as the start of a combination.
bool WithCommandModifier(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    default:
        return event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
    }
}

bool OnlyChangesOtherKeys(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

} // namespace

void GameGrid::keyPressEvent(QKeyEvent* event) {
    if (!WithCommandModifier(event) && !OnlyChangesOtherKeys(event))
        pressed_.insert(event->key());
    QTableView::keyPressEvent(event);
}

void GameGrid::keyReleaseEvent(QKeyEvent* event) {
    // A held key repeats as release and press pairs; only its final release ends the press, so
    // that holding Enter starts nothing until it is let go.
    if (!event->isAutoRepeat() && pressed_.remove(event->key()) && !WithCommandModifier(event))
        Q_EMIT keyReleased(event->key(), event->text());
    QTableView::keyReleaseEvent(event);
}

void GameGrid::focusOutEvent(QFocusEvent* event) {
    // A key held while another window took the focus is released there, or here after the
    // other window is gone: either way it was not meant for the grid.
    pressed_.clear();
    QTableView::focusOutEvent(event);
}

} // namespace zelvora
