#pragma once

#include "gamelist/GameListQuery.h"
#include "gamelist/TypeAhead.h"

#include <QAbstractTableModel>

namespace zelvora {

// The game list's rows, each tied to its game by the set name. A fill replaces every row in one
// model reset.
class GameListModel : public QAbstractTableModel, public GridRows {
    Q_OBJECT

public:
    enum Column {
        MarksColumn, // S, B, R and * for what the collection lacks and a game's own options
        TitleColumn,
        YearColumn,
        ManufacturerColumn,
        SetColumn,
        ColumnCount
    };
    // The sort cycle's key a column sorts by (empty for the marks), and the column of a key.
    static QString SortKeyOf(int column);
    static int ColumnOf(const QString& sortKey);

    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(GameListRows rows);
    void Clear();

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
    GameListRows rows_;
    // The two texts every paint and key press reads, held apart so that a row is not looked up
    // by field name: shared with rows_, not copied.
    QStringList descriptions_;
    QStringList roms_;
};

} // namespace zelvora
