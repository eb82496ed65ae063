#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace zelvora {

class Database;
class Recordset;

// The fields the catalogue update writes.
enum class MergeField {
    Rom,
    Driver,
    Cpu1,
    Cpu2,
    Cpu3,
    Sound1,
    Sound2,
    Sound3,
    Description,
    Active,
    Default,
    Playable,
    Colors,
    Sound,
    HiScore,
    Cocktail,
    Notes,
    Clone,
    Manufacturer,
    Date,
};
constexpr int MergeFieldCount = static_cast<int>(MergeField::Date) + 1;
const QString& FieldName(MergeField field);

// A set name or description as a look-up key: equal to another when they differ only in the case
// of ASCII letters, as SQLite's NOCASE collation compares them. Folded while compared and hashed,
// so that a look-up copies nothing.
struct MergeKey {
    QString text;
};
bool operator==(const MergeKey& a, const MergeKey& b);
size_t qHash(const MergeKey& key, size_t seed = 0);

// The catalogue's records as the update works on them. The six phases look records up, add,
// remove and change them here; Write() then stores each changed record once. Done on the table,
// a merge of the whole MAME set costs a statement per look-up and a write per record and phase,
// several times the work of the merge itself.
//
// Records keep the table's order, added ones at its end. Look-ups give the first or last live
// record whose set name or description equals the text, compared without regard to case as the
// catalogue's columns compare.
class MergedRecords {
public:
    // Reads every record of table ROMS, which nothing else may change until Write().
    explicit MergedRecords(Database& db);
    ~MergedRecords();
    MergedRecords(const MergedRecords&) = delete;
    MergedRecords& operator=(const MergedRecords&) = delete;

    // Records, removed ones included; a record's number stays what it was.
    int Count() const { return static_cast<int>(records_.size()); }
    bool IsLive(int record) const { return records_[record].live; }

    // The record found, or -1.
    int FindRom(const QString& rom, bool fromLast) const;
    int FindDescription(const QString& description, bool fromLast);

    int Add();
    void Remove(int record);

    // The value the update gave the field, or else the stored one.
    QVariant Value(int record, MergeField field);
    // A value equal to the stored one changes nothing.
    void SetValue(int record, MergeField field, const QVariant& value);

    // Stores every change, in the records' order: removed records are deleted, changed ones
    // edited, added ones appended.
    void Write();

private:
    struct Record {
        std::int64_t bookmark = 0; // 0 for an added record
        bool live = true;
        std::uint32_t known = 0;   // fields whose value `values` holds
        std::uint32_t changed = 0; // fields the update set
        std::array<QVariant, MergeFieldCount> values;
    };
    // The live records of each key, in order, as a list linked through the records: most keys
    // name one record, so a key costs no list of its own.
    class Index {
    public:
        void reserve(qsizetype keys) { ends_.reserve(keys); }
        void add(const QVariant& value, int record);
        void remove(const QVariant& value, int record);
        int find(const QString& key, bool fromLast) const;

    private:
        QHash<MergeKey, std::pair<int, int>> ends_; // first and last record
        std::vector<int> next_, previous_;
    };

    void indexDescriptions();

    std::unique_ptr<Recordset> keyset_;
    Recordset& rs_;
    std::array<int, MergeFieldCount> columns_{}; // each field's index in the recordset
    std::vector<Record> records_;
    Index roms_;
    Index descriptions_;
    bool descriptionsIndexed_ = false;
};

} // namespace zelvora
