#include "CatalogueGenerator.h"
#include "MainWindowParts.h"
#include "PcxWriter.h"
#include "ShellFixture.h"

#include "detail/DetailTabs.h"
#include "detail/OptionsPanel.h"
#include "detail/ScreenshotView.h"
#include "gamelist/GameGrid.h"
#include "store/Catalogue.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTest>

using namespace zelvora;

namespace {

class DetailTabsTest : public test::ShellFixture {
public:
    DetailTabsTest() {
        installMame();
        storeDirectories();
        QDir().mkpath(pcx());
        fillCatalogue([&](Recordset& rs) {
            if (!rs.FindFirst("Rom", DefaultRom))
                ADD_FAILURE() << "no default record";
            rs.Edit();
            rs.SetValue("Gamma", -4);
            rs.SetValue("Additional", "-nothrottle");
            rs.SetValue("16 Bit Sound", 1);
            rs.Update();
            test::AddGame(rs, "pacman", "Pac-Man",
                          {{"Default", 0},
                           {"Gamma", 3},
                           {"PlayOpt", 2},
                           {"Playback", "rec"},
                           {"Sound", "Yes(1)"},
                           {"Manufacturer", "Namco"}});
            test::AddGame(rs, "puckman", "Puck Man",
                          {{"Default", 1}, {"Clone", "pacman"}, {"PlayOpt", 1}, {"Gamma", 7}});
            test::AddGame(rs, "galaga", "Galaga", {{"Default", 0}, {"Beam", 8}});
            test::WriteBytes(pcx() + "PACMAN.PCX", test::WritePcx8(picture(320, 240)));
            test::WriteBytes(pcx() + "galaga.pcx", "not a picture at all");
        });
    }

    static QImage picture(int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return image;
    }

    QString pcx() const { return program.path() + "/pcx/"; }

    void select(frmMain* window, const QString& description) {
        test::grid(window)->SetCurrentRow(rowOf(window, description));
    }

    QVariant stored(const QString& rom, const QString& field) {
        auto rs = vars.CatalogueDb->OpenRecordset("ROMS");
        EXPECT_TRUE(rs->FindFirst("Rom", rom));
        return rs->Value(field);
    }

    static void click(QCheckBox* box) {
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect area = box->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, box);
        QTest::mouseClick(box, Qt::LeftButton, {}, area.center());
    }
};

} // namespace

TEST_F(DetailTabsTest, EditsReachTheGameTheyWereMadeFor) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    OptionsPanel* options = test::tabs(window)->Options;
    test::tabs(window)->setCurrentIndex(DetailTabs::OptionsTab);

    select(window, "Pac-Man");
    EXPECT_EQ(options->sldSlide[0]->value(), 3);
    EXPECT_EQ(options->txtOptions[0]->text(), QString("rec"));
    EXPECT_TRUE(options->OptPlayback[2]->isChecked());
    EXPECT_FALSE(test::options(window)->HasPendingEdits()) << "loading is not an edit";

    // Moving to another game writes the edit into the game it was made for.
    options->sldSlide[0]->setValue(5);
    EXPECT_TRUE(test::options(window)->HasPendingEdits());
    select(window, "Galaga");
    EXPECT_EQ(stored("pacman", "Gamma").toInt(), 5);
    EXPECT_EQ(stored("pacman", "PlayOpt").toInt(), 2);
    EXPECT_EQ(stored("galaga", "Gamma").toInt(), 0);
    EXPECT_EQ(options->sldSlide[4]->value(), 8);

    // A refill of the list in between does not send the edit elsewhere.
    options->sldSlide[4]->setValue(12);
    QTest::mouseClick(test::button(window, "cmdSort"), Qt::LeftButton);
    EXPECT_EQ(stored("galaga", "Beam").toInt(), 12);
    EXPECT_EQ(stored(DefaultRom, "Beam").toInt(), 0);

    // Nor does a change of tab: the edit is written before the information is shown.
    QTest::mouseClick(test::button(window, "cmdSort"), Qt::LeftButton);
    QTest::mouseClick(test::button(window, "cmdSort"), Qt::LeftButton);
    QTest::mouseClick(test::button(window, "cmdSort"), Qt::LeftButton);
    select(window, "Galaga");
    options->txtOptions[1]->setText("-cheat");
    test::tabs(window)->setCurrentIndex(DetailTabs::InformationTab);
    EXPECT_EQ(stored("galaga", "Additional").toString(), QString("-cheat"));
    EXPECT_FALSE(test::options(window)->HasPendingEdits());
    EXPECT_TRUE(fatal.isEmpty());
}

TEST_F(DetailTabsTest, EditsSurviveReloadsAndNeverReachARecordNotShown) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    OptionsPanel* options = test::tabs(window)->Options;
    test::tabs(window)->setCurrentIndex(DetailTabs::OptionsTab);

    // Toggling the merged sets reloads the tabs; the edit made before is written first.
    select(window, "Galaga");
    options->sldSlide[4]->setValue(9);
    test::action(window, "mnuAssume")->trigger();
    EXPECT_EQ(stored("galaga", "Beam").toInt(), 9);
    EXPECT_EQ(options->sldSlide[4]->value(), 9);

    // An update removes the game shown and refills the list: the tabs show the selected row's
    // game, and an edit reaches that game, not the default set.
    vars.CatalogueDb->Execute("DELETE FROM ROMS WHERE Rom='galaga'");
    window->FillGrid("Description");
    ASSERT_EQ(window->Rows().Text(test::grid(window)->CurrentRow(), 1), QString("Pac-Man"));
    EXPECT_EQ(options->sldSlide[0]->value(), 3);
    options->sldSlide[0]->setValue(6);
    select(window, "Puck Man");
    EXPECT_EQ(stored("pacman", "Gamma").toInt(), 6);
    EXPECT_EQ(stored(DefaultRom, "Gamma").toInt(), -4);
    EXPECT_TRUE(fatal.isEmpty());
}

TEST_F(DetailTabsTest, OptionsTabShowsWhatTheGameUses) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    OptionsPanel* options = test::tabs(window)->Options;
    test::tabs(window)->setCurrentIndex(DetailTabs::OptionsTab);

    // A game on the default set shows only the box that takes it off.
    select(window, "Puck Man");
    EXPECT_TRUE(options->chkBox[0]->isVisibleTo(window));
    EXPECT_TRUE(options->chkBox[0]->isChecked());
    EXPECT_TRUE(options->chkBox[0]->isEnabled());
    EXPECT_FALSE(options->chkBox[1]->isVisibleTo(window));
    EXPECT_FALSE(options->sldSlide[0]->isVisibleTo(window));

    // The default record's row shows everything, with the box greyed out.
    test::action(window, "mnuDefault")->trigger();
    EXPECT_EQ(test::grid(window)->CurrentRow(), 0);
    EXPECT_EQ(window->Rows().Text(0, 1), DefaultDescription);
    EXPECT_TRUE(options->sldSlide[0]->isVisibleTo(window));
    EXPECT_EQ(options->sldSlide[0]->value(), -4);
    EXPECT_FALSE(options->chkBox[0]->isEnabled());
    EXPECT_FALSE(test::options(window)->HasPendingEdits());
}

TEST_F(DetailTabsTest, LeavingAndRejoiningTheDefaultSet) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    OptionsPanel* options = test::tabs(window)->Options;
    test::tabs(window)->setCurrentIndex(DetailTabs::OptionsTab);
    select(window, "Puck Man");

    click(options->chkBox[0]);
    ASSERT_FALSE(options->chkBox[0]->isChecked());
    // The game now holds exactly the default set, with its own playback choice.
    EXPECT_EQ(stored("puckman", "Default").toInt(), 0);
    EXPECT_EQ(stored("puckman", "Gamma").toInt(), -4);
    EXPECT_EQ(stored("puckman", "Additional").toString(), QString("-nothrottle"));
    EXPECT_EQ(stored("puckman", "16 Bit Sound").toInt(), 1);
    EXPECT_EQ(stored("puckman", "PlayOpt").toInt(), 1);
    EXPECT_TRUE(options->sldSlide[0]->isVisibleTo(window));
    EXPECT_EQ(options->sldSlide[0]->value(), -4);

    options->sldSlide[0]->setValue(9);
    click(options->chkBox[0]);
    EXPECT_EQ(stored("puckman", "Default").toInt(), 1);
    EXPECT_EQ(stored("puckman", "Gamma").toInt(), 9);
    EXPECT_FALSE(options->sldSlide[0]->isVisibleTo(window));
}

TEST_F(DetailTabsTest, ScreenshotsAndInformation) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    DetailTabs* tabs = test::tabs(window);
    tabs->setCurrentIndex(DetailTabs::ScreenShotTab);

    select(window, "Pac-Man");
    EXPECT_FALSE(tabs->Picture1->IsEmpty());
    EXPECT_EQ(tabs->Picture1->Placement(), QRect(10, 0, 400, 300));
    EXPECT_EQ(tabs->lblGame->text(), QString("Pac-Man"));

    // A file that cannot be decoded leaves no picture of another game behind.
    select(window, "Galaga");
    EXPECT_TRUE(tabs->Picture1->IsEmpty());

    // The clone shows its parent's screenshot only while merged sets are assumed.
    select(window, "Puck Man");
    EXPECT_TRUE(tabs->Picture1->IsEmpty());
    test::action(window, "mnuAssume")->setChecked(true);
    window->UpdateTab();
    EXPECT_FALSE(tabs->Picture1->IsEmpty());

    tabs->setCurrentIndex(DetailTabs::InformationTab);
    select(window, "Pac-Man");
    EXPECT_EQ(tabs->lblInfo[9]->text(), QString("Yes Samples"));
    EXPECT_EQ(tabs->lblInfo[14]->text(), QString("Namco"));
    EXPECT_EQ(tabs->lblInfo[13]->text(), QString());
    EXPECT_FALSE(tabs->Picture3->IsEmpty());
    EXPECT_EQ(stored("pacman", "Sound").toString(), QString("Yes(1)")) << "only the display changes";
}

TEST_F(DetailTabsTest, DeleteScreenshotAsksAndDeletesOnlyTheGamesOwnFile) {
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    DetailTabs* tabs = test::tabs(window);
    tabs->setCurrentIndex(DetailTabs::ScreenShotTab);

    test::grid(window)->SetCurrentRow(0);
    test::action(window, "mnuDelete")->trigger();
    EXPECT_TRUE(dialogs.questions.isEmpty()) << "row 0 is the default record's";

    test::action(window, "mnuAssume")->setChecked(true);
    select(window, "Puck Man");
    dialogs.answers = {true};
    test::action(window, "mnuDelete")->trigger();
    EXPECT_EQ(dialogs.questions.last(), QString("Zelvora: Confirm deletion of puckman.pcx"));
    EXPECT_TRUE(QFile::exists(pcx() + "PACMAN.PCX")) << "the parent's file is never deleted";
    EXPECT_FALSE(tabs->Picture1->IsEmpty());

    select(window, "Pac-Man");
    dialogs.answers = {false};
    QTest::keyClick(test::grid(window), Qt::Key_Delete);
    EXPECT_TRUE(QFile::exists(pcx() + "PACMAN.PCX"));
    EXPECT_FALSE(tabs->Picture1->IsEmpty());

    dialogs.answers = {true};
    test::action(window, "mnuDelete")->trigger();
    EXPECT_FALSE(QFile::exists(pcx() + "PACMAN.PCX"));
    EXPECT_TRUE(tabs->Picture1->IsEmpty());
    EXPECT_EQ(stored("pacman", "Screenshot"), QVariant()) << "the mark waits for the next check";
}
