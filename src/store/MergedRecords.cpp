#include "store/MergedRecords.h"

#include "store/Database.h"
#include "store/FieldNames.h"
#include "store/Recordset.h"

#include <algorithm>

namespace zelvora {

namespace {

constexpr std::uint32_t Bit(MergeField field) {
    return 1u << static_cast<int>(field);
}

char16_t Folded(QChar c) {
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u + (u'a' - u'A')) : u;
}

// Equal as the catalogue would store them; nothing equals only nothing.
bool Same(const QVariant& stored, const QVariant& value) {
    return stored.isNull() == value.isNull() && (stored.isNull() || stored.toString() == value.toString());
}

} // namespace

bool operator==(const MergeKey& a, const MergeKey& b) {
    return a.text.size() == b.text.size() && std::equal(a.text.begin(), a.text.end(), b.text.begin(),
                                                        [](QChar x, QChar y) { return Folded(x) == Folded(y); });
}

size_t qHash(const MergeKey& key, size_t seed) {
    size_t hash = seed;
    for (QChar c : key.text)
        hash = hash * 31 + Folded(c);
    return hash;
}

const QString& FieldName(MergeField field) {
    static const QString* const names[MergeFieldCount] = {
        &Field::Rom,      &Field::Driver,   &Field::Cpu1,   &Field::Cpu2,         &Field::Cpu3,
        &Field::Sound1,   &Field::Sound2,   &Field::Sound3, &Field::Description,  &Field::Active,
        &Field::Default,  &Field::Playable, &Field::Colors, &Field::Sound,        &Field::HiScore,
        &Field::Cocktail, &Field::Notes,    &Field::Clone,  &Field::Manufacturer, &Field::Date};
    return *names[static_cast<int>(field)];
}

void MergedRecords::Index::add(const QVariant& value, int record) {
    // A value that holds nothing has no key: the recordset never finds it either.
    if (value.isNull())
        return;
    if (next_.size() <= static_cast<size_t>(record)) {
        next_.resize(static_cast<size_t>(record) + 1, -1);
        previous_.resize(static_cast<size_t>(record) + 1, -1);
    }
    const MergeKey key{value.toString()};
    const auto it = ends_.find(key);
    if (it == ends_.end()) {
        next_[record] = previous_[record] = -1;
        ends_.insert(key, {record, record});
        return;
    }
    auto& [first, last] = *it;
    // Records join at the end, unless the update gave an earlier one this key.
    int before = last;
    while (before > record)
        before = previous_[before];
    const int after = before < 0 ? first : next_[before];
    previous_[record] = before;
    next_[record] = after;
    (before < 0 ? first : next_[before]) = record;
    (after < 0 ? last : previous_[after]) = record;
}

void MergedRecords::Index::remove(const QVariant& value, int record) {
    if (value.isNull())
        return;
    const auto it = ends_.find(MergeKey{value.toString()});
    if (it == ends_.end())
        return;
    auto& [first, last] = *it;
    const int before = previous_[record];
    const int after = next_[record];
    (before < 0 ? first : next_[before]) = after;
    (after < 0 ? last : previous_[after]) = before;
    if (first < 0)
        ends_.erase(it);
}

int MergedRecords::Index::find(const QString& key, bool fromLast) const {
    const auto it = ends_.constFind(MergeKey{key});
    if (it == ends_.constEnd())
        return -1;
    return fromLast ? it->second : it->first;
}

MergedRecords::MergedRecords(Database& db)
    : keyset_(db.OpenRecordset(QStringLiteral("SELECT * FROM ROMS"))), rs_(*keyset_) {
    // Every field the update writes but Default, which it sets on added records only, is compared
    // with the update's value: read them all in the one walk, while each record is current.
    QStringList fields;
    std::uint32_t preloaded = 0;
    for (int f = 0; f < MergeFieldCount; ++f) {
        const auto field = static_cast<MergeField>(f);
        columns_[static_cast<size_t>(f)] = rs_.FieldIndex(FieldName(field));
        if (field != MergeField::Default) {
            fields << FieldName(field);
            preloaded |= Bit(field);
        }
    }
    rs_.Preload(fields);
    records_.reserve(static_cast<size_t>(rs_.RecordCount()));
    roms_.reserve(rs_.RecordCount());
    for (rs_.MoveFirst(); !rs_.IsEOF(); rs_.MoveNext()) {
        Record& record = records_.emplace_back();
        record.bookmark = rs_.Bookmark();
        for (int f = 0; f < MergeFieldCount; ++f) {
            if (preloaded & (1u << f))
                record.values[static_cast<size_t>(f)] = rs_.Value(columns_[static_cast<size_t>(f)]);
        }
        record.known = preloaded;
        roms_.add(record.values[static_cast<size_t>(MergeField::Rom)], Count() - 1);
    }
}

MergedRecords::~MergedRecords() = default;

int MergedRecords::FindRom(const QString& rom, bool fromLast) const {
    return roms_.find(rom, fromLast);
}

int MergedRecords::FindDescription(const QString& description, bool fromLast) {
    indexDescriptions();
    return descriptions_.find(description, fromLast);
}

void MergedRecords::indexDescriptions() {
    if (descriptionsIndexed_)
        return;
    descriptionsIndexed_ = true;
    descriptions_.reserve(Count());
    for (int record = 0; record < Count(); ++record) {
        if (records_[record].live)
            descriptions_.add(Value(record, MergeField::Description), record);
    }
}

int MergedRecords::Add() {
    Record& record = records_.emplace_back();
    // An added record holds nothing but what the update gives it.
    record.known = ~0u;
    return Count() - 1;
}

void MergedRecords::Remove(int record) {
    roms_.remove(Value(record, MergeField::Rom), record);
    if (descriptionsIndexed_)
        descriptions_.remove(Value(record, MergeField::Description), record);
    records_[record].live = false;
}

QVariant MergedRecords::Value(int record, MergeField field) {
    Record& r = records_[record];
    const auto f = static_cast<size_t>(field);
    if (!(r.known & Bit(field))) {
        // Fields are mostly read a record at a time.
        if (rs_.Bookmark() != r.bookmark)
            rs_.MoveToBookmark(r.bookmark);
        r.values[f] = rs_.Value(columns_[f]);
        r.known |= Bit(field);
    }
    return r.values[f];
}

void MergedRecords::SetValue(int record, MergeField field, const QVariant& value) {
    // A game that MAME describes as before is not written again: an update from a MAME version
    // that changed little changes little.
    if (!(records_[record].changed & Bit(field)) && records_[record].bookmark != 0 && Same(Value(record, field), value))
        return;
    if (field == MergeField::Rom || (field == MergeField::Description && descriptionsIndexed_)) {
        Index& index = field == MergeField::Rom ? roms_ : descriptions_;
        const QVariant old = Value(record, field);
        if (old.isNull() || value.isNull() || !(MergeKey{old.toString()} == MergeKey{value.toString()})) {
            index.remove(old, record);
            index.add(value, record);
        }
    }
    Record& r = records_[record];
    r.values[static_cast<size_t>(field)] = value;
    r.known |= Bit(field);
    r.changed |= Bit(field);
}

void MergedRecords::Write() {
    for (Record& r : records_) {
        if (!r.live) {
            if (r.bookmark != 0 && rs_.MoveToBookmark(r.bookmark))
                rs_.Delete();
            continue;
        }
        if (r.changed == 0)
            continue;
        if (r.bookmark != 0) {
            rs_.MoveToBookmark(r.bookmark);
            rs_.Edit();
        } else {
            rs_.AddNew();
        }
        for (int f = 0; f < MergeFieldCount; ++f) {
            if (r.changed & Bit(static_cast<MergeField>(f)))
                rs_.SetValue(columns_[static_cast<size_t>(f)], r.values[static_cast<size_t>(f)]);
        }
        rs_.Update();
    }
}

} // namespace zelvora
