#include "gamelist/GameListModel.h"

#include "platform/TextCompare.h"

#include <QDateTime>

namespace zelvora {

void GameListModel::SetGames(std::shared_ptr<ListedGames> games, std::vector<int> shown) {
    beginResetModel();
    games_ = std::move(games);
    shown_ = games_ ? std::move(shown) : std::vector<int>();
    endResetModel();
}

const ListedGame* GameListModel::Game(int row) const {
    return row >= 0 && row < rowCount() ? &(*games_)[shown_[static_cast<size_t>(row)]] : nullptr;
}

void GameListModel::rowChanged(int row) {
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void GameListModel::GamesChanged() {
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int GameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
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
    const ListedGame* game = index.isValid() ? Game(index.row()) : nullptr;
    if (!game)
        return {};
    if (role == Qt::ToolTipRole) {
        if (game->isDefault)
            return QStringLiteral("The default options: the emulator options of every game whose \"Use Default "
                                  "Options\" box is ticked. Select this row, or Actions > Configure Default "
                                  "Options, to edit them on the Options tab.");
        if (index.column() == FavouriteColumn)
            return QStringLiteral("A click here, or Ctrl+D, marks the game a favourite or unmarks it");
        return index.column() == MarksColumn ? MarksToolTip(game->marks) : Text(index.row(), index.column());
    }
    if (role == Qt::DisplayRole)
        return Text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment across = index.column() == PlayCountColumn || index.column() == PlayersColumn
                                         ? Qt::AlignRight
                                     : index.column() == FavouriteColumn ? Qt::AlignHCenter
                                                                         : Qt::AlignLeft;
        return QVariant::fromValue(across | Qt::AlignVCenter);
    }
    return {};
}

QString GameListModel::Text(int row, int column) const {
    const ListedGame* game = Game(row);
    if (!game)
        return {};
    switch (column) {
    case MarksColumn:
        return game->marks;
    case TitleColumn:
        return game->title;
    case YearColumn:
        return game->year;
    case ManufacturerColumn:
        return game->manufacturer;
    case SetColumn:
        return game->rom;
    case SourceColumn:
        return game->source;
    case PlayersColumn:
        return game->players;
    case CategoryColumn:
        return game->mature ? game->category + QStringLiteral(" (mature)") : game->category;
    case StatusColumn:
        return StatusText(game->status);
    case TypeColumn:
        return TypeText(game->type);
    case PlayCountColumn:
        return game->playCount > 0 ? QString::number(game->playCount) : QString();
    case LastPlayedColumn: {
        if (game->lastPlayed.isEmpty())
            return {};
        const QDateTime ended = QDateTime::fromString(game->lastPlayed, Qt::ISODate);
        return ended.isValid() ? ended.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")) : game->lastPlayed;
    }
    case FavouriteColumn:
        return game->favourite ? QStringLiteral("\u2605") : QString();
    default:
        return {};
    }
}

QVariant GameListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return section == FavouriteColumn ? QStringLiteral("\u2605") : ColumnCaption(section);
    if (role == Qt::ToolTipRole)
        return section == MarksColumn ? MarksToolTip(QString()) : ColumnCaption(section);
    return {};
}

QString GameListModel::Rom(int row) const {
    const ListedGame* game = Game(row);
    return game ? game->rom : QString();
}

int GameListModel::RowOfRom(const QString& rom) const {
    // Set names are keys compared without regard to case, as the catalogue compares them.
    for (int row = 0; row < rowCount(); ++row) {
        const QString& name = (*games_)[shown_[static_cast<size_t>(row)]].rom;
        if (!name.isEmpty() && EqualNoCase(name, rom))
            return row;
    }
    return -1;
}

} // namespace zelvora
