#pragma once

namespace zelvora {

// What kind of machine a game is, as today's MAME lists it.
enum class MachineType : int { Unknown = 0, Arcade = 1, Mechanical = 2, ComputerOrConsole = 3 };

// What the catalogue keeps of a game beside its record, from today's MAME's listing: its kind, how
// many may play at once (0 when the listing does not say) and whether it needs any file to run.
struct GameFacts {
    MachineType type = MachineType::Unknown;
    int players = 0;
    bool needsFiles = true;
};

} // namespace zelvora
