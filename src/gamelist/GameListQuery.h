#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace zelvora {

class Recordset;
class Settings;
struct Variables;

inline constexpr int FilterCount = 6;
using FilterStates = std::array<long long, FilterCount>;

// "Filter 0" to "Filter 5": 0 no condition, 1 show only, 2 exclude; anything else adds nothing.
QString FilterKey(int index);
FilterStates ReadFilters(const Settings& settings);

// The game list's query: every game passing the filters, the default record always and first,
// then the games ordered by the sort key and then by description.
QString GameListSql(const FilterStates& filters, const QString& sortKey);

// The list's column 0 for the current record: S (no screenshot), B (bad ROM), R (missing zipped
// ROM set), * (options of its own), in that order.
QString StatusMarks(const Recordset& rs);

struct GameListRows {
    QStringList marks;
    QStringList descriptions;
};

// Runs the list's query on the catalogue and reads every row's two texts; afterwards
// RomsRecordset is a recordset over the whole table, on its first record.
GameListRows LoadGameList(Variables& vars, const FilterStates& filters, const QString& sortKey);

// The sort button's cycle: Description, Date, Manufacturer, Rom, and round again.
QString NextSortKey(const QString& caption);

} // namespace zelvora
