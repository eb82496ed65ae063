// Runs the built stand-in MAME for real: its verification report, a game start and its refusals.
// Its listings are read back by the update's parser tests, which write them with the same code;
// the launch tests check the arguments it records.

#include "TestDirs.h"

#include "checks/VerifyReport.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace {

struct Outcome {
    int exitCode = -1;
    QStringList out; // standard output's lines that are not empty
    QString err;
    QByteArray bytes; // standard output as it came
};

class StandinTest : public testing::Test {
public:
    void WriteData(const QString& text) { zelvora::test::WriteBytes(games, text.toUtf8()); }

    Outcome Start(const QStringList& args) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(ZELVORA_STANDIN_PATH, args);
        Outcome run;
        if (!process.waitForFinished(30000))
            return run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.bytes = process.readAllStandardOutput();
        run.out = QString::fromUtf8(run.bytes).split('\n', Qt::SkipEmptyParts);
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    zelvora::test::TempProgramDir dir;
    const QString games = dir.file("games.tsv");
    QProcessEnvironment env = [this] {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"ZELVORA_MAME_RECORD", "ZELVORA_MAME_RECORD_ARGS", "ZELVORA_MAME_EXIT",
                                 "ZELVORA_MAME_LISTING_BREAK", "ZELVORA_STANDIN_LISTXML"})
            e.remove(name);
        e.insert("ZELVORA_STANDIN_GAMES", games);
        return e;
    }();
};

TEST_F(StandinTest, VerifyReportPutsEachBadSetsProblemsBeforeItsRomsetLine) {
    WriteData("# a comment line\n"
              "pacman\t\t1980\tNamco\tPac-Man (Japan)\tpacman.c\tZ80\t\t\tNamco\t\t\tgood\n"
              "\n"
              "pacmanm\tpacman\t1980\tNamco\tPac-Man (Midway)\tpacman.c\tZ80\t\t\tNamco\t\t\tbad\n"
              "mslug\t\t1996\tNazca\tMetal Slug\tneogeo.c\t68000\tZ80\t\tYM2610\t\t\tmissing\n");
    const Outcome run = Start({"-verifyroms", "*.*"});
    ASSERT_EQ(run.exitCode, 0);
    // Read as the ROM check reads it: detail lines gather until a romset line names them.
    QMap<QString, QStringList> notes;
    QStringList pending;
    for (const QString& line : run.out) {
        const zelvora::VerifyLine kind = zelvora::ClassifyVerifyLine(line);
        if (kind.kind == zelvora::VerifyLineKind::Romset)
            notes[kind.name] = std::exchange(pending, {});
        else if (kind.kind == zelvora::VerifyLineKind::Detail)
            pending << line;
    }
    EXPECT_EQ(notes.keys(), (QStringList{"mslug", "pacmanm"}));
    EXPECT_EQ(notes["pacmanm"].size(), 2);
    EXPECT_TRUE(notes["pacmanm"][0].startsWith("pacmanm.1a  : "));
    EXPECT_TRUE(notes["mslug"].isEmpty());
    EXPECT_EQ(pending, QStringList{"2 romsets found, 1 were OK."});
}

TEST_F(StandinTest, GameStartPrintsItsArgumentsAndExitsWithTheChosenCode) {
    env.insert("ZELVORA_MAME_EXIT", "7");
    env.insert("ZELVORA_STANDIN_GAMES", dir.file("absent.tsv")); // a game start needs no data
    const Outcome run = Start({"pacman", "-cfg", "/tmp/a b/it's \"x\"", "-nosound"});
    EXPECT_EQ(run.exitCode, 7);
    EXPECT_EQ(run.out, QStringList{"mame: would now run pacman with: -cfg /tmp/a b/it's \"x\" -nosound"});
}

TEST_F(StandinTest, MissingOrMalformedDataFileFailsWithAMessage) {
    const std::pair<QString, const char*> cases[] = {
        {QString(), "absent.tsv"}, // no file at all
        {"pacman\t\t1980\tNamco\n", "line 1"},
        {"\nmuchtoolong\t\t1980\tN\tT\td\t\t\t\t\t\t\tgood\n", "line 2"},
        {"a\tp q\t1980\tN\tT\td\t\t\t\t\t\t\tgood\n", "line 1"},
        {"a\t\t1980\tN\tT\td\t\t\t\t\t\t\tfine\n", "\"fine\""},
    };
    for (const auto& [data, message] : cases) {
        WriteData(data);
        env.insert("ZELVORA_STANDIN_GAMES", data.isEmpty() ? dir.file("absent.tsv") : games);
        const Outcome run = Start({"-listdetails"});
        EXPECT_EQ(run.exitCode, 1) << message;
        EXPECT_TRUE(run.out.isEmpty()) << message;
        EXPECT_TRUE(run.err.contains(message)) << message << ": " << run.err.toStdString();
    }
}

// Today's MAME as recorded: its version without a line end, its listing byte for byte, the old
// listings refused as it refuses them, and a listing cut short by a crash.
TEST_F(StandinTest, PlaysTodaysMameFromARecordedListing) {
    const QString listing = zelvora::test::FixturePath("mame-today/listxml.xml");
    env.insert("ZELVORA_STANDIN_LISTXML", listing);
    const Outcome version = Start({"-version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.bytes, zelvora::test::ReadBytes(zelvora::test::FixturePath("mame-today/version.txt")));
    const Outcome listed = Start({"-listxml"});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.bytes, zelvora::test::ReadBytes(listing));
    for (const char* old : {"-listdetails", "-listgames"}) {
        const Outcome refused = Start({old});
        EXPECT_EQ(refused.exitCode, 6) << old;
        EXPECT_EQ(refused.err, QString("Error: unknown option: %1\n").arg(old));
    }

    env.insert("ZELVORA_MAME_LISTING_BREAK", "-listxml 3 139");
    const Outcome crashed = Start({"-listxml"});
    EXPECT_EQ(crashed.exitCode, 139);
    EXPECT_EQ(crashed.bytes, zelvora::test::ReadBytes(listing).split('\n').mid(0, 3).join('\n') + '\n');
    EXPECT_FALSE(crashed.err.isEmpty());
}

} // namespace
