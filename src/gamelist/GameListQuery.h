#pragma once

#include "store/FieldNames.h"
#include "store/ProgramSettings.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>

namespace zelvora {

class GameStore;

// The filter's row caption in the filters dialog: "Neo Geo Games", "Original Games", ...
QString FilterCaption(int index);
// The filters in force, in the dialog's words, for the status bar: "Filters: Clones (Show Only),
// Bad ROMS (Exclude)", or "No filters".
QString FiltersText(const FilterStates& filters);

// The list's order: a key of the sort cycle, and which way.
struct ListOrder {
    ListOrder(QString sortKey, bool down = false) : key(std::move(sortKey)), descending(down) {}
    QString key;
    bool descending;
};

// The game list's query, from its WHERE on: every game passing the filters, the default record
// always and first, then the games ordered by the sort key either way and then by description.
QString GameListSql(const FilterStates& filters, const ListOrder& order);

// The game list's rows, field by field: for each row the text of every text field the catalogue
// lists, and the marks its listed numbers make. The set name is what ties a row to its game, as two games may share a
// title.
struct GameListRows {
    QStringList marks;
    QHash<QString, QStringList> texts; // by field name

    // The field's texts, one per row; empty for a field the list does not read.
    const QStringList& Of(const QString& field) const;
    qsizetype Count() const { return Of(Field::Description).size(); }
};

// The rows whose description holds `text` anywhere, ignoring case; the default record's row stays
// first whatever it holds, as the rest of the program takes row 0 to be it. The text is matched as
// it stands: no character in it is a wildcard. An empty text keeps every row.
GameListRows FindInRows(const GameListRows& rows, const QString& text);

// Runs the list's query on the catalogue and reads every row's listed texts and marks.
GameListRows LoadGameList(const GameStore& catalogue, const FilterStates& filters, const ListOrder& order);

// The sort button's cycle: Description, Date, Manufacturer, Rom, and round again.
QString NextSortKey(const QString& caption);
// The sort key of the cycle that `text` names, in the cycle's spelling; Description for any other
// text, as a settings file may hold anything.
QString KnownSortKey(const QString& text);

} // namespace zelvora
