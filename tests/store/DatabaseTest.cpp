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
    db->CreateTable("ROMS", "Rom", FieldType::Text, false);
    return db;
}

struct DatabaseTest : ::testing::Test {
    TempProgramDir dir;
    std::unique_ptr<Database> db = makeTable(dir.file("a.mdb"));
};

} // namespace

TEST_F(DatabaseTest, AddsAndDeletesFieldsOfEachType) {
    db->AddField("ROMS", "Notes", FieldType::Memo, true);
    db->AddField("ROMS", "Active", FieldType::Integer, false);
    db->AddField("ROMS", "Bad ROM", FieldType::Long, false);
    db->AddField("ROMS", "Odd \"quoted\" name", FieldType::Text, true);

    auto fields = db->Fields("ROMS");
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields[0].name, "Rom");
    EXPECT_EQ(fields[0].type, FieldType::Text);
    EXPECT_EQ(fields[1].type, FieldType::Memo);
    EXPECT_EQ(fields[2].type, FieldType::Integer);
    EXPECT_EQ(fields[3].type, FieldType::Long);
    EXPECT_EQ(fields[4].name, "Odd \"quoted\" name");

    // The engine ignores case in field names: deleting by another case removes the field, adding
    // it again under another case is refused.
    db->DeleteField("ROMS", "bad rom");
    EXPECT_EQ(db->Fields("ROMS").size(), 4u);
    EXPECT_THROW(db->AddField("ROMS", "NOTES", FieldType::Memo, true), StoreError);
}

// An index made earlier takes the shape asked for now; deleting either field it holds drops it
// first, as SQLite refuses to drop an indexed column.
TEST_F(DatabaseTest, LookUpIndexesTakeTheirShapeAndGoWithTheirFields) {
    db->AddField("ROMS", "Description", FieldType::Text, true);
    db->IndexField("ROMS", "Description");
    db->IndexField("ROMS", "Description", "Rom");
    db->IndexField("ROMS", "Description", "Rom");
    EXPECT_THROW(db->Execute("ALTER TABLE ROMS DROP COLUMN Rom"), StoreError);
    db->DeleteField("ROMS", "rom");
    EXPECT_EQ(db->Fields("ROMS").size(), 1u);
}

TEST_F(DatabaseTest, ExecuteReportsTheEnginesText) {
    try {
        db->Execute("UPDATE ROMS SET Active=False");
        FAIL() << "no error for a missing field";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.Text().contains("Active")) << error.Text().toStdString();
    }
}

TEST(Database, CreateRefusesAnExistingFile) {
    TempProgramDir dir;
    const QString path = dir.file("a.mdb");
    WriteBytes(path, "keep me");
    EXPECT_THROW(Database::Create(path), StoreError);
    EXPECT_EQ(ReadBytes(path), QByteArray("keep me"));
}

// Whatever is wrong with the file, opening it raises the error and leaves every byte in place.
TEST(Database, OpenLeavesFilesThatAreNotDatabasesUntouched) {
    TempProgramDir dir;
    const QString good = dir.file("good.mdb");
    {
        auto db = makeTable(good);
        auto rs = db->OpenRecordset("ROMS");
        for (int i = 0; i < 500; ++i) {
            rs->AddNew();
            rs->SetValue("Rom", QString("game%1").arg(i));
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
        EXPECT_FALSE(QFile::exists(path + "-wal"));
    }

    EXPECT_THROW(Database::Open(dir.file("absent.mdb")), StoreError);
}

TEST(Database, OpenRefusesAReadOnlyFile) {
    TempProgramDir dir;
    const QString path = dir.file("a.mdb");
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

TEST_F(DatabaseTest, CompactIntoWritesACopyAndRefusesAnExistingDestination) {
    auto rs = db->OpenRecordset("ROMS");
    rs->AddNew();
    rs->SetValue("Rom", "pacman");
    rs->Update();

    const QString copy = dir.file("copy.mdb");
    db->CompactInto(copy);
    auto reopened = Database::Open(copy, "ROMS");
    auto copied = reopened->OpenRecordset("ROMS");
    EXPECT_EQ(copied->RecordCount(), 1);
    EXPECT_EQ(copied->Value("Rom").toString(), "pacman");

    EXPECT_THROW(db->CompactInto(copy), StoreError);
}

TEST_F(DatabaseTest, RecordsetsOfAClosedDatabaseRaiseInsteadOfCrashing) {
    auto rs = db->OpenRecordset("ROMS");
    db->Close();
    EXPECT_FALSE(rs->IsOpen());
    EXPECT_THROW(rs->MoveFirst(), StoreError);
    EXPECT_THROW(rs->AddNew(), StoreError);
    EXPECT_THROW(db->Execute("SELECT 1"), StoreError);
}

TEST_F(DatabaseTest, TransactionRollsBackUnlessCommitted) {
    {
        Transaction transaction(*db);
        db->Execute("INSERT INTO ROMS (Rom) VALUES ('lost')");
    }
    {
        Transaction transaction(*db);
        db->Execute("INSERT INTO ROMS (Rom) VALUES ('kept')");
        transaction.Commit();
    }
    auto rs = db->OpenRecordset("ROMS");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Value("Rom").toString(), "kept");
}
