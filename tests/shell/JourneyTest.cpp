#include "GamesFile.h"
#include "ShellFixture.h"

#include "gamelist/FilterDialog.h"
#include "shell/FileLocationsDialog.h"
#include "shell/UpdateWindow.h"

#include <QImage>
#include <QListWidget>

using namespace zelvora;

namespace {

// A newcomer's first day through the real windows, the stand-in playing each MAME (the parameter:
// today's), up to a second start that finds everything as it was left.
class JourneyTest : public test::ShellFixture, public ::testing::WithParamInterface<bool> {
public:
    bool today() const { return GetParam(); }

    // Puck Man, Pac-Man its clone with a bad set, Galaga with none; today's lists its recording too.
    QString installStandin() {
        const QString folder = mame.path() + "/My MAME's \"best\"/";
        QDir().mkpath(folder);
        QFile::copy(ZELVORA_STANDIN_PATH, folder + "mame");
        const auto game = [](const char* name, const char* parent, const char* description,
                             standin::VerifyStatus verify) {
            return standin::StandinGame{name, parent, "1980", "Namco", description, "pacman.c", {}, {}, verify};
        };
        test::WriteBytes(folder + "standin-games.tsv",
                         standin::GamesFile::Format({game("puckman", "", "Puck Man", standin::VerifyStatus::Good),
                                                     game("pacman", "puckman", "Pac-Man", standin::VerifyStatus::Bad),
                                                     game("galaga", "", "Galaga", standin::VerifyStatus::Missing)}));
        if (today())
            QFile::copy(test::FixturePath("mame-today/listxml.xml"), folder + "standin-listxml.xml");
        else
            QFile::copy(test::FixturePath("mame-classic/gamelist.txt"), folder + "gamelist.txt");
        runner.forward = &shellRunner;
        return folder;
    }
    int games() const { return window->windowTitle().section('(', 1).section(' ', 0, 0).toInt(); }
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
    EXPECT_EQ(games(), 0);

    dialogs.answers = {true};
    trigger("updateAction");
    auto* update = test::findWindow<UpdateWindow>();
    ASSERT_NE(update, nullptr);
    const int listed = today() ? 19 : 3;
    EXPECT_EQ(update->newGamesList->count(), listed);
    update->finish();
    EXPECT_EQ(games(), listed);
    EXPECT_EQ(result(), QString("New: %1, Expired: 0").arg(listed));
    const QString puckMan = stored("puckman", "Description").toString();

    // Clones filtered out; the type-ahead reaches Puck Man.
    trigger("filterAction");
    auto* filter = test::findWindow<FilterDialog>();
    ASSERT_NE(filter, nullptr);
    test::clickBox(filter->findChild<QCheckBox*>("excludeBoxes_2"));
    QTest::mouseClick(filter->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    EXPECT_LT(games(), listed);
    QTest::keyClicks(test::grid(window), "Puc");
    EXPECT_EQ(selected(), puckMan);

    // Its own options with cheats; a change to the default set.
    OptionsPanel* panel = test::options(window);
    test::tabs(window)->setCurrentIndex(DetailTabs::OptionsTab);
    test::clickBox(panel->checks[0]);
    test::clickBox(panel->checks[12]);
    EXPECT_EQ(panel->checks[1]->isEnabled(), !today()) << "today's MAME has no 16 bit sound switch";
    EXPECT_EQ(panel->valueLabels[2]->text(), QString(today() ? "Sound On" : "Silence"));
    trigger("defaultOptionsAction");
    test::clickBox(panel->checks[11]);
    select(puckMan);
    EXPECT_EQ(stored(DefaultRom, "No Mouse").toInt(), 1);

    click("startButton");
    const QString expected = today() ? "puckman -rompath " + roms + " -cheat" : QString("puckman -soundcard 0 -cheat");
    EXPECT_EQ(QString::fromLocal8Bit(test::ReadBytes(record)).split('\n').filter("puckman"), QStringList{expected});
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();

    // Today's MAME lists save states, not high scores.
    DetailTabs* tabs = test::tabs(window);
    tabs->setCurrentIndex(DetailTabs::InformationTab);
    EXPECT_EQ(tabs->Caption(Field::HiScore)->text(), QString(today() ? "Save State-" : "Hi Score-"));
    EXPECT_EQ(tabs->Info(Field::HiScore)->text(), QString(today() ? "Yes" : ""));
    tabs->setCurrentIndex(DetailTabs::OptionsTab);

    // The three checks: Puck Man has its screenshot and its zipped set, Pac-Man a bad set.
    if (today())
        ASSERT_TRUE(QDir().mkpath(pcx + "puckman") &&
                    QImage(4, 3, QImage::Format_RGB32).save(pcx + "puckman/0000.png"));
    else
        test::WriteBytes(pcx + "PUCKMAN.PCX", "x");
    test::WriteBytes(roms + "puckman.zip", "x");
    for (int check = 0; check < 4; ++check) {
        if (check != 2)
            trigger(QString("checkAction%1").arg(check).toLatin1());
    }
    EXPECT_EQ(stored("puckman", "Screenshot").toInt() + stored("puckman", "Missing ROM").toInt(), 0);
    const QString absent = today() ? "cc7" : "galaga"; // a game with no file anywhere
    EXPECT_EQ(stored(absent, "Screenshot").toInt() * stored(absent, "Missing ROM").toInt(), 1);
    EXPECT_EQ(stored("pacman", "Bad ROM").toInt(), 1);
    EXPECT_EQ(stored("puckman", "Bad ROM").toInt(), 0);
    // The classic report names a set it found no file for as well.
    EXPECT_EQ(stored(absent, "Bad ROM").toInt(), today() ? 0 : 1);
    EXPECT_EQ(result(), today() ? QString("Bad ROM sets: 1 (MAME found and checked 2 of %1 games)").arg(listed)
                                : QString("Bad ROM sets: 2"));

    trigger("compactAction");
    EXPECT_TRUE(result().startsWith("Catalogue compacted: ")) << result().toStdString();
    EXPECT_EQ(selected(), puckMan);
    trigger("exitAction");
    EXPECT_EQ(test::findWindow<MainWindow>(), nullptr);
    qunsetenv("ZELVORA_MAME_RECORD");

    ASSERT_NE(start(), nullptr);
    EXPECT_EQ(selected(), puckMan);
    EXPECT_TRUE(test::options(window)->checks[12]->isChecked());
    EXPECT_EQ(stored("puckman", "Default").toInt(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothMames, JourneyTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Today" : "Classic"; });
