#include "ShellFixture.h"

#include "checks/ProgressDialog.h"

#include "GamesFile.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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

    static standin::StandinGame game(const char* name, const char* parent, standin::VerifyStatus verify) {
        return standin::StandinGame{name, parent, {}, {}, {}, {}, {}, {}, verify};
    }
    QString marks(const QString& description) { return window->Rows().Text(rowOf(window, description), 0); }
};

} // namespace

// Verify ROMS with a MAME that never finishes: Cancel, or closing the main window, ends it. The
// classic MAME's runs behind a progress window; today's beside the list, which stays in use.
TEST_F(CommandsTest, VerifyRomsCanBeCancelled) {
    const QString classic = useStandIn(), today = useTodaysFolder();
    QDir().mkpath(program.path() + "/roms");
    open();
    qputenv("ZELVORA_MAME_WAIT", "-verifyroms " + program.file("never").toLocal8Bit());
    const auto verifying = [&](int before) {
        return runner.Started() > before && runner.LastStarted().contains("-verifyroms");
    };
    for (const int pass : {0, 1, 2}) {
        const bool closing = pass == 2;
        vars.MamePath = pass == 0 ? classic : today;
        QTimer meanwhile;
        const int before = runner.Started();
        QObject::connect(&meanwhile, &QTimer::timeout, [&] {
            auto* status = test::findWindow<ProgressDialog>();
            if (!status || !verifying(before))
                return;
            status->cancelButton->click();
        });
        meanwhile.start(0);
        trigger("checkAction3");
        if (pass > 0) {
            EXPECT_TRUE(window->Auditing() && test::TakesInput(window));
            ASSERT_TRUE(QTest::qWaitFor([&] { return verifying(before); }, 10000));
            EXPECT_FALSE(test::action(window, "updateAction")->isEnabled() ||
                         test::action(window, "checkAction3")->isEnabled());
            select("Galaga");
            EXPECT_EQ(shown(), QString("Galaga")) << "the list is in use while MAME verifies";
            if (closing)
                window->close();
            else
                QTest::mouseClick(window->findChild<QPushButton*>("jobCancelButton"), Qt::LeftButton);
            EXPECT_TRUE(QTest::qWaitFor([&] { return closing || !window->Auditing(); }, 10000));
        }
        EXPECT_EQ(stored("pacman", "Bad ROM").toInt(), 0);
        EXPECT_EQ(test::findWindow<ProgressDialog>(), nullptr);
        if (closing) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(test::findWindow<MainWindow>(), nullptr);
        } else {
            EXPECT_TRUE(result() == "Verify ROMS cancelled" && test::TakesInput(window)) << result().toStdString();
            EXPECT_TRUE(test::action(window, "updateAction")->isEnabled());
        }
    }
    EXPECT_EQ(runner.commands.size(), 3);
    qunsetenv("ZELVORA_MAME_WAIT");
}

// A second start finds the first holding the folder and ends; compacting keeps the hold and the
// selection, also over a leftover.
TEST_F(CommandsTest, OneProgramUsesTheCatalogueFromItsStartToItsEnd) {
    const auto otherProgram = [&] { return ::open(QFile::encodeName(program.path()).constData(), O_RDONLY); };
    const int first = otherProgram();
    ASSERT_EQ(::flock(first, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(shell.Start());
    EXPECT_EQ(dialogs.messages, QStringList{"Zelvora: Zelvora is already running."});
    dialogs.messages.clear();
    EXPECT_EQ(test::findWindow<QWidget>(), nullptr);
    ::close(first);

    ASSERT_TRUE(shell.Start());
    window = test::findWindow<MainWindow>();
    ASSERT_NE(window, nullptr);
    // Twice, and over a file left by an interrupted run; the selection stays.
    select("Galaga");
    test::WriteBytes(TempCatalogueFile(program.path()), "left over by an interrupted run");
    trigger("compactAction");
    trigger("compactAction");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(result().startsWith("Catalogue compacted: "));
    EXPECT_FALSE(QFile::exists(TempCatalogueFile(program.path())));
    EXPECT_TRUE(test::TakesInput(window));
    EXPECT_EQ(test::findWindow<QWidget>(), window) << "the progress window has gone";
    test::tabs(window)->setCurrentIndex(DetailTabs::InformationTab);
    EXPECT_EQ(test::tabs(window)->Info(Field::Rom)->text(), QString("galaga"));
    trigger("exitAction");
    const int second = otherProgram();
    EXPECT_NE(::flock(second, LOCK_EX | LOCK_NB), 0);
    ::close(second);
}

// Each check marks the games (a clone by its parent's file when merged) and refills the list.
TEST_F(CommandsTest, TheCheckEntriesMarkTheCatalogueAndRefillTheList) {
    QDir().mkpath(program.path() + "/pcx");
    QDir().mkpath(program.path() + "/roms");
    test::WriteBytes(program.path() + "/pcx/pacman.pcx", "x");
    test::WriteBytes(program.path() + "/roms/galaga.zip", "x");
    using standin::VerifyStatus;
    test::WriteBytes(useStandIn() + "standin-games.tsv",
                     standin::GamesFile::Format({game("pacman", "", VerifyStatus::Good),
                                                 game("pacmanj", "pacman", VerifyStatus::Bad),
                                                 game("galaga", "", VerifyStatus::Missing)}));
    open();
    // The marks of the default record, Galaga, Pac-Man and Pac-Man (Japan).

    trigger("checkAction0");
    EXPECT_EQ(listed(0), (QStringList{"", "S*", "", "S"}));
    EXPECT_EQ(result(), QString("Missing Screenshots: 2 of 3 games marked"));
    trigger("assumeMergedAction");
    trigger("checkAction0");
    trigger("checkAction1");
    EXPECT_EQ(listed(0), (QStringList{"", "S*", "R", "R"}));
    EXPECT_EQ(result(), QString("Missing Zipped ROMS: 2 of 3 games marked"));
    trigger("checkAction2");
    EXPECT_EQ(listed(0), (QStringList{"", "*", "", ""}));
    EXPECT_EQ(result(), QString("Status fields cleared: 3 games"));
    trigger("checkAction3");
    EXPECT_EQ(runner.commands.size(), 1);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
    EXPECT_EQ(listed(0), (QStringList{"", "B*", "", "B"}));
    EXPECT_EQ(result(), QString("Bad ROM sets: 2"));

    // Over the default record alone there is nothing to check, nor to ask MAME about.
    vars.CatalogueDb->Execute("DELETE FROM ROMS WHERE Rom<>'-default-'");
    for (QAction* entry : test::part<QMenu>(window, "checkMenu")->actions())
        entry->trigger();
    EXPECT_EQ(runner.commands.size(), 1);
    EXPECT_EQ(result(), QString("Nothing to check: the catalogue holds no games"));

    // A window that reports after the main window has gone reports to nobody.
    const auto report = window->ResultCallback();
    report("New: 12, Expired: 3");
    EXPECT_EQ(result(), QString("New: 12, Expired: 3"));
    trigger("exitAction");
    test::closeAll();
    report("New: 0, Expired: 0");
}

// Today's MAME needs no file for Pong and reads ".7z" and folders; over an empty ROM folder the
// report must not read as a collection without bad sets.
TEST_F(CommandsTest, TodaysChecksAndSnapshotsFollowTodaysMame) {
    fillCatalogue([](test::CatalogueFixture& catalogue) { catalogue.add("pong", "Pong", {{"Missing ROM", 1}}); });
    using standin::VerifyStatus;
    // The stand-in playing today's MAME.
    const QString folder = useStandIn();
    QFile::copy(test::FixturePath("mame-today/listxml.xml"), folder + "standin-listxml.xml");
    test::WriteBytes(folder + "standin-games.tsv",
                     standin::GamesFile::Format(
                         {game("pacman", "", VerifyStatus::Good), game("pacmanj", "pacman", VerifyStatus::Bad),
                          game("galaga", "", VerifyStatus::Good), game("pong", "", VerifyStatus::NoFiles)}));
    const QString roms = program.path() + "/roms/";
    QDir().mkpath(roms);
    open();

    trigger("checkAction4");
    EXPECT_EQ(result(), QString("Bad ROM sets: 0 (MAME found and checked 1 of 4 games)"));
    const QString message = dialogs.messages.value(0);
    EXPECT_TRUE(message.contains("checked 1 of the 4 games") && message.contains(roms)) << message.toStdString();
    EXPECT_EQ(marks("Pong"), QString()) << "verified, so not missing";

    test::WriteBytes(roms + "galaga.7z", "x");
    test::WriteBytes(roms + "pacman/pacman.6e", "x");
    trigger("checkAction1");
    EXPECT_EQ(result(), QString("Missing Zipped ROMS: 1 of 4 games marked"));
    EXPECT_EQ(marks("Pac-Man (Japan)"), QString("R")) << "the others are found or need no file";

    // "Verify ROMS" asks only about the sets whose files changed since "Verify All".
    const qsizetype runs = runner.commands.size();
    const auto audit = [&] {
        trigger("checkAction3");
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->Auditing(); }, 10000));
    };
    audit();
    EXPECT_EQ(result(),
              QString("Verify ROMS: 3 sets checked, 1 taken from the last audit; 3 good, 1 bad, 0 not found"));
    EXPECT_EQ(marks("Pac-Man (Japan)"), QString("BR"));
    audit();
    EXPECT_EQ(result(),
              QString("Verify ROMS: 0 sets checked, 4 taken from the last audit; 3 good, 1 bad, 0 not found"));
    EXPECT_EQ(runner.commands.size(), runs + 1);
    EXPECT_EQ(dialogs.messages.size(), 1) << dialogs.messages.join('\n').toStdString();

    // Its snapshots live in the set's folder: the game is marked once none is left.
    const QString pcx = program.path() + "/pcx/";
    for (const char* shot : {"pacman/0000.png", "pacman/0001.png"})
        test::WriteBytes(pcx + shot, "x");
    select("Pac-Man");
    dialogs.answers = {true, true};
    dialogs.questions.clear();
    for (const char* marked : {"", "S"}) {
        trigger("deleteScreenshotAction");
        EXPECT_EQ(marks("Pac-Man"), QString(marked));
    }
    EXPECT_EQ(dialogs.questions, QStringList({"Zelvora: Confirm deletion of pacman/0000.png",
                                              "Zelvora: Confirm deletion of pacman/0001.png"}));
    EXPECT_FALSE(QDir(pcx + "pacman").exists("0000.png") || QDir(pcx + "pacman").exists("0001.png"));
    EXPECT_EQ(stored("pacman", "Screenshot").toInt(), 1);
    EXPECT_EQ(selected(), QString("Pac-Man"));
}
