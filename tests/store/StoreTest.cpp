#include "CatalogueFixture.h"
#include "Listings.h"

#include "checks/PresenceChecks.h"
#include "store/GroupedWrites.h"
#include "store/Settings.h"
#include "store/StoreError.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Errors carry the engine's text, a closed database raises, and a file that may not be written is
// left as it was.
TEST_F(DatabaseTest, ErrorsCarryTheEnginesTextAndHarmNoFile) {
    try {
        db->Execute("UPDATE ROMS SET Nope=False");
        ADD_FAILURE() << "no error for a missing field";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.Text().contains("Nope")) << error.Text().toStdString();
    }
    auto rs = db->OpenRecordset("ROMS");
    db->Close();
    EXPECT_THROW(rs->MoveFirst(), StoreError);
    EXPECT_THROW(db->Execute("SELECT 1"), StoreError);
    EXPECT_THROW(Database::Open(dir.file("absent.mdb")), StoreError);
    const QString readOnly = dir.file("t.mdb");
    const QByteArray before = ReadBytes(readOnly);
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    // root may write any file whatever its permissions; the refusal is then the directory's.
    if (QFile(readOnly).open(QIODevice::ReadWrite))
        GTEST_SKIP() << "running as a user who can write read-only files";
    EXPECT_THROW(Database::Open(readOnly), StoreError);
    EXPECT_EQ(ReadBytes(readOnly), before);
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
                writes.Run([&] { rs->Update(); });
            }
        },
        StoreError);
    rs.reset();
    db.reset();
    db = Database::Open(dir.file("t.mdb"), "ROMS");
    EXPECT_EQ(Column(*db->OpenRecordset("ROMS")), (QStringList{"kept", "a", "b", "c"}));
}

// Values are stored as their field holds them, or refused; a zero-length text stays distinct from
// Null, and Rom is the one text field that does not take one.
TEST_F(DatabaseTest, ValuesAreConvertedStoredOrRefused) {
    auto rs = db->OpenRecordset("ROMS");
    EXPECT_THROW(rs->SetValue("Rom", "x"), StoreError) << "neither adding nor editing";
    rs->AddNew();
    const std::pair<const char*, QVariant> refused[] = {
        {"Active", "abc"}, {"Active", 40000}, {"Missing ROM", 3000000000LL}, {"Nope", 1}};
    for (const auto& [field, value] : refused)
        EXPECT_THROW(rs->SetValue(field, value), StoreError) << field << " " << value.toString().toStdString();
    rs->SetValue("Rom", QString(""));
    EXPECT_THROW(rs->Update(), StoreError);
    // Field names in any case; a number rounds, True is -1.
    const std::tuple<const char*, QVariant, QString> values[] = {{"ROM", "pacman", "pacman"},
                                                                 {"missing rom", 2.6, "3"},
                                                                 {"Active", true, "-1"},
                                                                 {"Notes", "line 1\rline 2", "line 1\rline 2"},
                                                                 {"Description", QString(""), ""}};
    for (const auto& [field, value, stored] : values)
        rs->SetValue(field, value);
    rs->Update();
    rs = db->OpenRecordset("ROMS");
    for (const auto& [field, value, stored] : values)
        EXPECT_EQ(rs->Value(field).toString(), stored) << field;
    EXPECT_FALSE(rs->Value("Description").isNull());
    // A number text with blanks is a number.
    rs->Edit();
    rs->SetValue("Active", " 7 ");
    rs->SetValue("Notes", QVariant());
    rs->Update();
    EXPECT_EQ(rs->Value("Active").toLongLong(), 7);
    EXPECT_TRUE(rs->Value("Notes").isNull());
}

// The keyset as the merge uses it: one walk that preloads some fields and takes each record's
// bookmark, loading runs of records ahead, so a record's own write must still be seen; then back by
// bookmark to read a field not preloaded, edit, add and delete.
TEST_F(DatabaseTest, AKeysetWalkedOnceIsWrittenByBookmark) {
    {
        Transaction transaction(*db);
        for (int i = 0; i < 700; ++i)
            add(QString("g%1").arg(i), QString("Game %1").arg(i), i);
        transaction.Commit();
    }
    auto rs = db->OpenRecordset("SELECT * FROM ROMS");
    rs->Preload({"Description", "rom"});
    EXPECT_THROW(rs->Preload({"Nope"}), StoreError);
    const int active = rs->FieldIndex("active"), notes = rs->FieldIndex("Notes");
    std::vector<std::int64_t> bookmarks;
    for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
        const QString game = QString("Game %1").arg(bookmarks.size());
        bookmarks.push_back(rs->Bookmark());
        ASSERT_EQ(rs->Value("Description").toString(), game);
        rs->Edit();
        rs->SetValue(notes, "seen " + game);
        rs->Update();
        ASSERT_EQ(rs->Value(notes).toString(), "seen " + game);
    }
    ASSERT_EQ(bookmarks.size(), 700u);
    ASSERT_TRUE(rs->MoveToBookmark(bookmarks[650]));
    EXPECT_EQ(rs->Value(notes).toString(), "seen Game 650");
    EXPECT_EQ(rs->Value(active).toInt(), 650);
    // An add of the fields an edit wrote is still an add, and leaves the position where it was.
    rs->Edit();
    rs->SetValue(active, 1);
    rs->Update();
    rs->AddNew();
    rs->SetValue(active, 2);
    rs->Update();
    EXPECT_EQ(rs->Value("Rom").toString(), "g650");
    EXPECT_EQ(db->OpenRecordset("ROMS")->RecordCount(), 701) << "the add wrote to the edited record";
    rs->Delete();
    EXPECT_EQ(rs->Bookmark(), 0);
    EXPECT_THROW(rs->Value(notes), StoreError);
    EXPECT_FALSE(rs->MoveToBookmark(bookmarks[650])) << "no longer in the keyset";
    rs->MoveNext();
    EXPECT_EQ(rs->Value("Rom").toString(), "g651");
    const QStringList roms = Column(*rs);
    EXPECT_EQ(roms.size(), 700);
    EXPECT_FALSE(roms.contains("g650"));
    EXPECT_EQ(Column(*db), roms) << "the table as the keyset holds it";
}

struct Legacy {
    QStringList drop = {};                 // listed fields the old catalogue lacks
    QList<QPair<QString, int>> extra = {}; // unlisted Text fields, inserted before the given index
    QVariant notes = QStringLiteral("ZELVORA Version 0.99");
    bool defaultRecord = true;
};

// A catalogue as another version of the program might have left it: the default record and
// three games.
void writeLegacyCatalogue(const QString& programDir, const Legacy& legacy) {
    auto db = Database::Create(CatalogueFile(programDir));
    db->CreateTable("ROMS", "Rom", FieldType::Text, false);
    const std::vector<CatalogueField>& fields = CatalogueFields();
    for (int i = 1; i < static_cast<int>(fields.size()); ++i) {
        for (const auto& [name, before] : legacy.extra) {
            if (before == i)
                db->AddField("ROMS", name, FieldType::Text, true);
        }
        if (!legacy.drop.contains(fields[i].name))
            db->AddField("ROMS", fields[i].name, fields[i].type, true);
    }
    auto rs = db->OpenRecordset("ROMS");
    if (legacy.defaultRecord)
        test::AddGame(*rs, DefaultRom, DefaultDescription, {{"Notes", legacy.notes}, {"Default", 1}});
    for (int i = 0; i < 3; ++i) {
        QVariantMap fields{{"Gamma", 10 + i}};
        if (!legacy.drop.contains("Active"))
            fields["Active"] = -1;
        for (const auto& extra : legacy.extra)
            fields[extra.first] = "old data";
        test::AddGame(*rs, QString("game%1").arg(i), QString("Game %1").arg(i), fields);
    }
}

// The names of a table's fields, or of the listed ones.
template <typename Fields> QStringList namesOf(const Fields& fields) {
    QStringList names;
    for (const auto& field : fields)
        names << field.name;
    return names;
}

ino_t inode(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    return info.st_ino;
}

// A first run makes the listed fields. An old catalogue loses the fields this version does not list and gains the ones
// it lacks at the end, without reordering; every game waits for the next update and the default record carries this
// version's banner. A catalogue stamped by this version is left as it is.
TEST(Catalogue, FirstRunMakesTheListedFieldsOldCataloguesAreUpgradedAndCurrentOnesLeftAlone) {
    EXPECT_EQ(namesOf(test::CatalogueFixture().vars.CatalogueDb->Fields("ROMS")), namesOf(CatalogueFields()));
    const struct {
        const char* name;
        Legacy legacy;
        QStringList addedAtEnd = {};
        bool upgraded = true;
    } cases[] = {
        {"an older stamp, missing and unlisted fields, a listed one in another case",
         {.drop = {"Bad ROM", "Playback", "Missing ROM"},
          .extra = {{"Old Stuff", 12}, {"missing rom", 53}, {"zz", 54}}},
         {"Playback", "Bad ROM"}},
        {"an empty stamp", {.notes = QString("")}},
        {"no default record, no Active field", {.drop = {"Active"}, .defaultRecord = false}, {"Active"}},
        {"this version's stamp in lower case",
         {.drop = {"Bad ROM"}, .notes = QString(VersionBanner).toLower()},
         {},
         false},
        {"a Null stamp", {.drop = {"Bad ROM"}, .notes = QVariant()}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CatalogueFixture program{NoCatalogue{}};
        writeLegacyCatalogue(program.program.path(), c.legacy);
        const ino_t before = inode(program.file());
        PrepareCatalogue(program.vars);
        Recordset& rs = program.rs();
        QStringList expected = namesOf(CatalogueFields());
        for (const QString& name : c.addedAtEnd)
            expected.move(expected.indexOf(name), expected.size() - 1);
        if (!c.upgraded)
            expected.removeAll("Bad ROM");
        const QStringList names = namesOf(program.vars.CatalogueDb->Fields("ROMS"));
        EXPECT_EQ(names.join('|').toLower(), expected.join('|').toLower());
        EXPECT_EQ(rs.RecordCount(), 4);
        EXPECT_EQ(inode(program.file()) != before, c.upgraded) << "compaction replaces the file";
        const QString notes = c.upgraded ? VersionBanner : c.legacy.notes.toString();
        std::vector<std::tuple<QString, QString, QString>> stored = {{"game1", "Description", "Game 1"},
                                                                     {"game2", "Gamma", "12"},
                                                                     {DefaultRom, "Default", "1"},
                                                                     {DefaultRom, "Notes", notes},
                                                                     {"game0", "Active", c.upgraded ? "0" : "-1"}};
        for (const auto& extra : c.legacy.extra) {
            if (names.contains(extra.first))
                stored.emplace_back("game2", extra.first, "old data");
        }
        for (const auto& [rom, field, value] : stored) {
            ASSERT_TRUE(rs.FindFirst("Rom", rom)) << rom.toStdString();
            EXPECT_EQ(rs.Value(field).toString(), value) << field.toStdString();
        }
    }
}

// Whatever is wrong with the file, the start-up raises the error and leaves every byte in place.
TEST(Catalogue, AFileThatIsNotACatalogueIsLeftAsItWas) {
    TempProgramDir other;
    test::MakeCatalogue(other.path(), 20);
    const QByteArray catalogue = ReadBytes(CatalogueFile(other.path()));
    Database::Create(other.file("games.mdb"))->CreateTable("GAMES", "Rom", FieldType::Text, false);
    const QByteArray noRoms = ReadBytes(other.file("games.mdb"));
    CatalogueFixture program{NoCatalogue{}};
    // SQLite would take an empty file for a new database and write to it.
    const QByteArray cases[] = {QByteArray(), catalogue.left(catalogue.size() / 3), noRoms};
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.left(20).toStdString());
        WriteBytes(program.file(), bytes);
        EXPECT_THROW(PrepareCatalogue(program.vars), StoreError);
        EXPECT_EQ(ReadBytes(program.file()), bytes);
        EXPECT_FALSE(QFile::exists(program.file() + "-wal"));
        EXPECT_FALSE(QFile::exists(TempCatalogueFile(program.program.path())));
    }
}

// A crash while the write-ahead log is being copied into the catalogue can leave page 1 written
// and the file not yet grown to the pages it counts, which the log still holds. SQLite reads
// them from the log, so the catalogue opens; a log that does not hold them is refused, and the
// file and its log stay as they were.
TEST(Catalogue, PagesTheFileLacksAreReadFromItsLog) {
    test::CatalogueFixture f;
    const qint64 emptySize = QFileInfo(CatalogueFile(f.vars.ProgramDir)).size();
    Database& db = *f.vars.CatalogueDb;
    db.Execute("PRAGMA wal_autocheckpoint=0");
    // The file as the interrupted copy leaves it, cut back to an earlier size, and its log.
    const auto interruptedCopy = [&](qint64 size) {
        db.Execute("PRAGMA wal_checkpoint(PASSIVE)");
        const QString file = CatalogueFile(f.vars.ProgramDir);
        return std::pair{ReadBytes(file).left(size), ReadBytes(file + "-wal")};
    };
    test::GenerateGames(db, 300);
    const auto [cutFile, log] = interruptedCopy(emptySize);
    // A long note has pages of its own, which starting on the catalogue does not read.
    db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    const qint64 sizeBeforeNote = QFileInfo(CatalogueFile(f.vars.ProgramDir)).size();
    f.add("long", "Long Notes", {{"Notes", QString(40000, 'x')}});
    db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    f.add("later", "Later Game");
    const auto [noteCut, laterLog] = interruptedCopy(sizeBeforeNote);
    const std::tuple<const char*, QByteArray, QByteArray, bool> cases[] = {
        {"the log holds the missing pages", cutFile, log, true},
        {"the note's pages are in neither file", noteCut, laterLog, false},
    };
    for (const auto& [name, file, wal, opens] : cases) {
        SCOPED_TRACE(name);
        CatalogueFixture crashed{NoCatalogue{}};
        WriteBytes(crashed.file(), file);
        WriteBytes(crashed.file() + "-wal", wal);
        if (opens) {
            PrepareCatalogue(crashed.vars);
            EXPECT_EQ(crashed.store().RecordCount(), 301);
        } else {
            EXPECT_THROW(PrepareCatalogue(crashed.vars), StoreError);
            EXPECT_EQ(ReadBytes(crashed.file()), file);
            EXPECT_EQ(ReadBytes(crashed.file() + "-wal"), wal);
        }
    }
}

// Compaction writes the copy under the temporary name and renames it over the catalogue; a
// compaction that cannot finish leaves the catalogue as it was. The window's tests hold one over a
// left-over copy, twice, and the kill test the games kept.
TEST(Catalogue, ACompactionThatCannotFinishLeavesTheCatalogueAsItWas) {
    CatalogueFixture program{NoCatalogue{}};
    test::MakeCatalogue(program.program.path(), 200);
    const QString temp = TempCatalogueFile(program.program.path());
    const QByteArray before = ReadBytes(program.file());
    // Held open elsewhere: renaming over it would pull it from under that program.
    OpenCatalogue(program.vars);
    EXPECT_THROW(CompactCatalogue(program.program.path()), StoreError);
    program.close();
    EXPECT_EQ(ReadBytes(program.file()), before);
    // A temporary name that cannot be cleared away.
    QDir().mkpath(temp + "/busy");
    EXPECT_THROW(CompactCatalogue(program.program.path()), StoreError);
    EXPECT_EQ(ReadBytes(program.file()), before);
}

// Two first starts at the same moment: while one makes or compacts the catalogue, the other is
// told the catalogue is in use and touches nothing, so no half-made file is renamed into place.
TEST(Catalogue, OneProgramAtATimeMakesOrCompactsTheCatalogue) {
    CatalogueFixture program{NoCatalogue{}};
    const int folder = ::open(QFile::encodeName(program.program.path()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(folder, LOCK_EX), 0);
    try {
        PrepareCatalogue(program.vars);
        ADD_FAILURE() << "made a catalogue while another program was making one";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.Text().contains("in use by another Zelvora")) << error.Text().toStdString();
    }
    EXPECT_TRUE(QDir(program.program.path()).isEmpty());
    ::close(folder);
    // A log left by a catalogue that is gone is not replayed into the new one.
    test::CatalogueFixture other;
    other.vars.CatalogueDb->Execute("PRAGMA wal_autocheckpoint=0");
    test::GenerateGames(*other.vars.CatalogueDb, 50);
    WriteBytes(program.file() + "-wal", ReadBytes(other.file() + "-wal"));
    PrepareCatalogue(program.vars);
    EXPECT_EQ(program.rs().RecordCount(), 1);
    program.close();
    const QByteArray made = ReadBytes(program.file());
    const int again = ::open(QFile::encodeName(program.program.path()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(again, LOCK_EX), 0);
    EXPECT_THROW(CompactCatalogue(program.program.path()), StoreError);
    ::close(again);
    EXPECT_EQ(ReadBytes(program.file()), made);
}

// An installed program cannot write beside itself: its catalogue goes to the user's data folder.
TEST(Catalogue, DataFolderIsTheProgramsOwnWhenWritable) {
    TempProgramDir home;
    const QByteArray xdg = qgetenv("XDG_DATA_HOME"), user = qgetenv("HOME");
    qputenv("XDG_DATA_HOME", home.file("data").toUtf8());
    qputenv("HOME", home.path().toUtf8());
    EXPECT_EQ(DataFolder(home.path()), home.path());
    // Read-only whoever asks, the superuser too.
    EXPECT_EQ(DataFolder("/proc"), home.file("data/Zelvora"));
    EXPECT_TRUE(QFileInfo(home.file("data/Zelvora")).isDir());
    qputenv("XDG_DATA_HOME", "relative/path");
    EXPECT_EQ(DataFolder("/proc"), home.file(".local/share/Zelvora"));
    qputenv("XDG_DATA_HOME", xdg);
    qputenv("HOME", user);
}

// Application, section and key are case-blind and every spelling lands in one file; a second
// store over the same directory reads each text as the first saved it, and the text reads as a
// number and a yes or no. An absent key gives its default as text.
TEST(Settings, NamesAreCaseBlindAndTextsReadAsNumbersAndYesOrNo) {
    TempProgramDir config;
    Settings settings(config.path());
    const std::tuple<QString, long long, bool> cases[] = {
        {"abc", 0, false},   {"", 0, false},    {"12abc", 12, true},
        {"  7", 7, true},    {"-3", -3, true},  {"@Invalid(), \"x\"; y=z", 0, false},
        {"0", 0, false},     {"True", 0, true}, {"true", 0, true},
        {"False", 0, false}, {"-1", -1, true},  {"99999999999999999999999", 999999999999999999LL, true}};
    int key = 0;
    for (const auto& [text, number, yes] : cases) {
        settings.Save("Zelvora", "Settings", QString("Key%1").arg(++key), text);
        const QString read = Settings(config.path()).Get("ZELVORA", "settings", QString("KEY%1").arg(key), "absent");
        EXPECT_EQ(read, text);
        EXPECT_EQ(Settings::ToNumber(read), number) << text.toStdString();
        EXPECT_EQ(Settings::ToBool(read), yes) << text.toStdString();
    }
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", 0), QString("0"));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Merged", false), QString("False"));
    // A garbled file reads as defaults and takes new values.
    WriteBytes(settings.FilePath("zelvora"), QByteArray("\x00\xff[[[\n=\n", 9));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Key1", "none"), QString("none"));
    settings.Save("zelvora", "settings", "Last", "4");
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", 0), QString("4"));
}

// A program killed in the middle of an update, a check or a compaction leaves a catalogue that
// opens, whole: the update's changes all there or none of them, the other two changing no game's
// presence. The long action runs in a child process (this test program again, asked for it by
// the environment) that is killed with SIGKILL at points across the action's run.

constexpr int Games = 8000;
const char* const ActionVariable = "ZELVORA_KILLED_ACTION";
const char* const FolderVariable = "ZELVORA_KILLED_FOLDER";

void runAction(const QString& action, const QString& folder) {
    test::CatalogueFixture program(folder);
    test::CountingReport report;
    if (action == "update") {
        MergeListings(program.vars, report);
        return;
    }
    // The check and the compaction are quick: a few runs make a target.
    for (int i = 0; i < 8; ++i) {
        if (action == "check") {
            CheckMissingScreenshots(program.store(), folder + "/shots/", true, report, ScreenshotKinds::Pcx);
        } else {
            program.close();
            CompactCatalogue(folder);
            OpenCatalogue(program.vars);
        }
    }
}

QStringList gamesIn(const QString& folder) {
    test::CatalogueFixture program(folder);
    QStringList roms = test::Column(*program.vars.CatalogueDb);
    roms.sort();
    return roms;
}

// Only does something in the child process, where the environment names the action.
TEST(KilledMidway, ChildRunsTheAskedAction) {
    const QString action = qEnvironmentVariable(ActionVariable);
    if (action.isEmpty())
        return;
    runAction(action, qEnvironmentVariable(FolderVariable));
    std::_Exit(0);
}

TEST(KilledMidway, TheCatalogueOpensWholeAfterEachKill) {
    test::TempProgramDir pristine;
    const auto games = test::MakeCatalogue(pristine.path(), Games);
    // The update keeps three quarters of the games and brings as many new ones as it expires.
    std::vector<standin::StandinGame> listed;
    for (int i = Games / 4; i < Games + Games / 4; ++i) {
        standin::StandinGame& game = listed.emplace_back();
        game.name = i < Games ? games[i].rom : QString("new%1").arg(i);
        game.description = i < Games ? games[i].description : QString("New Game %1").arg(i);
        game.year = "1990";
        game.driver = "driver.c";
    }
    // None of them is a clone: the update goes without a clone listing.
    const std::pair<const char*, QStringList> listings[] = {{"Details.txt", standin::ListDetails(listed)},
                                                            {"Games.txt", standin::ListGames(listed)}};
    const QStringList before = gamesIn(pristine.path());
    const QByteArray catalogue = test::ReadBytes(CatalogueFile(pristine.path()));
    for (const char* action : {"update", "check", "compaction"}) {
        test::TempProgramDir folder;
        for (const auto& [file, lines] : listings)
            test::WriteBytes(folder.file(file), lines.join('\n').toUtf8() + '\n');
        const auto run = [&](int killAfter) {
            test::WriteBytes(CatalogueFile(folder.path()), catalogue);
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(ActionVariable, action);
            environment.insert(FolderVariable, folder.path());
            child.setProcessEnvironment(environment);
            child.start(QFileInfo("/proc/self/exe").symLinkTarget(),
                        {"--gtest_filter=KilledMidway.ChildRunsTheAskedAction"});
            EXPECT_TRUE(child.waitForStarted());
            QElapsedTimer clock;
            clock.start();
            if (killAfter > 0) {
                QThread::msleep(static_cast<unsigned long>(killAfter));
                child.kill();
            }
            EXPECT_TRUE(child.waitForFinished(120000));
            return static_cast<int>(clock.elapsed());
        };
        // A whole run, unkilled, for its length and its outcome.
        const int whole = run(0);
        const QStringList after = gamesIn(folder.path());
        EXPECT_NE(after == before, std::string(action) == "update") << action;
        for (const int percent : {10, 30, 50, 70, 90}) {
            SCOPED_TRACE(std::string(action) + " killed at " + std::to_string(percent) + "%");
            run(std::max(1, whole * percent / 100));
            const QStringList found = gamesIn(folder.path());
            EXPECT_TRUE(found == before || found == after) << found.size() << " games";
        }
    }
}

} // namespace

// What the user did with a game, its settings for today's MAME and what MAME told of it are kept
// beside the records: an older catalogue gains their tables and the facts' later columns with its
// rows kept, runs add up under any spelling of the set name, options are written with their
// settings in one transaction, facts are replaced whole or not at all, and a compaction keeps it all.
TEST(Catalogue, PlayHistorySettingsAndFactsAreKeptBesideTheRecords) {
    test::CatalogueFixture program;
    for (const char* table : {"GameHistory", "GameFacts", "GameSettings"})
        program.vars.CatalogueDb->Execute(QString("DROP TABLE ") + table);
    program.vars.CatalogueDb->Execute("CREATE TABLE GameFacts (Rom TEXT PRIMARY KEY COLLATE NOCASE NOT NULL, Type "
                                      "INTEGER NOT NULL DEFAULT 0, Players INTEGER NOT NULL DEFAULT 0, NeedsFiles "
                                      "INTEGER NOT NULL DEFAULT 1)");
    program.vars.CatalogueDb->Execute("INSERT INTO GameFacts VALUES ('oldgame', 1, 2, 0)");
    OpenCatalogue(program.vars);
    program.add("pacman", "Pac-Man");
    GameStore& store = program.store();
    const GameOptions pacmanOptions({{"Cheats", 1}, {"Video", "soft"}, {"Volume", -12}, {"Window", 0}});
    ASSERT_TRUE(store.SaveOptions("PacMan", pacmanOptions));
    ASSERT_TRUE(store.SaveOptions("-default-", GameOptions({{"Cheats", -1}, {"Window", 1}, {"Volume", -3}})));
    ASSERT_TRUE(store.SaveOptions("-default-", GameOptions({{"Volume", QVariant()}})));
    EXPECT_FALSE(store.SaveOptions("nosuchgame", GameOptions({{"Window", 1}})));
    program.vars.CatalogueDb->Execute("CREATE TRIGGER refuseSetting BEFORE UPDATE ON GameSettings "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(store.SaveOptions("pacman", GameOptions({{"Cheats", 0}, {"Window", 1}})), StoreError);
    EXPECT_EQ(store.FactsOf("OLDGAME"), GameFactsRow({MachineType::Arcade, 2, false}));
    store.ReplaceFacts({{"oldgame", {}}, {"Pong", {{MachineType::Mechanical, 4, true}}}});
    const GameFactsRow beena{{MachineType::ComputerOrConsole, 0, true},
                             {ScreenType::Lcd, true, 2, 320, 240, 59.94f},
                             {"Keypad, Joystick (8-way)", 4}};
    store.ReplaceFacts({{"Pong", {{MachineType::Arcade, 2, false}}}, {"Beena", beena}});
    program.vars.CatalogueDb->Execute("CREATE TRIGGER refuse BEFORE INSERT ON GameFacts WHEN NEW.Rom='bad' "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(store.ReplaceFacts({{"pacman", {}}, {"bad", {}}}), StoreError);
    program.vars.CatalogueDb->Execute("UPDATE GameFacts SET Type=9 WHERE Rom='beena'");
    const QDateTime ended(QDate(2026, 12, 8), QTime(21, 0), Qt::UTC);
    program.store().SetFavourite("pacman", true);
    program.store().RecordPlay("pacman", 90, ended);
    program.store().RecordPlay("PACMAN", 30, ended.addSecs(3600).toLocalTime());
    program.store().SetFavourite("galaga", false);
    program.close();
    CompactCatalogue(program.vars.ProgramDir);
    OpenCatalogue(program.vars);
    const PlayHistory pacman = program.store().History("Pacman");
    EXPECT_TRUE(pacman.favourite);
    EXPECT_EQ(std::tuple(pacman.playCount, pacman.playSeconds, pacman.lastPlayed),
              std::tuple(2LL, 120LL, QString("2026-12-08T22:00:00Z")));
    const PlayHistory galaga = program.store().History("galaga");
    EXPECT_EQ(std::tuple(galaga.favourite, galaga.playCount, galaga.lastPlayed), std::tuple(false, 0LL, QString()));
    const QHash<QString, GameFacts> facts = program.store().Facts();
    EXPECT_EQ(QSet<QString>(facts.keyBegin(), facts.keyEnd()), (QSet<QString>{"pong", "beena"}));
    EXPECT_EQ(std::tuple(facts["pong"].type, facts["pong"].players, facts["pong"].needsFiles),
              std::tuple(MachineType::Arcade, 2, false));
    EXPECT_EQ(facts["beena"].type, MachineType::Unknown) << "a number of no kind";

    const GameOptions options = *program.store().Options("pacman");
    for (const auto& [field, value] : pacmanOptions.Values().asKeyValueRange())
        EXPECT_EQ(options.Value(field), value) << field.toStdString() << ": the refused write left both tables";
    EXPECT_TRUE(options.Value("Keep Aspect").isNull());
    EXPECT_EQ(program.store().Game("PACMAN")->Options(), options);
    const GameOptions defaults = *program.store().DefaultOptions();
    EXPECT_EQ(std::tuple(defaults.Value("Cheats"), defaults.Value("Window"), defaults.Value("Volume")),
              std::tuple(QVariant(-1LL), QVariant(1LL), QVariant()));
    const std::optional<GameFactsRow> read = program.store().FactsOf("BEENA");
    ASSERT_TRUE(read);
    EXPECT_EQ(std::tie(read->screen, read->controls), std::tie(beena.screen, beena.controls));
    EXPECT_FALSE(program.store().FactsOf("oldgame"));
}
