#pragma once

#include "gamelist/ListedGames.h"

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace zelvora {

// The filter bar's filters, beside the six of the filters dialog; each left at its first value
// lets every game through.
struct ListFilters {
    MachineType type = MachineType::Unknown; // Unknown: every type
    GameStatus status = GameStatus::Unknown; // Unknown: every status
    bool availableOnly = false;
    bool favouritesOnly = false;
    QString category; // a whole category, or a genre: the part before " / "
    int players = 0;  // 0: any number

    bool operator==(const ListFilters&) const = default;
    // The filters in force, as the status bar names them: "Type: Arcade", "Available", ...
    QStringList Names() const;
    bool Passes(const ListedGame& game) const;
};

class ProgramSettings;
// The filter bar's filters as the settings kept them; a kept value of no known meaning filters
// nothing.
ListFilters KeptListFilters(const ProgramSettings& settings);
void KeepListFilters(ProgramSettings& settings, const ListFilters& filters);

// What the find field holds, taken apart: plain words that must all occur in a game's title, set
// name, manufacturer, year, source or category, and qualifiers that narrow one field each
// ("year:1980-1985", "mfr:namco", "set:pac*", "src:pacman", "cat:shooter", "players:2",
// "is:favourite", "is:available", "is:working"). Everything is folded to lower case.
struct SearchQuery {
    // Takes the text apart. A word with a colon whose part before it names no field is searched as
    // a plain word, and the problem says so; a qualifier without a value narrows nothing yet.
    static SearchQuery Parse(const QString& text);

    std::vector<std::string> words;
    std::vector<std::string> manufacturer, source, category;
    std::vector<std::string> sets;  // patterns: "*" any run, "?" one character; else a prefix
    std::vector<std::string> years; // prefixes of the year
    std::vector<std::pair<int, int>> yearRanges;
    int players = 0;
    bool favourite = false, available = false, working = false;
    QString problem; // for the status bar; empty when every word was understood

    bool Empty() const;
    // The qualifiers that need no text of the game's.
    bool Passes(const ListedGame& game) const;
};

// A set-name pattern against a name, both folded: "*" matches any run, "?" one character; a
// pattern without either matches the names it begins.
bool MatchesSetPattern(std::string_view pattern, std::string_view name);

// The year a catalogue's year text names: "1982" gives 1982, "198?" and "" give 0.
int YearOf(const QString& year);

} // namespace zelvora
