#include "CatalogueFixture.h"

#include "launcher/ShellQuote.h"
#include "mame/ClassicMame.h"
#include "mame/GameCommand.h"
#include "mame/MameVersion.h"
#include "mame/TodaysMame.h"
#include "mame/TodaysOptions.h"

#include "ScriptedDialogs.h"

#include <QDateTime>
#include <QLocale>
#include <QThread>

using namespace zelvora;

namespace {

const ClassicMame classic;
const TodaysMame today("0.251");

class CommandLineTest : public ::testing::Test, public test::CatalogueFixture {
protected:
    CommandLineTest() { add("pacman", "Pac-Man"); }

    // The record's options all at 0 and its texts empty, then `fields`: "Field=value|...", where
    // whole numbers are numbers, "null" is Null and anything else is text; stored in one write.
    void set(const QString& rom, const QString& fields) {
        GameOptions options;
        for (const OptionSpec& option : OptionTable()) {
            if (option.control == OptionControl::Choice)
                continue; // beside the record, where nothing is stored for a new game
            const bool text = option.control == OptionControl::TextBox || option.control == OptionControl::Browsed;
            options.SetValue(option.field, text ? QVariant(QString()) : QVariant(0));
        }
        for (const QString& field : fields.split('|', Qt::SkipEmptyParts)) {
            const QString value = field.section('=', 1);
            bool number = false;
            const int n = value.toInt(&number);
            options.SetValue(field.section('=', 0, 0), number ? QVariant(n) : value == "null" ? QVariant() : value);
        }
        ASSERT_TRUE(GameStore(*vars.CatalogueDb).SaveOptions(rom, options));
    }

    QString build(const QString& fields, const Mame& mame, const QString& romPath = {}) {
        set("pacman", fields);
        const GameStore store(*vars.CatalogueDb);
        return BuildCommandLine(StartingOptions(*store.Options("PacMan"), store.DefaultOptions()), mame, romPath);
    }
};

TEST(NumberTextTest, WritesTheInvariantShortForm) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // a decimal comma must not leak in
    // -0.7 + 1.2 lands beside the .5 it stands for.
    const double values[] = {1, 0.5, 1.25, -1, -0.5, 0, -0.0, -7 / 10.0 + 1.2, 1e15, 1e-5, 123456.75, -2 / 3.0};
    QStringList texts;
    for (double x : values)
        texts << NumberText(x);
    EXPECT_EQ(texts.join('|'), " 1| .5| 1.25|-1|-.5| 0| 0| .5| 1E+15| 1E-05| 123456.75|-.666666666666667");
    QLocale::setDefault(previous);
}

// Only 1 in Default starts the game with the default set's options: every other case holds 0 there,
// and the check boxes' case -1. A NUL stored in an option text would cut the command short.
TEST_F(CommandLineTest, SwitchesFollowTheFieldsInTheirFixedOrder) {
    set(DefaultRom, "Default=1|Sound Card=1|Resolution=4|Frame Skip=1|AltDir=/shared/");
    QString checkBoxesAtTrue;
    for (const OptionSpec& option : OptionTable()) {
        if (option.control == OptionControl::CheckBox)
            checkBoxesAtTrue += option.field + "=-1|";
    }
    const std::pair<QString, const char*> cases[] = {
        {"Sound Card=1|Resolution=4|Pixel Doubling=1|Gamma=3|Frame Skip=1|Sample Rate=-1",
         "-soundcard 1 -640x480 -double -gamma 1.5 -frameskip 1 -sr 11025 "},
        // The user's own text comes last as it stands, and the whole line is trimmed.
        {"Additional=   ", "-soundcard 0"},
        {"Additional=-cfg \"a b\";x", "-soundcard 0 -cfg \"a b\";x"},
        {"Resolution=7|Rotate=3|Flip=3", "-soundcard 0 "},
        {"AltDir=    ", "-soundcard 0 "},
        {"AltDir= My MAME's \"best\" ", "-romdir 'My MAME'\\''s \"best\"' -soundcard 0 "},
        {"PlayOpt=1|Playback=  game.inp|AltDir=/roms2/", "-playback game.inp -romdir /roms2/ -soundcard 0 "},
        {"PlayOpt=2|Playback=my game.inp", "-record 'my game.inp' -soundcard 0 "},
        {"PlayOpt=3|Playback=game.inp", "-soundcard 0 "},
        {"PlayOpt=1|Playback=  ", "-soundcard 0 "},
        {"Gamma=-7|Beam=1|Flicker=1", "-soundcard 0 -gamma .5 -beam .25 -flicker .5 "},
        {"VGA Freq=-1|Joystick=2", "-soundcard 0 -joy 2 -vgafreq-1 "},
        // Sound and joystick turned off with today's MAME are off here too.
        {"Sound Card=-1|Joystick=-1", "-soundcard 0 "},
        {checkBoxesAtTrue, "-soundcard 0 "},
        {"PlayOpt=2|Playback=x.inp|AltDir=/r/|Sound Card=2|Resolution=6|Joystick=3|No Stereo=1|16 Bit Sound=1|"
         "Gamma=8|VGA Freq=60|Rotate=2|Flip=1|Beam=5|Flicker=3|Frame Skip=2|Sample Rate=2|Additional= -nosound ",
         "-record x.inp -romdir /r/ -soundcard 2 -1024x768 -joy 3 -sb 16 -nostereo -gamma 2 -vgafreq 60 -rol -flipx "
         "-beam 1.25 -flicker 1.5 -frameskip 2 -sr 44100  -nosound"},
        {"Sound Card=null|Gamma=null|Sample Rate=null|Cheats=null|Resolution=null|PlayOpt=1|Playback=null|"
         "AltDir=null|Additional=null",
         ""},
        {"Default=1|Sound Card=3|Cheats=1|Additional=-x", "-romdir /shared/ -soundcard 1 -640x480 -frameskip 1 "},
        {QString::fromUtf8("Additional=-a\0b|PlayOpt=1|Playback=x\0y", 38), "-playback xy -soundcard 0 -ab"},
    };
    for (const auto& [fields, expected] : cases)
        EXPECT_EQ(build(fields, classic), QString(expected)) << fields.toStdString();
}

// Today's MAME takes its own switches in the same order, and only those its Options page shows
// (not a gamma or a resolution the classic page left in the record): the ROM folder
// always comes last in its ROM path, and a recording's name gains its extension. It plays sound
// and reads the joystick unless told not to, and a value beyond what the Options tab can show is
// given as the nearest one it shows. Its settings beside the record pass a switch when they hold a
// value, on and off alike.
TEST_F(CommandLineTest, TodaysMameGetsTheSwitchesItKnows) {
    QString everyOptionAtOne;
    for (const OptionSpec& option : OptionTable()) {
        if (option.control == OptionControl::CheckBox || option.control == OptionControl::Slider ||
            option.control == OptionControl::ScrollBar)
            everyOptionAtOne += option.field + "=1|";
    }
    const std::tuple<QString, const char*, const char*> cases[] = {
        {"", "", ""},
        {"Sound Card=-1|Joystick=-1|Cheats=1", "", "-sound none -nojoystick -cheat "},
        {everyOptionAtOne + "Default=0|Sound Card=2|Resolution=4|Sample Rate=-1|PlayOpt=1|Playback= my game |"
                            "AltDir=/my roms/|Additional=-video none",
         "/roms/",
         "-playback 'my game.inp' -rompath '/my roms/;/roms/' -joystick -norotate -cheat -debug -ror -flipx "
         "-frameskip 1 -samplerate 11025 -video none"},
        {"PlayOpt=2|Playback=run.INP|Sample Rate=5|Joystick=-3|Gamma=-12|Resolution=7|Rotate=3", "",
         "-record run.INP -nojoystick -rol -samplerate 44100 "},
        {"Gamma=12|Sample Rate=-5|Frame Skip=11|Sound Card=-7", "", "-sound none -frameskip 10 -samplerate 11025 "},
        {"Window=1|Video=soft|Keep Aspect=0|Filter=1|Auto Frame Skip=1|Volume=-32|Sample Rate Hz=22050|Auto Save=1|"
         "Skip Game Info=1|Cheats=-1|Joystick=9",
         "",
         "-joystick -nocheat -window -video soft -nokeepaspect -filter -autoframeskip -volume -32 -samplerate 22050 "
         "-autosave -skip_gameinfo "},
        {"Window=0|Video= |Sample Rate Hz=null|Keep Aspect=1|Filter=0|Auto Frame Skip=0|Volume=5|Auto Save=0|Skip Game "
         "Info=0",
         "", "-nowindow -keepaspect -nofilter -noautoframeskip -volume 0 -noautosave -noskip_gameinfo "},
    };
    for (const auto& [fields, romPath, expected] : cases)
        EXPECT_EQ(build(fields, today, romPath), QString(expected)) << fields.toStdString();
}

// Today's MAME says on its standard error why it refuses a game; the classic MAME's own codes
// are not examined, only a command that never started. A MAME ended by a signal ran the game:
// it is told from one that ended with 128 + that number itself. A quote left open in the user's
// own switches is a command the shell cannot read, reported rather than run.
TEST(RunGame, TodaysMameRefusingAGameIsReportedInItsOwnWords) {
    test::TempProgramDir mame;
    // What Debian's MAME 0.251 wrote when asked for a set whose files are missing.
    test::WriteScript(mame.file("mame"), "#!/bin/sh\ncat " +
                                             ShellQuote(test::FixturePath("mame-today/start-missing.stderr")).toUtf8() +
                                             " >&2\n[ \"$1\" = kill ] && kill -KILL $$\nexit ${1:-0}\n");
    ShellRunner runner;
    const QString command = ShellQuote(mame.file("mame"));
    const QString said = "\nMAME said:\npacman.6e NOT FOUND (tried in pacman puckman)\n";
    const std::tuple<const char*, const Mame*, int, QString> cases[] = {
        {"", &today, 0, ""},
        {" 2", &today, 2, "MAME did not run the game (exit code 2). The command was:\n%1 2" + said},
        {" 137", &today, 137, "MAME did not run the game (exit code 137). The command was:\n%1 137" + said},
        {" kill", &today, 137, "MAME was ended by signal 9 (Killed). The command was:\n%1 kill" + said},
        {" 2", &classic, 2, ""},
        {" 127", &classic, 127, "MAME could not be started (exit code 127). The command was:\n%1 127"},
        {" kill", &classic, 137, "MAME was ended by signal 9 (Killed). The command was:\n%1 kill"},
    };
    for (const auto& [argument, mame, code, problem] : cases) {
        const GameRun run = RunGame(runner, command + argument, *mame);
        EXPECT_EQ(run.exitCode, code);
        if (mame == &today && code != 0) {
            EXPECT_TRUE(run.problem.startsWith(problem.arg(command))) << run.problem.toStdString();
            EXPECT_TRUE(run.problem.endsWith("\nFatal error: Required files are missing, the machine cannot be run."));
            EXPECT_FALSE(run.problem.contains("ALSA") || run.problem.contains("XDG"));
        } else {
            EXPECT_EQ(run.problem, problem.arg(command)) << argument;
        }
    }
    EXPECT_TRUE(RunGame(runner, "true 'open", classic).problem.startsWith("The shell could not read the command"));
}

bool IsClassic(const std::shared_ptr<const Mame>& mame) {
    return dynamic_cast<const ClassicMame*>(mame.get()) != nullptr;
}

// Each answer from a MAME that is a script saying it; the real answer is the recorded one. An
// empty number stands for the classic MAME.
TEST(MameVersions, OnlyAVersionNumberWithSuccessIsTodaysMame) {
    const std::tuple<const char*, QByteArray, QString> cases[] = {
        {"today's MAME", "cat '" + QFile::encodeName(test::FixturePath("mame-today/version.txt")) + "'", "0.251"},
        {"a failing one", "printf '0.251 (unknown)'; exit 1", ""},
        {"the classic usage text", "echo 'M.A.M.E. v0.36 - Multiple Arcade Machine Emulator'", ""},
        {"silence", "", ""},
        {"no end of it", "yes 0.251", ""},
    };
    ShellRunner runner;
    MameVersions versions;
    for (const auto& [what, script, number] : cases) {
        test::TempProgramDir dir;
        test::WriteScript(dir.file("mame"), "#!/bin/sh\n" + script + "\n");
        const std::shared_ptr<const Mame> mame = versions.Of(dir.file("mame"), runner);
        EXPECT_EQ(mame->VersionNumber(), number) << what;
        EXPECT_EQ(IsClassic(mame), number.isEmpty()) << what;
    }
    EXPECT_TRUE(IsClassic(versions.Of("/nonexistent/mame", runner)));
}

TEST(MameVersions, AskedOncePerExecutableUntilItIsReplaced) {
    test::TempProgramDir dir;
    const QString mame = dir.file("mame");
    const auto install = [&](const char* version, const QDateTime& modified) {
        test::WriteScript(mame, "#!/bin/sh\necho asked >> '" + QFile::encodeName(dir.file("asked")) + "'\nprintf '" +
                                    version + " (unknown)'\n");
        QFile file(mame);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(modified, QFileDevice::FileModificationTime));
    };
    const auto asked = [&] { return test::ReadBytes(dir.file("asked")).count("asked"); };
    const QDateTime now = QDateTime::currentDateTime();
    ShellRunner runner;
    MameVersions versions;
    install("0.251", now);
    EXPECT_EQ(versions.Of(mame, runner)->VersionNumber() + versions.Of(mame, runner)->VersionNumber(), "0.2510.251");
    EXPECT_EQ(asked(), 1);
    install("0.252", now.addSecs(60)); // a new MAME of the same size over the old one
    EXPECT_EQ(versions.Of(mame, runner)->VersionNumber(), QString("0.252"));
    EXPECT_EQ(asked(), 2);
}

// Without an answer in time the MAME is ended and taken for the classic one, for the run; a window
// that gives up first leaves the question to be asked again.
TEST(MameVersions, AMameThatDoesNotAnswerIsEndedAndTakenForTheClassicOne) {
    test::TempProgramDir dir;
    test::WriteScript(dir.file("mame"), "#!/bin/sh\nsleep 30\ntouch \"$0.woke\"\nprintf '0.251 (unknown)'\n");
    ShellRunner runner;
    MameVersions versions(std::chrono::milliseconds(300));
    EXPECT_TRUE(IsClassic(versions.Of(dir.file("mame"), runner)));
    QThread::msleep(100);
    EXPECT_FALSE(QFile::exists(dir.file("mame.woke")));
    test::TempProgramDir other;
    test::WriteScript(other.file("mame"), "#!/bin/sh\n");
    test::RecordingRunner answering;
    struct Closed : RunWatch {
        bool Waiting() override { return false; }
    } closed;
    EXPECT_TRUE(IsClassic(versions.Of(other.file("mame"), answering, &closed)));
    versions.Of(other.file("mame"), answering);
    versions.Of(other.file("mame"), answering);
    EXPECT_EQ(answering.versionQuestions.size(), 2);
}

// MAME's "-showconfig": the recorded answer of Debian's MAME 0.251 (the part around its search
// paths), then a folder list of the forms MAME allows, then values as they are given.
TEST(TodaysMame, ShownConfigurationIsRead) {
    const QByteArray recorded = "#\n# CORE SEARCH PATH OPTIONS\n#\n"
                                "homepath                  .\n"
                                "rompath                   $HOME/mame/roms;/usr/local/share/games/mame/roms;"
                                "/usr/share/games/mame/roms\n"
                                "ctrlrpath                 /usr/share/games/mame/ctrlr\n"
                                "inipath                   $HOME/.mame;/etc/mame\n"
                                "fontpath                  /usr/share/games/mame/fonts\n";
    const std::pair<QByteArray, QStringList> cases[] = {
        {recorded, {"/home/ann/.mame", "/etc/mame"}},
        {"inipath \"~/my ini;ini;;./cfg/../ini2 ; ~\"\r\n",
         {"/home/ann/my ini", "/opt/mame/ini", "/opt/mame/ini2", "/home/ann"}},
        {"inipaths /nowhere\nhomepath .\n", {}},
    };
    for (const auto& [answer, folders] : cases)
        EXPECT_EQ(MameConfig::Parse(answer).Folders("inipath", "/opt/mame/", "/home/ann"), folders)
            << answer.toStdString();
    const MameConfig config =
        MameConfig::Parse("video  opengl\nvideo soft\n# window 1\nsnapshot_directory \"a b\"\nvolume\n");
    EXPECT_EQ(config.Value("video"), "soft");
    EXPECT_EQ(config.Value("snapshot_directory"), "a b");
    EXPECT_EQ(config.Value("volume"), "");
    EXPECT_EQ(config.Value("window"), std::nullopt);
    EXPECT_TRUE(MameConfig::Parse("# nothing\n\n").IsEmpty());
}

// Today's Options page reads MAME's own settings from its answer: the recorded lines of Debian's
// MAME 0.251 without settings of its own, then settings that no choice names; nothing until MAME
// has said.
TEST(TodaysMame, OptionsPageReadsMamesOwnSettings) {
    const QByteArray recorded = "autosave                  0\nautoframeskip             0\n"
                                "frameskip                 0\nkeepaspect                1\n"
                                "ror                       0\nrol                       0\n"
                                "flipx                     0\nflipy                     0\n"
                                "samplerate                48000\nvolume                    0\n"
                                "joystick                  1\ncheat                     0\n"
                                "skip_gameinfo             0\nvideo                     opengl\n"
                                "window                    0\nfilter                    1\n"
                                "sound                     auto\n";
    const auto read = [](const MameConfig& config) {
        QStringList texts;
        for (const TodaysOption& option : TodaysOptions())
            texts << MamesDefaultText(option, config).remove("MAME's default").remove('(').remove(')').trimmed();
        return texts.join('|');
    };
    EXPECT_EQ(read(MameConfig::Parse(recorded)),
              "Full Screen|opengl|On|On|No Rotation|No Flip|0|Off|On|0 dB|48000|On|Off|Off|Off");
    EXPECT_EQ(read(MameConfig::Parse(recorded + "video accel\nrol 1\nflipy 1\nframeskip 4\nsound none\n"
                                                "samplerate 96000\nvolume -7\nwindow 1\n")),
              "Window|accel|On|On|Rotate Left|Flip Vertically|4|Off|Off|-7 dB|96000|On|Off|Off|Off");
    EXPECT_EQ(read({}), "||||||||||||||");
}

} // namespace
