#include "gamelist/GameListModel.h"

namespace zelvora {

void GameListModel::SetRows(QStringList marks, QStringList descriptions) {
    beginResetModel();
    marks_ = std::move(marks);
    descriptions_ = std::move(descriptions);
    marks_.resize(descriptions_.size());
    endResetModel();
}

void GameListModel::Clear() {
    SetRows({}, {});
}

int GameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(descriptions_.size());
}

int GameListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant GameListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= descriptions_.size())
        return {};
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.column() == 1))
        return Text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

QString GameListModel::Text(int row, int column) const {
    if (row < 0 || row >= descriptions_.size())
        return {};
    return column == 0 ? marks_[row] : descriptions_[row];
}

} // namespace zelvora
