#include "store/RowCache.h"

#include "store/StoreError.h"

#include <sqlite3.h>

#include <algorithm>

namespace zelvora {

RowCache::RowCache(Connection& connection, const QString& table)
    : connection_(&connection), quotedTable_(QuoteName(table)) {}

void RowCache::Reset(const std::vector<FieldInfo>& fields) {
    RowCache fresh(*connection_, QString());
    fresh.quotedTable_ = std::move(quotedTable_);
    for (const FieldInfo& field : fields)
        fresh.names_.push_back(field.name);
    *this = std::move(fresh);
}

QVariant RowCache::ValueOf(const Cell& cell) const {
    switch (cell.type) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(cell.integer));
    case SQLITE_FLOAT:
        return QVariant(cell.real);
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(bytes_.data() + cell.offset, static_cast<qsizetype>(cell.length)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(bytes_.data() + cell.offset, static_cast<qsizetype>(cell.length)));
    default:
        return {};
    }
}

QVariant RowCache::Value(const std::vector<std::int64_t>& keys, int position, int field) {
    const std::int64_t rowId = keys[static_cast<size_t>(position)];
    if (!IsCurrent()) {
        rowOf_.clear();
        lastRow_ = INT64_MIN;
        generation_ = connection_->DataGeneration();
    }
    const bool loaded = static_cast<size_t>(field) < columnOf_.size() && columnOf_[field] >= 0;
    if (loaded && lastRow_ == rowId)
        return ValueOf(cells_[lastSlot_ * columns_ + static_cast<size_t>(columnOf_[field])]);
    auto it = loaded ? rowOf_.constFind(rowId) : rowOf_.constEnd();
    if (it == rowOf_.constEnd()) {
        if (!loaded) {
            columnOf_.resize(names_.size(), -1);
            columnOf_[field] = 0;
            rowSql_.clear();
        }
        LoadRun(keys, position);
        it = rowOf_.constFind(rowId);
        if (it == rowOf_.constEnd())
            throw StoreError(QStringLiteral("Record is deleted."));
    }
    lastRow_ = rowId;
    lastSlot_ = *it;
    return ValueOf(cells_[*it * columns_ + static_cast<size_t>(columnOf_[field])]);
}

void RowCache::BuildStatements() {
    QString columns = quotedTable_ + QLatin1String(".rowid");
    int count = 0;
    for (size_t f = 0; f < columnOf_.size(); ++f) {
        if (columnOf_[f] >= 0) {
            columnOf_[f] = count++;
            columns += QLatin1Char(',') + quotedTable_ + QLatin1Char('.') + QuoteName(names_[f]);
        }
    }
    columns_ = static_cast<size_t>(count);
    rowSql_ = QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?1").arg(columns, quotedTable_);
    selectList_ = columns;
    runSql_ =
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid IN (SELECT value FROM json_each(?1))").arg(columns, quotedTable_);
}

void RowCache::LoadRun(const std::vector<std::int64_t>& keys, int position) {
    runSize_ = position == nextPosition_ ? std::min(runSize_ * 2, LargestRun) : 1;
    std::vector<std::int64_t> wanted;
    int p = position;
    for (; p < static_cast<int>(keys.size()) && static_cast<int>(wanted.size()) < runSize_; ++p) {
        if (keys[p] != Hole)
            wanted.push_back(keys[p]);
    }
    nextPosition_ = p;

    if (rowSql_.isEmpty())
        BuildStatements();

    sqlite3_stmt* stmt;
    QByteArray list;
    if (wanted.size() == 1) {
        stmt = connection_->Reuse(rowStatement_, rowSql_);
        sqlite3_bind_int64(stmt, 1, wanted.front());
    } else {
        stmt = connection_->Reuse(runStatement_, runSql_);
        list.reserve(static_cast<qsizetype>(wanted.size()) * 8);
        list += '[';
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (i)
                list += ',';
            list += QByteArray::number(static_cast<qlonglong>(wanted[i]));
        }
        list += ']';
        sqlite3_bind_text(stmt, 1, list.constData(), static_cast<int>(list.size()), SQLITE_STATIC);
    }
    StatementReset reset(stmt);
    Fill(stmt);
}

void RowCache::Fill(sqlite3_stmt* stmt, size_t expectedRows) {
    cells_.clear();
    bytes_.clear();
    rowOf_.clear();
    lastRow_ = INT64_MIN;
    cells_.reserve(expectedRows * columns_);
    rowOf_.reserve(static_cast<qsizetype>(expectedRows));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const size_t row = rowOf_.size();
        rowOf_.insert(sqlite3_column_int64(stmt, 0), row);
        cells_.resize((row + 1) * columns_);
        Cell* cells = cells_.data() + row * columns_;
        for (size_t c = 0; c < columns_; ++c) {
            const int column = static_cast<int>(c) + 1;
            Cell& cell = cells[c];
            cell.type = sqlite3_column_type(stmt, column);
            if (cell.type == SQLITE_INTEGER) {
                cell.integer = sqlite3_column_int64(stmt, column);
            } else if (cell.type == SQLITE_FLOAT) {
                cell.real = sqlite3_column_double(stmt, column);
            } else if (cell.type == SQLITE_TEXT || cell.type == SQLITE_BLOB) {
                const void* data = cell.type == SQLITE_TEXT
                                       ? static_cast<const void*>(sqlite3_column_text(stmt, column))
                                       : sqlite3_column_blob(stmt, column);
                cell.offset = bytes_.size();
                cell.length = static_cast<std::uint32_t>(sqlite3_column_bytes(stmt, column));
                if (cell.length)
                    bytes_.append(static_cast<const char*>(data), cell.length);
            }
        }
    }
    connection_->Check(rc);
    generation_ = connection_->DataGeneration();
}

void RowCache::Preload(const std::vector<int>& fields, const QString& rowsClause, size_t expectedRows) {
    columnOf_.resize(names_.size(), -1);
    for (int index : fields) {
        if (columnOf_[index] < 0) {
            columnOf_[index] = 0;
            rowSql_.clear();
        }
    }
    if (rowSql_.isEmpty())
        BuildStatements();
    // The same rows in the table's own order: a plain scan, where the statement's order could
    // cost a look-up per row.
    sqlite3_stmt* stmt = connection_->Statement(QStringLiteral("SELECT %1 %2").arg(selectList_, rowsClause));
    StatementReset reset(stmt);
    Fill(stmt, expectedRows);
    // Every record is loaded: a walk from here on finds each one in place.
    nextPosition_ = static_cast<int>(expectedRows);
    runSize_ = LargestRun;
}

void RowCache::ForgetRow(std::int64_t rowId, bool wasCurrent) {
    if (!wasCurrent)
        return;
    rowOf_.remove(rowId);
    lastRow_ = INT64_MIN;
    generation_ = connection_->DataGeneration();
}

} // namespace zelvora
