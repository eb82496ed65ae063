#pragma once

#include <QString>

#include <cstdint>
#include <utility>

namespace zelvora {

// What kind of machine a game runs on, as table GameFacts stores it.
enum class MachineType : int { Unknown = 0, Arcade = 1, Mechanical = 2, ComputerOrConsole = 3 };

// What today's MAME's listing tells of a game beyond its record in ROMS: the kind of machine, how
// many play it at once, and whether it needs files (ROMs, disk images) at all. The list holds
// these for every game, so they stay this small.
struct GameFacts {
    MachineType type = MachineType::Unknown;
    int players = 0;
    bool needsFiles = true;

    bool operator==(const GameFacts&) const = default;
};

// How a screen draws, as table GameFacts stores it.
enum class ScreenType : std::uint8_t { None = 0, Raster = 1, Vector = 2, Lcd = 3, Svg = 4 };

// A machine's first screen, as the listing gives it, and how many it has. Sized for tens of
// thousands of games held at once by the update.
struct ScreenFacts {
    ScreenType type = ScreenType::None;
    bool vertical = false; // turned by 90 or 270 degrees
    std::uint16_t screens = 0;
    int width = 0, height = 0; // unturned; a vector screen has neither
    float refresh = 0;         // in Hz

    bool operator==(const ScreenFacts&) const = default;
};

// A machine's controls by readable name, each once in the listing's order and joined by ", ", and
// the most buttons any one of them has.
struct ControlFacts {
    QString controls;
    int buttons = 0;

    bool operator==(const ControlFacts&) const = default;
};

// A game's whole row of table GameFacts: what the list holds, and what only the information page
// shows, read one game at a time.
struct GameFactsRow {
    GameFactsRow(GameFacts game = {}, ScreenFacts screen = {}, ControlFacts controls = {})
        : game(game), screen(screen), controls(std::move(controls)) {}

    GameFacts game;
    ScreenFacts screen;
    ControlFacts controls;

    bool operator==(const GameFactsRow&) const = default;
};

} // namespace zelvora
