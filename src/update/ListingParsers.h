#pragma once

#include "platform/OutputLimits.h"
#include "platform/TextCompare.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace zelvora {

// A set name as a listing may give it. It becomes part of file paths and the first word after
// MAME's executable on a command line, so one that would lead out of a folder ("/", "..") or that
// MAME would read as a switch ("-listxml") is no set name, and the line or machine naming it is
// malformed; so is one longer than MaxListedText.
bool IsSetName(const QString& name);

// MAME's listings and its game list document are read by fixed columns, counted from 1 as in
// the listings' own layout. A column range past the line's end gives fewer characters, or none.
QString Columns(const QString& line, int from, int to);
QString ColumnsFrom(const QString& line, int from);

// One game of MAME's detail listing ("-listdetails"), after its two heading lines.
struct DetailsEntry {
    QString name;
    QString driver;
    std::array<QString, 3> cpus;
    std::array<QString, 3> sounds;
    QString description;
};
// Nothing for a line without a set name or too short to reach the description column; a line
// that ends right before it is a game without a description.
// A line longer than MaxDetailsLine, its columns and a description of MaxListedText, is no
// game's line either.
std::optional<DetailsEntry> ParseDetailsLine(const QString& line);
constexpr qsizetype MaxDetailsLine = 76 + MaxListedText;
// The set name of a detail listing line, read as far as the line goes; empty when there is none.
QString DetailsLineName(const QString& line);
constexpr int DetailsHeadingLines = 2;

// One line of MAME's game listing ("-listgames"). Nothing for a line too short to hold a
// description or longer than MaxGamesLine; the headings parse like games and simply match none.
struct GamesEntry {
    QString year; // as it stands, four characters
    QString maker;
    QString description;
};
std::optional<GamesEntry> ParseGamesLine(const QString& line);
constexpr qsizetype MaxGamesLine = 42 + MaxListedText;

// One line of MAME's clone listing ("-listclones"); a heading gives keys that match no game.
struct ClonesEntry {
    QString clone;
    QString parent;
};
ClonesEntry ParseClonesLine(const QString& line);

// The game list document that comes with MAME: a table of status words, its end line, then
// notes, each a title line naming the set between double quotes and an underline of "=".
struct GamelistRow {
    int line = 0; // index of the line in the document
    QString rom;
    std::array<QString, 5> status; // Playable, Colors, Sound, Hi Score, Cocktail
};
struct GamelistNote {
    int line = 0; // index of its "===" line
    QString rom;
    QString text; // kept lines, each followed by a carriage return; blank lines left out
};
struct GamelistDocument {
    std::vector<GamelistRow> rows;
    std::vector<GamelistNote> notes;
    int tableEnd = -1;     // index of the "|--" line; -1 when the document has none
    int untitledNotes = 0; // "===" lines whose title names no set between two double quotes
};
GamelistDocument ParseGamelist(const QStringList& lines);

} // namespace zelvora
