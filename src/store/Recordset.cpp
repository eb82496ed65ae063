#include "store/Recordset.h"

#include "store/Connection.h"
#include "store/StoreError.h"

#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace zelvora {

namespace {

constexpr std::int64_t Hole = INT64_MIN;

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The SQL text's top-level words (outside quotes, brackets and parentheses) with their offsets,
// enough to find FROM, its table, ORDER BY and LIMIT in a single-table SELECT.
struct Word {
    QString text;
    qsizetype start;
    qsizetype end;
};

std::vector<Word> topLevelWords(const QString& sql) {
    std::vector<Word> words;
    int depth = 0;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[') || c == QLatin1Char('`')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            const qsizetype start = i++;
            while (i < n && sql[i] != close)
                ++i;
            ++i;
            if (depth == 0)
                words.push_back({sql.mid(start, i - start), start, std::min(i, n)});
        } else if (c == QLatin1Char('(')) {
            ++depth;
            ++i;
        } else if (c == QLatin1Char(')')) {
            --depth;
            ++i;
        } else if (isWordChar(c)) {
            const qsizetype start = i;
            while (i < n && (isWordChar(sql[i]) || sql[i] == QLatin1Char('.')))
                ++i;
            if (depth == 0)
                words.push_back({sql.mid(start, i - start), start, i});
        } else {
            ++i;
        }
    }
    return words;
}

QString unquoteName(const QString& word) {
    if (word.size() >= 2 &&
        (word.front() == QLatin1Char('[') || word.front() == QLatin1Char('"') || word.front() == QLatin1Char('`')))
        return word.mid(1, word.size() - 2);
    return word;
}

// Turns "SELECT ... FROM table ..." into the statement that lists the matching row ids in the
// same order. Ties of an ORDER BY, and a statement without one, fall back to the table's own
// order, so the keyset never depends on which index SQLite happens to scan.
QString keysetStatement(const QString& tableOrSql, QString* table, QString* rowsClause) {
    const QString text = tableOrSql.trimmed();
    const std::vector<Word> words = topLevelWords(text);
    const bool isSelect =
        !words.empty() && words.front().text.compare(QLatin1String("SELECT"), Qt::CaseInsensitive) == 0;
    if (!isSelect) {
        if (words.size() != 1)
            throw StoreError(QStringLiteral("Invalid SQL statement; expected a table name or 'SELECT': %1").arg(text));
        *table = unquoteName(text);
        *rowsClause = QStringLiteral("FROM %1").arg(QuoteName(*table));
        return QStringLiteral("SELECT rowid ") + *rowsClause + QStringLiteral(" ORDER BY rowid");
    }
    qsizetype fromAt = -1;
    qsizetype orderAt = -1;
    bool ordered = false;
    for (size_t w = 0; w < words.size(); ++w) {
        const QString& word = words[w].text;
        if (fromAt < 0 && word.compare(QLatin1String("FROM"), Qt::CaseInsensitive) == 0 && w + 1 < words.size()) {
            fromAt = static_cast<qsizetype>(w);
            *table = unquoteName(words[w + 1].text);
        } else if (word.compare(QLatin1String("ORDER"), Qt::CaseInsensitive) == 0) {
            ordered = true;
            orderAt = words[w].start;
        } else if (word.compare(QLatin1String("LIMIT"), Qt::CaseInsensitive) == 0 ||
                   word.compare(QLatin1String("UNION"), Qt::CaseInsensitive) == 0 ||
                   word.compare(QLatin1String("JOIN"), Qt::CaseInsensitive) == 0) {
            throw StoreError(
                QStringLiteral("Only single-table SELECT statements can be opened as recordsets: %1").arg(text));
        }
    }
    if (fromAt < 0)
        throw StoreError(QStringLiteral("Syntax error in query: no FROM clause: %1").arg(text));
    const QString rowId = QuoteName(*table) + QLatin1String(".rowid");
    const qsizetype fromStart = words[fromAt].start;
    *rowsClause = ordered ? text.mid(fromStart, orderAt - fromStart) : text.mid(fromStart);
    const QString order = ordered ? QStringLiteral(", ") + rowId : QStringLiteral(" ORDER BY ") + rowId;
    return QStringLiteral("SELECT ") + rowId + QLatin1Char(' ') + text.mid(fromStart) + order;
}

void bindValue(sqlite3_stmt* stmt, int index, const QVariant& value) {
    if (value.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::UShort:
        sqlite3_bind_int64(stmt, index, value.toLongLong());
        return;
    case QMetaType::Bool:
        sqlite3_bind_int64(stmt, index, value.toBool() ? -1 : 0);
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, value.toDouble());
        return;
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

const QString* heldText(const QVariant& value) {
    return value.typeId() == QMetaType::QString ? static_cast<const QString*>(value.constData()) : nullptr;
}

// The value as the field's type stores it; what cannot be converted is refused here rather than
// stored as something else.
QVariant storedValue(const FieldInfo& field, const QVariant& value) {
    if (value.isNull())
        return {};
    if (field.type == FieldType::Text || field.type == FieldType::Memo) {
        if (value.typeId() == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return value.toString();
    }
    qlonglong number = 0;
    bool ok = true;
    switch (value.typeId()) {
    case QMetaType::Bool:
        number = value.toBool() ? -1 : 0;
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        ok = std::isfinite(d) && std::abs(d) < 9.0e18;
        number = ok ? std::llround(d) : 0;
        break;
    }
    case QMetaType::QString:
        number = value.toString().trimmed().toLongLong(&ok);
        break;
    default:
        number = value.toLongLong(&ok);
        break;
    }
    if (!ok)
        throw StoreError(QStringLiteral("Data type conversion error: '%1' is not a number for field '%2'.")
                             .arg(value.toString(), field.name));
    const qlonglong limit = field.type == FieldType::Integer ? 32767 : 2147483647;
    if (number > limit || number < -limit - 1)
        throw StoreError(
            QStringLiteral("Numeric field overflow: %1 does not fit field '%2'.").arg(number).arg(field.name));
    return QVariant(number);
}

} // namespace

Recordset::Recordset(std::shared_ptr<Connection> connection, const QString& tableOrSql)
    : connection_(std::move(connection)) {
    const QString sql = keysetStatement(tableOrSql, &table_, &rowsClause_);
    sqlite3_stmt* stmt = connection_->statement(sql);
    StatementReset reset(stmt);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        keys_.push_back(sqlite3_column_int64(stmt, 0));
    connection_->check(rc);
    liveCount_ = static_cast<int>(keys_.size());
    refreshFields();
}

Recordset::~Recordset() = default;

Connection& Recordset::connection() const {
    if (closed_ || !connection_->isOpen())
        throw StoreError(QStringLiteral("Object invalid or no longer set."));
    return *connection_;
}

void Recordset::Close() {
    closed_ = true;
    keys_.clear();
    positions_.clear();
    chunk_ = {};
}

bool Recordset::IsOpen() const {
    return !closed_ && connection_->isOpen();
}

bool Recordset::IsEOF() const {
    return position_ >= static_cast<int>(keys_.size());
}

bool Recordset::IsBOF() const {
    return position_ < 0 || liveCount_ == 0;
}

int Recordset::AbsolutePosition() const {
    if (IsEOF() || position_ < 0 || currentDeleted_)
        return -1;
    return position_;
}

void Recordset::refreshFields() const {
    const std::uint64_t generation = connection_->schemaGeneration();
    if (generation == fieldsGeneration_)
        return;
    std::vector<FieldInfo> fields = connection().fields(table_);
    if (fields.empty())
        throw StoreError(QStringLiteral("no such table: %1").arg(table_));
    fields_ = std::move(fields);
    fieldByName_.clear();
    fieldByFoldedName_.clear();
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
        fieldByName_.insert(fields_[i].name, i);
        fieldByFoldedName_.insert(fields_[i].name.toLower(), i);
    }
    fieldsGeneration_ = generation;
    chunk_ = {};
    writeStatements_.clear();
}

int Recordset::FieldCount() const {
    refreshFields();
    return static_cast<int>(fields_.size());
}

QString Recordset::FieldName(int index) const {
    refreshFields();
    if (index < 0 || index >= static_cast<int>(fields_.size()))
        throw StoreError(QStringLiteral("Item not found in this collection: field %1.").arg(index));
    return fields_[index].name;
}

FieldType Recordset::FieldTypeOf(int index) const {
    FieldName(index);
    return fields_[index].type;
}

int Recordset::FieldIndex(const QString& field) const {
    connection();
    refreshFields();
    // Callers mostly spell a field as the table does; only the others pay for case folding.
    if (const auto exact = fieldByName_.constFind(field); exact != fieldByName_.constEnd())
        return *exact;
    const auto it = fieldByFoldedName_.constFind(field.toLower());
    if (it == fieldByFoldedName_.constEnd())
        throw StoreError(QStringLiteral("Item not found in this collection: no field '%1' in %2.").arg(field, table_));
    return *it;
}

void Recordset::checkIndex(int field) const {
    connection();
    refreshFields();
    if (field < 0 || field >= static_cast<int>(fields_.size()))
        throw StoreError(QStringLiteral("Item not found in this collection: field %1.").arg(field));
}

std::int64_t Recordset::currentRowId() const {
    connection();
    if (currentDeleted_)
        throw StoreError(QStringLiteral("Record is deleted."));
    if (IsEOF() || position_ < 0 || keys_[position_] == Hole)
        throw StoreError(QStringLiteral("No current record."));
    return keys_[position_];
}

sqlite3_stmt* Recordset::statement(CachedStatement& cache, const QString& sql) const {
    Connection& conn = connection();
    if (cache.stmt && cache.epoch == conn.statementEpoch() && cache.sql == sql) {
        sqlite3_reset(cache.stmt);
        sqlite3_clear_bindings(cache.stmt);
        return cache.stmt;
    }
    cache.stmt = conn.statement(sql);
    cache.epoch = conn.statementEpoch();
    cache.sql = sql;
    return cache.stmt;
}

const Recordset::Cell& Recordset::currentCell(int field) const {
    const std::int64_t rowId = currentRowId();
    refreshFields();
    if (chunk_.generation != connection_->dataGeneration()) {
        chunk_.rowOf.clear();
        chunk_.lastRow = INT64_MIN;
        chunk_.generation = connection_->dataGeneration();
    }
    const bool loaded = static_cast<size_t>(field) < chunk_.columnOf.size() && chunk_.columnOf[field] >= 0;
    if (loaded && chunk_.lastRow == rowId)
        return chunk_.cells[chunk_.lastSlot * chunk_.columns + static_cast<size_t>(chunk_.columnOf[field])];
    auto it = loaded ? chunk_.rowOf.constFind(rowId) : chunk_.rowOf.constEnd();
    if (it == chunk_.rowOf.constEnd()) {
        if (!loaded) {
            chunk_.columnOf.resize(fields_.size(), -1);
            chunk_.columnOf[field] = 0;
            chunk_.rowSql.clear();
        }
        loadChunk();
        it = chunk_.rowOf.constFind(rowId);
        if (it == chunk_.rowOf.constEnd())
            throw StoreError(QStringLiteral("Record is deleted."));
    }
    chunk_.lastRow = rowId;
    chunk_.lastSlot = *it;
    return chunk_.cells[*it * chunk_.columns + static_cast<size_t>(chunk_.columnOf[field])];
}

void Recordset::buildChunkStatements() const {
    const QString table = QuoteName(table_);
    QString columns = table + QLatin1String(".rowid");
    int count = 0;
    for (size_t f = 0; f < chunk_.columnOf.size(); ++f) {
        if (chunk_.columnOf[f] >= 0) {
            chunk_.columnOf[f] = count++;
            columns += QLatin1Char(',') + table + QLatin1Char('.') + QuoteName(fields_[f].name);
        }
    }
    chunk_.columns = static_cast<size_t>(count);
    chunk_.rowSql = QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?1").arg(columns, table);
    chunk_.selectList = columns;
    chunk_.runSql =
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid IN (SELECT value FROM json_each(?1))").arg(columns, table);
}

void Recordset::loadChunk() const {
    constexpr int Largest = 256;
    chunk_.size = position_ == chunk_.nextPosition ? std::min(chunk_.size * 2, Largest) : 1;
    std::vector<std::int64_t> wanted;
    int p = position_;
    for (; p < static_cast<int>(keys_.size()) && static_cast<int>(wanted.size()) < chunk_.size; ++p) {
        if (keys_[p] != Hole)
            wanted.push_back(keys_[p]);
    }
    chunk_.nextPosition = p;

    if (chunk_.rowSql.isEmpty())
        buildChunkStatements();

    sqlite3_stmt* stmt;
    QByteArray list;
    if (wanted.size() == 1) {
        stmt = statement(rowStatement_, chunk_.rowSql);
        sqlite3_bind_int64(stmt, 1, wanted.front());
    } else {
        stmt = statement(chunkStatement_, chunk_.runSql);
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
    fillChunk(stmt);
}

void Recordset::fillChunk(sqlite3_stmt* stmt, size_t expectedRows) const {
    chunk_.cells.clear();
    chunk_.bytes.clear();
    chunk_.rowOf.clear();
    chunk_.lastRow = INT64_MIN;
    chunk_.cells.reserve(expectedRows * chunk_.columns);
    chunk_.rowOf.reserve(static_cast<qsizetype>(expectedRows));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const size_t row = chunk_.rowOf.size();
        chunk_.rowOf.insert(sqlite3_column_int64(stmt, 0), row);
        chunk_.cells.resize((row + 1) * chunk_.columns);
        Cell* cells = chunk_.cells.data() + row * chunk_.columns;
        for (size_t c = 0; c < chunk_.columns; ++c) {
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
                cell.offset = chunk_.bytes.size();
                cell.length = static_cast<std::uint32_t>(sqlite3_column_bytes(stmt, column));
                if (cell.length)
                    chunk_.bytes.append(static_cast<const char*>(data), cell.length);
            }
        }
    }
    connection_->check(rc);
    chunk_.generation = connection_->dataGeneration();
}

void Recordset::Preload(const QStringList& fields) {
    std::vector<int> indexes;
    for (const QString& field : fields)
        indexes.push_back(FieldIndex(field));
    chunk_.columnOf.resize(fields_.size(), -1);
    for (int index : indexes) {
        if (chunk_.columnOf[index] < 0) {
            chunk_.columnOf[index] = 0;
            chunk_.rowSql.clear();
        }
    }
    if (chunk_.rowSql.isEmpty())
        buildChunkStatements();
    // The same rows in the table's own order: a plain scan, where the statement's order could
    // cost a look-up per row.
    sqlite3_stmt* stmt = connection().statement(QStringLiteral("SELECT %1 %2").arg(chunk_.selectList, rowsClause_));
    StatementReset reset(stmt);
    fillChunk(stmt, keys_.size());
    // Every record is loaded: a walk from here on finds each one in place.
    chunk_.nextPosition = static_cast<int>(keys_.size());
    chunk_.size = 256;
}

// After a write of our own, only the written record's cached columns are stale; the rest of the
// loaded run stays good unless something else changed the data meanwhile.
void Recordset::forgetRow(std::int64_t rowId, bool cacheWasCurrent) {
    if (!cacheWasCurrent)
        return;
    chunk_.rowOf.remove(rowId);
    chunk_.lastRow = INT64_MIN;
    chunk_.generation = connection_->dataGeneration();
}

QVariant Recordset::Value(const QString& field) const {
    return Value(FieldIndex(field));
}

QVariant Recordset::Value(int field) const {
    checkIndex(field);
    if (editMode_ != EditMode::None && field < static_cast<int>(pending_.size()) && pending_[field])
        return *pending_[field];
    if (editMode_ == EditMode::Add)
        return {};
    const Cell& cell = currentCell(field);
    switch (cell.type) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(cell.integer));
    case SQLITE_FLOAT:
        return QVariant(cell.real);
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(chunk_.bytes.data() + cell.offset, static_cast<qsizetype>(cell.length)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(chunk_.bytes.data() + cell.offset, static_cast<qsizetype>(cell.length)));
    default:
        return {};
    }
}

void Recordset::SetValue(const QString& field, const QVariant& value) {
    SetValue(FieldIndex(field), value);
}

void Recordset::SetValue(int field, const QVariant& value) {
    checkIndex(field);
    if (editMode_ == EditMode::None)
        throw StoreError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    pending_.resize(fields_.size());
    pending_[field] = storedValue(fields_[field], value);
}

void Recordset::leaveRecord() {
    // Moving away from a record abandons its unsaved edit, as a dynaset does.
    editMode_ = EditMode::None;
    pending_.clear();
    currentDeleted_ = false;
    noMatch_ = false;
}

void Recordset::stepForward(int from) {
    const int n = static_cast<int>(keys_.size());
    position_ = std::max(from, 0);
    while (position_ < n && keys_[position_] == Hole)
        ++position_;
}

void Recordset::stepBackward(int from) {
    position_ = std::min(from, static_cast<int>(keys_.size()) - 1);
    while (position_ >= 0 && keys_[position_] == Hole)
        --position_;
}

std::int64_t Recordset::Bookmark() const {
    if (AbsolutePosition() < 0)
        return 0;
    return keys_[position_];
}

bool Recordset::MoveToBookmark(std::int64_t bookmark) {
    connection();
    const auto it = positions().constFind(bookmark);
    if (bookmark == 0 || it == positions().constEnd())
        return false;
    leaveRecord();
    position_ = *it;
    return true;
}

void Recordset::MoveFirst() {
    connection();
    leaveRecord();
    stepForward(0);
}

void Recordset::MoveLast() {
    connection();
    leaveRecord();
    stepBackward(static_cast<int>(keys_.size()) - 1);
    if (position_ < 0)
        position_ = static_cast<int>(keys_.size());
}

void Recordset::MoveNext() {
    connection();
    if (IsEOF())
        throw StoreError(QStringLiteral("No current record."));
    const bool wasDeleted = currentDeleted_;
    leaveRecord();
    stepForward(wasDeleted ? position_ : position_ + 1);
}

void Recordset::MovePrevious() {
    connection();
    if (position_ < 0)
        throw StoreError(QStringLiteral("No current record."));
    leaveRecord();
    stepBackward(position_ - 1);
}

const QHash<std::int64_t, int>& Recordset::positions() const {
    if (!positionsBuilt_) {
        positions_.clear();
        positions_.reserve(static_cast<qsizetype>(keys_.size()));
        for (int i = 0; i < static_cast<int>(keys_.size()); ++i) {
            if (keys_[i] != Hole)
                positions_.insert(keys_[i], i);
        }
        positionsBuilt_ = true;
    }
    return positions_;
}

bool Recordset::find(const QString& field, const QVariant& value, bool last) {
    const int index = FieldIndex(field);
    int found = -1;
    if (!value.isNull()) {
        sqlite3_stmt* stmt = connection().statement(
            QStringLiteral("SELECT rowid FROM %1 WHERE %2=?1").arg(QuoteName(table_), QuoteName(fields_[index].name)));
        StatementReset reset(stmt);
        bindValue(stmt, 1, value);
        const QHash<std::int64_t, int>& keyPositions = positions();
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const auto it = keyPositions.constFind(sqlite3_column_int64(stmt, 0));
            if (it == keyPositions.constEnd())
                continue;
            if (found < 0 || (last ? *it > found : *it < found))
                found = *it;
        }
        connection_->check(rc);
    }
    if (found < 0) {
        noMatch_ = true;
        return false;
    }
    leaveRecord();
    position_ = found;
    return true;
}

bool Recordset::FindFirst(const QString& field, const QVariant& value) {
    return find(field, value, false);
}

bool Recordset::FindLast(const QString& field, const QVariant& value) {
    return find(field, value, true);
}

void Recordset::AddNew() {
    connection();
    refreshFields();
    editMode_ = EditMode::Add;
    pending_.assign(fields_.size(), std::nullopt);
}

void Recordset::Edit() {
    currentRowId();
    refreshFields();
    editMode_ = EditMode::Edit;
    pending_.assign(fields_.size(), std::nullopt);
}

void Recordset::CancelUpdate() {
    editMode_ = EditMode::None;
    pending_.clear();
}

QByteArray Recordset::writeKey() const {
    const size_t count = std::min(pending_.size(), fields_.size());
    QByteArray key(static_cast<qsizetype>(1 + (count + 7) / 8), '\0');
    key[0] = editMode_ == EditMode::Add ? 'A' : 'E';
    for (size_t i = 0; i < count; ++i) {
        if (pending_[i])
            key[static_cast<qsizetype>(1 + i / 8)] |= static_cast<char>(1 << (i % 8));
    }
    return key;
}

QString Recordset::writeSql() const {
    QStringList names;
    for (size_t i = 0; i < pending_.size() && i < fields_.size(); ++i) {
        if (pending_[i])
            names << QuoteName(fields_[i].name);
    }
    if (editMode_ == EditMode::Add) {
        if (names.isEmpty())
            return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(QuoteName(table_));
        QStringList slots;
        for (qsizetype i = 0; i < names.size(); ++i)
            slots << QStringLiteral("?%1").arg(i + 1);
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(QuoteName(table_), names.join(QLatin1Char(',')), slots.join(QLatin1Char(',')));
    }
    QStringList assignments;
    for (qsizetype i = 0; i < names.size(); ++i)
        assignments << QStringLiteral("%1=?%2").arg(names[i]).arg(i + 1);
    return QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?%3")
        .arg(QuoteName(table_), assignments.join(QLatin1Char(',')))
        .arg(names.size() + 1);
}

void Recordset::Update() {
    Connection& conn = connection();
    if (editMode_ == EditMode::None)
        throw StoreError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    std::vector<const QVariant*>& values = writeValues_;
    values.clear();
    qsizetype textRoom = 0;
    for (size_t i = 0; i < pending_.size() && i < fields_.size(); ++i) {
        if (pending_[i]) {
            values.push_back(&*pending_[i]);
            if (const QString* text = heldText(*pending_[i]))
                textRoom += utf8_.requiredSpace(text->size());
        }
    }
    const std::int64_t rowId = editMode_ == EditMode::Edit ? currentRowId() : 0;
    if (editMode_ == EditMode::Edit && values.empty()) {
        CancelUpdate();
        return;
    }
    CachedStatement& cached = writeStatements_[writeKey()];
    // Every parameter is bound again below, so the bindings need no clearing.
    if (cached.stmt && cached.epoch == conn.statementEpoch()) {
        sqlite3_reset(cached.stmt);
    } else {
        if (cached.sql.isEmpty())
            cached.sql = writeSql();
        cached.stmt = conn.statement(cached.sql);
        cached.epoch = conn.statementEpoch();
    }
    sqlite3_stmt* stmt = cached.stmt;
    StatementReset reset(stmt);
    // Texts are written as UTF-8 into one buffer that stays until the step, so that a record's
    // texts cost no allocation each and SQLite copies none of them.
    writeText_.resize(static_cast<size_t>(textRoom));
    char* out = writeText_.data();
    for (size_t i = 0; i < values.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        if (const QString* text = heldText(*values[i])) {
            char* const end = utf8_.appendToBuffer(out, *text);
            sqlite3_bind_text(stmt, index, out, static_cast<int>(end - out), SQLITE_STATIC);
            out = end;
        } else {
            bindValue(stmt, index, *values[i]);
        }
    }
    if (editMode_ == EditMode::Edit)
        sqlite3_bind_int64(stmt, static_cast<int>(values.size()) + 1, rowId);
    const bool cacheWasCurrent = chunk_.generation == conn.dataGeneration();
    if (sqlite3_step(stmt) != SQLITE_DONE)
        conn.fail();
    conn.dataChanged();
    forgetRow(rowId, cacheWasCurrent);
    if (editMode_ == EditMode::Add) {
        const std::int64_t added = sqlite3_last_insert_rowid(conn.handle());
        const bool wasEof = IsEOF();
        keys_.push_back(added);
        ++liveCount_;
        if (positionsBuilt_)
            positions_.insert(added, static_cast<int>(keys_.size()) - 1);
        // A recordset that stood past its end still does, not on the new record.
        if (wasEof)
            position_ = static_cast<int>(keys_.size());
    }
    CancelUpdate();
}

void Recordset::Delete() {
    Connection& conn = connection();
    const std::int64_t rowId = currentRowId();
    sqlite3_stmt* stmt = conn.statement(QStringLiteral("DELETE FROM %1 WHERE rowid=?1").arg(QuoteName(table_)));
    StatementReset reset(stmt);
    sqlite3_bind_int64(stmt, 1, rowId);
    const bool cacheWasCurrent = chunk_.generation == conn.dataGeneration();
    if (sqlite3_step(stmt) != SQLITE_DONE)
        conn.fail();
    conn.dataChanged();
    forgetRow(rowId, cacheWasCurrent);
    if (positionsBuilt_)
        positions_.remove(rowId);
    keys_[position_] = Hole;
    --liveCount_;
    editMode_ = EditMode::None;
    pending_.clear();
    currentDeleted_ = true;
}

} // namespace zelvora
