#pragma once

#include "gamelist/ListedGames.h"
#include "gamelist/TypeAhead.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

namespace zelvora {

// The game list's rows: the games of the last fill that the filters and the find field keep, each
// tied to its game by the set name. A fill or a new selection of games replaces every row in one
// model reset.
class GameListModel : public QAbstractTableModel, public GridRows {
    Q_OBJECT

public:
    using Column = ListColumn;
    using enum ListColumn;
    static QString SortKeyOf(int column) { return SortKeyOfColumn(column); }
    static int ColumnOf(const QString& sortKey) { return ColumnOfSortKey(sortKey); }

    using QAbstractTableModel::QAbstractTableModel;

    // The games of a fill, and which of them are rows, by their index there.
    void SetGames(std::shared_ptr<ListedGames> games, std::vector<int> shown);
    void Show(std::vector<int> shown) { SetGames(games_, std::move(shown)); }
    void Clear() { SetGames(nullptr, {}); }
    const std::shared_ptr<ListedGames>& Games() const { return games_; }
    // The row's game; nullptr for a row the list does not have.
    const ListedGame* Game(int row) const;
    // Changes the row's game in place (a favourite marked, a game played) and paints its row anew.
    template <typename Change> void ChangeGame(int row, Change change) {
        if (row < 0 || row >= rowCount())
            return;
        change(games_->Edit(shown_[static_cast<size_t>(row)]));
        rowChanged(row);
    }

    // The games were changed in place (ListedGames::Edit): every row shows its game anew.
    void GamesChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    QString Text(int row, int column) const;
    // The set name of the row's game; empty for a row without one.
    QString Rom(int row) const;
    // The row that shows the game of set name `rom`, or -1 when the list does not hold it.
    int RowOfRom(const QString& rom) const;

    int RowCount() const override { return rowCount(); }
    QString Description(int row) const override { return Text(row, TitleColumn); }

private:
    void rowChanged(int row);

    std::shared_ptr<ListedGames> games_;
    std::vector<int> shown_;
};

} // namespace zelvora
