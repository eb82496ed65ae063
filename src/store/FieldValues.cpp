#include "store/FieldValues.h"

#include "store/StoreError.h"

#include <sqlite3.h>

#include <cmath>

namespace zelvora {

QVariant StoredValue(const FieldInfo& field, const QVariant& value) {
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

void BindValue(sqlite3_stmt* stmt, int index, const QVariant& value) {
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

} // namespace zelvora
