#include "update/RomFingerprints.h"

#include "platform/TextCompare.h"
#include "store/AuditStore.h"
#include "store/Database.h"
#include "store/FieldNames.h"
#include "update/MachineListing.h"

#include <algorithm>

namespace zelvora {

namespace {

constexpr qsizetype CrcDigits = 8;

// How much of two fingerprints is shared: `shared` CRCs of the larger one's `larger`.
struct Likeness {
    size_t shared = 0, larger = 1;
};

bool Above(const Likeness& a, const Likeness& b) {
    return a.shared * b.larger > b.shared * a.larger;
}

bool Level(const Likeness& a, const Likeness& b) {
    return a.shared * b.larger == b.shared * a.larger;
}

struct Edge {
    size_t gone, came;
    Likeness likeness;
};

// The best edge of one set among those still free, and whether another is as good.
struct Best {
    const Edge* edge = nullptr;
    bool tied = false;

    void Offer(const Edge& e) {
        if (edge == nullptr || Above(e.likeness, edge->likeness)) {
            edge = &e;
            tied = false;
        } else if (Level(e.likeness, edge->likeness)) {
            tied = true;
        }
    }
    bool Is(const Edge& e) const { return edge == &e && !tied; }
};

} // namespace

QString FingerprintText(const Fingerprint& roms) {
    // Made for every machine at every update: written digit by digit.
    QString text(static_cast<qsizetype>(roms.size()) * CrcDigits, Qt::Uninitialized);
    QChar* at = text.data();
    for (const std::uint32_t crc : roms) {
        for (int shift = 28; shift >= 0; shift -= 4)
            *at++ = QLatin1Char("0123456789abcdef"[(crc >> shift) & 0xF]);
    }
    return text;
}

Fingerprint ParseFingerprint(QStringView text) {
    Fingerprint roms;
    for (qsizetype at = 0; at + CrcDigits <= text.size(); at += CrcDigits) {
        bool ok = false;
        const std::uint32_t crc = text.sliced(at, CrcDigits).toUInt(&ok, 16);
        if (ok)
            roms.push_back(crc);
    }
    std::sort(roms.begin(), roms.end());
    roms.erase(std::unique(roms.begin(), roms.end()), roms.end());
    return roms;
}

std::vector<std::pair<size_t, size_t>> PairRenamedSets(const std::vector<const Fingerprint*>& gone,
                                                       const std::vector<const Fingerprint*>& came) {
    // The sets that came by each CRC: a set that went is compared only with those it shares one with.
    QHash<std::uint32_t, std::vector<size_t>> holders;
    for (size_t c = 0; c < came.size(); ++c) {
        for (const std::uint32_t crc : *came[c])
            holders[crc].push_back(c);
    }
    std::vector<Edge> edges;
    for (size_t g = 0; g < gone.size(); ++g) {
        QHash<size_t, size_t> shared;
        for (const std::uint32_t crc : *gone[g]) {
            if (const auto found = holders.constFind(crc); found != holders.cend()) {
                for (const size_t c : *found)
                    ++shared[c];
            }
        }
        for (auto it = shared.cbegin(); it != shared.cend(); ++it) {
            const size_t larger = std::max(gone[g]->size(), came[it.key()]->size());
            if (2 * it.value() > larger)
                edges.push_back({g, it.key(), {it.value(), larger}});
        }
    }
    // Pairs that are each other's best are made first; what they leave may then be settled.
    std::vector<std::pair<size_t, size_t>> pairs;
    std::vector<bool> goneTaken(gone.size()), cameTaken(came.size());
    for (bool paired = true; paired;) {
        paired = false;
        std::vector<Best> goneBest(gone.size()), cameBest(came.size());
        for (const Edge& e : edges) {
            if (!goneTaken[e.gone] && !cameTaken[e.came]) {
                goneBest[e.gone].Offer(e);
                cameBest[e.came].Offer(e);
            }
        }
        for (const Edge& e : edges) {
            if (!goneTaken[e.gone] && !cameTaken[e.came] && goneBest[e.gone].Is(e) && cameBest[e.came].Is(e)) {
                goneTaken[e.gone] = cameTaken[e.came] = paired = true;
                pairs.emplace_back(e.gone, e.came);
            }
        }
    }
    return pairs;
}

std::vector<std::pair<size_t, size_t>> PairSwappedSets(const QStringList& before, const QStringList& after) {
    QHash<QString, std::vector<size_t>> byAfter;
    for (qsizetype i = 0; i < after.size(); ++i) {
        if (!after[i].isEmpty())
            byAfter[after[i]].push_back(static_cast<size_t>(i));
    }
    // The one set whose fingerprint is now `text`.
    const auto onlyOne = [&](const QString& text) -> qsizetype {
        const auto found = byAfter.constFind(text);
        return found == byAfter.cend() || found->size() != 1 ? -1 : static_cast<qsizetype>(found->front());
    };
    std::vector<std::pair<size_t, size_t>> pairs;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const qsizetype j = before[i].isEmpty() ? -1 : onlyOne(before[i]);
        if (j > i && onlyOne(before[j]) == i)
            pairs.emplace_back(static_cast<size_t>(i), static_cast<size_t>(j));
    }
    return pairs;
}

QString NeededText(const ListedMachine& machine) {
    if (machine.devices.isEmpty())
        return machine.romof;
    QStringList needed = machine.devices;
    if (!machine.romof.isEmpty())
        needed.prepend(machine.romof);
    return needed.join(QLatin1Char(' '));
}

QHash<QString, StoredRoms> ReadFingerprints(Database& db) {
    QHash<QString, StoredRoms> stored;
    db.Select(QStringLiteral("SELECT Rom, Crcs, Needs FROM %1").arg(FingerprintTable), {},
              [&](const std::vector<QVariant>& values) {
                  stored.insert(FoldedKey(values[0].toString()), {values[1].toString(), values[2].toString()});
              });
    return stored;
}

void WriteFingerprints(Database& db, QHash<QString, StoredRoms> stored, const std::vector<ListedMachine>& machines,
                       const QStringList& texts) {
    const QString write =
        QStringLiteral("INSERT OR REPLACE INTO %1 (Rom, Crcs, Needs) VALUES (?1, ?2, ?3)").arg(FingerprintTable);
    // Without any row stored no update told the sets' ROMs before: none is known to have changed.
    const bool told = !stored.isEmpty();
    QStringList changed;
    for (size_t i = 0; i < machines.size(); ++i) {
        const ListedMachine& machine = machines[i];
        const QString& text = texts[static_cast<qsizetype>(i)];
        const QString needs = NeededText(machine);
        // A set without ROMs of its own that needs no other set has nothing to keep.
        if (text.isEmpty() && needs.isEmpty())
            continue;
        const auto known = stored.find(FoldedKey(machine.game.name));
        const bool had = known != stored.end();
        const bool sameRoms = had && known->crcs == text;
        const bool same = sameRoms && known->needs == needs;
        if (had)
            stored.erase(known);
        if (!same)
            db.Execute(write, {machine.game.name, text, needs});
        if (had ? !sameRoms : told && !text.isEmpty())
            changed << machine.game.name;
    }
    const QString remove = QStringLiteral("DELETE FROM %1 WHERE Rom=?1").arg(FingerprintTable);
    for (auto gone = stored.cbegin(); gone != stored.cend(); ++gone) {
        db.Execute(remove, {gone.key()});
        if (!gone->crcs.isEmpty())
            changed << gone.key();
    }
    AuditStore(db).Forget(changed);
}

} // namespace zelvora
