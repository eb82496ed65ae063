#include "CatalogueGenerator.h"
#include "ShellFixture.h"

#include "gamelist/GameGrid.h"
#include "store/Catalogue.h"

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
        });
    }

    void startGame(frmMain* window, const QString& description, double at) {
        for (int r = 0; r < window->Rows().rowCount(); ++r) {
            if (window->Rows().Text(r, 1) == description)
                window->MSFlexGrid1->SetCurrentRow(r);
        }
        clock.now = at;
        QTest::mouseClick(window->cmbRunGame, Qt::LeftButton);
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
    EXPECT_EQ(runner.commands.last(), QString("mame-default puckman -soundcard 2 "));
    startGame(window, "Say \"Cheese\"", 120);
    EXPECT_EQ(runner.commands.last(), QString("mame2 quoted -soundcard 0 "));
    startGame(window, "Blanks", 130);
    EXPECT_EQ(runner.commands.last(), mameDir() + "mame  blanks -soundcard 0 ");
    EXPECT_EQ(vars.RomsRecordset->Value("Rom").toString(), QString("blanks"));
}

TEST_F(LaunchTest, BounceRowZeroAndEnter) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    startGame(window, "Pac-Man", 100);
    startGame(window, "Pac-Man", 100.5);
    EXPECT_EQ(runner.commands.size(), 1) << "a second start within a second is the same press";
    startGame(window, "Pac-Man", 101.5);
    EXPECT_EQ(runner.commands.size(), 2);

    window->MSFlexGrid1->SetCurrentRow(0);
    clock.now = 200;
    QTest::keyClick(window->MSFlexGrid1, Qt::Key_Return);
    EXPECT_EQ(runner.commands.size(), 2) << "the default record's row cannot be started";

    window->MSFlexGrid1->SetCurrentRow(1);
    clock.now = 300;
    QTest::keyClick(window->MSFlexGrid1, Qt::Key_Return);
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
