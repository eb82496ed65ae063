#pragma once

#include "checks/ScreenshotFinder.h"

#include <QSet>
#include <QString>

namespace zelvora {

// The entries of the Check submenu, by their index there.
enum class CollectionCheck {
    MissingScreenshots = 0,
    MissingZippedRoms = 1,
    ClearStatusFields = 2,
    VerifyRoms = 3,
    VerifyAll = 4
};

class GameStore;
class ProcessRunner;
class Progress;

// The window titles of the checks that visit every record.
inline const QString MissingScreenshotsTitle = QStringLiteral("Checking for PCX Files");
inline const QString MissingZippedRomsTitle = QStringLiteral("Checking for ROM Files");
inline const QString ClearStatusFieldsTitle = QStringLiteral("Clearing Status Fields");

// "Missing Screenshots": visits every record of the catalogue, in table order, and sets
// Screenshot to 1 when the game has no file `pcxPath` + Rom + ".pcx" (any letter case), else 0.
// While merged sets are assumed, a clone without a file of its own counts as present when its
// parent (its Clone) has one. With ScreenshotKinds::PcxAndPng a "<rom>.png" or a PNG in the folder
// "<rom>" counts as well, a set folder being listed only where the set has one. The default record
// always gets 0. Rom and Clone are used without
// their leading and trailing blanks; a Clone of blanks only makes a parent.
//
// The folder is listed once: a folder that does not exist holds no files, so every game is marked.
// Every record ends with the mark the folder gives it now; a record that already holds exactly
// that value is not written again, which leaves it as writing would. Returns the number of games
// marked.
//
// Reports the title, the range 0 to RecordCount - 1 and the record's index to `progress`, and lets
// pending events run once per record.
int CheckMissingScreenshots(GameStore& catalogue, const QString& pcxPath, bool assumeMerged, Progress& progress,
                            ScreenshotKinds kinds);

// The ROM sets the installed MAME reads: the MAME of the zip days a file "<rom>.zip" only, today's
// MAME a file "<rom>.zip" or "<rom>.7z" or a folder "<rom>".
enum class RomSetKinds { Zip, ZipSevenZipOrFolder };

class DirectoryListing;
// Whether the ROM folder's listing holds the set of `rom` in one of those kinds.
bool HasRomSet(const DirectoryListing& listing, const QString& rom, RomSetKinds kinds);

// "Missing Zipped ROMS": the same with `romPath`, the ROM sets of `kinds` and Missing ROM. With
// RomSetKinds::Zip only files count: a ROM set kept as a folder named like the set is missing. A
// set named in `needNoFiles` (folded to lower case) is present without any file.
int CheckMissingZippedRoms(GameStore& catalogue, const QString& romPath, bool assumeMerged, Progress& progress,
                           RomSetKinds kinds, const QSet<QString>& needNoFiles = {});

struct PresenceOutcome {
    int marked = 0;
    // Why no record was changed; empty when the check ran.
    QString problem;
};

// "Missing Zipped ROMS" with today's MAME: asks MAME which sets it runs without any file
// (SetsNeedingNoFiles), then checks `romPath` for the sets of RomSetKinds::ZipSevenZipOrFolder.
// When MAME cannot tell, no record changes: marking Pong missing would be wrong.
PresenceOutcome CheckMissingTodaysRoms(GameStore& catalogue, const QString& mamePath, const QString& romPath,
                                       bool assumeMerged, ProcessRunner& runner, Progress& progress);

// What a check that marks games says when it is done: "<check>: <count> of <games> games marked".
QString MarkedGames(const QString& check, int count, int games);

// "Clear Status Fields": sets Missing ROM, Screenshot and Bad ROM of every record to 0; the notes
// stay as they are.
void ClearStatusFields(GameStore& catalogue, Progress& progress);

} // namespace zelvora
