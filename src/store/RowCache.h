#pragma once

#include "store/Connection.h"
#include "store/FieldType.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace zelvora {

// A recordset's records' columns as SQLite gave them, turned into QVariants only when asked for.
// Only the fields asked for are loaded, and a walk through the keyset loads ever larger runs of
// the records ahead in one statement; a jump elsewhere loads just the one record. Whatever the
// connection writes, by any recordset, makes the loaded cells stale.
class RowCache {
public:
    // A key the recordset deleted: runs step over it.
    static constexpr std::int64_t Hole = INT64_MIN;

    RowCache(Connection& connection, const QString& table);

    // Forgets everything loaded; the fields are the table's, in table order.
    void Reset(const std::vector<FieldInfo>& fields);

    // Field `field` of the record at `position` in `keys`. Raises StoreError when the record is
    // gone from the table.
    QVariant Value(const std::vector<std::int64_t>& keys, int position, int field);

    // Loads `fields` of every record `rowsClause` ("FROM ...") selects, in one pass.
    void Preload(const std::vector<int>& fields, const QString& rowsClause, size_t expectedRows);

    // Whether the cells still show the data: nothing was written since they were loaded.
    bool IsCurrent() const { return generation_ == connection_->DataGeneration(); }
    // After a write of its own, only the written record's cells are stale; the rest stay good
    // if they were before the write.
    void ForgetRow(std::int64_t rowId, bool wasCurrent);

private:
    // A preloaded table of 50,000 records holds a million cells: they are kept small.
    struct Cell {
        int type = 0;
        std::uint32_t length = 0; // bytes of a text or blob
        union {
            std::int64_t integer = 0;
            double real;
            size_t offset; // of a text or blob in `bytes_`
        };
    };
    static constexpr int LargestRun = 256;

    QVariant ValueOf(const Cell& cell) const;
    void LoadRun(const std::vector<std::int64_t>& keys, int position);
    void BuildStatements();
    void Fill(sqlite3_stmt* stmt, size_t expectedRows = 0);

    Connection* connection_;
    QString quotedTable_;
    std::vector<QString> names_;

    std::uint64_t generation_ = UINT64_MAX;
    size_t columns_ = 0;
    std::vector<Cell> cells_;
    std::string bytes_;
    QHash<std::int64_t, size_t> rowOf_;
    // The record found last: its fields are mostly read one after the other.
    std::int64_t lastRow_ = INT64_MIN;
    size_t lastSlot_ = 0;
    std::vector<int> columnOf_; // a field's column in `cells_`, -1 when not loaded
    QString rowSql_;            // the statements for the loaded columns; empty when they changed
    QString runSql_;
    QString selectList_;
    int nextPosition_ = -1;
    int runSize_ = 1;
    CachedStatement rowStatement_;
    CachedStatement runStatement_;
};

} // namespace zelvora
