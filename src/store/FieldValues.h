#pragma once

#include "store/FieldType.h"

#include <QString>
#include <QVariant>

struct sqlite3_stmt;

namespace zelvora {

// The value as `field`'s type stores it: Text and Memo as QString, Integer and Long as
// qlonglong, null as null. What cannot be converted, or does not fit, raises StoreError here
// rather than being stored as something else.
QVariant StoredValue(const FieldInfo& field, const QVariant& value);

// Binds a value as SQLite stores it: whole numbers as integers (true as -1), fractions as reals,
// anything else as UTF-8 text.
void BindValue(sqlite3_stmt* stmt, int index, const QVariant& value);

// The QString a value holds, without a copy; null for any other type.
inline const QString* HeldText(const QVariant& value) {
    return value.typeId() == QMetaType::QString ? static_cast<const QString*>(value.constData()) : nullptr;
}

} // namespace zelvora
