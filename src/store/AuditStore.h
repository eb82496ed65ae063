#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantHash>

#include <optional>

#include <utility>
#include <vector>

namespace zelvora {

class Database;
class GameStore;

// What the last verification of today's MAME found for each set, by set name (FoldedKey), beside
// the records so that "Verify ROMS" asks MAME again only about sets whose files changed.
inline const QString AuditTable = QStringLiteral("AuditState");

// Makes the table where the catalogue lacks it; an older catalogue gains it when opened.
void CreateAuditTable(Database& db);

enum class AuditVerdict { Good = 0, Bad = 1, NotFound = 2 };

struct AuditEntry {
    // The set's files and those of the sets it needs as they were when it was verified
    // (RomSetFiles::Stamp); empty when it had none.
    QString stamp;
    AuditVerdict verdict = AuditVerdict::Good;
    QString report; // a bad set's detail lines, as its Notes hold them
    bool operator==(const AuditEntry&) const = default;
};

class AuditStore {
public:
    explicit AuditStore(GameStore& games);
    // On the catalogue the update writes.
    explicit AuditStore(Database& db) : db_(db) {}

    // Every set verified, by FoldedKey.
    QHash<QString, AuditEntry> Entries() const;
    // Stores these sets' entries, verified at `when`, in one transaction: a failure leaves none
    // of them and every entry stored before.
    void Save(const std::vector<std::pair<QString, AuditEntry>>& entries, const QDateTime& when);
    // The marks a verification sets in the game's record (Notes, Bad ROM, Missing ROM); none when
    // no record has the set name.
    std::optional<QVariantHash> Marks(const QString& rom) const;
    // Drops what is known of the sets (their ROMs changed), so the next verification asks MAME;
    // within the caller's transaction.
    void Forget(const QStringList& roms);
    // The sets each set takes ROMs from besides its own as the last update from today's MAME
    // stored them (its "romof" first, then its devices with ROMs), by set name (FoldedKey); only
    // sets that need any.
    QHash<QString, QStringList> NeededSets() const;

private:
    Database& db_;
};

} // namespace zelvora
