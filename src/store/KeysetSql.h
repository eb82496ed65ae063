#pragma once

#include <QString>

namespace zelvora {

// What a recordset opens on: a table name, or a single-table SELECT whose FROM names the table.
struct KeysetSql {
    QString table;
    // The statement from its FROM on, without its ORDER BY: the rows, in no particular order.
    QString rowsClause;
    // Lists the matching row ids in the statement's order; ties of an ORDER BY, and a statement
    // without one, fall back to the table's own order, so the keyset never depends on which
    // index SQLite happens to scan.
    QString keysetStatement;
};

// Raises StoreError for text that is neither a table name nor a single-table SELECT.
KeysetSql ParseKeysetSql(const QString& tableOrSql);

} // namespace zelvora
