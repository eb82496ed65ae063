#pragma once

#include "platform/Progress.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace zelvora {

class ProcessRunner;
class RunWatch;
struct MachineListing;
struct Variables;

// What the update window shows besides the progress: the games added and the games removed,
// in the order the merge finds them.
class MergeReport : public Progress {
public:
    virtual void NewGame(const QString& description) = 0;
    virtual void ExpiredGame(const QString& description) = 0;
};

// The three listings MAME is asked for, each written by the shell into the program directory.
struct ListingCapture {
    QString file;    // "Clones.txt", "Games.txt", "Details.txt"
    QString command; // the shell command line that writes it
    int exitCode = 0;
};

// The command lines, in the order they run: clones, games, details. Every path is quoted.
std::vector<ListingCapture> ListingCommands(const QString& mamePath, const QString& programDir);

// Runs each command to its end, one after the other, keeping each exit code, `watch` running
// meanwhile. False when the watch gave up: that MAME was ended and the later ones never ran.
bool CaptureListings(std::vector<ListingCapture>& captures, ProcessRunner& runner, RunWatch& watch);

struct MergeOutcome {
    // False when a listing command failed or the detail listing held no games: the catalogue was
    // left untouched.
    bool merged = false;
    // What the window says at the end: why nothing was merged, or what was skipped.
    QStringList remarks;
};

// What the window says of an update the user cancelled.
MergeOutcome UpdateCancelled();

// Brings ROMS up to date with the captured listings in the program directory and the game list
// document in MAME's directory, in six phases: new games, expired games, status words, notes,
// clones, makers and years. Leaves vars.RomsRecordset open over the whole table. The changes are
// written at the end in one transaction, so an update that fails, or is cancelled before the
// writing (report.Cancelled()), leaves the catalogue as it was. `captures` names the commands behind the listings for
// the remarks; it may be empty.
MergeOutcome MergeListings(Variables& vars, MergeReport& report, const std::vector<ListingCapture>& captures = {});

// Brings ROMS up to date with today's MAME's machine listing, in the same phases but for the
// notes, which MAME no longer lists: each game keeps its own. A listing that MAME did not finish,
// that is not whole, or that holds no runnable machine leaves the catalogue as it was.
MergeOutcome MergeMachineListing(Variables& vars, MergeReport& report, const MachineListing& listing);

} // namespace zelvora
