#include "ShellFixture.h"

#include "shell/FileLocationsDialog.h"
#include "shell/UpdateWindow.h"

using namespace zelvora;

using JourneyTest = test::ShellFixture;

// A newcomer's first day with today's MAME through the real windows, the stand-in playing it, up to
// a second start that finds everything as it was left. The classic MAME's windows, the checks, the
// filters, the find and compaction have tests of their own.
TEST_F(JourneyTest, FirstDayWithTodaysMameToSecondStart) {
    const QString folder = mame.path() + "/My MAME's \"best\"/", roms = program.path() + "/roms/";
    QDir().mkpath(folder);
    QFile::copy(ZELVORA_STANDIN_PATH, folder + "mame");
    QFile::copy(test::FixturePath("mame-today/listxml.xml"), folder + "standin-listxml.xml");
    runner.forward = &shellRunner;
    const QString record = program.file("started.txt");
    qputenv("ZELVORA_MAME_RECORD", record.toLocal8Bit());

    ASSERT_EQ(start(), nullptr);
    auto* locations = test::findWindow<FileLocationsDialog>();
    ASSERT_NE(locations, nullptr);
    locations->folderFields[0]->setText(folder);
    locations->folderFields[2]->setText(roms);
    QTest::mouseClick(locations->okButton, Qt::LeftButton);
    window = test::findWindow<MainWindow>();
    ASSERT_NE(window, nullptr);

    dialogs.answers = {true};
    trigger("updateAction");
    auto* update = test::findWindow<UpdateWindow>();
    ASSERT_NE(update, nullptr);
    update->finish();
    EXPECT_EQ(result(), QString("New: 19, Expired: 0"));
    const QString puckMan = stored("puckman", "Description").toString();
    QTest::keyClicks(test::grid(window), "Puc");
    EXPECT_EQ(selected(), puckMan);

    // Its own options with cheats, in the tab of the MAME found; a change to the default set.
    OptionsPanel* panel = test::options(window);
    test::tabs(window)->setCurrentIndex(DetailTabs::OptionsTab);
    test::clickBox(panel->checks[0]);
    test::clickBox(panel->checks[12]);
    EXPECT_FALSE(panel->checks[1]->isEnabled()) << "today's MAME has no 16 bit sound switch";
    trigger("defaultOptionsAction");
    test::clickBox(panel->checks[11]);
    select(puckMan);
    EXPECT_EQ(stored(DefaultRom, "No Mouse").toInt(), 1);

    click("startButton");
    EXPECT_EQ(QString::fromLocal8Bit(test::ReadBytes(record)).split('\n').filter("puckman"),
              QStringList{"puckman -rompath " + roms + " -cheat"});
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
    qunsetenv("ZELVORA_MAME_RECORD");

    // Today's MAME lists save states, not high scores.
    DetailTabs* tabs = test::tabs(window);
    tabs->setCurrentIndex(DetailTabs::InformationTab);
    EXPECT_EQ(tabs->Caption(Field::HiScore)->text(), QString("Save State-"));
    EXPECT_EQ(tabs->Info(Field::HiScore)->text(), QString("Yes"));
    tabs->setCurrentIndex(DetailTabs::OptionsTab);

    trigger("exitAction");
    EXPECT_EQ(test::findWindow<MainWindow>(), nullptr);
    ASSERT_NE(start(), nullptr);
    EXPECT_EQ(selected(), puckMan);
    EXPECT_TRUE(test::options(window)->checks[12]->isChecked());
    EXPECT_EQ(stored("puckman", "Default").toInt(), 0);
}
