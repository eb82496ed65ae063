#pragma once

#include "store/FieldType.h"

#include <QString>
#include <QStringList>
#include <QVariantHash>
#include <QVariantList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zelvora {

class Connection;
class Recordset;

// A catalogue database file. The rest of the program reaches the catalogue through the store's
// classes built on this one (GameStore, MergedRecords, the catalogue's start-up); nothing else
// talks to SQLite.
class Database {
public:
    // Makes a new, empty database file; refuses a path where a file already exists.
    static std::unique_ptr<Database> Create(const QString& path);

    // Opens an existing database read-write. The file is examined before anything is written to
    // it: a file that is not a database, is truncated, is read-only or lacks `requiredTable`
    // raises StoreError and is left exactly as it was, with its write-ahead log. A file whose
    // last pages are still only in its write-ahead log, as a crash can leave it, is opened.
    static std::unique_ptr<Database> Open(const QString& path, const QString& requiredTable = {});

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& Path() const { return path_; }
    bool IsOpen() const;

    // Releases the file. Recordsets opened on this database become unusable (their use raises
    // StoreError) but stay safe to destroy.
    void Close();

    void Execute(const QString& sql);
    // One statement with its parameters bound in order (?1, ?2, ...), prepared once for all the
    // calls that give the same text; the number of records it changed.
    int Execute(const QString& sql, const QVariantList& parameters);
    // Runs a SELECT with its parameters bound in order and gives `row` each row's values, in the
    // statement's column order: whole numbers as qlonglong, text as QString, nothing as null.
    void Select(const QString& sql, const QVariantList& parameters,
                const std::function<void(const std::vector<QVariant>& values)>& row);

    // Writes a compacted copy of the whole database to `destination`, which must not exist, and
    // flushes it to disk.
    void CompactInto(const QString& destination);

    void BeginTrans();
    void CommitTrans();
    void Rollback();

    // Table definitions. Field names compare without regard to case, as in SQL.
    void CreateTable(const QString& table, const QString& firstField, FieldType type, bool allowZeroLength);
    bool HasTable(const QString& table) const;
    std::vector<FieldInfo> Fields(const QString& table) const;
    void AddField(const QString& table, const QString& name, FieldType type, bool allowZeroLength);
    void DeleteField(const QString& table, const QString& name);

    // A look-up index that speeds up FindFirst and FindLast on one field. It is not a field: it
    // never shows in Fields() and is dropped with its field. A `carried` field kept in the index
    // beside it lets a query that orders by the field and reads the carried one use the index
    // alone; an index of the field made earlier with other columns takes this shape.
    void IndexField(const QString& table, const QString& field, const QString& carried = {});

    // A keyset recordset over a table name ("ROMS") or a single-table SELECT statement, in the
    // statement's order; on its first record.
    std::unique_ptr<Recordset> OpenRecordset(const QString& tableOrSql);

    // One record by a field's value, bound as a parameter and compared as the field compares
    // (text fields without regard to case): the first such record of the table, or the last;
    // nothing when none has it. A read gives the named fields, null for one that holds nothing;
    // a write stores `values` (field -> value, converted as Recordset::SetValue converts them) in
    // one statement and is false when no record has the key.
    std::optional<QVariantHash> ReadRecord(const QString& table, const QString& keyField, const QVariant& key,
                                           const QStringList& fields, bool last = false);
    bool WriteRecord(const QString& table, const QString& keyField, const QVariant& key, const QVariantHash& values);
    // The same write into the record of a rowid, as Select reads it.
    bool WriteRow(const QString& table, qlonglong rowid, const QVariantHash& values);

private:
    // A record read's or write's statement and the fields it names, built once per shape.
    struct RecordShape {
        QString sql;
        std::vector<FieldInfo> fields;
    };

    Database(std::shared_ptr<Connection> connection, QString path);
    static QString indexName(const QString& table, const QString& field);
    bool write(const QString& table, const QString& where, const QVariant& key, const QVariantHash& values);
    const RecordShape& recordShape(const QString& key, const QString& table, const QStringList& fields,
                                   const std::function<QString(const QStringList& columns)>& sql);

    std::shared_ptr<Connection> connection_;
    QString path_;
    QHash<QString, RecordShape> shapes_;
    std::uint64_t shapesGeneration_ = 0;
};

// Groups many writes into one commit; rolls back unless Commit() was called.
class Transaction {
public:
    explicit Transaction(Database& db) : db_(db) { db_.BeginTrans(); }
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void Commit();

private:
    Database& db_;
    bool done_ = false;
};

} // namespace zelvora
