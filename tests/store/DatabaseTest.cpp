#include "CatalogueFixture.h"

#include "store/GroupedWrites.h"
#include "store/StoreError.h"

#include <QSet>

using namespace zelvora;
using namespace zelvora::test;

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = Database::Create(dir.file("t.mdb"));
        db->CreateTable("ROMS", "Rom", FieldType::Text, false);
        db->AddField("ROMS", "Description", FieldType::Text, true);
        db->AddField("ROMS", "Notes", FieldType::Memo, true);
        db->AddField("ROMS", "Active", FieldType::Integer, false);
        db->AddField("ROMS", "Missing ROM", FieldType::Long, false);
        db->IndexField("ROMS", "Description");
    }

    void add(const QString& rom, const QString& description, const QVariant& active = {}) {
        test::AddGame(*db->OpenRecordset("ROMS"), rom, description, {{"Active", active}});
    }

    TempProgramDir dir;
    std::unique_ptr<Database> db;
};

} // namespace

// The engine ignores case in field names: deleting by another case removes the field, adding it
// again under another case is refused. An index made earlier takes the shape asked for now, and
// deleting a field it holds drops it first, as SQLite refuses to drop an indexed column.
TEST_F(DatabaseTest, FieldsKeepTheirTypesAndGoWithTheirIndexes) {
    db->AddField("ROMS", "Odd \"quoted\" name", FieldType::Text, true);
    const std::pair<QString, FieldType> expected[] = {
        {"Rom", FieldType::Text},       {"Description", FieldType::Text}, {"Notes", FieldType::Memo},
        {"Active", FieldType::Integer}, {"Missing ROM", FieldType::Long}, {"Odd \"quoted\" name", FieldType::Text}};
    const auto fields = db->Fields("ROMS");
    ASSERT_EQ(fields.size(), std::size(expected));
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(std::pair(fields[i].name, fields[i].type), expected[i]);

    db->DeleteField("ROMS", "missing rom");
    EXPECT_THROW(db->AddField("ROMS", "NOTES", FieldType::Memo, true), StoreError);
    db->IndexField("ROMS", "Description", "Rom");
    db->IndexField("ROMS", "Description", "Rom");
    db->DeleteField("ROMS", "rom");
    EXPECT_EQ(db->Fields("ROMS").size(), 4u);
}

TEST_F(DatabaseTest, ErrorsCarryTheEnginesTextAndAClosedDatabaseRaises) {
    try {
        db->Execute("UPDATE ROMS SET Nope=False");
        ADD_FAILURE() << "no error for a missing field";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.Text().contains("Nope")) << error.Text().toStdString();
    }
    auto rs = db->OpenRecordset("ROMS");
    db->Close();
    EXPECT_THROW(rs->MoveFirst(), StoreError);
    EXPECT_THROW(rs->AddNew(), StoreError);
    EXPECT_THROW(db->Execute("SELECT 1"), StoreError);
}

// A transaction not committed rolls back. A write that fails part-way through a group unwinds
// through GroupedWrites: the writes that had returned, in committed groups and in the open one
// alike, are in the file afterwards, as they would be with one commit per record.
TEST_F(DatabaseTest, TransactionsRollBackAndGroupedWritesCommitOnUnwind) {
    for (const bool commit : {false, true}) {
        Transaction transaction(*db);
        add(commit ? "kept" : "lost", "");
        if (commit)
            transaction.Commit();
    }
    auto rs = db->OpenRecordset("ROMS");
    // Groups of two: "a" and "b" fill one, "c" is in the open one when the empty name, which the
    // table refuses, fails.
    EXPECT_THROW(
        {
            GroupedWrites writes(*db, 2);
            for (const char* rom : {"a", "b", "c", ""}) {
                rs->AddNew();
                rs->SetValue("Rom", QString(rom));
                writes.Update(*rs);
            }
        },
        StoreError);
    rs.reset();
    db.reset();
    db = Database::Open(dir.file("t.mdb"), "ROMS");
    EXPECT_EQ(Column(*db->OpenRecordset("ROMS")), (QStringList{"kept", "a", "b", "c"}));
}

TEST(Database, CreateAndOpenRefuseFilesTheyWouldHarm) {
    TempProgramDir dir;
    const QString path = dir.file("a.mdb");
    WriteBytes(path, "keep me");
    EXPECT_THROW(Database::Create(path), StoreError);
    EXPECT_EQ(ReadBytes(path), QByteArray("keep me"));
    EXPECT_THROW(Database::Open(dir.file("absent.mdb")), StoreError);

    const QString readOnly = dir.file("b.mdb");
    Database::Create(readOnly)->CreateTable("ROMS", "Rom", FieldType::Text, false);
    const QByteArray before = ReadBytes(readOnly);
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    // root may write any file whatever its permissions; the refusal is then the directory's.
    if (QFile(readOnly).open(QIODevice::ReadWrite))
        GTEST_SKIP() << "running as a user who can write read-only files";
    EXPECT_THROW(Database::Open(readOnly), StoreError);
    EXPECT_EQ(ReadBytes(readOnly), before);
}

TEST_F(DatabaseTest, KeysetFollowsTableOrderOrTheQuerysOrder) {
    add("c", "Zaxxon");
    add("a", "asteroids");
    add("b", "Berzerk");
    add("d", "berzerk");
    EXPECT_EQ(Column(*db->OpenRecordset("ROMS")), (QStringList{"c", "a", "b", "d"}));
    // ORDER BY is case-blind; equal descriptions keep the table's order.
    EXPECT_EQ(Column(*db->OpenRecordset("SELECT * FROM ROMS ORDER BY Description,Description")),
              (QStringList{"a", "b", "d", "c"}));
    EXPECT_EQ(Column(*db->OpenRecordset(
                  "SELECT * FROM [ROMS] WHERE Description LIKE 'b%' OR Rom='c'ORDER BY Description DESC")),
              (QStringList{"c", "b", "d"}));
    EXPECT_THROW(db->OpenRecordset("SELECT * FROM ROMS JOIN ROMS"), StoreError);
    EXPECT_THROW(db->OpenRecordset("SELECT * FROM NOPE"), StoreError);
}

// Moves step over deleted records, and an add leaves the position where it was, past the end too.
TEST_F(DatabaseTest, MovesStepOverDeletedRecordsAndAddsKeepThePosition) {
    auto rs = db->OpenRecordset("ROMS");
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_THROW(rs->Value("Rom"), StoreError);
    EXPECT_THROW(rs->MoveNext(), StoreError);
    for (const char* name : {"a", "b", "c", "d"})
        test::AddGame(*rs, name, QString(name).toUpper());
    EXPECT_TRUE(rs->IsEOF());
    rs->MoveFirst();
    rs->MoveNext();
    rs->Delete();
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_THROW(rs->Value("Rom"), StoreError);
    rs->MoveNext();
    test::AddGame(*rs, "e", "E");
    EXPECT_EQ(rs->Value("Rom").toString(), "c");
    EXPECT_EQ(Column(*rs), (QStringList{"a", "c", "d", "e"}));
    EXPECT_FALSE(rs->FindFirst("Rom", "b"));

    // Deleting while walking the whole set visits every record once.
    for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext())
        rs->Delete();
    EXPECT_EQ(rs->RecordCount(), 0);
    rs->MoveLast();
    EXPECT_TRUE(rs->IsEOF());
}

TEST_F(DatabaseTest, FindFirstAndLastByBoundValues) {
    add("a", "Pac-Man");
    add("b", "Say \"Cheese\" O'Brien");
    add("c", "PAC-MAN");
    add("d", "x' OR '1'='1");
    auto rs = db->OpenRecordset("ROMS");
    const auto rom = [&] { return rs->NoMatch() ? QString("no match") : rs->Value("Rom").toString(); };
    EXPECT_TRUE(rs->FindFirst("description", "pac-man"));
    EXPECT_EQ(rom(), "a");
    EXPECT_TRUE(rs->FindFirst("Description", "Say \"Cheese\" O'Brien"));
    EXPECT_EQ(rom(), "b");
    // No match leaves the position alone; a text that would be SQL in a criteria string is a value.
    EXPECT_FALSE(rs->FindFirst("Rom", "zzz' OR '1'='1"));
    EXPECT_EQ(rom(), "no match");
    EXPECT_EQ(rs->Value("Rom").toString(), "b");
    EXPECT_FALSE(rs->FindFirst("Active", QVariant()));
    EXPECT_THROW(rs->FindFirst("Nope", "a"), StoreError);

    // A query's keyset only finds its own rows, first and last in its own order.
    auto sorted = db->OpenRecordset("SELECT * FROM ROMS WHERE Rom<>'a' ORDER BY Rom DESC");
    EXPECT_TRUE(sorted->FindLast("Description", "pac-man"));
    EXPECT_EQ(sorted->Value("Rom").toString(), "c");
}

TEST_F(DatabaseTest, EditsAreStoredAndSeenByOtherRecordsets) {
    auto rs = db->OpenRecordset("ROMS");
    rs->AddNew();
    rs->SetValue("ROM", "pacman");
    rs->SetValue("missing rom", 2.6);
    rs->SetValue("Active", true);
    rs->Update();
    rs->MoveFirst();
    EXPECT_EQ(rs->Value("Missing Rom").toLongLong(), 3);
    EXPECT_EQ(rs->Value("Active").toLongLong(), -1);
    rs->Edit();
    rs->SetValue("Notes", "line 1\rline 2");
    rs->SetValue("Description", QString(""));
    rs->Update();

    // A zero-length text stays distinct from Null.
    auto other = db->OpenRecordset("ROMS");
    EXPECT_EQ(other->Value("Notes").toString(), "line 1\rline 2");
    EXPECT_FALSE(other->Value("Description").isNull());
    EXPECT_EQ(other->Value("Description").toString(), QString());
    other->Edit();
    other->SetValue("Description", "Pac-Man");
    other->SetValue("Notes", QVariant());
    other->Update();
    EXPECT_EQ(rs->Value("Description").toString(), "Pac-Man");
    EXPECT_TRUE(rs->Value("Notes").isNull());

    // Moving away abandons an unsaved edit.
    rs->Edit();
    rs->SetValue("Description", "never stored");
    rs->MoveFirst();
    EXPECT_EQ(rs->Value("Description").toString(), "Pac-Man");
    EXPECT_THROW(rs->SetValue("Description", "x"), StoreError);
    EXPECT_THROW(rs->Update(), StoreError);
}

TEST_F(DatabaseTest, RefusesValuesTheFieldCannotHold) {
    auto rs = db->OpenRecordset("ROMS");
    rs->AddNew();
    const std::pair<const char*, QVariant> refused[] = {
        {"Active", "abc"}, {"Active", 40000}, {"Missing ROM", 3000000000LL}, {"Nope", 1}};
    for (const auto& [field, value] : refused)
        EXPECT_THROW(rs->SetValue(field, value), StoreError) << field << " " << value.toString().toStdString();
    rs->SetValue("Active", " -1 ");
    // Rom is the one text field that does not take a zero-length string.
    rs->SetValue("Rom", QString(""));
    EXPECT_THROW(rs->Update(), StoreError);
    rs->SetValue("Rom", "ok");
    rs->Update();
    rs->MoveFirst();
    EXPECT_EQ(rs->Value("Active").toLongLong(), -1);
}

// A walk loads runs of records ahead, of every field or of the preloaded ones; writes made
// meanwhile, here or through another recordset, must still be seen, and a field first asked for
// halfway must be read from the table. The table in its order, then a query in reverse.
TEST_F(DatabaseTest, AWalkSeesWritesMadeWhileItRuns) {
    {
        Transaction transaction(*db);
        for (int i = 0; i < 700; ++i)
            add(QString("g%1").arg(i), QString("Game %1").arg(i, 3, 10, QChar('0')), i);
        transaction.Commit();
    }
    QSet<int> changed;
    const auto description = [&](int n) {
        return QString("Game %1").arg(n, 3, 10, QChar('0')) + (changed.contains(n) ? " changed" : "");
    };
    for (const bool preload : {false, true}) {
        auto rs =
            db->OpenRecordset(preload ? "SELECT * FROM ROMS WHERE Active >= 100 ORDER BY Description DESC" : "ROMS");
        if (preload)
            rs->Preload({"Description", "rom"});
        int i = 0;
        for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext(), ++i) {
            const int n = preload ? 699 - i : i;
            if (i == 300) {
                const int next = preload ? n - 1 : n + 1;
                auto other = db->OpenRecordset("ROMS");
                ASSERT_TRUE(other->FindFirst("Rom", QString("g%1").arg(next)));
                other->Edit();
                other->SetValue("Description", description(next) + " changed");
                other->Update();
                changed << next;
            }
            ASSERT_EQ(rs->Value("Description").toString(), description(n)) << i;
            if (i >= 500) {
                ASSERT_EQ(rs->Value("Active").toInt(), n);
            }
            rs->Edit();
            rs->SetValue("Notes", QString("seen %1 %2").arg(n).arg(preload));
            rs->Update();
            ASSERT_EQ(rs->Value("Notes").toString(), QString("seen %1 %2").arg(n).arg(preload));
        }
        EXPECT_EQ(i, preload ? 600 : 700);
        EXPECT_THROW(rs->Preload({"Nope"}), StoreError);
    }
}

TEST_F(DatabaseTest, BookmarksFindTheSameRecordInAnotherRecordset) {
    for (const char* name : {"a", "b", "c"})
        add(name, QString(name).toUpper());
    auto table = db->OpenRecordset("ROMS");
    auto sorted = db->OpenRecordset("SELECT * FROM ROMS WHERE Rom <> 'c' ORDER BY Rom DESC");
    ASSERT_TRUE(sorted->FindFirst("Rom", "b"));
    ASSERT_TRUE(table->MoveToBookmark(sorted->Bookmark()));
    EXPECT_EQ(table->Value("Rom").toString(), QString("b"));
    ASSERT_TRUE(table->FindFirst("Rom", "c"));
    EXPECT_FALSE(sorted->MoveToBookmark(table->Bookmark())) << "not in that keyset";
    EXPECT_EQ(sorted->Value("Rom").toString(), QString("b"));
    table->Delete();
    EXPECT_EQ(table->Bookmark(), 0);
}

// Write statements are kept by edit mode and the fields written; a field dropped meanwhile moves
// the fields after it to other places, and an add of the same fields as an edit is still an add.
TEST_F(DatabaseTest, ReadsAndWritesReachTheNamedFieldsAfterTheTableChanged) {
    add("a", "A");
    auto rs = db->OpenRecordset("ROMS");
    rs->Edit();
    rs->SetValue("Notes", "kept");
    rs->Update();
    db->DeleteField("ROMS", "Description");
    rs->Edit();
    rs->SetValue("Active", 1); // where Notes stood
    rs->Update();
    EXPECT_EQ(rs->Value("Notes").toString(), QString("kept"));
    EXPECT_EQ(rs->Value("Active").toInt(), 1);

    rs->AddNew();
    rs->SetValue("Active", 2);
    rs->Update();
    EXPECT_EQ(db->OpenRecordset("ROMS")->RecordCount(), 2) << "the add wrote to the edited record";
    EXPECT_EQ(db->OpenRecordset("SELECT * FROM ROMS WHERE Active = 2")->RecordCount(), 1);

    // A field added after the recordset opened is seen, empty.
    db->AddField("ROMS", "Bad ROM", FieldType::Long, false);
    EXPECT_TRUE(rs->Value("bad rom").isNull());
}
