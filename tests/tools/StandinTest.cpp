// Runs the built stand-in MAME for real and reads its output the way the catalogue update and the
// ROM check cut it: by character positions, counted from 1.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int exitCode = -1;
    QStringList out; // standard output, split into lines (without the final empty one)
    QString err;
};

// Columns `from` to `to` of a line, fewer when the line is shorter; `to` < 0 runs to the end.
QString Cut(const QString& line, int from, int to = -1) {
    return line.mid(from - 1, to < 0 ? -1 : to - from + 1);
}

class StandinTest : public testing::Test {
public:
    StandinTest() {
        WriteData(QStringLiteral("# a comment line\n"
                                 "pacman\t\t1980\tNamco\tPac-Man (Japan)\tpacman.c\tZ80\t\t\tNamco\t\t\tgood\n"
                                 "\n"
                                 "pacmanm\tpacman\t1980\tNamco (Midway license)\tPac-Man (Midway)\tpacman.c\tZ80\t\t\t"
                                 "Namco\t\t\tbad\n"
                                 "mslug\t\t1996\tNazca\tMetal Slug - Super Vehicle-001\tneogeo.c\t68000\tZ80\t\t"
                                 "YM2610\t\t\tmissing\n"
                                 "longone\tmslug\t19??\tA Maker Whose Name Runs Past Its Column Width\t"
                                 "Café \"Quoted\" Title\tverylongdriver.c\tHD63701Y\tM68HC11A\t6502\tYM2151\t"
                                 "OKIM6295\tDAC\tbad\n"));
    }

    void WriteData(const QString& text, const QString& name = QStringLiteral("games.tsv")) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }

    Outcome Start(const QStringList& args, const QString& program = QStringLiteral(ZELVORA_STANDIN_PATH)) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, args);
        Outcome run;
        if (!process.waitForFinished(30000))
            return run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        run.out = out.split(QLatin1Char('\n'));
        if (run.out.last().isEmpty())
            run.out.removeLast();
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QTemporaryDir dir;
    QProcessEnvironment env = [this] {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"ZELVORA_MAME_RECORD", "ZELVORA_MAME_RECORD_ARGS", "ZELVORA_MAME_EXIT"})
            e.remove(QLatin1String(name));
        e.insert(QStringLiteral("ZELVORA_STANDIN_GAMES"), dir.filePath(QStringLiteral("games.tsv")));
        return e;
    }();
};

TEST_F(StandinTest, DetailsListingHasTwoHeadingsThenOneFixedColumnLinePerGame) {
    const Outcome run = Start({QStringLiteral("-listdetails")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(run.out.size(), 2 + 4);
    EXPECT_EQ(run.out[2], QStringLiteral("pacman    pacman.c    Z80                     Namco                         "
                                         "Pac-Man (Japan)"));
    // Full-width columns touch their neighbours; too long ones are cut, never shift the rest.
    const QString& full = run.out[5];
    EXPECT_EQ(Cut(full, 1, 8), QStringLiteral("longone "));
    EXPECT_EQ(Cut(full, 11, 20), QStringLiteral("verylongdr"));
    EXPECT_EQ(Cut(full, 23, 46), QStringLiteral("HD63701YM68HC11A6502    "));
    EXPECT_EQ(Cut(full, 47, 54), QStringLiteral("YM2151  "));
    EXPECT_EQ(Cut(full, 57, 64), QStringLiteral("OKIM6295"));
    EXPECT_EQ(Cut(full, 67, 74), QStringLiteral("DAC     "));
    EXPECT_EQ(Cut(full, 77), QStringLiteral("Café \"Quoted\" Title"));
    for (int column : {9, 10, 21, 22, 55, 56, 65, 66, 75, 76})
        EXPECT_EQ(full[column - 1], QLatin1Char(' ')) << "column " << column;
    const QString& mslug = run.out[4];
    EXPECT_EQ(Cut(mslug, 23, 30).trimmed() + Cut(mslug, 31, 38).trimmed() + Cut(mslug, 39, 46).trimmed(),
              QStringLiteral("68000Z80"));
    EXPECT_EQ(Cut(mslug, 11, 20).trimmed(), QStringLiteral("neogeo.c"));
}

TEST_F(StandinTest, GamesAndClonesListingsCutBackToTheirFields) {
    const Outcome games = Start({QStringLiteral("-listgames")});
    ASSERT_EQ(games.exitCode, 0);
    ASSERT_EQ(games.out.size(), 2 + 4);
    EXPECT_EQ(games.out[2], QStringLiteral("1980 Namco                                Pac-Man (Japan)"));
    EXPECT_EQ(Cut(games.out[3], 6, 42).trimmed(), QStringLiteral("Namco (Midway license)"));
    EXPECT_EQ(Cut(games.out[5], 1, 4), QStringLiteral("19??"));
    EXPECT_EQ(Cut(games.out[5], 6, 42), QStringLiteral("A Maker Whose Name Runs Past Its Colu"));
    EXPECT_EQ(Cut(games.out[5], 43), QStringLiteral("Café \"Quoted\" Title"));

    const Outcome clones = Start({QStringLiteral("-listclones")});
    ASSERT_EQ(clones.exitCode, 0);
    ASSERT_EQ(clones.out.size(), 2 + 2);
    EXPECT_EQ(clones.out[2], QStringLiteral("pacmanm  pacman"));
    EXPECT_EQ(clones.out[3], QStringLiteral("longone  mslug"));

    // Heading lines must find no game under the keys the update searches with.
    for (const QString& heading : {games.out[0], games.out[1]})
        EXPECT_FALSE(Cut(heading, 43).trimmed().contains(QLatin1String("Pac"))) << heading.toStdString();
    for (const QString& heading : {clones.out[0], clones.out[1]}) {
        const QString parent = Cut(heading, 10, 17).trimmed();
        EXPECT_TRUE(parent.contains(QLatin1Char(' ')) || parent.startsWith(QLatin1Char('-'))) << heading.toStdString();
    }
}

TEST_F(StandinTest, VerifyReportPutsEachBadSetsProblemsBeforeItsRomsetLine) {
    const Outcome all = Start({QStringLiteral("-verifyroms"), QStringLiteral("*.*")});
    ASSERT_EQ(all.exitCode, 0);
    // Read the report as the ROM check does: detail lines gather until a romset line names them.
    QMap<QString, QStringList> notes;
    QStringList pending;
    for (const QString& line : all.out) {
        if (line.left(6).compare(QLatin1String("romset"), Qt::CaseInsensitive) == 0) {
            notes[line.mid(7).section(QLatin1Char(' '), 0, 0)] = pending;
            pending.clear();
        } else if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1String("the zipfile")) &&
                   !line.startsWith(QLatin1String("error in"))) {
            pending << line;
        }
    }
    EXPECT_EQ(notes.keys(),
              (QStringList{QStringLiteral("longone"), QStringLiteral("mslug"), QStringLiteral("pacmanm")}));
    EXPECT_EQ(notes[QStringLiteral("pacmanm")].size(), 2);
    EXPECT_TRUE(notes[QStringLiteral("pacmanm")][0].startsWith(QLatin1String("pacmanm.1a  : ")));
    EXPECT_TRUE(notes[QStringLiteral("mslug")].isEmpty());
    EXPECT_EQ(pending, QStringList{QStringLiteral("3 romsets found, 1 were OK.")});

    const Outcome some = Start({QStringLiteral("-verifyroms"), QStringLiteral("PAC*")});
    ASSERT_EQ(some.exitCode, 0);
    EXPECT_TRUE(some.out.contains(QStringLiteral("romset pacmanm is bad")));
    EXPECT_FALSE(some.out.join(QLatin1Char('\n')).contains(QLatin1String("mslug")));
}

TEST_F(StandinTest, GameStartRecordsItsExactArgumentsAndExitsWithTheChosenCode) {
    const QString record = dir.filePath(QStringLiteral("record.txt"));
    const QString recordArgs = dir.filePath(QStringLiteral("args.txt"));
    env.insert(QStringLiteral("ZELVORA_MAME_RECORD"), record);
    env.insert(QStringLiteral("ZELVORA_MAME_RECORD_ARGS"), recordArgs);
    env.insert(QStringLiteral("ZELVORA_MAME_EXIT"), QStringLiteral("7"));
    env.insert(QStringLiteral("ZELVORA_STANDIN_GAMES"), dir.filePath(QStringLiteral("absent.tsv")));
    const QStringList args{QStringLiteral("pacman"), QStringLiteral("-cfg"), QStringLiteral("/tmp/a b/it's \"x\""),
                           QStringLiteral("-nosound")};

    Outcome run = Start(args);
    EXPECT_EQ(run.exitCode, 7);
    EXPECT_EQ(run.out,
              QStringList{QStringLiteral("mame: would now run pacman with: -cfg /tmp/a b/it's \"x\" -nosound")});
    env.insert(QStringLiteral("ZELVORA_MAME_EXIT"), QStringLiteral("0"));
    run = Start({QStringLiteral("nosuchgm")});
    EXPECT_EQ(run.exitCode, 0);

    QFile lines(record);
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
    EXPECT_EQ(lines.readAll(), QByteArray("pacman -cfg /tmp/a b/it's \"x\" -nosound\nnosuchgm\n"));
    QFile json(recordArgs);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(json.readLine()).array().toVariantList(), QVariant(args).toList());
}

TEST_F(StandinTest, MissingOrMalformedDataFileFailsWithAMessage) {
    const struct {
        const char* name;
        QString data; // empty: no file at all
        const char* message;
    } cases[] = {
        {"missing", QString(), "absent.tsv"},
        {"too few fields", QStringLiteral("pacman\t\t1980\tNamco\n"), "line 1"},
        {"long set name", QStringLiteral("\nmuchtoolong\t\t1980\tN\tT\td\t\t\t\t\t\t\tgood\n"), "line 2"},
        {"blank in parent", QStringLiteral("a\tp q\t1980\tN\tT\td\t\t\t\t\t\t\tgood\n"), "line 1"},
        {"verify word", QStringLiteral("a\t\t1980\tN\tT\td\t\t\t\t\t\t\tfine\n"), "\"fine\""},
    };
    for (const auto& c : cases) {
        const QString name = c.data.isEmpty() ? QStringLiteral("absent.tsv") : QStringLiteral("broken.tsv");
        if (!c.data.isEmpty())
            WriteData(c.data, name);
        env.insert(QStringLiteral("ZELVORA_STANDIN_GAMES"), dir.filePath(name));
        const Outcome run = Start({QStringLiteral("-listdetails")});
        EXPECT_EQ(run.exitCode, 1) << c.name;
        EXPECT_TRUE(run.out.isEmpty()) << c.name;
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << c.name << ": " << run.err.toStdString();
    }
}

TEST_F(StandinTest, DataFileDefaultsToTheExecutablesOwnDirectory) {
    const QString copy = dir.filePath(QStringLiteral("mame"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZELVORA_STANDIN_PATH), copy));
    WriteData(QStringLiteral("dkong\t\t1981\tNintendo\tDonkey Kong\tdkong.c\tZ80\t\t\tDAC\t\t\tgood\n"),
              QStringLiteral("standin-games.tsv"));
    env.remove(QStringLiteral("ZELVORA_STANDIN_GAMES"));
    const Outcome run = Start({QStringLiteral("-listgames")}, copy);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(Cut(run.out.value(2), 43), QStringLiteral("Donkey Kong"));
}

} // namespace
