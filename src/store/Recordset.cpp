#include "store/Recordset.h"

#include "store/Connection.h"
#include "store/FieldValues.h"
#include "store/StoreError.h"

#include <QStringList>

#include <sqlite3.h>

#include <algorithm>

namespace zelvora {

Recordset::Recordset(std::shared_ptr<Connection> connection, const QString& tableOrSql)
    : Recordset(std::move(connection), ParseKeysetSql(tableOrSql)) {}

Recordset::Recordset(std::shared_ptr<Connection> connection, KeysetSql keyset)
    : connection_(std::move(connection)), table_(std::move(keyset.table)), rowsClause_(std::move(keyset.rowsClause)),
      rows_(*connection_, table_) {
    sqlite3_stmt* stmt = connection_->Statement(keyset.keysetStatement);
    StatementReset reset(stmt);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        keys_.push_back(sqlite3_column_int64(stmt, 0));
    connection_->Check(rc);
    liveCount_ = static_cast<int>(keys_.size());
    refreshFields();
}

Recordset::~Recordset() = default;

Connection& Recordset::connection() const {
    if (closed_ || !connection_->IsOpen())
        throw StoreError(QStringLiteral("Object invalid or no longer set."));
    return *connection_;
}

void Recordset::Close() {
    closed_ = true;
    keys_.clear();
    positions_.clear();
    rows_.Reset({});
}

bool Recordset::IsOpen() const {
    return !closed_ && connection_->IsOpen();
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
    const std::uint64_t generation = connection_->SchemaGeneration();
    if (generation == fieldsGeneration_)
        return;
    std::vector<FieldInfo> fields = connection().Fields(table_);
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
    rows_.Reset(fields_);
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
    if (IsEOF() || position_ < 0 || keys_[position_] == RowCache::Hole)
        throw StoreError(QStringLiteral("No current record."));
    return keys_[position_];
}

void Recordset::Preload(const QStringList& fields) {
    connection();
    std::vector<int> indexes;
    for (const QString& field : fields)
        indexes.push_back(FieldIndex(field));
    refreshFields();
    rows_.Preload(indexes, rowsClause_, keys_.size());
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
    currentRowId();
    return rows_.Value(keys_, position_, field);
}

void Recordset::SetValue(const QString& field, const QVariant& value) {
    SetValue(FieldIndex(field), value);
}

void Recordset::SetValue(int field, const QVariant& value) {
    checkIndex(field);
    if (editMode_ == EditMode::None)
        throw StoreError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    pending_.resize(fields_.size());
    pending_[field] = StoredValue(fields_[field], value);
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
    while (position_ < n && keys_[position_] == RowCache::Hole)
        ++position_;
}

void Recordset::stepBackward(int from) {
    position_ = std::min(from, static_cast<int>(keys_.size()) - 1);
    while (position_ >= 0 && keys_[position_] == RowCache::Hole)
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
            if (keys_[i] != RowCache::Hole)
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
        sqlite3_stmt* stmt = connection().Statement(
            QStringLiteral("SELECT rowid FROM %1 WHERE %2=?1").arg(QuoteName(table_), QuoteName(fields_[index].name)));
        StatementReset reset(stmt);
        BindValue(stmt, 1, value);
        const QHash<std::int64_t, int>& keyPositions = positions();
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const auto it = keyPositions.constFind(sqlite3_column_int64(stmt, 0));
            if (it == keyPositions.constEnd())
                continue;
            if (found < 0 || (last ? *it > found : *it < found))
                found = *it;
        }
        connection_->Check(rc);
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
            if (const QString* text = HeldText(*pending_[i]))
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
    if (cached.sql.isEmpty())
        cached.sql = writeSql();
    sqlite3_stmt* stmt = conn.Reuse(cached, cached.sql, false);
    StatementReset reset(stmt);
    // Texts are written as UTF-8 into one buffer that stays until the step, so that a record's
    // texts cost no allocation each and SQLite copies none of them.
    writeText_.resize(static_cast<size_t>(textRoom));
    char* out = writeText_.data();
    for (size_t i = 0; i < values.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        if (const QString* text = HeldText(*values[i])) {
            char* const end = utf8_.appendToBuffer(out, *text);
            sqlite3_bind_text(stmt, index, out, static_cast<int>(end - out), SQLITE_STATIC);
            out = end;
        } else {
            BindValue(stmt, index, *values[i]);
        }
    }
    if (editMode_ == EditMode::Edit)
        sqlite3_bind_int64(stmt, static_cast<int>(values.size()) + 1, rowId);
    const bool cacheWasCurrent = rows_.IsCurrent();
    if (sqlite3_step(stmt) != SQLITE_DONE)
        conn.Fail();
    conn.DataChanged();
    rows_.ForgetRow(rowId, cacheWasCurrent);
    if (editMode_ == EditMode::Add) {
        const std::int64_t added = sqlite3_last_insert_rowid(conn.Handle());
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
    sqlite3_stmt* stmt = conn.Statement(QStringLiteral("DELETE FROM %1 WHERE rowid=?1").arg(QuoteName(table_)));
    StatementReset reset(stmt);
    sqlite3_bind_int64(stmt, 1, rowId);
    const bool cacheWasCurrent = rows_.IsCurrent();
    if (sqlite3_step(stmt) != SQLITE_DONE)
        conn.Fail();
    conn.DataChanged();
    rows_.ForgetRow(rowId, cacheWasCurrent);
    if (positionsBuilt_)
        positions_.remove(rowId);
    keys_[position_] = RowCache::Hole;
    --liveCount_;
    editMode_ = EditMode::None;
    pending_.clear();
    currentDeleted_ = true;
}

} // namespace zelvora
