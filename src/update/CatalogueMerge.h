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

// The three listings MAME is asked for, each written into the program directory.
struct ListingCapture {
    QString file;    // "Clones.txt", "Games.txt", "Details.txt"
    QString command; // the shell command line whose standard output it holds
    int exitCode = 0;
    QString path{};  // where it is written
    QString error{}; // why MAME's output could not be written there; empty when it was
};

// The command lines, in the order they run: clones, games, details. Every path is quoted.
std::vector<ListingCapture> ListingCommands(const QString& mamePath, const QString& programDir);

// Runs each command to its end, one after the other, keeping each exit code, and writes its
// standard output to its file, every write checked: where a shell's redirection would leave a
// listing cut short by a full disk to be read as whole, a write that fails stops MAME and the
// captures after it are not run. `progress` lets events run while MAME works; false when the user
// cancelled there: that MAME was ended, the later ones never ran and nothing captured is kept.
bool CaptureListings(std::vector<ListingCapture>& captures, ProcessRunner& runner, Progress& progress);

struct MergeOutcome {
    // False when a listing command failed, its listing could not be written or held no games, or
    // the catalogue could not be written for want of room: the catalogue was left untouched.
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
// writing (report.Cancelled()), leaves the catalogue as it was. `captures` names the commands
// behind the listings for the remarks; it may be empty. When the update is refused, the captured
// listings are removed: they are of no use, and on a full disk they would keep the catalogue from
// opening.
MergeOutcome MergeListings(Variables& vars, MergeReport& report, const std::vector<ListingCapture>& captures = {});

// Brings ROMS up to date with today's MAME's machine listing, in the same phases but for the
// notes, which MAME no longer lists: each game keeps its own. A listing that MAME did not finish,
// that is not whole, or that holds no runnable machine leaves the catalogue as it was.
MergeOutcome MergeMachineListing(Variables& vars, MergeReport& report, const MachineListing& listing);

} // namespace zelvora
