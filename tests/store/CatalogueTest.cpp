#include "CatalogueGenerator.h"
#include "TestDirs.h"

#include "store/Catalogue.h"
#include "store/StoreError.h"
#include "store/Variables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/stat.h>

using namespace zelvora;
using zelvora::test::ReadBytes;
using zelvora::test::TempProgramDir;
using zelvora::test::WriteBytes;

namespace {

struct Legacy {
    QStringList drop;                 // listed fields the old catalogue lacks
    QList<QPair<QString, int>> extra; // unlisted Text fields, inserted before the given index
    QVariant notes = QStringLiteral("ZELVORA Version 0.99");
    bool defaultRecord = true;
    int games = 3;
};

// A catalogue as another version of the program might have left it.
void writeLegacyCatalogue(const QString& programDir, const Legacy& legacy) {
    FieldTable table;
    table.InitFieldNames();
    auto db = Database::Create(CatalogueFile(programDir));
    db->CreateTable("ROMS", "Rom", FieldType::Text, false);
    for (int i = 1; i < CatalogueFieldCount; ++i) {
        for (const auto& [name, before] : legacy.extra) {
            if (before == i)
                db->AddField("ROMS", name, FieldType::Text, true);
        }
        if (!legacy.drop.contains(table.FieldNames[i]))
            db->AddField("ROMS", table.FieldNames[i], TypeOfKind(table.FieldKinds[i]), true);
    }
    auto rs = db->OpenRecordset("ROMS");
    if (legacy.defaultRecord) {
        rs->AddNew();
        rs->SetValue("Rom", DefaultRom);
        rs->SetValue("Description", DefaultDescription);
        rs->SetValue("Notes", legacy.notes);
        rs->SetValue("Default", 1);
        rs->Update();
    }
    for (int i = 0; i < legacy.games; ++i) {
        rs->AddNew();
        rs->SetValue("Rom", QString("game%1").arg(i));
        rs->SetValue("Description", QString("Game %1").arg(i));
        if (!legacy.drop.contains("Active"))
            rs->SetValue("Active", -1);
        rs->SetValue("Gamma", 10 + i);
        for (const auto& extra : legacy.extra)
            rs->SetValue(extra.first, "old data");
        rs->Update();
    }
}

QStringList fieldNames(const Recordset& rs) {
    QStringList names;
    for (int i = 0; i < rs.FieldCount(); ++i)
        names << rs.FieldName(i);
    return names;
}

QStringList listedNames() {
    FieldTable table;
    table.InitFieldNames();
    QStringList names;
    for (int i = 0; i < CatalogueFieldCount; ++i)
        names << table.FieldNames[i];
    return names;
}

class CatalogueTest : public ::testing::Test {
protected:
    CatalogueTest() {
        vars.ProgramDir = dir.path();
        vars.Fields.InitFieldNames();
    }

    QString file() const { return CatalogueFile(dir.path()); }

    TempProgramDir dir;
    Variables vars;
};

} // namespace

TEST_F(CatalogueTest, FirstRunCreatesTheTableAndTheDefaultRecord) {
    WriteBytes(TempCatalogueFile(dir.path()), "left over from an interrupted run");
    PrepareCatalogue(vars);

    Recordset& rs = *vars.RomsRecordset;
    EXPECT_EQ(fieldNames(rs), listedNames());
    EXPECT_EQ(rs.FieldTypeOf(18), FieldType::Memo);
    EXPECT_EQ(rs.FieldTypeOf(19), FieldType::Integer);
    EXPECT_EQ(rs.FieldTypeOf(54), FieldType::Long);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value("Rom").toString(), DefaultRom);
    EXPECT_EQ(rs.Value("Description").toString(), DefaultDescription);
    EXPECT_EQ(rs.Value("Notes").toString(), QString("ZELVORA Version 1.01"));
    EXPECT_EQ(rs.Value("Default").toInt(), 1);
    EXPECT_TRUE(rs.Value("Active").isNull());
    EXPECT_TRUE(rs.Value("Missing Rom").isNull());
    EXPECT_FALSE(QFile::exists(TempCatalogueFile(dir.path())));
    EXPECT_TRUE(vars.CatalogueDb->IsOpen());
}

TEST_F(CatalogueTest, UpgradeRemovesUnlistedFieldsAndAddsMissingOnes) {
    Legacy legacy;
    legacy.drop = {"Bad ROM", "Playback"};
    legacy.extra = {{"Old Stuff", 12}, {"zz", 54}};
    writeLegacyCatalogue(dir.path(), legacy);

    PrepareCatalogue(vars);
    Recordset& rs = *vars.RomsRecordset;
    QStringList expected = listedNames();
    // Missing fields join the end, in the table's order; nothing is reordered.
    expected.removeAll("Playback");
    expected.removeAll("Bad ROM");
    expected << "Playback"
             << "Bad ROM";
    EXPECT_EQ(fieldNames(rs), expected);
    EXPECT_EQ(rs.FieldTypeOf(static_cast<int>(expected.indexOf("Bad ROM"))), FieldType::Long);

    ASSERT_EQ(rs.RecordCount(), 4);
    int games = 0;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        EXPECT_TRUE(rs.Value("Bad ROM").isNull());
        EXPECT_EQ(rs.Value("Active").toInt(), 0) << "every game waits for the next update";
        if (rs.Value("Rom").toString() == DefaultRom) {
            EXPECT_EQ(rs.Value("Notes").toString(), VersionBanner);
        } else {
            EXPECT_EQ(rs.Value("Gamma").toInt(), 10 + games);
            EXPECT_EQ(rs.Value("Description").toString(), QString("Game %1").arg(games));
            ++games;
        }
    }
    EXPECT_EQ(games, 3);
    EXPECT_FALSE(QFile::exists(TempCatalogueFile(dir.path())));
}

TEST_F(CatalogueTest, ACurrentCatalogueIsNotExamined) {
    // A lower-case banner is this version; the missing field is not added and the file is not
    // rewritten.
    Legacy legacy;
    legacy.drop = {"Bad ROM"};
    legacy.notes = QString(VersionBanner).toLower();
    writeLegacyCatalogue(dir.path(), legacy);
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(file()).constData(), &before), 0);

    PrepareCatalogue(vars);
    EXPECT_FALSE(fieldNames(*vars.RomsRecordset).contains("Bad ROM"));
    EXPECT_EQ(vars.RomsRecordset->Value("Rom").toString(), DefaultRom) << "on the first record";
    vars.RomsRecordset->MoveNext();
    EXPECT_EQ(vars.RomsRecordset->Value("Active").toInt(), -1);
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(file()).constData(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino) << "compaction would have replaced the file";

    // A Null stamp counts as current too.
    vars.RomsRecordset.reset();
    vars.CatalogueDb.reset();
    QFile::remove(file());
    legacy.notes = QVariant();
    writeLegacyCatalogue(dir.path(), legacy);
    PrepareCatalogue(vars);
    EXPECT_FALSE(fieldNames(*vars.RomsRecordset).contains("Bad ROM"));
}

// Old catalogues with one oddity each; after the upgrade every game waits for the next update,
// the default record carries this version's banner, and no field is there twice.
TEST_F(CatalogueTest, OldCataloguesAreUpgradedWhateverTheirOddity) {
    using Stored = std::tuple<QString, QString, QString>; // rom, field, value as text
    const struct {
        const char* name;
        Legacy legacy;
        std::vector<Stored> stored;
    } cases[] = {
        {"an empty stamp", {.notes = QString("")}, {{"game1", "Active", "0"}}},
        {"no default record, no Active field",
         {.drop = {"Active"}, .defaultRecord = false},
         {{"game0", "Active", "0"}, {DefaultRom, "Description", DefaultDescription}, {DefaultRom, "Default", "1"}}},
        {"a listed field in another case",
         {.drop = {"Missing ROM"}, .extra = {{"missing rom", 53}}},
         {{"game2", "Missing ROM", "old data"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramDir program;
        Variables upgraded;
        upgraded.ProgramDir = program.path();
        upgraded.Fields.InitFieldNames();
        writeLegacyCatalogue(program.path(), c.legacy);
        PrepareCatalogue(upgraded);
        Recordset& rs = *upgraded.RomsRecordset;
        EXPECT_EQ(rs.RecordCount(), 4);
        EXPECT_EQ(fieldNames(rs).filter("missing rom", Qt::CaseInsensitive).size(), 1);
        std::vector<Stored> stored = c.stored;
        stored.emplace_back(DefaultRom, "Notes", VersionBanner);
        for (const auto& [rom, field, value] : stored) {
            ASSERT_TRUE(rs.FindFirst("Rom", rom)) << rom.toStdString();
            EXPECT_EQ(rs.Value(field).toString(), value) << field.toStdString();
        }
    }
}

TEST_F(CatalogueTest, AFileThatIsNotACatalogueIsLeftAsItWas) {
    test::TempProgramDir other;
    test::MakeCatalogue(other.path(), 20);
    const QByteArray catalogue = ReadBytes(CatalogueFile(other.path()));

    const QByteArray cases[] = {QByteArray(), QByteArray(3000, '\x01'), catalogue.left(catalogue.size() / 3),
                                QByteArray("SQLite format 3\0garbage", 23)};
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        WriteBytes(file(), bytes);
        try {
            PrepareCatalogue(vars);
            ADD_FAILURE() << "opened a damaged catalogue";
        } catch (const StoreError& error) {
            EXPECT_FALSE(error.Text().isEmpty());
        }
        EXPECT_EQ(ReadBytes(file()), bytes);
        EXPECT_FALSE(QFile::exists(TempCatalogueFile(dir.path())));
    }
}

// A crash while the write-ahead log is being copied into the catalogue can leave page 1 written
// and the file not yet grown to the pages it counts, which the log still holds. SQLite reads
// them from the log, so the catalogue opens; a log that does not hold them is refused, and the
// file and its log stay as they were.
TEST_F(CatalogueTest, PagesTheFileLacksAreReadFromItsLog) {
    PrepareCatalogue(vars);
    const qint64 emptySize = QFileInfo(file()).size();
    Database& db = *vars.CatalogueDb;
    db.Execute("PRAGMA wal_autocheckpoint=0");
    // The file as the interrupted copy leaves it, cut back to an earlier size, and its log.
    const auto interruptedCopy = [&](qint64 size) {
        db.Execute("PRAGMA wal_checkpoint(PASSIVE)");
        return std::pair{ReadBytes(file()).left(size), ReadBytes(file() + "-wal")};
    };
    test::GenerateGames(db, 300);
    const auto [cutFile, log] = interruptedCopy(emptySize);
    // A long note has pages of its own, which starting on the catalogue does not read.
    db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    const qint64 sizeBeforeNote = QFileInfo(file()).size();
    test::AddGame(*vars.RomsRecordset, "long", "Long Notes", {{"Notes", QString(40000, 'x')}});
    db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    test::AddGame(*vars.RomsRecordset, "later", "Later Game");
    const auto [noteCut, laterLog] = interruptedCopy(sizeBeforeNote);
    vars.RomsRecordset.reset();
    vars.CatalogueDb.reset();

    // The header counts more pages than the file holds, and SQLite finds file and log sound.
    const auto* header = reinterpret_cast<const uchar*>(cutFile.constData());
    ASSERT_GT(qint64{qFromBigEndian<quint32>(header + 28)} * qFromBigEndian<quint16>(header + 16), cutFile.size());
    {
        TempProgramDir probe;
        WriteBytes(probe.file("a"), cutFile);
        WriteBytes(probe.file("a-wal"), log);
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(probe.file("a")).constData(), &raw), SQLITE_OK);
        QString integrity;
        sqlite3_exec(
            raw, "PRAGMA integrity_check",
            [](void* out, int, char** values, char**) { return *static_cast<QString*>(out) += values[0], 0; },
            &integrity, nullptr);
        sqlite3_close(raw);
        ASSERT_EQ(integrity, "ok");
    }

    const struct {
        const char* name;
        QByteArray file, log;
        bool opens;
    } cases[] = {
        {"the log holds the missing pages", cutFile, log, true},
        {"the log lost its commit", cutFile, log.left(log.size() / 2), false},
        {"the note's pages are in neither file", noteCut, laterLog, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramDir crashed;
        Variables restarted;
        restarted.ProgramDir = crashed.path();
        restarted.Fields.InitFieldNames();
        const QString path = CatalogueFile(crashed.path());
        WriteBytes(path, c.file);
        WriteBytes(path + "-wal", c.log);
        if (c.opens) {
            PrepareCatalogue(restarted);
            EXPECT_EQ(restarted.RomsRecordset->RecordCount(), 301);
        } else {
            EXPECT_THROW(PrepareCatalogue(restarted), StoreError);
            EXPECT_EQ(ReadBytes(path), c.file);
            EXPECT_EQ(ReadBytes(path + "-wal"), c.log);
        }
    }
}

TEST_F(CatalogueTest, CompactingKeepsOneCatalogueAndEveryRecord) {
    const auto games = test::MakeCatalogue(dir.path(), 200);
    WriteBytes(TempCatalogueFile(dir.path()), "left over");
    CompactCatalogue(dir.path());
    CompactCatalogue(dir.path());
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_EQ(files, QStringList{"Zelvora.mdb"});

    OpenCatalogue(vars);
    EXPECT_EQ(vars.RomsRecordset->RecordCount(), 201);
    ASSERT_TRUE(vars.RomsRecordset->FindLast("Description", games[150].description));
    EXPECT_EQ(vars.RomsRecordset->Value("Rom").toString(), games[150].rom);
}

TEST_F(CatalogueTest, AFailedCompactionLeavesTheCatalogueUsable) {
    test::MakeCatalogue(dir.path(), 10);
    const QByteArray before = ReadBytes(file());

    // The catalogue held open elsewhere: renaming over it would pull it from under that program.
    {
        OpenCatalogue(vars);
        EXPECT_THROW(CompactCatalogue(dir.path()), StoreError);
        vars.RomsRecordset.reset();
        vars.CatalogueDb.reset();
    }
    EXPECT_EQ(ReadBytes(file()), before);

    // A temporary name that cannot be cleared away.
    QDir().mkpath(TempCatalogueFile(dir.path()) + "/busy");
    EXPECT_THROW(CompactCatalogue(dir.path()), StoreError);
    EXPECT_EQ(ReadBytes(file()), before);
    QDir(TempCatalogueFile(dir.path())).removeRecursively();

    OpenCatalogue(vars);
    EXPECT_EQ(vars.RomsRecordset->RecordCount(), 11);
}
