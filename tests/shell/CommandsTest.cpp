#include "ShellFixture.h"

#include "about/frmAbout.h"

#include "GamesFile.h"

#include <QMenu>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace zelvora;

namespace {

class CommandsTest : public test::ShellFixture {
public:
    CommandsTest() {
        setUpMame();
        fillCatalogue([](test::CatalogueFixture& catalogue) {
            catalogue.add("pacman", "Pac-Man");
            catalogue.add("pacmanj", "Pac-Man (Japan)", {{"Clone", "pacman"}});
            catalogue.add("galaga", "Galaga", {{"Default", 0}});
        });
    }
};

} // namespace

TEST_F(CommandsTest, CompactingTwiceAndOverALeftoverKeepsTheSelection) {
    open();
    select("Galaga");
    test::WriteBytes(TempCatalogueFile(program.path()), "left over by an interrupted run");
    trigger("mnuCompact");
    trigger("mnuCompact");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(test::part<QLabel>(window, "lblResult")->text().startsWith("Catalogue compacted: "));
    EXPECT_FALSE(QFile::exists(TempCatalogueFile(program.path())));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(test::findWindow<QWidget>(), window) << "the progress window has gone";

    // The reopened recordset stands on the game shown.
    test::tabs(window)->setCurrentIndex(DetailTabs::InformationTab);
    EXPECT_EQ(test::tabs(window)->lblInfo[15]->text(), QString("galaga"));
}

// One program uses a catalogue from its start to its end. A second start finds the first holding
// the folder: it says so before any window and ends. The first compacts and reopens the catalogue
// as it likes, and holds the folder with no window left.
TEST_F(CommandsTest, OneProgramUsesTheCatalogueFromItsStartToItsEnd) {
    // Another program's hold, as a second start finds the first one's.
    const auto otherProgram = [&] { return ::open(QFile::encodeName(program.path()).constData(), O_RDONLY); };
    const int first = otherProgram();
    ASSERT_EQ(::flock(first, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(shell.Start());
    EXPECT_EQ(dialogs.messages, QStringList{"Zelvora: Zelvora is already running."});
    EXPECT_EQ(test::findWindow<QWidget>(), nullptr);
    ::close(first);

    ASSERT_TRUE(shell.Start());
    window = test::findWindow<frmMain>();
    ASSERT_NE(window, nullptr);
    trigger("mnuCompact");
    EXPECT_TRUE(test::part<QLabel>(window, "lblResult")->text().startsWith("Catalogue compacted: "));
    trigger("mnuExit");
    const int second = otherProgram();
    EXPECT_NE(::flock(second, LOCK_EX | LOCK_NB), 0);
    ::close(second);
}

TEST_F(CommandsTest, AboutBoxDisablesTheMainWindowUntilItCloses) {
    open();
    for (bool byTitleBar : {false, true}) {
        trigger("mnuAboutDisplay");
        auto* about = test::findWindow<frmAbout>();
        ASSERT_NE(about, nullptr);
        EXPECT_FALSE(window->isEnabled());
        EXPECT_TRUE(about->isEnabled()) << "one of the main window's windows, usable";
        EXPECT_EQ(about->parentWidget(), window);
        EXPECT_LE((about->frameGeometry().center() - window->frameGeometry().center()).manhattanLength(), 2);
        EXPECT_EQ(about->Animation().StepA, 0) << "every opening starts afresh";
        about->Timer1_Timer();
        if (byTitleBar)
            about->close();
        else
            QTest::mouseClick(about->Command1, Qt::LeftButton);
        EXPECT_TRUE(window->isEnabled());
        EXPECT_EQ(test::findWindow<frmAbout>(), nullptr);
    }
}

// Each check marks the games, the clone by its parent's file while merged sets are assumed, and
// the list shows the new marks; Verify ROMS asks the stand-in MAME.
TEST_F(CommandsTest, TheCheckEntriesMarkTheCatalogueAndRefillTheList) {
    QDir().mkpath(program.path() + "/pcx");
    QDir().mkpath(program.path() + "/roms");
    test::WriteBytes(program.path() + "/pcx/pacman.pcx", "x");
    test::WriteBytes(program.path() + "/roms/galaga.zip", "x");
    using standin::VerifyStatus;
    const auto game = [](const char* name, const char* parent, VerifyStatus verify) {
        return standin::StandinGame{name, parent, {}, {}, {}, {}, {}, {}, verify};
    };
    test::WriteBytes(useStandIn() + "standin-games.tsv",
                     standin::GamesFile::Format({game("pacman", "", VerifyStatus::Good),
                                                 game("pacmanj", "pacman", VerifyStatus::Bad),
                                                 game("galaga", "", VerifyStatus::Missing)}));
    open();
    // The marks of the default record, Galaga, Pac-Man and Pac-Man (Japan).
    const auto marks = [&] {
        QStringList all;
        for (int row = 0; row < window->Rows().rowCount(); ++row)
            all << window->Rows().Text(row, 0);
        return all;
    };

    // The status bar tells what each check found.
    const auto result = [&] { return test::part<QLabel>(window, "lblResult")->text(); };

    trigger("mnuCheck0");
    EXPECT_EQ(marks(), (QStringList{"", "S*", "", "S"}));
    EXPECT_EQ(result(), QString("Missing Screenshots: 2 of 3 games marked"));
    trigger("mnuAssume");
    trigger("mnuCheck0");
    trigger("mnuCheck1");
    EXPECT_EQ(marks(), (QStringList{"", "S*", "R", "R"}));
    EXPECT_EQ(result(), QString("Missing Zipped ROMS: 2 of 3 games marked"));
    trigger("mnuCheck2");
    EXPECT_EQ(marks(), (QStringList{"", "*", "", ""}));
    EXPECT_EQ(result(), QString("Status fields cleared: 3 games"));
    trigger("mnuCheck3");
    EXPECT_EQ(runner.commands.size(), 1);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
    EXPECT_EQ(marks(), (QStringList{"", "B*", "", "B"}));
    EXPECT_EQ(result(), QString("Bad ROM sets: 2"));

    // Over the default record alone there is nothing to check, nor to ask MAME about.
    vars.CatalogueDb->Execute("DELETE FROM ROMS WHERE Rom<>'-default-'");
    for (QAction* entry : test::part<QMenu>(window, "mnuCheck1")->actions())
        entry->trigger();
    EXPECT_EQ(runner.commands.size(), 1);
    EXPECT_EQ(result(), QString("Nothing to check: the catalogue holds no games"));

    // A window that reports after the main window has gone reports to nobody.
    const auto report = window->ResultCallback();
    report("New: 12, Expired: 3");
    EXPECT_EQ(result(), QString("New: 12, Expired: 3"));
    trigger("mnuExit");
    test::closeAll();
    report("New: 0, Expired: 0");
}
