#include "checks/PresenceChecks.h"

#include "checks/RomVerification.h"
#include "checks/ScreenshotFinder.h"
#include "platform/DirectoryListing.h"
#include "platform/Progress.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/GameStore.h"
#include "store/ProgramSettings.h"

namespace zelvora {

namespace {

// Marks every game that `present` does not find, by its set name or, while merged sets are
// assumed, its parent's.
template <typename Present>
int markMissing(GameStore& catalogue, const QString& field, const QString& title, bool assumeMerged, Progress& progress,
                Present present) {
    progress.SetText(title);
    int marked = 0;
    catalogue.MarkEveryGame(field, progress, [&](const QString& storedRom, const QString& storedClone) {
        const QString rom = TrimBlanks(storedRom);
        // An empty name would look for a file named only by its extension.
        bool found = !rom.isEmpty() && present(rom);
        const QString clone = assumeMerged && !found ? TrimBlanks(storedClone) : QString();
        if (!clone.isEmpty())
            found = present(clone);
        const qlonglong mark = found || EqualNoCase(rom, DefaultRom) ? 0 : 1;
        marked += static_cast<int>(mark);
        return mark;
    });
    return marked;
}

} // namespace

int CheckMissingScreenshots(GameStore& catalogue, const QString& pcxPath, bool assumeMerged, Progress& progress,
                            ScreenshotKinds kinds) {
    const DirectoryListing listing(pcxPath);
    return markMissing(catalogue, Field::Screenshot, MissingScreenshotsTitle, assumeMerged, progress,
                       [&](const QString& rom) { return !FindScreenshotFile(pcxPath, listing, rom, kinds).isEmpty(); });
}

int CheckMissingZippedRoms(GameStore& catalogue, const QString& romPath, bool assumeMerged, Progress& progress,
                           RomSetKinds kinds, const QSet<QString>& needNoFiles) {
    const DirectoryListing listing(FolderList(romPath));
    return markMissing(
        catalogue, Field::MissingRom, MissingZippedRomsTitle, assumeMerged, progress,
        [&](const QString& rom) { return needNoFiles.contains(rom.toLower()) || HasRomSet(listing, rom, kinds); });
}

bool HasRomSet(const DirectoryListing& listing, const QString& rom, RomSetKinds kinds) {
    return listing.Contains(rom + QStringLiteral(".zip")) ||
           (kinds == RomSetKinds::ZipSevenZipOrFolder &&
            (listing.Contains(rom + QStringLiteral(".7z")) || !listing.FindFolder(rom).isEmpty()));
}

PresenceOutcome CheckMissingTodaysRoms(GameStore& catalogue, const QString& mamePath, const QString& romPath,
                                       bool assumeMerged, ProcessRunner& runner, Progress& progress) {
    progress.SetText(MissingZippedRomsTitle);
    const NoFileSets none = SetsNeedingNoFiles(mamePath, runner, progress);
    if (!none.problem.isEmpty())
        return {0, none.problem};
    return {CheckMissingZippedRoms(catalogue, romPath, assumeMerged, progress, RomSetKinds::ZipSevenZipOrFolder,
                                   none.names),
            {}};
}

QString MarkedGames(const QString& check, int count, int games) {
    return QStringLiteral("%1: %2 of %3 games marked").arg(check).arg(count).arg(games);
}

void ClearStatusFields(GameStore& catalogue, Progress& progress) {
    progress.SetText(ClearStatusFieldsTitle);
    catalogue.ClearEveryGame({Field::MissingRom, Field::Screenshot, Field::BadRom});
}

} // namespace zelvora
