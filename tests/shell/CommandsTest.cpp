#include "CatalogueGenerator.h"
#include "MainWindowParts.h"
#include "PcxWriter.h"
#include "ShellFixture.h"

#include "about/frmAbout.h"
#include "checks/frmStatus.h"
#include "detail/DetailTabs.h"
#include "detail/ScreenshotView.h"
#include "gamelist/GameGrid.h"
#include "launcher/ProcessRunner.h"
#include "store/Catalogue.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace zelvora;

namespace {

class CommandsTest : public test::ShellFixture {
public:
    CommandsTest() {
        installMame();
        storeDirectories();
        fillCatalogue([](Recordset& rs) {
            test::AddGame(rs, "pacman", "Pac-Man");
            test::AddGame(rs, "pacmanj", "Pac-Man (Japan)", {{"Clone", "pacman"}});
            test::AddGame(rs, "galaga", "Galaga", {{"Default", 0}, {"Sound Card", 3}});
        });
    }
};

} // namespace

TEST_F(CommandsTest, AssumeMergedTogglesTheStoredTextAndTheClonesScreenshot) {
    QDir().mkpath(program.path() + "/pcx");
    QImage shot(32, 24, QImage::Format_RGB32);
    shot.fill(Qt::red);
    test::WriteBytes(program.path() + "/pcx/pacman.pcx", test::WritePcx8(shot));
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(test::action(window, "mnuAssume")->isChecked());
    test::grid(window)->SetCurrentRow(rowOf(window, "Pac-Man (Japan)"));
    EXPECT_TRUE(test::tabs(window)->Picture1->IsEmpty());

    test::action(window, "mnuAssume")->trigger();
    EXPECT_TRUE(test::action(window, "mnuAssume")->isChecked());
    EXPECT_EQ(settings.Get("zelvora", "settings", "Merged", ""), QString("1"));
    EXPECT_FALSE(test::tabs(window)->Picture1->IsEmpty()) << "the clone shows its parent's screenshot";

    test::action(window, "mnuAssume")->trigger();
    EXPECT_FALSE(test::action(window, "mnuAssume")->isChecked());
    EXPECT_EQ(settings.Get("zelvora", "settings", "Merged", ""), QString("0"));
    EXPECT_TRUE(test::tabs(window)->Picture1->IsEmpty());
}

TEST_F(CommandsTest, CompactingTwiceAndOverALeftoverKeepsTheSelectionWorking) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    test::grid(window)->SetCurrentRow(rowOf(window, "Galaga"));
    test::WriteBytes(TempCatalogueFile(program.path()), "left over by an interrupted run");

    test::action(window, "mnuCompact")->trigger();
    test::action(window, "mnuCompact")->trigger();
    EXPECT_TRUE(fatal.isEmpty()) << fatal.join("\n").toStdString();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(TempCatalogueFile(program.path())));
    EXPECT_TRUE(QFile::exists(CatalogueFile(program.path())));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(test::findWindow<QWidget>(), window) << "the progress window has gone";

    // The reopened recordset still finds each row's game, and starts it.
    test::grid(window)->SetCurrentRow(rowOf(window, "Pac-Man"));
    EXPECT_EQ(test::tabs(window)->lblGame->text(), QString("Pac-Man"));
    test::grid(window)->SetCurrentRow(rowOf(window, "Galaga"));
    clock.now = 100;
    QTest::mouseClick(test::button(window, "cmbRunGame"), Qt::LeftButton);
    ASSERT_EQ(runner.commands.size(), 1);
    EXPECT_TRUE(runner.commands[0].endsWith(" galaga -soundcard 3 ")) << runner.commands[0].toStdString();
}

TEST_F(CommandsTest, AboutBoxDisablesTheMainWindowAndRestartsItsAnimation) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    for (bool byTitleBar : {false, true}) {
        test::action(window, "mnuAboutDisplay")->trigger();
        auto* about = test::findWindow<frmAbout>();
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->windowTitle(), QString("About Zelvora"));
        EXPECT_EQ(about->Label4->text(), QString("Thank you MAME Developers"));
        EXPECT_EQ(about->Timer1->interval(), 75);
        EXPECT_TRUE(about->Timer1->isActive());
        EXPECT_FALSE(window->isEnabled());
        EXPECT_EQ(about->Animation().StepA, 0) << "every opening starts afresh";

        about->Timer1_Timer();
        EXPECT_TRUE(about->Image3->isVisibleTo(about));
        EXPECT_FALSE(about->Image4->isVisibleTo(about));
        EXPECT_FALSE(about->Image2->isVisibleTo(about));

        if (byTitleBar)
            about->close();
        else
            QTest::mouseClick(about->Command1, Qt::LeftButton);
        EXPECT_TRUE(window->isEnabled());
        EXPECT_EQ(test::findWindow<frmAbout>(), nullptr);
    }
}

TEST_F(CommandsTest, TheCheckEntriesMarkTheCatalogueAndRefillTheList) {
    QDir().mkpath(program.path() + "/pcx");
    QDir().mkpath(program.path() + "/roms");
    test::WriteBytes(program.path() + "/pcx/pacman.pcx", "x");
    test::WriteBytes(program.path() + "/roms/galaga.zip", "x");
    frmMain* window = start();
    ASSERT_NE(window, nullptr);

    const auto marks = [&](const QString& field) {
        QStringList all;
        Recordset& rs = *vars.RomsRecordset;
        for (const char* rom : {"-default-", "pacman", "pacmanj", "galaga"}) {
            EXPECT_TRUE(rs.FindFirst("Rom", rom));
            all << rs.Value(field).toString();
        }
        return all;
    };
    test::action(window, "mnuCheck0")->trigger();
    EXPECT_EQ(marks("Screenshot"), (QStringList{"0", "0", "1", "1"}));
    test::action(window, "mnuAssume")->trigger();
    test::action(window, "mnuCheck0")->trigger();
    test::action(window, "mnuCheck1")->trigger();
    EXPECT_EQ(marks("Screenshot"), (QStringList{"0", "0", "0", "1"})) << "the clone counts its parent's file";
    EXPECT_EQ(marks("Missing ROM"), (QStringList{"0", "1", "1", "0"}));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(test::findWindow<frmStatus>(), nullptr);
    EXPECT_EQ(window->Rows().rowCount(), 4);

    test::action(window, "mnuCheck2")->trigger();
    EXPECT_EQ(marks("Missing ROM"), (QStringList{"0", "0", "0", "0"}));
    EXPECT_TRUE(fatal.isEmpty());
}

TEST_F(CommandsTest, VerifyRomsMarksTheSetsTheStandInMameReports) {
    const QString folder = mame.path() + "/My \"MAME\" it's/";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(ZELVORA_STANDIN_PATH, folder + "mame"));
    const auto game = [](const QString& name, const QString& parent, const QString& verify) {
        return QStringList{name, parent, "1980", "Namco", name, "pacman.c", "Z80", "", "", "Namco", "", "", verify}
                   .join('\t') +
               '\n';
    };
    test::WriteBytes(
        folder + "standin-games.tsv",
        (game("pacman", "", "good") + game("pacmanj", "pacman", "bad") + game("galaga", "", "missing")).toUtf8());
    settings.Save("Zelvora", "Settings", "MameLocation", folder);
    ShellRunner shellRunner;
    runner.forward = &shellRunner;
    ASSERT_TRUE(QDir::setCurrent(QDir::tempPath()));

    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    test::action(window, "mnuCheck3")->trigger();

    ASSERT_EQ(runner.commands.size(), 1);
    EXPECT_TRUE(runner.commands[0].contains(" -verifyroms '*.*' > ")) << runner.commands[0].toStdString();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
    Recordset& rs = *vars.RomsRecordset;
    ASSERT_TRUE(rs.FindFirst("Rom", "pacmanj"));
    EXPECT_EQ(rs.Value("Bad ROM").toInt(), 1);
    EXPECT_FALSE(rs.Value("Notes").toString().isEmpty());
    ASSERT_TRUE(rs.FindFirst("Rom", "galaga"));
    EXPECT_EQ(rs.Value("Bad ROM").toInt(), 1);
    ASSERT_TRUE(rs.FindFirst("Rom", "pacman"));
    EXPECT_NE(rs.Value("Bad ROM").toInt(), 1);
    EXPECT_FALSE(QFile::exists(program.file("Verify.txt"))) << "the report is deleted";
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(program.path()).canonicalPath());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(CommandsTest, ACheckOverTheDefaultRecordAloneChangesNothing) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    vars.CatalogueDb->Execute("DELETE FROM ROMS WHERE Rom<>'-default-'");
    for (QAction* entry : test::part<QMenu>(window, "mnuCheck1")->actions())
        entry->trigger();
    EXPECT_TRUE(runner.commands.isEmpty()) << "MAME is not asked about no games";
    EXPECT_EQ(test::findWindow<frmStatus>(), nullptr);
    EXPECT_TRUE(window->isEnabled());
    ASSERT_TRUE(vars.RomsRecordset->FindFirst("Rom", "-default-"));
    EXPECT_TRUE(vars.RomsRecordset->Value("Screenshot").isNull());
}
