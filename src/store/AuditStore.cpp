#include "store/AuditStore.h"

#include "platform/TextCompare.h"
#include "store/Database.h"
#include "store/FieldNames.h"
#include "store/GameStore.h"

namespace zelvora {

void CreateAuditTable(Database& db) {
    db.Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Rom TEXT PRIMARY KEY COLLATE NOCASE NOT NULL, Stamp "
                              "TEXT, Verdict INTEGER NOT NULL DEFAULT 0, Report TEXT, Checked TEXT)")
                   .arg(AuditTable));
}

AuditStore::AuditStore(GameStore& games) : db_(games.db_) {}

QHash<QString, AuditEntry> AuditStore::Entries() const {
    QHash<QString, AuditEntry> entries;
    db_.Select(QStringLiteral("SELECT Rom,Stamp,Verdict,Report FROM %1").arg(AuditTable), {},
               [&](const std::vector<QVariant>& values) {
                   const int verdict = values[2].toInt();
                   entries.insert(FoldedKey(values[0].toString()), {values[1].toString(),
                                                                    verdict == 1   ? AuditVerdict::Bad
                                                                    : verdict == 2 ? AuditVerdict::NotFound
                                                                                   : AuditVerdict::Good,
                                                                    values[3].toString()});
               });
    return entries;
}

void AuditStore::Save(const std::vector<std::pair<QString, AuditEntry>>& entries, const QDateTime& when) {
    if (entries.empty())
        return;
    const QString insert =
        QStringLiteral("INSERT OR REPLACE INTO %1 (Rom,Stamp,Verdict,Report,Checked) VALUES (?1,?2,?3,?4,?5)")
            .arg(AuditTable);
    const QString checked = when.toUTC().toString(Qt::ISODate);
    Transaction transaction(db_);
    for (const auto& [rom, entry] : entries)
        db_.Execute(insert, {rom, entry.stamp, static_cast<int>(entry.verdict), entry.report, checked});
    transaction.Commit();
}

std::optional<QVariantHash> AuditStore::Marks(const QString& rom) const {
    return db_.ReadRecord(RomsTable, Field::Rom, rom, {Field::Notes, Field::BadRom, Field::MissingRom});
}

void AuditStore::Forget(const QStringList& roms) {
    const QString remove = QStringLiteral("DELETE FROM %1 WHERE Rom=?1").arg(AuditTable);
    for (const QString& rom : roms)
        db_.Execute(remove, {rom});
}

QHash<QString, QStringList> AuditStore::NeededSets() const {
    QHash<QString, QStringList> needed;
    db_.Select(QStringLiteral("SELECT Rom, Needs FROM %1 WHERE Needs<>''").arg(FingerprintTable), {},
               [&](const std::vector<QVariant>& values) {
                   needed.insert(FoldedKey(values[0].toString()),
                                 values[1].toString().split(QLatin1Char(' '), Qt::SkipEmptyParts));
               });
    return needed;
}

} // namespace zelvora
