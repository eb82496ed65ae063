#include "store/Catalogue.h"

#include "store/AuditStore.h"
#include "store/Database.h"
#include "store/FieldNames.h"
#include "store/FolderLock.h"
#include "store/Recordset.h"
#include "store/StoreError.h"
#include "store/Variables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace zelvora {

namespace {

QString inDirectory(const QString& programDir, const char* name) {
    QString dir = programDir;
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir + QLatin1Char('/') + QLatin1String(name);
}

// Removes a file and the journal files SQLite may have left beside it. A stale write-ahead log
// left beside a new file of the same name would be replayed into it.
void removeWithJournals(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        QFile file(path + suffix);
        if (file.exists() && !file.remove())
            throw StoreError(QStringLiteral("Could not delete '%1': %2").arg(file.fileName(), file.errorString()));
    }
}

void replaceFile(const QString& from, const QString& to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(from);
        throw StoreError(QStringLiteral("Could not rename '%1' to '%2': %3").arg(from, to, reason));
    }
    // The rename itself reaches the disk only with its directory.
    const int fd =
        ::open(QFile::encodeName(QFileInfo(to).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasField(Database& db, const QString& name) {
    const std::vector<FieldInfo> fields = db.Fields(RomsTable);
    return std::any_of(fields.begin(), fields.end(),
                       [&](const FieldInfo& field) { return sameName(field.name, name); });
}

// Adds the listed fields the table lacks and removes the fields it does not list, as one
// transaction, so a failure leaves the table in its old shape. Names compare without regard to
// case, as SQL does: a field written "missing rom" is the field Missing ROM.
void reshapeTable(Database& db) {
    Transaction transaction(db);
    for (const CatalogueField& field : CatalogueFields()) {
        if (hasField(db, field.name))
            continue;
        const bool text = field.type == FieldType::Text || field.type == FieldType::Memo;
        db.AddField(RomsTable, field.name, field.type, text);
    }
    for (const FieldInfo& field : db.Fields(RomsTable)) {
        if (!IsCatalogueField(field.name))
            db.DeleteField(RomsTable, field.name);
    }
    transaction.Commit();
}

void addDefaultRecord(Database& db) {
    const std::unique_ptr<Recordset> rs = db.OpenRecordset(RomsTable);
    rs->AddNew();
    rs->SetValue(Field::Rom, DefaultRom);
    rs->SetValue(Field::Description, DefaultDescription);
    rs->SetValue(Field::Notes, VersionBanner);
    rs->SetValue(Field::Default, 1);
    rs->Update();
}

void closeCatalogue(Variables& vars) {
    vars.CatalogueDb.reset();
}

// The new catalogue is built under the temporary name and renamed into place only when it is
// complete, so an interrupted first run never leaves a half-made catalogue behind.
void createCatalogue(Variables& vars) {
    const FolderLock lock(vars.ProgramDir);
    // Made meanwhile by a program that held the lock.
    if (QFileInfo::exists(CatalogueFile(vars.ProgramDir)))
        return;
    const QString temp = TempCatalogueFile(vars.ProgramDir);
    removeWithJournals(temp);
    try {
        vars.CatalogueDb = Database::Create(temp);
        vars.CatalogueDb->CreateTable(RomsTable, Field::Rom, FieldType::Text, false);
        reshapeTable(*vars.CatalogueDb);
        addDefaultRecord(*vars.CatalogueDb);
        closeCatalogue(vars);
    } catch (...) {
        closeCatalogue(vars);
        removeWithJournals(temp);
        throw;
    }
    // A log left beside a catalogue that is gone would be replayed into the new one.
    removeWithJournals(CatalogueFile(vars.ProgramDir));
    replaceFile(temp, CatalogueFile(vars.ProgramDir));
}

// Has a default record stamped by this version.
bool isCurrent(Database& db) {
    if (!hasField(db, Field::Rom) || !hasField(db, Field::Notes))
        return false;
    const std::optional<QVariantHash> record = db.ReadRecord(RomsTable, Field::Rom, DefaultRom, {Field::Notes});
    if (!record)
        return false;
    const QVariant notes = record->value(Field::Notes);
    return notes.isNull() || sameName(notes.toString(), VersionBanner);
}

} // namespace

QString DataFolder(const QString& programDir) {
    // Tried rather than judged from the permission bits, which say nothing of a read-only disk
    // and which the superuser passes anyway.
    if (QTemporaryFile probe(programDir + QStringLiteral("/.zelvora-XXXXXX")); probe.open())
        return programDir;
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is to be ignored, as if it were unset.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = base + QStringLiteral("/Zelvora");
    if (!QDir().mkpath(folder))
        throw StoreError(QStringLiteral("Could not make the folder '%1' for the catalogue.").arg(folder));
    return folder;
}

QString CatalogueFile(const QString& programDir) {
    return inDirectory(programDir, "Zelvora.mdb");
}

QString TempCatalogueFile(const QString& programDir) {
    return inDirectory(programDir, "Temp.mdb");
}

void OpenCatalogue(Variables& vars) {
    closeCatalogue(vars);
    vars.CatalogueDb = Database::Open(CatalogueFile(vars.ProgramDir), RomsTable);
    // Games are found by name and by description all the time; these indexes make that a
    // look-up instead of a scan of the whole table. The description's index carries the set name
    // too: the game list orders by "not the default record", then by description, and reads
    // that order from the index alone rather than from the whole table.
    const QString& rom = Field::Rom;
    const QString& description = Field::Description;
    const std::vector<FieldInfo> fields = vars.CatalogueDb->Fields(RomsTable);
    const auto has = [&](const QString& name) {
        return std::any_of(fields.begin(), fields.end(),
                           [&](const FieldInfo& field) { return sameName(field.name, name); });
    };
    if (has(rom))
        vars.CatalogueDb->IndexField(RomsTable, rom);
    if (has(description))
        vars.CatalogueDb->IndexField(RomsTable, description, has(rom) ? rom : QString());
    // A catalogue of an older version gains the tables the first time it is opened.
    vars.CatalogueDb->Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Rom TEXT PRIMARY KEY COLLATE NOCASE NOT "
                                             "NULL, Favourite INTEGER NOT NULL DEFAULT 0, PlayCount INTEGER NOT NULL "
                                             "DEFAULT 0, PlaySeconds INTEGER NOT NULL DEFAULT 0, LastPlayed TEXT)")
                                  .arg(HistoryTable));
    vars.CatalogueDb->Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Rom TEXT PRIMARY KEY COLLATE NOCASE NOT "
                                             "NULL, Type INTEGER NOT NULL DEFAULT 0, Players INTEGER NOT NULL DEFAULT "
                                             "0, NeedsFiles INTEGER NOT NULL DEFAULT 1)")
                                  .arg(FactsTable));
    vars.CatalogueDb->Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Kind INTEGER NOT NULL, Rom TEXT NOT NULL, "
                                             "Title TEXT NOT NULL, Status INTEGER NOT NULL, OldRom TEXT NOT NULL, "
                                             "OldTitle TEXT NOT NULL, OldStatus INTEGER NOT NULL)")
                                  .arg(ChangesTable));
    vars.CatalogueDb->Execute(
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS %1 (Rom TEXT PRIMARY KEY COLLATE NOCASE NOT NULL, Crcs TEXT NOT NULL, Needs "
            "TEXT NOT NULL DEFAULT '')")
            .arg(FingerprintTable));
    QStringList settings;
    for (const QString& field : SettingFields())
        settings << QuoteName(field);
    // Video is a word; the others are numbers. No affinity, so that each keeps what was written.
    vars.CatalogueDb->Execute(
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Rom TEXT PRIMARY KEY COLLATE NOCASE NOT NULL, %2)")
            .arg(SettingsTable, settings.join(QLatin1Char(','))));
    CreateAuditTable(*vars.CatalogueDb);
    // Columns that came later: an older table gains them and keeps its rows, which have none of
    // them until the next update. The screen and the controls of GameFacts, the sets each set
    // needs of GameRoms.
    const auto gain = [&](const QString& table, std::initializer_list<const char*> columns) {
        const std::vector<FieldInfo> fields = vars.CatalogueDb->Fields(table);
        for (const char* column : columns) {
            const QString definition = QLatin1String(column);
            const QString name = definition.section(QLatin1Char(' '), 0, 0);
            if (std::none_of(fields.begin(), fields.end(),
                             [&](const FieldInfo& field) { return sameName(field.name, name); }))
                vars.CatalogueDb->Execute(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(table, definition));
        }
    };
    gain(FactsTable,
         {"Screen INTEGER NOT NULL DEFAULT 0", "Screens INTEGER NOT NULL DEFAULT 0", "Width INTEGER NOT NULL DEFAULT 0",
          "Height INTEGER NOT NULL DEFAULT 0", "Refresh REAL NOT NULL DEFAULT 0", "Vertical INTEGER NOT NULL DEFAULT 0",
          "Controls TEXT NOT NULL DEFAULT ''", "Buttons INTEGER NOT NULL DEFAULT 0"});
    gain(FingerprintTable, {"Needs TEXT NOT NULL DEFAULT ''"});
}

void UpgradeCatalogue(Variables& vars) {
    closeCatalogue(vars);
    vars.CatalogueDb = Database::Open(CatalogueFile(vars.ProgramDir), RomsTable);
    reshapeTable(*vars.CatalogueDb);
}

void CompactCatalogue(const QString& programDir) {
    const FolderLock lock(programDir);
    const QString file = CatalogueFile(programDir);
    const QString temp = TempCatalogueFile(programDir);
    removeWithJournals(temp);
    try {
        std::unique_ptr<Database> db = Database::Open(file);
        db->CompactInto(temp);
    } catch (...) {
        removeWithJournals(temp);
        throw;
    }
    // The last connection to close folds the write-ahead log into the file and removes it; a log
    // still there means another program has the catalogue open, and renaming over it would
    // pair that log with the wrong file.
    if (QFileInfo::exists(file + QStringLiteral("-wal"))) {
        removeWithJournals(temp);
        throw StoreError(QStringLiteral("'%1' is in use by another program; it was not compacted.").arg(file));
    }
    replaceFile(temp, file);
}

void PrepareCatalogue(Variables& vars) {
    if (!QFileInfo::exists(CatalogueFile(vars.ProgramDir))) {
        createCatalogue(vars);
    } else {
        OpenCatalogue(vars);
        if (isCurrent(*vars.CatalogueDb))
            return;
        // Stamped by another version, or without a default record at all: reshape the table
        // first, so the fields written below exist whatever the catalogue held.
        UpgradeCatalogue(vars);
        vars.CatalogueDb->Execute(QStringLiteral("UPDATE ROMS SET Active=False"));
        Database& db = *vars.CatalogueDb;
        if (!db.WriteRecord(RomsTable, Field::Rom, DefaultRom, {{Field::Notes, VersionBanner}}))
            addDefaultRecord(db);
        closeCatalogue(vars);
    }
    CompactCatalogue(vars.ProgramDir);
    OpenCatalogue(vars);
}

} // namespace zelvora
