#pragma once

#include <QString>

namespace zelvora {

struct Variables;

// The folder the catalogue, its temporary file and MAME's captured listings and report live in:
// the program's own folder when the program may write there (a build, a copied folder, the demo),
// otherwise "Zelvora" in the user's data folder ($XDG_DATA_HOME, by default ~/.local/share), made
// when missing, as for a program installed in /usr/bin.
QString DataFolder(const QString& programDir);

QString CatalogueFile(const QString& programDir);
QString TempCatalogueFile(const QString& programDir);

// Brings the catalogue in the program's directory into use: creates it when there is none,
// reshapes it when it was stamped by another version, compacts it after either, and leaves
// CatalogueDb open on it. Raises StoreError on any engine or file failure;
// the catalogue file is then as it was before the failing step.
void PrepareCatalogue(Variables& vars);

// Opens CatalogueDb on the catalogue, releasing the database it replaces.
void OpenCatalogue(Variables& vars);

// Opens the catalogue and gives ROMS exactly the fields of the field-name table, in the order
// they are missing: adds each one it lacks and removes each field it does not list. Records keep
// their values; removed fields lose theirs.
void UpgradeCatalogue(Variables& vars);

// Rewrites the closed catalogue without its free space: into Temp.mdb, then renamed over the
// catalogue in one step, so there is never a moment without a catalogue on disk.
void CompactCatalogue(const QString& programDir);

} // namespace zelvora
