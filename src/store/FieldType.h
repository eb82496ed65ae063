#pragma once

#include <QString>

namespace zelvora {

// The four kinds of catalogue field. Integer is 16-bit and Long 32-bit signed; Text and Memo
// differ only in how they are declared, as SQLite keeps text of any length.
enum class FieldType { Text, Memo, Integer, Long };

struct FieldInfo {
    QString name;
    FieldType type = FieldType::Text;
};

// SQL for a quoted identifier: "name" with embedded quotes doubled.
QString QuoteName(const QString& name);

} // namespace zelvora
