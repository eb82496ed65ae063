#include "checks/PresenceChecks.h"

#include "checks/RomVerification.h"
#include "checks/ScreenshotFinder.h"
#include "platform/DirectoryListing.h"
#include "platform/Progress.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/GroupedWrites.h"
#include "store/Recordset.h"

#include <QVariant>

#include <algorithm>

namespace zelvora {

namespace {

const QString RomField = Field::Rom;
const QString CloneField = Field::Clone;
const QString ScreenshotField = Field::Screenshot;
const QString MissingRomField = Field::MissingRom;
const QString BadRomField = Field::BadRom;

// True when the field holds exactly `value` as a number, so that storing it again would change
// nothing. Null, text and other numbers are rewritten.
bool holds(const Recordset& rs, const QString& field, qlonglong value) {
    const QVariant stored = rs.Value(field);
    return stored.typeId() == QMetaType::LongLong && stored.toLongLong() == value;
}

// Runs `visit` on every record once, from the first, in the recordset's order.
template <typename Visit> void visitEveryRecord(Database& db, Recordset& rs, Progress& progress, Visit visit) {
    const int count = rs.RecordCount();
    progress.SetRange(0, std::max(count - 1, 0));
    GroupedWrites writes(db);
    rs.MoveFirst();
    for (int i = 0; i < count && !rs.IsEOF(); ++i) {
        progress.SetValue(i);
        visit(writes);
        if (!rs.IsEOF())
            rs.MoveNext();
    }
    writes.Commit();
}

// Marks every game that `present` does not find, by its set name or, while merged sets are
// assumed, its parent's.
template <typename Present>
int markMissing(Database& db, Recordset& rs, const QString& field, const QString& title, bool assumeMerged,
                Progress& progress, Present present) {
    progress.SetText(title);
    int marked = 0;
    visitEveryRecord(db, rs, progress, [&](GroupedWrites& writes) {
        const QString rom = TrimBlanks(rs.Value(RomField).toString());
        // An empty name would look for a file named only by its extension.
        bool found = !rom.isEmpty() && present(rom);
        const QString clone = assumeMerged && !found ? TrimBlanks(rs.Value(CloneField).toString()) : QString();
        if (!clone.isEmpty())
            found = present(clone);
        const qlonglong mark = found || EqualNoCase(rom, DefaultRom) ? 0 : 1;
        marked += static_cast<int>(mark);
        if (holds(rs, field, mark))
            return;
        rs.Edit();
        rs.SetValue(field, mark);
        writes.Update(rs);
    });
    return marked;
}

} // namespace

int CheckMissingScreenshots(Database& db, Recordset& rs, const QString& pcxPath, bool assumeMerged, Progress& progress,
                            ScreenshotKinds kinds) {
    const DirectoryListing listing(pcxPath);
    return markMissing(db, rs, ScreenshotField, MissingScreenshotsTitle, assumeMerged, progress,
                       [&](const QString& rom) { return !FindScreenshotFile(pcxPath, listing, rom, kinds).isEmpty(); });
}

int CheckMissingZippedRoms(Database& db, Recordset& rs, const QString& romPath, bool assumeMerged, Progress& progress,
                           RomSetKinds kinds, const QSet<QString>& needNoFiles) {
    const DirectoryListing listing(romPath);
    const bool archivesAndFolders = kinds == RomSetKinds::ZipSevenZipOrFolder;
    return markMissing(
        db, rs, MissingRomField, MissingZippedRomsTitle, assumeMerged, progress, [&](const QString& rom) {
            return needNoFiles.contains(rom.toLower()) || listing.Contains(rom + QStringLiteral(".zip")) ||
                   (archivesAndFolders &&
                    (listing.Contains(rom + QStringLiteral(".7z")) || !listing.FindFolder(rom).isEmpty()));
        });
}

PresenceOutcome CheckMissingTodaysRoms(Database& db, Recordset& rs, const QString& mamePath, const QString& romPath,
                                       bool assumeMerged, ProcessRunner& runner, Progress& progress) {
    progress.SetText(MissingZippedRomsTitle);
    const NoFileSets none = SetsNeedingNoFiles(mamePath, runner, progress);
    if (!none.problem.isEmpty())
        return {0, none.problem};
    return {
        CheckMissingZippedRoms(db, rs, romPath, assumeMerged, progress, RomSetKinds::ZipSevenZipOrFolder, none.names),
        {}};
}

QString MarkedGames(const QString& check, int count, int games) {
    return QStringLiteral("%1: %2 of %3 games marked").arg(check).arg(count).arg(games);
}

void ClearStatusFields(Database& db, Recordset& rs, Progress& progress) {
    progress.SetText(ClearStatusFieldsTitle);
    visitEveryRecord(db, rs, progress, [&](GroupedWrites& writes) {
        const QString* const fields[] = {&MissingRomField, &ScreenshotField, &BadRomField};
        if (std::all_of(std::begin(fields), std::end(fields), [&](const QString* f) { return holds(rs, *f, 0); }))
            return;
        rs.Edit();
        for (const QString* f : fields)
            rs.SetValue(*f, 0);
        writes.Update(rs);
    });
}

} // namespace zelvora
