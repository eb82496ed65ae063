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

// What table GameRoms keeps of a set: its fingerprint as a text, and the other sets it needs
// (NeededText).
struct StoredRoms {
    QString crcs;
    QString needs;
};

// The sets a machine takes ROMs from besides its own, as GameRoms keeps them: the one it names in
// "romof" (its parent or its BIOS), then its devices with ROMs of their own, parted by blanks.
QString NeededText(const ListedMachine& machine);

// What is stored of each set, by set name (FoldedKey).
QHash<QString, StoredRoms> ReadFingerprints(Database& db);
// Stores the machines' fingerprints (`texts`, FingerprintText of each) and the sets they need in
// place of `stored` (as ReadFingerprints gave them), writing only what changed; within the
// caller's transaction. What the last verification found of a set whose own ROMs changed, went or
// came is forgotten, so that the next one asks MAME about it: a set renamed is such a set under
// both its names.
void WriteFingerprints(Database& db, QHash<QString, StoredRoms> stored, const std::vector<ListedMachine>& machines,
                       const QStringList& texts);

} // namespace zelvora
