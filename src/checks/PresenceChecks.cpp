#include "checks/PresenceChecks.h"

#include "platform/DirectoryListing.h"
#include "platform/Progress.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/FieldTable.h"
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
        // Whatever runs meanwhile may move this recordset; the walk goes on from its own record.
        const std::int64_t here = rs.Bookmark();
        progress.LetEventsRun();
        if (rs.Bookmark() != here)
            rs.MoveToBookmark(here);
        if (!rs.IsEOF())
            rs.MoveNext();
    }
    writes.Commit();
}

int checkPresence(Database& db, Recordset& rs, const QString& directory, const QString& extension, const QString& field,
                  const QString& title, bool assumeMerged, Progress& progress) {
    progress.SetText(title);
    const DirectoryListing listing(directory);
    // An empty name would look for a file named only by its extension.
    const auto present = [&](const QString& name) { return !name.isEmpty() && listing.Contains(name + extension); };
    int marked = 0;
    visitEveryRecord(db, rs, progress, [&](GroupedWrites& writes) {
        const QString rom = TrimBlanks(rs.Value(RomField).toString());
        bool found = present(rom);
        if (!found && assumeMerged)
            found = present(TrimBlanks(rs.Value(CloneField).toString()));
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

int CheckMissingScreenshots(Database& db, Recordset& rs, const QString& pcxPath, bool assumeMerged,
                            Progress& progress) {
    return checkPresence(db, rs, pcxPath, QStringLiteral(".pcx"), ScreenshotField, MissingScreenshotsTitle,
                         assumeMerged, progress);
}

int CheckMissingZippedRoms(Database& db, Recordset& rs, const QString& romPath, bool assumeMerged, Progress& progress) {
    return checkPresence(db, rs, romPath, QStringLiteral(".zip"), MissingRomField, MissingZippedRomsTitle, assumeMerged,
                         progress);
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
