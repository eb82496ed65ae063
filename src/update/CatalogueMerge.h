#pragma once

#include "platform/Progress.h"
#include "update/ListingCapture.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace zelvora {

struct MachineListing;
struct Variables;

// What the update window shows besides the progress: the games added and the games removed,
// in the order the merge finds them.
struct RenamedSet {
    QString oldRom, oldTitle, newRom, newTitle;
    // "title (set name) → title (set name)", as the update window lists it.
    QString Text() const;
};

class MergeReport : public Progress {
public:
    virtual void NewGame(const QString& description) = 0;
    virtual void ExpiredGame(const QString& description) = 0;
    // A set that MAME renamed, which takes the user's options, marks and history with it: its set
    // names and titles before and after. Its new name is a new game and its old one expired all the
    // same.
    virtual void RenamedGame(const RenamedSet& set) { Q_UNUSED(set); }
};

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
// clones, makers and years. The changes are
// written at the end in one transaction, so an update that fails, or is cancelled before the
// writing (report.Cancelled()), leaves the catalogue as it was. `captures` names the commands
// behind the listings for the remarks; it may be empty. When the update is refused, the captured
// listings are removed: they are of no use, and on a full disk they would keep the catalogue from
// opening.
MergeOutcome MergeListings(Variables& vars, MergeReport& report, const std::vector<ListingCapture>& captures = {});

// Brings ROMS up to date with today's MAME's machine listing, in the same phases but for the
// notes, which MAME no longer lists: each game keeps its own. Sets that MAME renamed since the
// last update take what the user gave them to their new names (RenamedSets). A listing that MAME did not finish,
// that is not whole, or that holds no runnable machine leaves the catalogue as it was. Once ROMS is
// written, table GameFacts is written anew from the listing.
MergeOutcome MergeMachineListing(Variables& vars, MergeReport& report, const MachineListing& listing);

} // namespace zelvora
