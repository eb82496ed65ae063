#include "GamesFile.h"
#include "ShellFixture.h"

#include "shell/FileLocationsDialog.h"
#include "shell/UpdateWindow.h"

using namespace zelvora;

namespace {

// A newcomer's first day through the real windows, the stand-in playing each MAME (the parameter:
// today's), up to a second start that finds everything as it was left. The checks, the filters,
// the find and compaction walk the same windows in tests of their own.
class JourneyTest : public test::ShellFixture, public ::testing::WithParamInterface<bool> {
public:
    bool today() const { return GetParam(); }

    // Puck Man and Pac-Man its clone; today's lists its recording too.
    QString installStandin() {
        const QString folder = mame.path() + "/My MAME's \"best\"/";
        QDir().mkpath(folder);
        QFile::copy(ZELVORA_STANDIN_PATH, folder + "mame");
        const auto game = [](const char* name, const char* parent, const char* description) {
            return standin::StandinGame{name, parent, "1980", "Namco", description, "pacman.c", {}, {}, {}};
        };
        test::WriteBytes(
            folder + "standin-games.tsv",
            standin::GamesFile::Format({game("puckman", "", "Puck Man"), game("pacman", "puckman", "Pac-Man")}));
        if (today())
            QFile::copy(test::FixturePath("mame-today/listxml.xml"), folder + "standin-listxml.xml");
        else
            QFile::copy(test::FixturePath("mame-classic/gamelist.txt"), folder + "gamelist.txt");
        runner.forward = &shellRunner;
        return folder;
    }
};

} // namespace

TEST_P(JourneyTest, FirstDayToSecondStart) {
    const QString folder = installStandin(), pcx = program.path() + "/shots/", roms = program.path() + "/roms/";
    const QString record = program.file("started.txt");
    qputenv("ZELVORA_MAME_RECORD", record.toLocal8Bit());

    ASSERT_EQ(start(), nullptr);
    auto* locations = test::findWindow<FileLocationsDialog>();
    ASSERT_NE(locations, nullptr);
    for (int i = 0; i < 3; ++i)
        locations->folderFields[i]->setText(QStringList{folder, pcx, roms}[i]);
    QTest::mouseClick(locations->okButton, Qt::LeftButton);
    window = test::findWindow<MainWindow>();
    ASSERT_NE(window, nullptr);

    dialogs.answers = {true};
    trigger("updateAction");
    auto* update = test::findWindow<UpdateWindow>();
    ASSERT_NE(update, nullptr);
    update->finish();
    EXPECT_EQ(result(), QString("New: %1, Expired: 0").arg(today() ? 19 : 2));
    const QString puckMan = stored("puckman", "Description").toString();
    QTest::keyClicks(test::grid(window), "Puc");
    EXPECT_EQ(selected(), puckMan);

    // Its own options with cheats, in the tab of the MAME found; a change to the default set.
    OptionsPanel* panel = test::options(window);
    test::tabs(window)->setCurrentIndex(DetailTabs::OptionsTab);
    test::clickBox(panel->checks[0]);
    test::clickBox(panel->checks[12]);
    EXPECT_EQ(panel->checks[1]->isEnabled(), !today()) << "today's MAME has no 16 bit sound switch";
    trigger("defaultOptionsAction");
    test::clickBox(panel->checks[11]);
    select(puckMan);
    EXPECT_EQ(stored(DefaultRom, "No Mouse").toInt(), 1);

    click("startButton");
    const QString expected = today() ? "puckman -rompath " + roms + " -cheat" : QString("puckman -soundcard 0 -cheat");
    EXPECT_EQ(QString::fromLocal8Bit(test::ReadBytes(record)).split('\n').filter("puckman"), QStringList{expected});
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
    qunsetenv("ZELVORA_MAME_RECORD");

    // Today's MAME lists save states, not high scores.
    DetailTabs* tabs = test::tabs(window);
    tabs->setCurrentIndex(DetailTabs::InformationTab);
    EXPECT_EQ(tabs->Caption(Field::HiScore)->text(), QString(today() ? "Save State-" : "Hi Score-"));
    EXPECT_EQ(tabs->Info(Field::HiScore)->text(), QString(today() ? "Yes" : ""));
    tabs->setCurrentIndex(DetailTabs::OptionsTab);

    trigger("exitAction");
    EXPECT_EQ(test::findWindow<MainWindow>(), nullptr);
    ASSERT_NE(start(), nullptr);
    EXPECT_EQ(selected(), puckMan);
    EXPECT_TRUE(test::options(window)->checks[12]->isChecked());
    EXPECT_EQ(stored("puckman", "Default").toInt(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothMames, JourneyTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Today" : "Classic"; });
