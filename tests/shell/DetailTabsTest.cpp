#include "PcxWriter.h"
#include "ShellFixture.h"

#include "detail/HistoryPage.h"
#include "detail/InformationPage.h"
#include "detail/ScreenShotPage.h"
#include "detail/ScreenshotView.h"
#include "store/GameStore.h"

#include <QComboBox>
#include <QTextBrowser>
#include <QToolButton>
#include <QWheelEvent>

using namespace zelvora;

namespace {

class DetailTabsTest : public test::ShellFixture {
public:
    DetailTabsTest() {
        setUpMame();
        QDir().mkpath(pcx);
        fillCatalogue([](test::CatalogueFixture& catalogue) {
            catalogue.set(DefaultRom, {{"Gamma", -4}, {"Additional", "-nothrottle"}, {"16 Bit Sound", 1}});
            catalogue.add("pacman", "Pac-Man", {{"Default", 0}, {"Gamma", 3}});
            catalogue.add(
                "puckman", "Puck Man",
                {{"Default", 1}, {"Clone", "pacman"}, {"PlayOpt", 1}, {"AltDir", "/old/"}, {"Sound", "Yes(1)"}});
            catalogue.add("galaga", "Galaga", {{"Default", 0}, {"Beam", 8}});
        });
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        test::WriteBytes(pcx + "PACMAN.PCX", test::WritePcx8(picture));
        test::WriteBytes(pcx + "galaga.pcx", "not a picture at all");
    }

    const QString pcx = program.path() + "/pcx/";
};

} // namespace

// An edit reaches the game it was made for whatever comes between, never another record.
TEST_F(DetailTabsTest, EditsReachOnlyTheGameTheyWereMadeForAndTheDefaultSetIsLeftAndRejoined) {
    open();
    OptionsPanel* options = test::options(window);
    test::tabs(window)->setCurrentIndex(DetailTabs::OptionsTab);
    select("Pac-Man");
    options->sliders[0]->setValue(5);
    select("Galaga");
    EXPECT_EQ(stored("pacman", "Gamma").toInt(), 5);
    EXPECT_EQ(options->sliders[4]->value(), 8);

    // Toggling the merged sets, like showing another tab, reloads the tabs: the edit is written first.
    options->sliders[4]->setValue(9);
    trigger("assumeMergedAction");
    EXPECT_EQ(stored("galaga", "Beam").toInt(), 9);
    // A refill moves the recordset: the edit still reaches the game shown.
    options->sliders[4]->setValue(12);
    click("sortButton");
    EXPECT_EQ(stored("galaga", "Beam").toInt(), 12);
    EXPECT_EQ(stored(DefaultRom, "Beam").toInt(), 0);

    // The game shown is removed with an edit pending: the next edit reaches the new selection.
    options->sliders[4]->setValue(20);
    vars.CatalogueDb->Execute("DELETE FROM ROMS WHERE Rom='galaga'");
    window->FillGrid();
    ASSERT_EQ(selected(), QString("Pac-Man"));
    EXPECT_EQ(options->sliders[0]->value(), 5);
    options->sliders[0]->setValue(6);
    select("Puck Man");
    EXPECT_EQ(stored("pacman", "Gamma").toInt(), 6);
    EXPECT_EQ(stored(DefaultRom, "Gamma").toInt(), -4);

    // Leaving the default set starts from a copy of it; rejoining keeps the game's own set stored.
    EXPECT_FALSE(options->sliders[0]->isVisibleTo(window));

    test::clickBox(options->checks[0]);
    ASSERT_FALSE(options->checks[0]->isChecked());
    const std::pair<const char*, const char*> copied[] = {
        {"Default", "0"}, {"Gamma", "-4"}, {"Additional", "-nothrottle"}, {"16 Bit Sound", "1"}, {"PlayOpt", "1"}};
    for (const auto& [field, value] : copied)
        EXPECT_EQ(stored("puckman", field).toString(), QString(value)) << field;
    EXPECT_TRUE(stored("puckman", "AltDir").isNull()) << "the default set holds no folder";
    EXPECT_TRUE(options->sliders[0]->isVisibleTo(window));
    EXPECT_EQ(options->sliders[0]->value(), -4);

    options->sliders[0]->setValue(9);
    test::clickBox(options->checks[0]);
    EXPECT_EQ(stored("puckman", "Default").toInt(), 1);
    EXPECT_EQ(stored("puckman", "Gamma").toInt(), 9);
    EXPECT_FALSE(options->sliders[0]->isVisibleTo(window));

    trigger("defaultOptionsAction");
    EXPECT_EQ(test::grid(window)->CurrentRow(), 0);
    EXPECT_TRUE(options->sliders[0]->isVisibleTo(window));
    EXPECT_EQ(options->sliders[0]->value(), -4);
    EXPECT_FALSE(options->checks[0]->isEnabled());

    // With today's MAME its switches are greyed and the Hi Score row speaks of save states.
    vars.MamePath = useTodaysFolder();
    test::tabs(window)->setCurrentIndex(DetailTabs::InformationTab);
    EXPECT_EQ(test::tabs(window)->Caption(Field::HiScore)->text(), QString("Save State"));
    EXPECT_FALSE(options->checks[1]->isEnabled()) << "today's MAME has no 16 bit sound switch";
}

// A clone shows its parent's screenshot only when merged; Delete takes only the game's own file.
TEST_F(DetailTabsTest, ScreenshotsFollowTheMergedSetsAndOnlyTheGamesOwnFileIsDeleted) {
    open();
    DetailTabs* tabs = test::tabs(window);
    select("Pac-Man");
    EXPECT_FALSE(tabs->screenshotView->IsEmpty());
    // A file that cannot be decoded leaves no picture of another game behind.
    select("Galaga");
    EXPECT_TRUE(tabs->screenshotView->IsEmpty());
    select("Puck Man");
    for (const bool merged : {true, false, true}) {
        trigger("assumeMergedAction");
        EXPECT_EQ(test::action(window, "assumeMergedAction")->isChecked(), merged);
        EXPECT_EQ(settings.Get("zelvora", "settings", "Merged", ""), QString(merged ? "1" : "0"));
        EXPECT_EQ(tabs->screenshotView->IsEmpty(), !merged);
    }
    // MAME's "(1)" shows as the words it stands for.
    tabs->setCurrentIndex(DetailTabs::InformationTab);
    EXPECT_EQ(tabs->Info(Field::Sound)->text(), QString("Yes Samples"));
    EXPECT_EQ(stored("puckman", "Sound").toString(), QString("Yes(1)")) << "only the display changes";
    EXPECT_FALSE(tabs->infoPicture->IsEmpty());
    test::grid(window)->SetCurrentRow(0);
    EXPECT_TRUE(tabs->infoPicture->IsEmpty()) << "the default record keeps no game's picture";
    select("Puck Man");
    tabs->setCurrentIndex(DetailTabs::ScreenShotTab);

    dialogs.answers = {true};
    trigger("deleteScreenshotAction");
    EXPECT_EQ(dialogs.questions, QStringList{"Zelvora: Confirm deletion of puckman.pcx"});
    EXPECT_TRUE(QFile::exists(pcx + "PACMAN.PCX")) << "the parent's file is never deleted";
    EXPECT_FALSE(tabs->screenshotView->IsEmpty());
    select("Pac-Man");
    dialogs.answers = {false, true};
    trigger("deleteScreenshotAction");
    EXPECT_TRUE(QFile::exists(pcx + "PACMAN.PCX"));
    QTest::keyClick(test::grid(window), Qt::Key_Delete);
    EXPECT_FALSE(QFile::exists(pcx + "PACMAN.PCX"));
    EXPECT_TRUE(tabs->screenshotView->IsEmpty());
    EXPECT_EQ(stored("pacman", "Screenshot").toInt(), 1);
    EXPECT_EQ(window->Rows().Text(rowOf(window, "Pac-Man"), 0), QString("S*")) << "the list's mark follows";
    dialogs.questions.clear();
    test::grid(window)->SetCurrentRow(0);
    trigger("deleteScreenshotAction");
    EXPECT_TRUE(dialogs.questions.isEmpty()) << "row 0 is the default record's";
}

// The information page captions each field without the old dash, hides the empty ones, and names
// a game's family from either end, as the catalogue holds it after a refill.
TEST_F(DetailTabsTest, InformationShowsFilledFieldsAndTheGamesFamily) {
    open();
    DetailTabs* tabs = test::tabs(window);
    tabs->setCurrentIndex(DetailTabs::InformationTab);
    select("Puck Man");
    EXPECT_EQ(tabs->Info(Field::Clone)->text(), QString("Pac-Man [pacman]"));
    EXPECT_EQ(tabs->Caption(Field::Clone)->text(), QString("Clone of"));
    for (const QLabel* caption : tabs->findChildren<QLabel*>(QRegularExpression("^caption_")))
        EXPECT_FALSE(caption->text().endsWith('-')) << caption->text().toStdString();
    EXPECT_TRUE(tabs->Caption(Field::Sound)->isVisibleTo(tabs));
    EXPECT_FALSE(tabs->Caption(Field::Cpu1)->isVisibleTo(tabs)) << "the record has no processor";
    EXPECT_FALSE(tabs->Info(InformationPage::ClonesRow)->isVisibleTo(tabs)) << "its only clone is itself";

    vars.CatalogueDb->Execute("UPDATE ROMS SET Clone='pacman' WHERE Rom='galaga'");
    window->FillGrid();
    select("Pac-Man");
    EXPECT_EQ(tabs->Info(InformationPage::ClonesRow)->text(), QString("Galaga [galaga]\nPuck Man [puckman]"));
    EXPECT_FALSE(tabs->Caption(Field::Clone)->isVisibleTo(tabs));

    // Today's MAME's screen and controls, read for the game shown; none for a game without facts.
    GameStore(*vars.CatalogueDb)
        .ReplaceFacts({{"galaga", {{}, {ScreenType::Raster, true, 1, 288, 224, 60.606061f}, {"Joystick (2-way)", 1}}}});
    select("Galaga");
    EXPECT_EQ(tabs->Info(InformationPage::ResolutionRow)->text(), QString("288 x 224"));
    EXPECT_EQ(tabs->Info(InformationPage::RefreshRow)->text(), QString("60.61 Hz"));
    EXPECT_EQ(tabs->Info(InformationPage::OrientationRow)->text(), QString("Vertical"));
    EXPECT_EQ(tabs->Info(InformationPage::ControlsRow)->text(), QString("Joystick (2-way)"));
    EXPECT_EQ(tabs->Info(InformationPage::ButtonsRow)->text(), QString("1"));
    EXPECT_FALSE(tabs->Info(InformationPage::ScreensRow)->isVisibleTo(tabs)) << "one screen";
    select("Pac-Man");
    EXPECT_FALSE(tabs->Info(InformationPage::ScreenRow)->isVisibleTo(tabs));
    EXPECT_FALSE(tabs->Info(InformationPage::ControlsRow)->isVisibleTo(tabs));
    const GameFactsRow vector{{}, {ScreenType::Vector, false, 3, 0, 0, 60}, {}};
    EXPECT_EQ(
        QStringList({FactText(InformationPage::ScreensRow, vector), FactText(InformationPage::ResolutionRow, vector),
                     FactText(InformationPage::RefreshRow, vector), FactText(InformationPage::OrientationRow, vector)}),
        QStringList({"3", "", "60 Hz", "Horizontal"}));

    const CloneFamily family{{"p", "P"}, {{"a", "A"}, {"b", "B"}, {"c", "C"}}};
    EXPECT_EQ(ClonesText(family, "B", 1), QString("A [a]\nand 1 more"));
}

// The Screen Shot tab steps through the kinds of picture by its buttons and the wheel, a clone
// taking its parent's, and keeps the kind across a restart; the History tab shows the texts.
TEST_F(DetailTabsTest, ArtworkKindsAndHistoryOfTheSelectedGame) {
    settings.Save("Zelvora", "Settings", "ArtworkFiles", test::FixturePath("artwork") + "/");
    settings.Save("Zelvora", "Settings", "SupportFiles", test::FixturePath("texts") + "/");
    open();
    DetailTabs* tabs = test::tabs(window);
    ScreenShotPage* page = tabs->screenShot;
    select("Puck Man");
    EXPECT_TRUE(page->kindChoice->isVisibleTo(window));
    const std::pair<QString, QString> steps[] = {
        {"Title", ""}, {"Flyer", ""}, {"Cabinet", ""}, {"Marquee", "No marquee for this game"}};
    for (const auto& [kind, message] : steps) {
        page->nextButton->click();
        EXPECT_EQ(page->kindChoice->currentText(), kind);
        EXPECT_EQ(page->view->IsEmpty(), !message.isEmpty()) << kind.toStdString();
        EXPECT_EQ(page->view->Message(), message);
    }
    QWheelEvent down(QPointF(5, 5), page->view->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(page->view, &down);
    EXPECT_EQ(page->kindChoice->currentText(), QString("Control Panel"));
    page->previousButton->click();
    page->previousButton->click();
    EXPECT_EQ(page->kindChoice->currentText(), QString("Cabinet"));

    test::closeAll();
    open();
    tabs = test::tabs(window);
    select("Galaga");
    EXPECT_EQ(tabs->screenShot->kindChoice->currentText(), QString("Cabinet"));
    EXPECT_EQ(tabs->screenShot->view->Message(), QString("No cabinet for this game"));

    tabs->setCurrentIndex(DetailTabs::HistoryTab);
    select("Puck Man");
    QTRY_VERIFY(tabs->history->IsReady());
    const QString text = tabs->history->text->toPlainText();
    for (const char* part : {"Eat the dots & dodge the ghosts", "Puck Man's own notes.", "Move: joystick in four"})
        EXPECT_TRUE(text.contains(part)) << part;
    select("Galaga");
    EXPECT_TRUE(tabs->history->text->toPlainText().contains("No history")) << "nothing of another game stays";
}
