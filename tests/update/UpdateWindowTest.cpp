#include "GamesFile.h"
#include "ShellFixture.h"
#include "StandinGames.h"

#include "shell/UpdateWindow.h"

#include <QListWidget>
#include <QProgressBar>
#include <QSet>
#include <QTimer>

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

// The stand-in MAME in a folder whose name the shell would misread unquoted, answering for its
// own games, beside the real game list document.
class NewVersionTest : public test::ShellFixture {
public:
    NewVersionTest() {
        storeDirectories();
        folder = mame.path() + "/My MAME's \"new\" $HOME/";
        QDir().mkpath(folder);
        settings.Save("Zelvora", "Settings", "MameLocation", folder);
        fillCatalogue([](Recordset& rs) {
            test::AddGame(rs, "yard", "10-Yard Fight", {{"Default", 0}, {"Sound Card", 2}, {"Active", -1}});
            test::AddGame(rs, "oldgame", "Old Game", {{"Active", -1}});
        });
        runner.forward = &shellRunner;
    }

    void installStandin(const std::vector<StandinGame>& games) {
        ASSERT_TRUE(QFile::copy(ZELVORA_STANDIN_PATH, folder + "mame"));
        test::WriteBytes(folder + "standin-games.tsv", standin::GamesFile::Format(games));
        ASSERT_TRUE(QFile::copy(test::FixturePath("mame-classic/gamelist.txt"), folder + "gamelist.txt"));
    }

    // The stand-in playing today's MAME, from its recorded listing, in a folder of its own.
    QString installToday() {
        const QString today = mame.path() + "/today/";
        QDir().mkpath(today);
        QFile::copy(ZELVORA_STANDIN_PATH, today + "mame");
        QFile::copy(test::FixturePath("mame-today/listxml.xml"), today + "standin-listxml.xml");
        return today;
    }

    // Answers the prompt and runs the update to its end; meanwhile notes what its window shows
    // each time it gets to repaint, and whether the main window takes input or the update offers
    // no Cancel, and does what `meanwhile` does. Returns the window.
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
    ShellRunner shellRunner;
};

} // namespace

// Also a catalogue of thousands of games, so that the window gets to repaint while it runs.
TEST_F(NewVersionTest, TheWholeUpdateThroughTheStandInMame) {
    std::vector<StandinGame> games = {Game("yard", "10-Yard Fight"), Game("vsyard", "10-Yard Fight (Vs.)", "yard"),
                                      Game("galaga", "Galaga")};
    for (int i = 0; i < 3000; ++i)
        games.push_back(Game(QString("g%1").arg(i), QString("Game number %1").arg(i)));
    installStandin(games);
    MainWindow* window = start();
    ASSERT_NE(window, nullptr);

    UpdateWindow* done = update(window);
    ASSERT_NE(done, nullptr);
    EXPECT_GE(texts.size(), 2) << "phase texts";
    EXPECT_GE(values.size(), 3) << "progress bar values";
    EXPECT_GT(listedMeanwhile, 0) << "new games are listed as they are found";
    EXPECT_FALSE(gaveWayMeanwhile) << "the main window takes nothing and the update offers Cancel";

    EXPECT_EQ(dialogs.questions, QStringList{"Zelvora: Confirm update of new version of MAME from file: " + folder +
                                             "mame\rWarning, your screen may blank out for a few seconds while "
                                             "this program communicates with MAME."});
    EXPECT_EQ(runner.commands.size(), 3);
    EXPECT_TRUE(done->okButton->isVisible());
    EXPECT_EQ(items(done->newGamesList).mid(0, 3), (QStringList{"10-Yard Fight (Vs.)", "Galaga", "Game number 0"}));
    EXPECT_EQ(items(done->expiredGamesList), QStringList{"Old Game"});
    for (QWidget* child : done->findChildren<QWidget*>())
        EXPECT_TRUE(done->rect().contains(child->geometry())) << child->objectName().toStdString();

    // The list shows the merged catalogue (the merge's own tests hold what each record keeps).
    EXPECT_EQ(window->Rows().rowCount(), 3004) << "the games and the default options";

    done->okButton->click();
    EXPECT_EQ(test::findWindow<UpdateWindow>(), nullptr);
}

TEST_F(NewVersionTest, AListingCutShortByACrashChangesNothingAndTheWindowSaysWhy) {
    installStandin({Game("galaga", "Galaga"), Game("yard", "10-Yard Fight")});
    MainWindow* window = start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(update(window, false), nullptr) << "Cancel starts nothing";
    EXPECT_TRUE(runner.commands.isEmpty());

    // The headings and the first game, then the crash.
    qputenv("ZELVORA_MAME_LISTING_BREAK", "-listdetails 3 139");
    UpdateWindow* done = update(window);
    qunsetenv("ZELVORA_MAME_LISTING_BREAK");
    ASSERT_NE(done, nullptr);
    const QString text = done->progressText->text();
    EXPECT_TRUE(text.startsWith("DONE!\nMAME's detail listing Details.txt failed, so the catalogue was not changed."))
        << text.toStdString();
    EXPECT_GE(done->progressText->height(), done->progressText->heightForWidth(done->progressText->width()))
        << "the whole text shows";
    EXPECT_EQ(done->newGamesList->count() + done->expiredGamesList->count(), 0);
    EXPECT_EQ(window->Rows().rowCount(), 3) << "the merge's tests hold the records unchanged";
}

// A disk that fills up during the update: the catalogue's own write, then a listing that cannot be
// written, each refuses the update with its reason; what was captured is removed, so that the
// catalogue can open again, and the program goes on.
TEST_F(NewVersionTest, AFullDiskRefusesTheUpdateAndRemovesWhatItCaptured) {
    std::vector<StandinGame> games;
    for (int i = 0; i < 3000; ++i)
        games.push_back(Game(QString("g%1").arg(i), QString("Game number %1").arg(i)));
    installStandin(games);
    MainWindow* window = start();
    ASSERT_NE(window, nullptr);
    const auto captured = [&] {
        QStringList left;
        for (const char* file : {"Clones.txt", "Games.txt", "Details.txt"}) {
            if (QFileInfo(program.file(file)).exists() || QFileInfo(program.file(file)).isSymLink())
                left << file;
        }
        return left;
    };

    // No page beyond those the catalogue has.
    vars.CatalogueDb->Execute("PRAGMA max_page_count = 1");
    UpdateWindow* done = update(window);
    ASSERT_NE(done, nullptr);
    ASSERT_EQ(done->progressText->text(),
              "DONE!\nThe catalogue could not be written (database or disk is full), so it was not changed.");
    EXPECT_GT(listedMeanwhile, 0);
    EXPECT_EQ(done->newGamesList->count() + done->expiredGamesList->count(), 0) << "the games found were not added";
    EXPECT_EQ(window->Rows().rowCount(), 3);
    EXPECT_EQ(captured(), QStringList());
    done->okButton->click();

    // The detail listing on a device that is always full.
    ASSERT_TRUE(QFile::link("/dev/full", program.file("Details.txt")));
    done = update(window);
    ASSERT_NE(done, nullptr);
    EXPECT_TRUE(done->progressText->text().startsWith("DONE!\nMAME's detail listing Details.txt could not be written "
                                                      "(No space left on device), so the catalogue was not changed."))
        << done->progressText->text().toStdString();
    EXPECT_EQ(captured(), QStringList());
}

TEST_F(NewVersionTest, TodaysMameIsNamedFirstAndASecondUpdateFindsNothingToDo) {
    settings.Save("Zelvora", "Settings", "MameLocation", installToday());
    MainWindow* window = start();
    ASSERT_NE(window, nullptr);

    UpdateWindow* done = update(window);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(texts.value(0), QString("MAME 0.251"));
    EXPECT_EQ(items(done->expiredGamesList), (QStringList{"10-Yard Fight", "Old Game"}));
    rowOf(window, "Attaché");
    done->okButton->click();

    UpdateWindow* again = update(window);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->progressText->text(), QString("DONE!"));
    EXPECT_EQ(again->newGamesList->count() + again->expiredGamesList->count(), 0);
    EXPECT_EQ(window->Rows().rowCount(), 20) << "the games and the default options";
}

// A MAME that never finishes its listing, either MAME: Cancel, or closing the update's window,
// ends it and the update, which changes nothing and runs no further MAME; the window goes.
TEST_F(NewVersionTest, CancelEndsAMameThatNeverFinishesAndChangesNothing) {
    installStandin({Game("galaga", "Galaga")});
    const QString today = installToday();
    MainWindow* window = start();
    ASSERT_NE(window, nullptr);
    const auto hangs = [&](const char* listing) {
        qputenv("ZELVORA_MAME_WAIT", QByteArray(listing) + ' ' + program.file("never").toLocal8Bit());
    };
    for (const bool classic : {true, false}) {
        vars.MamePath = classic ? folder : today;
        hangs(classic ? "-listclones" : "-listxml");
        for (const bool byClosing : {false, true}) {
            SCOPED_TRACE(QString("%1 MAME, %2")
                             .arg(classic ? "classic" : "today's", byClosing ? "closed" : "Cancel")
                             .toStdString());
            runner.commands.clear();
            const int before = runner.Started();
            meanwhile = [&](UpdateWindow* running) {
                if (runner.Started() == before)
                    return; // asking MAME's version
                if (byClosing)
                    running->close();
                else
                    running->cancelButton->click();
            };
            EXPECT_EQ(update(window), nullptr) << "the window goes";
            EXPECT_EQ(runner.commands.size(), 1) << runner.commands.join('\n').toStdString();
            EXPECT_TRUE(test::TakesInput(window));
            EXPECT_EQ(window->Rows().rowCount(), 3);
            EXPECT_EQ(test::part<QLabel>(window, "resultLabel")->text(), QString("Catalogue not updated"));
        }
    }
    qunsetenv("ZELVORA_MAME_WAIT");
}

// Closing the main window while MAME works for the update stops the update, and the main window
// goes once it has stopped, the catalogue as it was.
TEST_F(NewVersionTest, ClosingTheMainWindowStopsTheUpdateAndThenCloses) {
    settings.Save("Zelvora", "Settings", "MameLocation", installToday());
    MainWindow* window = start();
    ASSERT_NE(window, nullptr);
    qputenv("ZELVORA_MAME_WAIT", "-listxml " + program.file("never").toLocal8Bit());
    const int before = runner.Started();
    meanwhile = [&](UpdateWindow*) {
        if (runner.Started() == before)
            return;
        window->close();
        // What a closed window leaves for deletion goes at once, as the event loop may let it.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    update(window);
    qunsetenv("ZELVORA_MAME_WAIT");
    EXPECT_EQ(test::findWindow<MainWindow>(), nullptr);
    EXPECT_EQ(test::findWindow<UpdateWindow>(), nullptr);
    EXPECT_EQ(stored("oldgame", "Description").toString(), QString("Old Game"));
    EXPECT_EQ(stored("yard", "Sound Card").toInt(), 2);
}
