#pragma once

namespace zelvora {

// What kind of machine a game runs on, as table GameFacts stores it.
enum class MachineType : int { Unknown = 0, Arcade = 1, Mechanical = 2, ComputerOrConsole = 3 };

// What today's MAME's listing tells of a game beyond its record in ROMS: the kind of machine, how
// many play it at once, and whether it needs files (ROMs, disk images) at all.
struct GameFacts {
    MachineType type = MachineType::Unknown;
    int players = 0;
    bool needsFiles = true;

    bool operator==(const GameFacts&) const = default;
};

} // namespace zelvora
