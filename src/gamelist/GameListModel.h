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

    void SetRows(QStringList marks, QStringList descriptions);
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    QString Text(int row, int column) const;

    int RowCount() const override { return rowCount(); }
    QString Description(int row) const override { return Text(row, 1); }

private:
    QStringList marks_;
    QStringList descriptions_;
};

} // namespace zelvora
