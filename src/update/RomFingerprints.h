#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

namespace zelvora {

class Database;
struct ListedMachine;

// A game's fingerprint: the CRCs of its own ROMs, sorted, each once.
using Fingerprint = std::vector<std::uint32_t>;

// As table GameRoms keeps it: eight hex digits a CRC, in order, nothing between them.
QString FingerprintText(const Fingerprint& roms);
Fingerprint ParseFingerprint(QStringView text);

// Pairs sets that went (`gone`) with sets that came (`came`) when their ROMs tell that they are
// one set under a new name: the same CRCs, or else more than half of the larger list's. Each set is
// paired at most once, with the one it has the most in common with; a set with two partners equally
// good is paired with neither, unless one of them pairs better elsewhere. Gives (gone, came)
// indexes; a set without ROMs of its own is never paired.
std::vector<std::pair<size_t, size_t>> PairRenamedSets(const std::vector<const Fingerprint*>& gone,
                                                       const std::vector<const Fingerprint*>& came);

// Of sets listed before and after whose fingerprints (texts) changed, the pairs that traded names:
// each one's fingerprint of before is the other's of now, and no third set's. Gives index pairs,
// the lower first.
std::vector<std::pair<size_t, size_t>> PairSwappedSets(const QStringList& before, const QStringList& after);

// The stored fingerprints as texts, by set name (FoldedKey).
QHash<QString, QString> ReadFingerprints(Database& db);
// Stores the machines' fingerprints (`texts`, FingerprintText of each) in place of `stored` (as
// ReadFingerprints gave them), writing only what changed; within the caller's transaction.
void WriteFingerprints(Database& db, QHash<QString, QString> stored, const std::vector<ListedMachine>& machines,
                       const QStringList& texts);

} // namespace zelvora
