#include "update/MachineFacts.h"

#include "store/GameStore.h"
#include "store/StoreError.h"
#include "update/CatalogueMerge.h"
#include "update/MachineListing.h"

namespace zelvora {

void StoreMachineFacts(Database& db, const std::vector<ListedMachine>& machines, MergeOutcome& outcome) {
    std::vector<std::pair<QString, GameFactsRow>> facts;
    facts.reserve(machines.size());
    for (const ListedMachine& machine : machines)
        facts.emplace_back(
            machine.game.name,
            GameFactsRow{{machine.type, machine.players, machine.needsFiles}, machine.screen, machine.controls});
    try {
        GameStore(db).ReplaceFacts(facts);
    } catch (const StoreError& error) {
        // The games were merged by then; only their facts stay as the last update left them.
        if (!error.IsFull())
            throw;
        outcome.remarks << QStringLiteral("The kinds of machine, players and files of the games could not be written "
                                          "(%1), so those of the last update were kept.")
                               .arg(error.Text());
    }
}

} // namespace zelvora
