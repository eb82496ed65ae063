// Runs the built stand-in MAME for real: its verification report, a game start and its refusals.
// Its listings are read back by the update's parser tests, which write them with the same code.

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

} // namespace
