#include "gamelist/GameListModel.h"

#include "platform/TextCompare.h"

namespace zelvora {

void GameListModel::SetRows(GameListRows rows) {
    beginResetModel();
    rows_ = std::move(rows);
    descriptions_ = rows_.Of(Field::Description);
    roms_ = rows_.Of(Field::Rom);
    endResetModel();
}

void GameListModel::Clear() {
    SetRows({});
}

int GameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(descriptions_.size());
}

int GameListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

namespace {

struct Mark {
    QChar letter;
    const char* meaning;
};

constexpr Mark Marks[] = {
    {u'S', "screenshot missing"},
    {u'B', "bad ROM set (MAME's verification found it wanting)"},
    {u'R', "zipped ROM set missing"},
    {u'*', "options of its own instead of the default options"},
};

// What the marks column says: the row's own marks, or what each mark would mean.
QString MarksToolTip(const QString& marks) {
    QStringList lines;
    for (const Mark& mark : Marks) {
        if (marks.contains(mark.letter))
            lines << mark.letter + QStringLiteral(": ") + QLatin1String(mark.meaning);
    }
    if (!lines.isEmpty())
        return lines.join(QLatin1Char('\n'));
    QStringList legend;
    for (const Mark& mark : Marks)
        legend << mark.letter + QStringLiteral(": ") + QLatin1String(mark.meaning);
    return QStringLiteral("No marks. The marks are\n") + legend.join(QLatin1Char('\n'));
}

} // namespace

QVariant GameListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::ToolTipRole) {
        if (EqualNoCase(Description(index.row()), DefaultDescription))
            return QStringLiteral("The default options: the emulator options of every game whose \"Use Default "
                                  "Options\" box is ticked. Select this row, or Actions > Configure Default "
                                  "Options, to edit them on the Options tab.");
        return index.column() == MarksColumn ? MarksToolTip(rows_.marks.value(index.row()))
                                             : Text(index.row(), index.column());
    }
    if (role == Qt::DisplayRole)
        return Text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

QString GameListModel::Text(int row, int column) const {
    switch (column) {
    case MarksColumn:
        return rows_.marks.value(row);
    case TitleColumn:
        return descriptions_.value(row);
    case YearColumn:
        return rows_.Of(Field::Date).value(row);
    case ManufacturerColumn:
        return rows_.Of(Field::Manufacturer).value(row);
    case SetColumn:
        return roms_.value(row);
    default:
        return {};
    }
}

namespace {

// Each column's caption and the sort key that orders the list by it.
struct ColumnInfo {
    const char* caption;
    const QString* sortKey;
};
const QString NoKey;
const ColumnInfo Columns[GameListModel::ColumnCount] = {
    {"", &NoKey},           {"Title", &Field::Description},
    {"Year", &Field::Date}, {"Manufacturer", &Field::Manufacturer},
    {"Set", &Field::Rom},
};

} // namespace

QVariant GameListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QLatin1String(Columns[section].caption);
    if (role == Qt::ToolTipRole && section == MarksColumn)
        return MarksToolTip(QString());
    return {};
}

QString GameListModel::SortKeyOf(int column) {
    return column >= 0 && column < ColumnCount ? *Columns[column].sortKey : QString();
}

int GameListModel::ColumnOf(const QString& sortKey) {
    for (int column = 0; column < ColumnCount; ++column) {
        if (!sortKey.isEmpty() && EqualNoCase(*Columns[column].sortKey, sortKey))
            return column;
    }
    return TitleColumn;
}

QString GameListModel::Rom(int row) const {
    return roms_.value(row);
}

int GameListModel::RowOfRom(const QString& rom) const {
    // Set names are keys compared without regard to case, as the catalogue compares them.
    for (qsizetype row = 0; row < roms_.size(); ++row) {
        if (!roms_[row].isEmpty() && EqualNoCase(roms_[row], rom))
            return static_cast<int>(row);
    }
    return -1;
}

} // namespace zelvora
