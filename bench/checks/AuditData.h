#pragma once

// What the benchmarks of Verify ROMS share: a catalogue made as today's listing makes it, and
// files written without fail.
#include "CatalogueGenerator.h"

#include "store/GameStore.h"

#include <QFile>

#include <cstdlib>

namespace zelvora::bench {

// Today's listing says every set needs files.
inline void EverySetNeedsFiles(GameStore& catalogue, const std::vector<test::GeneratedGame>& games) {
    std::vector<std::pair<QString, GameFactsRow>> facts;
    for (const test::GeneratedGame& game : games)
        facts.emplace_back(game.rom, GameFactsRow());
    catalogue.ReplaceFacts(facts);
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

} // namespace zelvora::bench
