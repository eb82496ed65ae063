#pragma once

#include "gamelist/TypeAhead.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace zelvora {

// The game list's rows: column 0 the status marks, column 1 the description. A fill replaces
// every row in one model reset.
class GameListModel : public QAbstractTableModel, public GridRows {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // `roms` holds each row's set name; rows without one are found by no set name.
    void SetRows(QStringList marks, QStringList descriptions, QStringList roms = {});
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    QString Text(int row, int column) const;
    // The set name of the row's game; empty for a row without one.
    QString Rom(int row) const;
    // The row that shows the game of set name `rom`, or -1 when the list does not hold it.
    int RowOfRom(const QString& rom) const;

    int RowCount() const override { return rowCount(); }
    QString Description(int row) const override { return Text(row, 1); }

private:
    QStringList marks_;
    QStringList descriptions_;
    QStringList roms_;
};

} // namespace zelvora
