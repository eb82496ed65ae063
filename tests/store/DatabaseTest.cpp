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

// The engine ignores case in field names: deleting by another case removes the field, adding it
// again under another case is refused. An index made earlier takes the shape asked for now, and
// deleting a field it holds drops it first, as SQLite refuses to drop an indexed column.
TEST_F(DatabaseTest, FieldsKeepTheirTypesAndGoWithTheirIndexes) {
    const std::pair<QString, FieldType> added[] = {{"Rom", FieldType::Text},
                                                   {"Notes", FieldType::Memo},
                                                   {"Active", FieldType::Integer},
                                                   {"Bad ROM", FieldType::Long},
                                                   {"Odd \"quoted\" name", FieldType::Text}};
    for (size_t i = 1; i < std::size(added); ++i)
        db->AddField("ROMS", added[i].first, added[i].second, true);
    const auto fields = db->Fields("ROMS");
    ASSERT_EQ(fields.size(), std::size(added));
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(std::pair(fields[i].name, fields[i].type), added[i]);

    db->DeleteField("ROMS", "bad rom");
    EXPECT_EQ(db->Fields("ROMS").size(), 4u);
    EXPECT_THROW(db->AddField("ROMS", "NOTES", FieldType::Memo, true), StoreError);

    db->IndexField("ROMS", "Notes");
    db->IndexField("ROMS", "Notes", "Rom");
    db->IndexField("ROMS", "Notes", "Rom");
    db->DeleteField("ROMS", "rom");
    EXPECT_EQ(db->Fields("ROMS").size(), 3u);
}

TEST_F(DatabaseTest, ErrorsCarryTheEnginesTextAndAClosedDatabaseRaises) {
    try {
        db->Execute("UPDATE ROMS SET Active=False");
        ADD_FAILURE() << "no error for a missing field";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.Text().contains("Active")) << error.Text().toStdString();
    }
    auto rs = db->OpenRecordset("ROMS");
    db->Close();
    EXPECT_THROW(rs->MoveFirst(), StoreError);
    EXPECT_THROW(rs->AddNew(), StoreError);
    EXPECT_THROW(db->Execute("SELECT 1"), StoreError);
}

TEST_F(DatabaseTest, TransactionRollsBackUnlessCommitted) {
    for (const bool commit : {false, true}) {
        Transaction transaction(*db);
        db->Execute(commit ? "INSERT INTO ROMS (Rom) VALUES ('kept')" : "INSERT INTO ROMS (Rom) VALUES ('lost')");
        if (commit)
            transaction.Commit();
    }
    auto rs = db->OpenRecordset("ROMS");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Value("Rom").toString(), "kept");
}

TEST(Database, CreateAndOpenRefuseFilesTheyWouldHarm) {
    TempProgramDir dir;
    const QString path = dir.file("a.mdb");
    WriteBytes(path, "keep me");
    EXPECT_THROW(Database::Create(path), StoreError);
    EXPECT_EQ(ReadBytes(path), QByteArray("keep me"));
    EXPECT_THROW(Database::Open(dir.file("absent.mdb")), StoreError);

    const QString readOnly = dir.file("b.mdb");
    makeTable(readOnly).reset();
    const QByteArray before = ReadBytes(readOnly);
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    // root may write any file whatever its permissions; the refusal is then the directory's.
    if (QFile(readOnly).open(QIODevice::ReadWrite))
        GTEST_SKIP() << "running as a user who can write read-only files";
    EXPECT_THROW(Database::Open(readOnly), StoreError);
    EXPECT_EQ(ReadBytes(readOnly), before);
}
