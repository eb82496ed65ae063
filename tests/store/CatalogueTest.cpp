#include "CatalogueFixture.h"

#include "store/Settings.h"
#include "store/StoreError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

struct Legacy {
    QStringList drop = {};                 // listed fields the old catalogue lacks
    QList<QPair<QString, int>> extra = {}; // unlisted Text fields, inserted before the given index
    QVariant notes = QStringLiteral("ZELVORA Version 0.99");
    bool defaultRecord = true;
};

// A catalogue as another version of the program might have left it: the default record and
// three games.
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

QStringList fieldNames(const Recordset& rs) {
    QStringList names;
    for (int i = 0; i < rs.FieldCount(); ++i)
        names << rs.FieldName(i);
    return names;
}

// A program directory whose catalogue the test writes before PrepareCatalogue.
struct Program : test::CatalogueFixture {
    Program() : CatalogueFixture(test::NoCatalogue{}) {}
};

ino_t inode(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    return info.st_ino;
}

} // namespace

QStringList listedNames() {
    FieldTable table;
    table.InitFieldNames();
    return QStringList(table.FieldNames.begin(), table.FieldNames.begin() + CatalogueFieldCount);
}

TEST(Catalogue, FirstRunCreatesTheListedFieldsAndTheDefaultRecord) {
    test::CatalogueFixture first;
    EXPECT_EQ(fieldNames(first.rs()), listedNames());
    ASSERT_EQ(first.rs().RecordCount(), 1);
    EXPECT_EQ(first.rs().Value("Rom").toString(), DefaultRom);
}

// An old catalogue loses the fields this version does not list and gains the ones it lacks at
// the end, without reordering; every game waits for the next update and the default record
// carries this version's banner. A catalogue stamped by this version is left as it is.
TEST(Catalogue, OldCataloguesAreUpgradedAndCurrentOnesLeftAlone) {
    const struct {
        const char* name;
        Legacy legacy;
        QStringList addedAtEnd = {};
        bool upgraded = true;
    } cases[] = {
        {"an older stamp, missing and unlisted fields",
         {.drop = {"Bad ROM", "Playback"}, .extra = {{"Old Stuff", 12}, {"zz", 54}}},
         {"Playback", "Bad ROM"}},
        {"an empty stamp", {.notes = QString("")}},
        {"no default record, no Active field", {.drop = {"Active"}, .defaultRecord = false}, {"Active"}},
        {"a listed field in another case", {.drop = {"Missing ROM"}, .extra = {{"missing rom", 53}}}},
        {"this version's stamp in lower case",
         {.drop = {"Bad ROM"}, .notes = QString(VersionBanner).toLower()},
         {},
         false},
        {"a Null stamp", {.drop = {"Bad ROM"}, .notes = QVariant()}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Program program;
        writeLegacyCatalogue(program.program.path(), c.legacy);
        const ino_t before = inode(program.file());
        PrepareCatalogue(program.vars);
        Recordset& rs = *program.vars.RomsRecordset;
        QStringList expected = listedNames();
        for (const QString& name : c.addedAtEnd)
            expected.move(expected.indexOf(name), expected.size() - 1);
        if (!c.upgraded)
            expected.removeAll("Bad ROM");
        const QStringList names = fieldNames(rs);
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

    Program program;
    const QByteArray cases[] = {QByteArray(), QByteArray(3000, '\x01'), QByteArray("SQLite format 3\0garbage", 23),
                                catalogue.left(catalogue.size() / 3), noRoms};
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
        {"the log lost its commit", cutFile, log.left(log.size() / 2), false},
        {"the note's pages are in neither file", noteCut, laterLog, false},
    };
    for (const auto& [name, file, wal, opens] : cases) {
        SCOPED_TRACE(name);
        Program crashed;
        WriteBytes(crashed.file(), file);
        WriteBytes(crashed.file() + "-wal", wal);
        if (opens) {
            PrepareCatalogue(crashed.vars);
            EXPECT_EQ(crashed.vars.RomsRecordset->RecordCount(), 301);
        } else {
            EXPECT_THROW(PrepareCatalogue(crashed.vars), StoreError);
            EXPECT_EQ(ReadBytes(crashed.file()), file);
            EXPECT_EQ(ReadBytes(crashed.file() + "-wal"), wal);
        }
    }
}

// Compaction writes the copy under the temporary name and renames it over the catalogue; a
// compaction that cannot finish leaves the catalogue as it was.
TEST(Catalogue, CompactionReplacesTheCatalogueWholeOrNotAtAll) {
    Program program;
    const auto games = test::MakeCatalogue(program.program.path(), 200);
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
    QDir(temp).removeRecursively();

    WriteBytes(temp, "left over");
    CompactCatalogue(program.program.path());
    CompactCatalogue(program.program.path());
    EXPECT_EQ(QDir(program.program.path()).entryList(QDir::Files), QStringList{"Zelvora.mdb"});
    OpenCatalogue(program.vars);
    EXPECT_EQ(program.vars.RomsRecordset->RecordCount(), 201);
    ASSERT_TRUE(program.vars.RomsRecordset->FindLast("Description", games[150].description));
    EXPECT_EQ(program.vars.RomsRecordset->Value("Rom").toString(), games[150].rom);
}

// Two first starts at the same moment: while one makes or compacts the catalogue, the other is
// told the catalogue is in use and touches nothing, so no half-made file is renamed into place.
TEST(Catalogue, OneProgramAtATimeMakesOrCompactsTheCatalogue) {
    Program program;
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

    PrepareCatalogue(program.vars);
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
// store over the same directory reads what the first saved, and values come back as saved text.
TEST(Settings, NamesAreCaseBlindAndValuesComeBackAsText) {
    TempProgramDir config;
    Settings settings(config.path());
    settings.Save("Zelvora", "Settings", "MameLocation", "/opt/mame/");
    settings.Save("zelvora", "settings", "odd", "@Invalid(), \"x\"; y=z");
    settings.Save("zelvora", "settings", "empty", "");
    EXPECT_EQ(Settings(config.path()).Get("ZELVORA", "SETTINGS", "mamelocation", ""), QString("/opt/mame/"));
    EXPECT_EQ(settings.FilePath("Zelvora"), settings.FilePath("zelvora"));
    EXPECT_EQ(settings.Get("Zelvora", "Settings", "Odd", ""), QString("@Invalid(), \"x\"; y=z"));
    EXPECT_EQ(settings.Get("zelvora", "settings", "empty", 0), QString(""));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", 0), QString("0"));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Merged", false), QString("False"));

    // A garbled file reads as defaults and takes new values.
    zelvora::test::WriteBytes(settings.FilePath("zelvora"), QByteArray("\x00\xff[[[\n=\n", 9));
    EXPECT_EQ(settings.Get("zelvora", "settings", "MameLocation", "none"), QString("none"));
    settings.Save("zelvora", "settings", "Last", "4");
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", 0), QString("4"));
}

TEST(Settings, NumericAndBooleanReads) {
    const std::pair<const char*, long long> numbers[] = {
        {"abc", 0}, {"", 0}, {"12abc", 12}, {"  7", 7}, {"-3", -3}, {"99999999999999999999999", 999999999999999999LL}};
    for (const auto& [text, number] : numbers)
        EXPECT_EQ(Settings::ToNumber(text), number) << text;
    for (const char* yes : {"1", "True", "true", "-1"})
        EXPECT_TRUE(Settings::ToBool(yes)) << yes;
    for (const char* no : {"0", "False", "", "abc"})
        EXPECT_FALSE(Settings::ToBool(no)) << no;
}
