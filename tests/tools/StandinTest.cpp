#include "TestDirs.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace {

// The built stand-in MAME, for what the window and update tests cannot see through it.
struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

class StandinTest : public testing::Test {
public:
    Outcome Start(const QStringList& args, const QByteArray& data) {
        zelvora::test::WriteBytes(dir.file("games.tsv"), data);
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(ZELVORA_STANDIN_PATH, args);
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
    }

    zelvora::test::TempProgramDir dir;
    QProcessEnvironment env = [this] {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"ZELVORA_MAME_RECORD", "ZELVORA_MAME_RECORD_ARGS", "ZELVORA_MAME_LISTING_BREAK",
                                 "ZELVORA_STANDIN_LISTXML"})
            e.remove(name);
        e.insert("ZELVORA_STANDIN_GAMES", dir.file("games.tsv"));
        return e;
    }();
};

// The window's check sees the marks; the notes need each bad set's details before its romset line.
TEST_F(StandinTest, VerifyReportPutsEachBadSetsProblemsBeforeItsRomsetLine) {
    const Outcome run = Start({"-verifyroms", "*.*"},
                              "pacman\t\t1980\tNamco\tPac-Man (Japan)\tpacman.c\tZ80\t\t\tNamco\t\t\tgood\n\n"
                              "pacmanm\tpacman\t1980\tNamco\tPac-Man (Midway)\tpacman.c\tZ80\t\t\tNamco\t\t\tbad\n"
                              "mslug\t\t1996\tNazca\tMetal Slug\tneogeo.c\t68000\tZ80\t\tYM2610\t\t\tmissing\n");
    ASSERT_EQ(run.exitCode, 0);
    const QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("pacmanm.1a  : ") && lines[1].startsWith("pacmanm.2b  : "));
    EXPECT_EQ(lines.mid(2), (QStringList{"error in zipfile pacmanm.zip", "romset pacmanm is bad",
                                         "the zipfile mslug.zip was not found", "romset mslug not found",
                                         "2 romsets found, 1 were OK."}));
}

// Playing today's MAME, it refuses the old listings as today's MAME does.
TEST_F(StandinTest, PlaysTodaysMameRefusals) {
    env.insert("ZELVORA_STANDIN_LISTXML", zelvora::test::FixturePath("mame-today/listxml.xml"));
    for (const char* old : {"-listdetails", "-listgames"}) {
        const Outcome refused = Start({old}, {});
        EXPECT_EQ(refused.exitCode, 6) << old;
        EXPECT_EQ(refused.err, QString("Error: unknown option: %1\n").arg(old));
    }
}

} // namespace
