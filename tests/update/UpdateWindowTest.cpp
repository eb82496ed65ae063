#include "GamesFile.h"
#include "ShellFixture.h"
#include "StandinGames.h"

#include "shell/UpdateWindow.h"
#include "shell/WhatsNewWindow.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>

using namespace zelvora;
using standin::StandinGame;
using test::Game;

namespace {

QStringList items(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

class NewVersionTest : public test::ShellFixture {
public:
    NewVersionTest() {
        storeDirectories();
        fillCatalogue([](Recordset& rs) {
            test::AddGame(rs, "yard", "10-Yard Fight", {{"Default", 0}, {"Sound Card", 2}, {"Active", -1}});
            test::AddGame(rs, "oldgame", "Old Game", {{"Active", -1}});
        });
    }

    // The classic stand-in answering for `games`, beside the real game list document.
    void installStandin(const std::vector<StandinGame>& games) {
        folder = useStandIn();
        test::WriteBytes(folder + "standin-games.tsv", standin::GamesFile::Format(games));
        ASSERT_TRUE(QFile::copy(test::FixturePath("mame-classic/gamelist.txt"), folder + "gamelist.txt"));
    }

    // Answers the prompt and runs the update to its end, noting what its window shows meanwhile
    // and doing what `meanwhile` does. Returns the window.
    UpdateWindow* update(MainWindow* window, bool answer = true) {
        dialogs.answers = {answer};
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* running = test::findWindow<UpdateWindow>(); running && running->IsRunning()) {
                const QString text = running->progressText->text();
                if (!text.isEmpty() && (texts.isEmpty() || texts.last() != text))
                    texts << text;
                values << running->progressBar->value();
                listedMeanwhile = std::max(listedMeanwhile, running->newGamesList->count());
                gaveWayMeanwhile |= test::TakesInput(window) || !running->cancelButton->isVisible();
                if (meanwhile)
                    meanwhile(running);
            }
        });
        watch.start(0);
        test::action(window, "updateAction")->trigger();
        return test::findWindow<UpdateWindow>();
    }

    QStringList texts; // each once, in the order the window shows them, from the first
    QSet<int> values;
    int listedMeanwhile = 0;
    bool gaveWayMeanwhile = false;
    std::function<void(UpdateWindow*)> meanwhile;
    QString folder;
};

} // namespace

// A listing cut short by a crash, a full disk or a full catalogue refuses the update with its
// reason, shown whole; the catalogue is unchanged and the captured listings are removed. Then the
// whole update, of thousands of games, so that the window gets to repaint while it runs.
TEST_F(NewVersionTest, AFailedUpdateChangesNothingAndSaysWhyAndTheWholeUpdateRuns) {
    std::vector<StandinGame> games = {Game("yard", "10-Yard Fight"), Game("vsyard", "10-Yard Fight (Vs.)", "yard"),
                                      Game("galaga", "Galaga")};
    for (int i = 0; i < 3000; ++i)
        games.push_back(Game(QString("g%1").arg(i), QString("Game number %1").arg(i)));
    installStandin(games);
    MainWindow* window = start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(update(window, false), nullptr) << "Cancel starts nothing";
    EXPECT_TRUE(runner.commands.isEmpty());
    const std::pair<std::function<void()>, QString> failures[] = {
        // The headings and the first game, then the crash.
        {[] { qputenv("ZELVORA_MAME_LISTING_BREAK", "-listdetails 3 139"); },
         "MAME's detail listing Details.txt failed, so the catalogue was not changed."},
        {[&] { QFile::link("/dev/full", program.file("Details.txt")); },
         "MAME's detail listing Details.txt could not be written (No space left on device), so the catalogue was "
         "not changed."},
        // No page beyond those the catalogue has.
        {[&] { vars.CatalogueDb->Execute("PRAGMA max_page_count = 1"); },
         "The catalogue could not be written (database or disk is full), so it was not changed."},
    };
    for (const auto& [fail, reason] : failures) {
        fail();
        UpdateWindow* done = update(window);
        qunsetenv("ZELVORA_MAME_LISTING_BREAK");
        ASSERT_NE(done, nullptr);
        const QString text = done->progressText->text();
        EXPECT_TRUE(text.startsWith("DONE!\n" + reason)) << text.toStdString();
        EXPECT_GE(done->progressText->height(), done->progressText->heightForWidth(done->progressText->width()))
            << "the whole text shows";
        EXPECT_EQ(done->newGamesList->count() + done->expiredGamesList->count(), 0);
        EXPECT_EQ(window->Rows().rowCount(), 3);
        for (const char* file : {"Clones.txt", "Games.txt", "Details.txt"})
            EXPECT_FALSE(QFileInfo(program.file(file)).exists() || QFileInfo(program.file(file)).isSymLink()) << file;
        done->okButton->click();
    }
    EXPECT_GT(listedMeanwhile, 0) << "the games found meanwhile were not added";

    vars.CatalogueDb->Execute("PRAGMA max_page_count = 1073741823");
    runner.commands.clear();
    UpdateWindow* done = update(window);
    ASSERT_NE(done, nullptr);
    EXPECT_GE(texts.size(), 2) << "phase texts";
    EXPECT_GE(values.size(), 3) << "progress bar values";
    EXPECT_FALSE(gaveWayMeanwhile) << "the main window takes nothing and the update offers Cancel";
    EXPECT_EQ(runner.commands.size(), 3);
    EXPECT_TRUE(done->okButton->isVisible());
    EXPECT_EQ(items(done->newGamesList).mid(0, 3), (QStringList{"10-Yard Fight (Vs.)", "Galaga", "Game number 0"}));
    EXPECT_EQ(items(done->expiredGamesList), QStringList{"Old Game"});
    EXPECT_EQ(window->Rows().rowCount(), 3004) << "the games and the default options";
    done->okButton->click();
    EXPECT_EQ(test::findWindow<UpdateWindow>(), nullptr);
}

// MAME's ini folders are kept for the next start, which does not ask MAME.
TEST_F(NewVersionTest, TodaysMameIsNamedFirstAndASecondUpdateFindsNothingToDo) {
    const QString today = useTodaysFolder();
    settings.Save("Zelvora", "Settings", "MameLocation", today);
    MainWindow* window = start();
    ASSERT_NE(window, nullptr);

    UpdateWindow* done = update(window);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(texts.value(0), QString("MAME 0.251"));
    EXPECT_EQ(ProgramSettings(settings).ReadMameFolders().ini,
              (QStringList{QDir::homePath() + "/.mame", today + "ini"}));
    EXPECT_EQ(items(done->expiredGamesList), (QStringList{"10-Yard Fight", "Old Game"}));
    rowOf(window, "Attaché");
    test::part<QLineEdit>(window, "findField")->setText("pac");
    const auto whatsNewEnabled = [&] {
        Q_EMIT test::part<QMenu>(window, "actionsMenu")->aboutToShow();
        return test::action(window, "whatsNewAction")->isEnabled();
    };
    done->okButton->click();

    // OK shows what changed. Enter on a game selects it, the find field that hid it giving way.
    WhatsNewWindow* whatsNew = test::findWindow<WhatsNewWindow>();
    ASSERT_NE(whatsNew, nullptr);
    QTreeWidget* tree = whatsNew->changesTree;
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0) + ", " + tree->topLevelItem(1)->text(0),
              QString("Added (19), Removed (2)"));
    tree->setCurrentItem(tree->findItems("Attaché", Qt::MatchExactly | Qt::MatchRecursive).value(0));
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(selected(), QString("Attaché"));
    EXPECT_EQ(test::part<QLineEdit>(window, "findField")->text(), QString());
    EXPECT_TRUE(whatsNew->isVisible());
    QTreeWidgetItem* removed = tree->findItems("Old Game", Qt::MatchExactly | Qt::MatchRecursive).value(0);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(removed).center());
    EXPECT_EQ(whatsNew->selectionText->text(), QString("Old Game is no longer in the catalogue."));
    dialogs.files = {program.file("changes.csv")};
    whatsNew->csvButton->click();
    const QList<QByteArray> csv = test::ReadBytes(program.file("changes.csv")).split('\n');
    EXPECT_EQ(csv.size(), 1 + 21 + 1);
    EXPECT_EQ(csv.value(0), "Change,Set,Title,Status,Old Set,Old Title,Old Status\r");
    QTest::keyClick(whatsNew, Qt::Key_Escape);
    EXPECT_EQ(test::findWindow<WhatsNewWindow>(), nullptr);
    EXPECT_TRUE(whatsNewEnabled()) << "the report stays";

    UpdateWindow* again = update(window);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->progressText->text(), QString("DONE!"));
    EXPECT_EQ(again->newGamesList->count() + again->expiredGamesList->count(), 0);
    EXPECT_FALSE(again->renamedGamesList->isVisible());
    EXPECT_EQ(window->Rows().rowCount(), 20) << "the games and the default options";
    again->okButton->click();
    EXPECT_EQ(test::findWindow<WhatsNewWindow>(), nullptr) << "nothing changed";
    EXPECT_FALSE(whatsNewEnabled()) << "the report of the update before is gone";

    // MAME renames a set: the window lists it as renamed, neither new nor expired.
    QByteArray listing = test::ReadBytes(today + "standin-listxml.xml");
    listing.replace("<machine name=\"pacman\"", "<machine name=\"pacmanm\"");
    test::WriteBytes(today + "standin-listxml.xml", listing);
    UpdateWindow* renamed = update(window);
    ASSERT_NE(renamed, nullptr);
    EXPECT_TRUE(renamed->renamedGamesList->isVisible());
    EXPECT_EQ(items(renamed->renamedGamesList), QStringList{"Pac-Man (Midway) (pacman \u2192 pacmanm)"});
    EXPECT_EQ(items(renamed->newGamesList) + items(renamed->expiredGamesList), QStringList());
    // What's New names it renamed, neither added nor removed.
    renamed->okButton->click();
    whatsNew = test::findWindow<WhatsNewWindow>();
    ASSERT_NE(whatsNew, nullptr);
    ASSERT_EQ(whatsNew->changesTree->topLevelItemCount(), 1);
    EXPECT_EQ(whatsNew->changesTree->topLevelItem(0)->text(0), QString("Renamed (1)"));
    QTest::keyClick(whatsNew, Qt::Key_Escape);
}

// A MAME that never finishes its listing: Cancel, closing the update's window, or closing the main
// window ends it and the update, which changes nothing and runs no further MAME. The ways are the
// window's own, so each runs once, over either MAME's listing.
TEST_F(NewVersionTest, CancelEndsAMameThatNeverFinishesAndChangesNothing) {
    installStandin({Game("galaga", "Galaga")});
    const QString today = useTodaysFolder();
    MainWindow* window = start();
    ASSERT_NE(window, nullptr);
    enum How { CancelButton, CloseUpdate, CloseMain };
    // The main window goes, so last.
    const std::pair<bool, How> runs[] = {{true, CancelButton}, {false, CloseUpdate}, {false, CloseMain}};
    for (const auto& [classic, how] : runs) {
        vars.MamePath = classic ? folder : today;
        qputenv("ZELVORA_MAME_WAIT",
                QByteArray(classic ? "-listclones " : "-listxml ") + program.file("never").toLocal8Bit());
        SCOPED_TRACE(QString("%1 MAME, way %2").arg(classic ? "classic" : "today's").arg(how).toStdString());
        runner.commands.clear();
        const int before = runner.Started();
        meanwhile = [&](UpdateWindow* running) {
            if (runner.Started() == before)
                return; // asking MAME's version
            if (how == CloseMain) {
                window->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            } else if (how == CloseUpdate) {
                running->close();
            } else {
                running->cancelButton->click();
            }
        };
        EXPECT_EQ(update(window), nullptr) << "the window goes";
        EXPECT_EQ(runner.commands.size(), 1) << runner.commands.join('\n').toStdString();
        if (how == CloseMain)
            break;
        EXPECT_TRUE(test::TakesInput(window));
        EXPECT_EQ(window->Rows().rowCount(), 3);
        EXPECT_EQ(result(), QString("Catalogue not updated"));
    }
    qunsetenv("ZELVORA_MAME_WAIT");
    EXPECT_EQ(test::findWindow<MainWindow>(), nullptr);
    EXPECT_EQ(stored("oldgame", "Description").toString(), QString("Old Game"));
    EXPECT_EQ(stored("yard", "Sound Card").toInt(), 2);
}
