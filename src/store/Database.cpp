#include "store/Database.h"

#include "store/Connection.h"
#include "store/FieldValues.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <algorithm>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace zelvora {

namespace {

QString declaredType(FieldType type) {
    switch (type) {
    case FieldType::Text:
        return QStringLiteral("VARCHAR");
    case FieldType::Memo:
        return QStringLiteral("TEXT");
    case FieldType::Integer:
        return QStringLiteral("SMALLINT");
    case FieldType::Long:
        return QStringLiteral("INTEGER");
    }
    return QStringLiteral("VARCHAR");
}

QString fieldDefinition(const QString& name, FieldType type, bool allowZeroLength) {
    QString sql = QuoteName(name) + QLatin1Char(' ') + declaredType(type);
    const bool isText = type == FieldType::Text || type == FieldType::Memo;
    if (isText)
        sql += QLatin1String(" COLLATE NOCASE");
    if (isText && !allowZeroLength) {
        // The constraint's name is what the engine reports when the rule is broken.
        sql +=
            QStringLiteral(" CONSTRAINT %1 CHECK (%2 <> '')")
                .arg(QuoteName(QStringLiteral("Field '%1' cannot be a zero-length string").arg(name)), QuoteName(name));
    }
    return sql;
}

[[noreturn]] void failFile(const QString& path, int code) {
    throw StoreError(QStringLiteral("%1: %2").arg(path, QString::fromUtf8(sqlite3_errstr(code))));
}

// What the header check learnt about the file.
enum class FileShape {
    Whole,
    // The header counts more pages than the file holds and a write-ahead log beside it may hold
    // the rest: what a crash leaves when it strikes while the log is being copied into the file,
    // after page 1 was written and before the file grew.
    TailInLog,
};

// A write-ahead log SQLite would read for a file of `pageSize` pages: its header is whole and
// at least one page follows it.
bool hasLogFor(const QString& path, quint32 pageSize) {
    QFile log(path + QStringLiteral("-wal"));
    if (!log.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 HeaderSize = 32;
    constexpr qint64 FrameHeaderSize = 24;
    const QByteArray header = log.read(HeaderSize);
    if (header.size() < HeaderSize || log.size() < HeaderSize + FrameHeaderSize + pageSize)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const quint32 magic = qFromBigEndian<quint32>(bytes);
    return (magic == 0x377f0682 || magic == 0x377f0683) && qFromBigEndian<quint32>(bytes + 8) == pageSize;
}

// Looks at the file's header before SQLite is given the file: SQLite would take an empty file
// for a new database and write to it, and it finds a truncated file out only when it reads a
// missing page.
FileShape examineFile(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw StoreError(QStringLiteral("Could not find file '%1'.").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw StoreError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        failFile(path, SQLITE_NOTADB);
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    quint32 pageSize = qFromBigEndian<quint16>(bytes + 16);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        failFile(path, SQLITE_CORRUPT);
    const quint32 changeCounter = qFromBigEndian<quint32>(bytes + 24);
    const quint32 pageCount = qFromBigEndian<quint32>(bytes + 28);
    const quint32 validFor = qFromBigEndian<quint32>(bytes + 92);
    if (changeCounter != validFor || pageCount == 0 || static_cast<qint64>(pageCount) * pageSize <= file.size())
        return FileShape::Whole;
    if (!hasLogFor(path, pageSize))
        failFile(path, SQLITE_CORRUPT);
    return FileShape::TailInLog;
}

// Whether the log really holds the pages the file lacks is SQLite's to say, after it has read
// the log: every page must be reachable and sound.
void checkPagesInLog(Connection& connection, const QString& path) {
    sqlite3_stmt* stmt = connection.Statement(QStringLiteral("PRAGMA quick_check(1)"));
    StatementReset reset(stmt);
    const int rc = sqlite3_step(stmt);
    connection.Check(rc);
    if (rc != SQLITE_ROW || qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok") != 0)
        failFile(path, SQLITE_CORRUPT);
}

// The first column of every row the statement gives for the bound texts.
QStringList firstColumn(Connection& connection, const QString& sql, std::initializer_list<QString> values) {
    sqlite3_stmt* stmt = connection.Statement(sql);
    StatementReset reset(stmt);
    int index = 0;
    for (const QString& value : values) {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(stmt, ++index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    QStringList texts;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        texts << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    connection.Check(rc);
    return texts;
}

void syncFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

QString QuoteName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

Database::Database(std::shared_ptr<Connection> connection, QString path)
    : connection_(std::move(connection)), path_(std::move(path)) {}

Database::~Database() = default;

std::unique_ptr<Database> Database::Create(const QString& path) {
    if (QFileInfo::exists(path))
        throw StoreError(QStringLiteral("Database '%1' already exists.").arg(path));
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    auto connection = std::make_shared<Connection>(db);
    if (rc != SQLITE_OK)
        connection->Fail();
    connection->Execute(
        QStringLiteral("PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"));
    return std::unique_ptr<Database>(new Database(std::move(connection), path));
}

std::unique_ptr<Database> Database::Open(const QString& path, const QString& requiredTable) {
    const FileShape shape = examineFile(path);
    const bool hadLog = QFileInfo::exists(path + QStringLiteral("-wal"));
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    auto connection = std::make_shared<Connection>(db);
    if (rc != SQLITE_OK)
        connection->Fail();
    // Closing the last connection copies the write-ahead log into the file and deletes it; a file
    // refused below keeps the log it came with. A log SQLite made itself goes again on close.
    if (hadLog)
        sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    if (sqlite3_db_readonly(db, "main") == 1)
        failFile(path, SQLITE_READONLY);
    sqlite3_busy_timeout(db, 2000);
    connection->Execute(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE;"));
    // Reading the schema makes SQLite look at the file; nothing has been written yet.
    std::unique_ptr<Database> database(new Database(connection, path));
    if (shape == FileShape::TailInLog)
        checkPagesInLog(*connection, path);
    if (!requiredTable.isEmpty() && !database->HasTable(requiredTable))
        throw StoreError(QStringLiteral("%1: the file holds no table '%2'.").arg(path, requiredTable));
    if (hadLog)
        sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    connection->Execute(
        QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA cache_size=-65536;"));
    return database;
}

bool Database::IsOpen() const {
    return connection_->IsOpen();
}

void Database::Close() {
    connection_->Close();
}

void Database::Execute(const QString& sql) {
    connection_->Execute(sql);
}

void Database::CompactInto(const QString& destination) {
    sqlite3_stmt* stmt = connection_->Statement(QStringLiteral("VACUUM INTO ?1"));
    StatementReset reset(stmt);
    const QByteArray target = QFile::encodeName(destination);
    sqlite3_bind_text(stmt, 1, target.constData(), static_cast<int>(target.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(stmt) != SQLITE_DONE)
        connection_->Fail();
    syncFile(destination);
}

void Database::BeginTrans() {
    connection_->Execute(QStringLiteral("BEGIN"));
}
void Database::CommitTrans() {
    connection_->Execute(QStringLiteral("COMMIT"));
}
void Database::Rollback() {
    connection_->Execute(QStringLiteral("ROLLBACK"));
}

void Database::CreateTable(const QString& table, const QString& firstField, FieldType type, bool allowZeroLength) {
    connection_->Execute(QStringLiteral("CREATE TABLE %1 (%2)")
                             .arg(QuoteName(table), fieldDefinition(firstField, type, allowZeroLength)));
    connection_->SchemaChanged();
}

bool Database::HasTable(const QString& table) const {
    sqlite3_stmt* stmt = connection_->Statement(
        QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type='table' AND name=?1 COLLATE NOCASE"));
    StatementReset reset(stmt);
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(stmt, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(stmt);
    connection_->Check(rc);
    return rc == SQLITE_ROW;
}

std::vector<FieldInfo> Database::Fields(const QString& table) const {
    std::vector<FieldInfo> fields = connection_->Fields(table);
    if (fields.empty())
        throw StoreError(QStringLiteral("no such table: %1").arg(table));
    return fields;
}

void Database::AddField(const QString& table, const QString& name, FieldType type, bool allowZeroLength) {
    connection_->Execute(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                             .arg(QuoteName(table), fieldDefinition(name, type, allowZeroLength)));
    connection_->SchemaChanged();
}

void Database::DeleteField(const QString& table, const QString& name) {
    // SQLite refuses to drop a column that an index uses, so the look-up indexes holding it go
    // first.
    const QStringList indexes =
        firstColumn(*connection_,
                    QStringLiteral("SELECT DISTINCT list.name FROM pragma_index_list(?1) AS list, "
                                   "pragma_index_info(list.name) AS info "
                                   "WHERE list.origin = 'c' AND info.name = ?2 COLLATE NOCASE"),
                    {table, name});
    for (const QString& index : indexes)
        connection_->Execute(QStringLiteral("DROP INDEX %1").arg(QuoteName(index)));
    connection_->Execute(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(QuoteName(table), QuoteName(name)));
    connection_->SchemaChanged();
}

QString Database::indexName(const QString& table, const QString& field) {
    return QStringLiteral("%1 by %2").arg(table.toLower(), field.toLower());
}

void Database::IndexField(const QString& table, const QString& field, const QString& carried) {
    const QString name = indexName(table, field);
    QStringList columns{field};
    if (!carried.isEmpty())
        columns << carried;
    // The same index made by an earlier version may hold other columns; it takes this shape.
    const QStringList existing =
        firstColumn(*connection_, QStringLiteral("SELECT name FROM pragma_index_info(?1) ORDER BY seqno"), {name});
    if (existing.join(QLatin1Char(',')).compare(columns.join(QLatin1Char(',')), Qt::CaseInsensitive) == 0)
        return;
    QStringList quoted;
    for (const QString& column : std::as_const(columns))
        quoted << QuoteName(column);
    connection_->Execute(QStringLiteral("DROP INDEX IF EXISTS %1").arg(QuoteName(name)));
    connection_->Execute(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                             .arg(QuoteName(name), QuoteName(table), quoted.join(QLatin1String(", "))));
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& tableOrSql) {
    return std::make_unique<Recordset>(connection_, tableOrSql);
}

namespace {

QString keyedRecord(const QString& table, const QString& keyField, bool last) {
    return QStringLiteral("SELECT rowid FROM %1 WHERE %2=?1 ORDER BY rowid %3 LIMIT 1")
        .arg(QuoteName(table), QuoteName(keyField), last ? QStringLiteral("DESC") : QStringLiteral("ASC"));
}

QVariant columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                                          sqlite3_column_bytes(stmt, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                                   sqlite3_column_bytes(stmt, column)));
    default:
        return {};
    }
}

} // namespace

const Database::RecordShape& Database::recordShape(const QString& key, const QString& table, const QStringList& fields,
                                                   const std::function<QString(const QStringList& columns)>& sql) {
    if (shapesGeneration_ != connection_->FieldsGeneration()) {
        shapes_.clear();
        shapesGeneration_ = connection_->FieldsGeneration();
    }
    if (const auto known = shapes_.constFind(key); known != shapes_.constEnd())
        return *known;
    const std::vector<FieldInfo> infos = Fields(table);
    RecordShape shape;
    QStringList columns;
    for (const QString& name : fields) {
        const auto info = std::find_if(infos.begin(), infos.end(), [&](const FieldInfo& field) {
            return field.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (info == infos.end())
            throw StoreError(
                QStringLiteral("Item not found in this collection: no field '%1' in %2.").arg(name, table));
        shape.fields.push_back(*info);
        columns << QuoteName(info->name);
    }
    shape.sql = sql(columns);
    return shapes_[key] = std::move(shape);
}

std::optional<QVariantHash> Database::ReadRecord(const QString& table, const QString& keyField, const QVariant& key,
                                                 const QStringList& fields, bool last) {
    if (key.isNull())
        return std::nullopt;
    const QChar separator(u'\n');
    const RecordShape& shape =
        recordShape(QStringLiteral("read") + separator + table + separator + keyField + separator +
                        (last ? QStringLiteral("last") : QStringLiteral("first")) + separator + fields.join(separator),
                    table, fields, [&](const QStringList& columns) {
                        return QStringLiteral("SELECT %1 FROM %2 WHERE rowid=(%3)")
                            .arg(columns.join(QLatin1Char(',')), QuoteName(table), keyedRecord(table, keyField, last));
                    });
    sqlite3_stmt* stmt = connection_->Statement(shape.sql);
    StatementReset reset(stmt);
    BindValue(stmt, 1, key);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW) {
        connection_->Check(rc);
        return std::nullopt;
    }
    QVariantHash record;
    for (int i = 0; i < fields.size(); ++i)
        record.insert(fields[i], columnValue(stmt, i));
    return record;
}

namespace {

void bindAll(sqlite3_stmt* stmt, const QVariantList& parameters) {
    for (int i = 0; i < parameters.size(); ++i)
        BindValue(stmt, i + 1, parameters[i]);
}

} // namespace

int Database::Execute(const QString& sql, const QVariantList& parameters) {
    sqlite3_stmt* stmt = connection_->Statement(sql);
    StatementReset reset(stmt);
    bindAll(stmt, parameters);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        connection_->Check(rc);
    connection_->DataChanged();
    return sqlite3_changes(connection_->Handle());
}

void Database::Select(const QString& sql, const QVariantList& parameters,
                      const std::function<void(const std::vector<QVariant>& values)>& row) {
    sqlite3_stmt* stmt = connection_->Statement(sql);
    StatementReset reset(stmt);
    bindAll(stmt, parameters);
    std::vector<QVariant> values(static_cast<size_t>(sqlite3_column_count(stmt)));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = columnValue(stmt, static_cast<int>(i));
        row(values);
    }
    if (rc != SQLITE_DONE)
        connection_->Check(rc);
}

bool Database::WriteRecord(const QString& table, const QString& keyField, const QVariant& key,
                           const QVariantHash& values) {
    return write(table, QStringLiteral("rowid=(%1)").arg(keyedRecord(table, keyField, false)), key, values);
}

bool Database::WriteRow(const QString& table, qlonglong rowid, const QVariantHash& values) {
    return write(table, QStringLiteral("rowid=?1"), rowid, values);
}

// Writes `values` into the record that `where` picks with `key` bound as ?1.
bool Database::write(const QString& table, const QString& where, const QVariant& key, const QVariantHash& values) {
    if (key.isNull() || values.isEmpty())
        return false;
    // In a fixed order, so that the same fields make the same statement, prepared once.
    QStringList names = values.keys();
    names.sort();
    const QChar separator(u'\n');
    const RecordShape& shape =
        recordShape(QStringLiteral("write") + separator + table + separator + where + separator + names.join(separator),
                    table, names, [&](const QStringList& columns) {
                        QStringList assignments;
                        for (qsizetype i = 0; i < columns.size(); ++i)
                            assignments << QStringLiteral("%1=?%2").arg(columns[i]).arg(i + 2);
                        return QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                            .arg(QuoteName(table), assignments.join(QLatin1Char(',')), where);
                    });
    sqlite3_stmt* stmt = connection_->Statement(shape.sql);
    StatementReset reset(stmt);
    BindValue(stmt, 1, key);
    for (qsizetype i = 0; i < names.size(); ++i)
        BindValue(stmt, static_cast<int>(i) + 2,
                  StoredValue(shape.fields[static_cast<size_t>(i)], values.value(names[i])));
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE)
        connection_->Check(rc);
    const bool written = sqlite3_changes(connection_->Handle()) > 0;
    connection_->DataChanged();
    return written;
}

Transaction::~Transaction() {
    if (done_ || !db_.IsOpen())
        return;
    try {
        db_.Rollback();
    } catch (const StoreError&) {
        // Nothing more can be done while unwinding; SQLite rolls back on close in any case.
    }
}

void Transaction::Commit() {
    db_.CommitTrans();
    done_ = true;
}

} // namespace zelvora
