#include "TestDirs.h"

#include "store/Database.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace zelvora;
using zelvora::test::ReadBytes;
using zelvora::test::TempProgramDir;
using zelvora::test::WriteBytes;

namespace {

std::unique_ptr<Database> makeTable(const QString& path) {
    auto db = Database::Create(path);
    db->CreateTable(QStringLiteral("ROMS"), QStringLiteral("Rom"), FieldType::Text, false);
    return db;
}

} // namespace

TEST(Database, AddsAndDeletesFieldsOfEachType) {
    TempProgramDir dir;
    auto db = makeTable(dir.file(QStringLiteral("a.mdb")));
    db->AddField(QStringLiteral("ROMS"), QStringLiteral("Notes"), FieldType::Memo, true);
    db->AddField(QStringLiteral("ROMS"), QStringLiteral("Active"), FieldType::Integer, false);
    db->AddField(QStringLiteral("ROMS"), QStringLiteral("Bad ROM"), FieldType::Long, false);
    db->AddField(QStringLiteral("ROMS"), QStringLiteral("Odd \"quoted\" name"), FieldType::Text, true);

    auto fields = db->Fields(QStringLiteral("ROMS"));
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields[0].name, QStringLiteral("Rom"));
    EXPECT_EQ(fields[0].type, FieldType::Text);
    EXPECT_EQ(fields[1].type, FieldType::Memo);
    EXPECT_EQ(fields[2].type, FieldType::Integer);
    EXPECT_EQ(fields[3].type, FieldType::Long);
    EXPECT_EQ(fields[4].name, QStringLiteral("Odd \"quoted\" name"));

    // The engine ignores case in field names: deleting by another case removes the field, adding
    // it again under another case is refused.
    db->DeleteField(QStringLiteral("ROMS"), QStringLiteral("bad rom"));
    EXPECT_EQ(db->Fields(QStringLiteral("ROMS")).size(), 4u);
    EXPECT_THROW(db->AddField(QStringLiteral("ROMS"), QStringLiteral("NOTES"), FieldType::Memo, true), StoreError);
}

// An index made earlier takes the shape asked for now; deleting either field it holds drops it
// first, as SQLite refuses to drop an indexed column.
TEST(Database, LookUpIndexesTakeTheirShapeAndGoWithTheirFields) {
    TempProgramDir dir;
    auto db = makeTable(dir.file(QStringLiteral("a.mdb")));
    db->AddField(QStringLiteral("ROMS"), QStringLiteral("Description"), FieldType::Text, true);
    db->IndexField(QStringLiteral("ROMS"), QStringLiteral("Description"));
    db->IndexField(QStringLiteral("ROMS"), QStringLiteral("Description"), QStringLiteral("Rom"));
    db->IndexField(QStringLiteral("ROMS"), QStringLiteral("Description"), QStringLiteral("Rom"));
    EXPECT_THROW(db->Execute(QStringLiteral("ALTER TABLE ROMS DROP COLUMN Rom")), StoreError);
    db->DeleteField(QStringLiteral("ROMS"), QStringLiteral("rom"));
    EXPECT_EQ(db->Fields(QStringLiteral("ROMS")).size(), 1u);
}

TEST(Database, ExecuteReportsTheEnginesText) {
    TempProgramDir dir;
    auto db = makeTable(dir.file(QStringLiteral("a.mdb")));
    try {
        db->Execute(QStringLiteral("UPDATE ROMS SET Active=False"));
        FAIL() << "no error for a missing field";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.text().contains(QStringLiteral("Active"))) << error.text().toStdString();
    }
}

TEST(Database, CreateRefusesAnExistingFile) {
    TempProgramDir dir;
    const QString path = dir.file(QStringLiteral("a.mdb"));
    WriteBytes(path, "keep me");
    EXPECT_THROW(Database::Create(path), StoreError);
    EXPECT_EQ(ReadBytes(path), QByteArray("keep me"));
}

// Whatever is wrong with the file, opening it raises the error and leaves every byte in place.
TEST(Database, OpenLeavesFilesThatAreNotDatabasesUntouched) {
    TempProgramDir dir;
    const QString good = dir.file(QStringLiteral("good.mdb"));
    {
        auto db = makeTable(good);
        auto rs = db->OpenRecordset(QStringLiteral("ROMS"));
        for (int i = 0; i < 500; ++i) {
            rs->AddNew();
            rs->SetValue(QStringLiteral("Rom"), QStringLiteral("game%1").arg(i));
            rs->Update();
        }
    }
    const QByteArray database = ReadBytes(good);
    ASSERT_GT(database.size(), 4096);

    struct Case {
        const char* name;
        QByteArray bytes;
        const char* table;
    };
    const Case cases[] = {
        {"empty", QByteArray(), ""},
        {"garbage", QByteArray(5000, '\x5a'), ""},
        {"short header", QByteArray("SQLite format 3"), ""},
        {"truncated", database.left(database.size() / 2), ""},
        {"no such table", database, "GAMES"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.file(QString::fromLatin1(c.name));
        WriteBytes(path, c.bytes);
        EXPECT_THROW(Database::Open(path, QString::fromLatin1(c.table)), StoreError);
        EXPECT_EQ(ReadBytes(path), c.bytes);
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")));
    }

    EXPECT_THROW(Database::Open(dir.file(QStringLiteral("absent.mdb"))), StoreError);
}

TEST(Database, OpenRefusesAReadOnlyFile) {
    TempProgramDir dir;
    const QString path = dir.file(QStringLiteral("a.mdb"));
    makeTable(path).reset();
    const QByteArray before = ReadBytes(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    // root may write any file whatever its permissions; the refusal is then the directory's.
    QFile probe(path);
    if (probe.open(QIODevice::ReadWrite))
        GTEST_SKIP() << "running as a user who can write read-only files";
    EXPECT_THROW(Database::Open(path), StoreError);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST(Database, CompactIntoWritesACopyAndRefusesAnExistingDestination) {
    TempProgramDir dir;
    auto db = makeTable(dir.file(QStringLiteral("a.mdb")));
    auto rs = db->OpenRecordset(QStringLiteral("ROMS"));
    rs->AddNew();
    rs->SetValue(QStringLiteral("Rom"), QStringLiteral("pacman"));
    rs->Update();

    const QString copy = dir.file(QStringLiteral("copy.mdb"));
    db->CompactInto(copy);
    auto reopened = Database::Open(copy, QStringLiteral("ROMS"));
    auto copied = reopened->OpenRecordset(QStringLiteral("ROMS"));
    EXPECT_EQ(copied->RecordCount(), 1);
    EXPECT_EQ(copied->Value(QStringLiteral("Rom")).toString(), QStringLiteral("pacman"));

    EXPECT_THROW(db->CompactInto(copy), StoreError);
}

TEST(Database, RecordsetsOfAClosedDatabaseRaiseInsteadOfCrashing) {
    TempProgramDir dir;
    auto db = makeTable(dir.file(QStringLiteral("a.mdb")));
    auto rs = db->OpenRecordset(QStringLiteral("ROMS"));
    db->Close();
    EXPECT_FALSE(rs->IsOpen());
    EXPECT_THROW(rs->MoveFirst(), StoreError);
    EXPECT_THROW(rs->AddNew(), StoreError);
    EXPECT_THROW(db->Execute(QStringLiteral("SELECT 1")), StoreError);
}

TEST(Database, TransactionRollsBackUnlessCommitted) {
    TempProgramDir dir;
    auto db = makeTable(dir.file(QStringLiteral("a.mdb")));
    {
        Transaction transaction(*db);
        db->Execute(QStringLiteral("INSERT INTO ROMS (Rom) VALUES ('lost')"));
    }
    {
        Transaction transaction(*db);
        db->Execute(QStringLiteral("INSERT INTO ROMS (Rom) VALUES ('kept')"));
        transaction.Commit();
    }
    auto rs = db->OpenRecordset(QStringLiteral("ROMS"));
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Value(QStringLiteral("Rom")).toString(), QStringLiteral("kept"));
}
