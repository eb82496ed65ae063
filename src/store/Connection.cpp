#include "store/Connection.h"

#include "store/StoreError.h"

#include <sqlite3.h>

namespace zelvora {

namespace {

StoreError::Kind KindOf(int rc) {
    return (rc & 0xff) == SQLITE_FULL ? StoreError::Kind::Full : StoreError::Kind::Failure;
}

} // namespace

Connection::~Connection() {
    Close();
}

sqlite3* Connection::Handle() const {
    if (!db_)
        throw StoreError(QStringLiteral("Object invalid or no longer set."));
    return db_;
}

void Connection::Close() {
    if (!db_)
        return;
    finalizeAll();
    sqlite3_close(db_);
    db_ = nullptr;
}

void Connection::finalizeAll() {
    for (sqlite3_stmt* stmt : std::as_const(statements_))
        sqlite3_finalize(stmt);
    statements_.clear();
    ++statementEpoch_;
}

sqlite3_stmt* Connection::Statement(const QString& sql) {
    sqlite3* db = Handle();
    if (auto it = statements_.constFind(sql); it != statements_.constEnd()) {
        sqlite3_reset(*it);
        sqlite3_clear_bindings(*it);
        return *it;
    }
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(db, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                                      &stmt, nullptr);
    if (rc != SQLITE_OK)
        Fail();
    if (!stmt)
        throw StoreError(QStringLiteral("Invalid SQL statement: the text holds no statement."));
    statements_.insert(sql, stmt);
    return stmt;
}

sqlite3_stmt* Connection::Reuse(CachedStatement& kept, const QString& sql, bool clearBindings) {
    if (kept.stmt && kept.epoch == statementEpoch_ && kept.sql == sql) {
        sqlite3_reset(kept.stmt);
        if (clearBindings)
            sqlite3_clear_bindings(kept.stmt);
        return kept.stmt;
    }
    kept.stmt = Statement(sql);
    kept.epoch = statementEpoch_;
    kept.sql = sql;
    return kept.stmt;
}

void Connection::Execute(const QString& sql) {
    sqlite3* db = Handle();
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(message);
        throw StoreError(text, KindOf(rc));
    }
    // The statement may have changed a table's shape.
    fields_.clear();
    ++fieldsGeneration_;
    DataChanged();
}

namespace {

FieldType typeFromDeclaration(const QString& declared) {
    const QString type = declared.trimmed().toUpper();
    if (type == QLatin1String("SMALLINT"))
        return FieldType::Integer;
    if (type.contains(QLatin1String("INT")))
        return FieldType::Long;
    if (type == QLatin1String("TEXT") || type.contains(QLatin1String("CLOB")))
        return FieldType::Memo;
    return FieldType::Text;
}

} // namespace

const std::vector<FieldInfo>& Connection::Fields(const QString& table) {
    if (const auto known = fields_.constFind(table); known != fields_.constEnd())
        return *known;
    sqlite3_stmt* stmt = Statement(QStringLiteral("SELECT name, type FROM pragma_table_info(?1)"));
    StatementReset reset(stmt);
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(stmt, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    std::vector<FieldInfo> fields;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        FieldInfo info;
        info.name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        info.type = typeFromDeclaration(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1))));
        fields.push_back(std::move(info));
    }
    Check(rc);
    return fields_[table] = std::move(fields);
}

void Connection::Fail() const {
    sqlite3* db = Handle();
    throw StoreError(QString::fromUtf8(sqlite3_errmsg(db)), KindOf(sqlite3_errcode(db)));
}

void Connection::Check(int rc) const {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        Fail();
}

void Connection::SchemaChanged() {
    // Statements prepared against the old table shape would be re-prepared by SQLite anyway;
    // dropping them keeps the cache from growing with every upgrade step.
    finalizeAll();
    fields_.clear();
    ++fieldsGeneration_;
    ++schemaGeneration_;
    ++dataGeneration_;
}

StatementReset::~StatementReset() {
    if (stmt_)
        sqlite3_reset(stmt_);
}

} // namespace zelvora
