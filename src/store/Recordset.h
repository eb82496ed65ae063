#pragma once

#include "store/Connection.h"
#include "store/FieldType.h"
#include "store/KeysetSql.h"
#include "store/RowCache.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zelvora {

// An updatable keyset over one table: the row ids of a table or of a single-table SELECT, taken
// when it opens, in the statement's order. Records added through it join the end of the keyset;
// records deleted through it leave a hole that the moves step over. Field values are read from
// the table when asked for, so changes made through another recordset are seen.
//
// A field that holds nothing reads as a null QVariant. Integer and Long fields read as qlonglong,
// Text and Memo fields as QString.
class Recordset {
public:
    Recordset(std::shared_ptr<Connection> connection, const QString& tableOrSql);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    const QString& TableName() const { return table_; }

    int RecordCount() const { return liveCount_; }
    bool IsEOF() const;
    bool IsBOF() const;
    // The current record's index in the keyset, counting holes; -1 when there is none.
    int AbsolutePosition() const;

    // The current record's identity, to come back to it later, also from another recordset
    // over the same table; 0 when there is no current record.
    std::int64_t Bookmark() const;
    // Moves to the record of `bookmark`; false, and no move, when it is not in this keyset.
    bool MoveToBookmark(std::int64_t bookmark);

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();

    // Positions on the first or last record, in keyset order, whose field equals `value` (text
    // compares without regard to case). Without a match the position stays where it was and
    // NoMatch() is true. A null value matches nothing.
    bool FindFirst(const QString& field, const QVariant& value);
    bool FindLast(const QString& field, const QVariant& value);
    bool NoMatch() const { return noMatch_; }

    void AddNew();
    void Edit();
    // Stores the record started by AddNew or Edit. After AddNew the record that was current
    // before stays current.
    void Update();
    void CancelUpdate();
    void Delete();
    bool IsEditing() const { return editMode_ != EditMode::None; }

    // Reads the named fields of every record now, in one pass over the query: a walk that reads
    // them afterwards finds them loaded. Writes made later are seen as always.
    void Preload(const QStringList& fields);

    QVariant Value(const QString& field) const;
    void SetValue(const QString& field, const QVariant& value);
    // A field's place in the table, for loops that read or write the same fields of many
    // records: the by-name calls look the name up on every call. It stays good until the table's
    // fields change.
    int FieldIndex(const QString& field) const;
    QVariant Value(int field) const;
    void SetValue(int field, const QVariant& value);

    int FieldCount() const;
    QString FieldName(int index) const;
    FieldType FieldTypeOf(int index) const;

    void Close();
    bool IsOpen() const;

private:
    enum class EditMode { None, Edit, Add };

    Recordset(std::shared_ptr<Connection> connection, KeysetSql keyset);

    Connection& connection() const;
    void refreshFields() const;
    void checkIndex(int field) const;
    QByteArray writeKey() const;
    QString writeSql() const;
    std::int64_t currentRowId() const;
    void leaveRecord();
    void stepForward(int from);
    void stepBackward(int from);
    bool find(const QString& field, const QVariant& value, bool last);
    const QHash<std::int64_t, int>& positions() const;

    std::shared_ptr<Connection> connection_;
    QString table_;
    QString rowsClause_; // the statement from its FROM on, without its ORDER BY, for Preload
    bool closed_ = false;

    std::vector<std::int64_t> keys_;
    int liveCount_ = 0;
    int position_ = 0;
    bool currentDeleted_ = false;
    bool noMatch_ = false;
    mutable QHash<std::int64_t, int> positions_;
    mutable bool positionsBuilt_ = false;

    mutable std::vector<FieldInfo> fields_;
    mutable QHash<QString, int> fieldByName_;
    mutable QHash<QString, int> fieldByFoldedName_;
    // The INSERT and UPDATE statements by edit mode and the fields written: a loop that writes the
    // same fields of every record builds and looks up its statement once.
    mutable QHash<QByteArray, CachedStatement> writeStatements_;
    mutable std::uint64_t fieldsGeneration_ = UINT64_MAX;
    // Reading a value loads it: the cache changes under const reads.
    mutable RowCache rows_;

    EditMode editMode_ = EditMode::None;
    std::vector<std::optional<QVariant>> pending_;
    std::vector<const QVariant*> writeValues_;
    std::string writeText_;
    QStringEncoder utf8_{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};

} // namespace zelvora
