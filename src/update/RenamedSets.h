#pragma once

#include "update/RomFingerprints.h"

#include <QHash>
#include <QString>
#include <QVariantHash>

#include <functional>
#include <vector>

namespace zelvora {

class Database;
class MergeReport;
struct ListedMachine;

// The sets today's MAME renamed since the last update, told by their ROMs, and what of each moves
// to its new name: the user's options and marks in its record, its settings and its play history.
// Two sets that traded names trade them. A set whose ROMs changed but that matches no other set
// is the same set under its name: nothing of it moves.
class RenamedSets {
public:
    // Before the merge changes anything: `listed` says whether the catalogue has a record of a set
    // name. Each set renamed is reported.
    void Find(Database& db, const std::vector<ListedMachine>& machines,
              const std::function<bool(const QString&)>& listed, MergeReport& report);
    // Once the merged records are written, within their transaction: moves what the renamed sets
    // take with them and stores the machines' fingerprints in place of those of before.
    void Move(Database& db, const std::vector<ListedMachine>& machines);

    struct Renamed {
        QString from, to;
        QVariantHash fields; // of the record of before
    };
    const std::vector<Renamed>& Renames() const { return renamed_; }

private:
    QHash<QString, StoredRoms> stored_; // the fingerprints of before
    QStringList texts_;                 // the machines' own, in their order
    std::vector<Renamed> renamed_;
};

} // namespace zelvora
