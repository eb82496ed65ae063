#pragma once

#include "store/FieldType.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zelvora {

// A statement kept at hand by its user, so that a statement used over and over skips even the
// connection's look-up by text. It stays good until the connection's statement epoch moves on.
struct CachedStatement {
    sqlite3_stmt* stmt = nullptr;
    std::uint64_t epoch = UINT64_MAX;
    QString sql;
};

// An open SQLite connection shared by a database and the recordsets opened on it. It owns every
// prepared statement, so closing it finalizes them all and leaves the recordsets unusable rather
// than dangling.
class Connection {
public:
    explicit Connection(sqlite3* db) : db_(db) {}
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool IsOpen() const { return db_ != nullptr; }
    sqlite3* Handle() const;
    void Close();

    // A cached statement, reset and with its bindings cleared.
    sqlite3_stmt* Statement(const QString& sql);
    // The kept statement, reset, while it is still prepared for `sql`; else `sql` from the cache.
    // A caller that binds every parameter again may leave the bindings alone.
    sqlite3_stmt* Reuse(CachedStatement& kept, const QString& sql, bool clearBindings = true);
    void Execute(const QString& sql);

    // The table's fields in table order; empty when there is no such table. Kept until the
    // schema changes, as a loop of writes asks for them on every write.
    const std::vector<FieldInfo>& Fields(const QString& table);

    // Raises the connection's current error text.
    [[noreturn]] void Fail() const;
    void Check(int rc) const;

    // Counters that let recordsets know their cached rows or field lists went stale.
    std::uint64_t DataGeneration() const { return dataGeneration_; }
    std::uint64_t SchemaGeneration() const { return schemaGeneration_; }
    void DataChanged() { ++dataGeneration_; }
    // Changes whenever cached statements are finalized; a statement pointer kept from an
    // earlier epoch is gone.
    std::uint64_t StatementEpoch() const { return statementEpoch_; }
    // Changes whenever the fields Fields() gave may have changed.
    std::uint64_t FieldsGeneration() const { return fieldsGeneration_; }
    void SchemaChanged();

private:
    void finalizeAll();

    sqlite3* db_;
    QHash<QString, sqlite3_stmt*> statements_;
    QHash<QString, std::vector<FieldInfo>> fields_;
    std::uint64_t dataGeneration_ = 0;
    std::uint64_t schemaGeneration_ = 0;
    std::uint64_t statementEpoch_ = 0;
    std::uint64_t fieldsGeneration_ = 0;
};

// Resets a statement when it goes out of scope, so no statement stays active between calls and
// holds a read lock on the file.
class StatementReset {
public:
    explicit StatementReset(sqlite3_stmt* stmt) : stmt_(stmt) {}
    ~StatementReset();
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;

private:
    sqlite3_stmt* stmt_;
};

} // namespace zelvora
