#include "CatalogueGenerator.h"
#include "MainWindowParts.h"
#include "ShellFixture.h"

#include "gamelist/GameGrid.h"
#include "launcher/ProcessRunner.h"
#include "store/Catalogue.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QPushButton>
#include <QTest>

using namespace zelvora;

namespace {

class LaunchTest : public test::ShellFixture {
public:
    LaunchTest() {
        installMame();
        storeDirectories();
        fillCatalogue([&](Recordset& rs) {
            if (!rs.FindFirst("Rom", DefaultRom))
                ADD_FAILURE() << "no default record";
            rs.Edit();
            rs.SetValue("Sound Card", 2);
            rs.SetValue("AltExec", "mame-default");
            rs.Update();
            test::AddGame(rs, "pacman", "Pac-Man",
                          {{"Default", 0},
                           {"Sound Card", 1},
                           {"Resolution", 4},
                           {"Pixel Doubling", 1},
                           {"Gamma", 3},
                           {"Frame Skip", 1},
                           {"Sample Rate", -1}});
            test::AddGame(rs, "puckman", "Puck Man", {{"Default", 1}, {"Sound Card", 5}});
            test::AddGame(rs, "quoted", "Say \"Cheese\"", {{"Default", 0}, {"Sound Card", 0}, {"AltExec", "mame2"}});
            test::AddGame(rs, "blanks", "Blanks", {{"Default", 0}, {"Sound Card", 0}, {"AltExec", "   "}});
            test::AddGame(rs, "elsewhere", "Elsewhere",
                          {{"Default", 0}, {"Sound Card", 0}, {"AltExec", "/usr/games/mame"}});
            // Two games of one description: the tabs show the later one in the table.
            test::AddGame(rs, "twin1", "Twin", {{"Default", 0}, {"Sound Card", 1}});
            test::AddGame(rs, "twin2", "Twin", {{"Default", 0}, {"Sound Card", 2}});
        });
    }

    void startGame(frmMain* window, const QString& description, double at) {
        for (int r = 0; r < window->Rows().rowCount(); ++r) {
            if (window->Rows().Text(r, 1) == description)
                test::grid(window)->SetCurrentRow(r);
        }
        clock.now = at;
        QTest::mouseClick(test::button(window, "cmbRunGame"), Qt::LeftButton);
    }
};

} // namespace

TEST_F(LaunchTest, CommandLinesOfTheGamesOwnAndTheDefaultOptions) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    startGame(window, "Pac-Man", 100);
    ASSERT_EQ(runner.commands.size(), 1);
    // The default executable keeps its blank, so two stand before the game's name.
    EXPECT_EQ(runner.commands[0],
              mameDir() + "mame  pacman -soundcard 1 -640x480 -double -gamma 1.5 -frameskip 1 -sr 11025 ");
    EXPECT_TRUE(window->isEnabled());

    // On the default set the switches and the executable are the default record's.
    startGame(window, "Puck Man", 110);
    // A bare executable name is a file in MAME's folder, a path is used as it stands.
    EXPECT_EQ(runner.commands.last(), mameDir() + "mame-default puckman -soundcard 2 ");
    startGame(window, "Say \"Cheese\"", 120);
    EXPECT_EQ(runner.commands.last(), mameDir() + "mame2 quoted -soundcard 0 ");
    startGame(window, "Elsewhere", 125);
    EXPECT_EQ(runner.commands.last(), QString("/usr/games/mame elsewhere -soundcard 0 "));
    startGame(window, "Blanks", 130);
    EXPECT_EQ(runner.commands.last(), mameDir() + "mame  blanks -soundcard 0 ");
    EXPECT_EQ(vars.RomsRecordset->Value("Rom").toString(), QString("blanks"));

    // The game started, with its options, is the one whose options the tabs show.
    startGame(window, "Twin", 140);
    EXPECT_EQ(runner.commands.last(), mameDir() + "mame  twin2 -soundcard 2 ");
}

TEST_F(LaunchTest, BounceRowZeroAndEnter) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    startGame(window, "Pac-Man", 100);
    startGame(window, "Pac-Man", 100.5);
    EXPECT_EQ(runner.commands.size(), 1) << "a second start within a second is the same press";
    startGame(window, "Pac-Man", 101.5);
    EXPECT_EQ(runner.commands.size(), 2);

    test::grid(window)->SetCurrentRow(0);
    clock.now = 200;
    QTest::keyClick(test::grid(window), Qt::Key_Return);
    EXPECT_EQ(runner.commands.size(), 2) << "the default record's row cannot be started";

    test::grid(window)->SetCurrentRow(1);
    clock.now = 300;
    QTest::keyClick(test::grid(window), Qt::Key_Return);
    EXPECT_EQ(runner.commands.size(), 3);

    // The release of an Enter whose press closed a message box lands on the grid: it starts
    // nothing, so dismissing "could not be started" cannot start the game again.
    clock.now = 400;
    QTest::keyRelease(test::grid(window), Qt::Key_Return);
    EXPECT_EQ(runner.commands.size(), 3);
}

TEST_F(LaunchTest, AMameThatCannotStartIsReported) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    runner.exitCode = 3;
    startGame(window, "Pac-Man", 100);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << "MAME's own exit codes change nothing";
    runner.exitCode = 127;
    startGame(window, "Pac-Man", 200);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("pacman"));
    EXPECT_TRUE(window->isEnabled());
}

// The whole way to a real MAME: the shell, the quoting, and the words the executable receives.
TEST_F(LaunchTest, TheStandInMameReceivesExactlyTheGamesWords) {
    const QString folder = mame.path() + "/My MAME's \"best\" $HOME/";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(ZELVORA_STANDIN_PATH, folder + "mame"));
    settings.Save("Zelvora", "Settings", "MameLocation", folder);
    fillCatalogue([&](Recordset& rs) {
        test::AddGame(rs, "x;touch pwned", "Hostile", {{"Default", 0}, {"Sound Card", 0}, {"Additional", "-cheat"}});
        test::AddGame(rs, "bare", "Bare Name", {{"Default", 0}, {"Sound Card", 0}, {"AltExec", "mame"}});
    });
    const QString record = program.file("args.json");
    qputenv("ZELVORA_MAME_RECORD_ARGS", record.toLocal8Bit());
    qputenv("ZELVORA_MAME_EXIT", "0");
    ShellRunner shellRunner;
    runner.forward = &shellRunner;

    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    startGame(window, "Pac-Man", 100);
    startGame(window, "Hostile", 200);
    startGame(window, "Bare Name", 300);
    qunsetenv("ZELVORA_MAME_RECORD_ARGS");
    qunsetenv("ZELVORA_MAME_EXIT");

    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("\n").toStdString();
    QStringList lines = QString::fromUtf8(test::ReadBytes(record)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << runner.commands.join("\n").toStdString();
    const auto words = [](const QString& json) {
        return QJsonDocument::fromJson(json.toUtf8()).toVariant().toStringList();
    };
    EXPECT_EQ(words(lines[0]),
              QString("pacman -soundcard 1 -640x480 -double -gamma 1.5 -frameskip 1 -sr 11025").split(' '));
    // The user's own text is passed as it stands; the set name stays one word and runs nothing.
    EXPECT_EQ(words(lines[1]), (QStringList{"x;touch pwned", "-soundcard", "0", "-cheat"}));
    EXPECT_EQ(words(lines[2]), (QStringList{"bare", "-soundcard", "0"}));
    EXPECT_FALSE(QFile::exists("pwned"));
    EXPECT_FALSE(QFile::exists(program.file("pwned")));
}
