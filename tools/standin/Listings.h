#pragma once

#include "StandinGame.h"

#include <QStringList>

#include <vector>

namespace zelvora::standin {

// MAME's listings in their fixed-column line shapes. Readers cut each field by its character
// positions, so every field is padded or cut to its exact width and no line is ever shorter than
// the column where its last field starts.

// "-listclones": two heading lines, then one line per clone: the clone's name in columns 1-8, a
// blank, the parent's name in columns 10-17.
QStringList ListClones(const std::vector<StandinGame>& games);

// "-listgames": two heading lines, then one line per game: the year in columns 1-4, a blank, the
// maker in columns 6-42, the description from column 43.
QStringList ListGames(const std::vector<StandinGame>& games);

// "-listdetails": exactly two heading lines (readers skip two), then one line per game: name 1-8,
// driver 11-20, processors 23-30, 31-38 and 39-46, sound chips 47-54, 57-64 and 67-74, the
// description from column 77.
QStringList ListDetails(const std::vector<StandinGame>& games);

// "-verifyroms <pattern>": for each bad or missing set that matches the pattern, its problem
// lines and then the line "romset <name> ..." that names it; a blank line after each set and a
// summary line at the end. "*.*" and "*" match every set; otherwise the pattern is a wildcard
// compared without regard to case.
QStringList VerifyReport(const std::vector<StandinGame>& games, const QString& pattern);

// Today's MAME's "-verifyroms <pattern>": for each set it finds files for, the detail lines of a
// bad set ("name        : file (N bytes) - ...") and then its verdict ("romset name [parent] is
// bad", "romset name is good"); sets with no file at all are not mentioned, but a set that needs
// none "is best available". `emptyRomPath`: MAME looks in a folder that holds nothing, and finds
// only the sets that need no file. The summary goes to standard output when every set found is
// good, else to standard error, with exit code 2.
struct TodaysReport {
    QStringList output;
    QStringList errors;
    int exitCode = 0;
};
TodaysReport TodaysVerifyReport(const std::vector<StandinGame>& games, const QStringList& patterns, bool emptyRomPath);

} // namespace zelvora::standin
