#pragma once

#include "store/FieldType.h"

#include <QString>

#include <array>

namespace zelvora {

inline constexpr int FieldSlots = 101;
// Slots 0 to 54 name the catalogue's fields; the rest stay empty.
inline constexpr int CatalogueFieldCount = 55;

inline const QString RomsTable = QStringLiteral("ROMS");
inline const QString DefaultRom = QStringLiteral("-default-");
inline const QString DefaultDescription = QStringLiteral("-=DEFAULT=-");
// The stamp in the default record's Notes; a catalogue stamped otherwise is reshaped at start-up.
inline const QString VersionBanner = QStringLiteral("ZELVORA Version 1.01");

// The kind decides the type a missing field is created with.
enum class FieldKind { Empty = 0, Memo = 1, Integer = 2, Long = 3 };

FieldType TypeOfKind(FieldKind kind);

// The catalogue's field-name table: the names of table ROMS in their order, and each one's kind.
struct FieldTable {
    std::array<QString, FieldSlots> FieldNames;
    std::array<FieldKind, FieldSlots> FieldKinds{};

    void InitFieldNames();
};

} // namespace zelvora
