#include "ShellFixture.h"

#include "GamesFile.h"

#include "store/ProgramSettings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>

using namespace zelvora;

namespace {

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class LaunchTest : public test::ShellFixture {
public:
    LaunchTest() {
        setUpMame();
        fillCatalogue([](test::CatalogueFixture& catalogue) {
            catalogue.set(DefaultRom, {{"Sound Card", 2}, {"AltExec", "mame-default"}});
            const auto own = [](int soundCard, const char* altExec = "") {
                return QVariantMap{{"Default", 0}, {"Sound Card", soundCard}, {"AltExec", altExec}};
            };
            catalogue.add("pacman", "Pac-Man", own(1));
            catalogue.add("puckman", "Puck Man", {{"Default", 1}, {"Sound Card", 5}});
            catalogue.add("quoted", "Say \"Cheese\"", own(0, "mame2"));
            catalogue.add("blanks", "Blanks", own(0, "   "));
            catalogue.add("elsewhere", "Elsewhere", own(0, "/usr/games/mame"));
            // Two games of one description: each row starts its own.
            catalogue.add("twin1", "Twin", own(1));
            catalogue.add("twin2", "Twin", own(2));
        });
    }

    void startGame(const QString& description, qint64 atMs) {
        select(description);
        clockMs = atMs;
        click("startButton");
    }
};

} // namespace

// A bare executable name is in MAME's folder, a path stands as it is; a game on the default set
// takes the default record's switches and executable. A start within a second of the last is a
// bounce; row 0 cannot start; Enter starts on its release, and only an Enter whose press the grid
// received. A MAME that cannot start is reported.
TEST_F(LaunchTest, EachGameStartsOncePerPressWithItsOwnOrTheDefaultOptions) {
    open();
    const std::pair<const char*, QString> cases[] = {
        // The default executable keeps its blank, so two stand before the game's name.
        {"Pac-Man", mameDir() + "mame  pacman -soundcard 1 "},
        {"Say \"Cheese\"", mameDir() + "mame2 quoted -soundcard 0 "},
        {"Elsewhere", "/usr/games/mame elsewhere -soundcard 0 "},
        {"Blanks", mameDir() + "mame  blanks -soundcard 0 "},
        {"Twin", mameDir() + "mame  twin1 -soundcard 1 "},
        {"Puck Man", mameDir() + "mame-default puckman -soundcard 2 "},
    };
    qint64 at = 100'000;
    for (const auto& [description, command] : cases) {
        startGame(description, at += 10'000);
        EXPECT_EQ(runner.commands.last(), command);
    }
    runner.commands.clear();

    for (const qint64 when : {200'000, 200'500, 201'500})
        startGame("Pac-Man", when);
    EXPECT_EQ(runner.commands.size(), 2);

    // The keypad's Enter is Enter too.
    for (const auto& [row, enter] : {std::pair{0, Qt::Key_Return}, {1, Qt::Key_Enter}}) {
        test::grid(window)->SetCurrentRow(row);
        clockMs += 100'000;
        QTest::keyClick(test::grid(window), enter);
    }
    EXPECT_EQ(runner.commands.size(), 3);
    // An Enter whose press the grid lost with the focus, as to a message box that Enter closed.
    clockMs += 100'000;
    QTest::keyPress(test::grid(window), Qt::Key_Return);
    QFocusEvent focusOut(QEvent::FocusOut);
    QCoreApplication::sendEvent(test::grid(window), &focusOut);
    QTest::keyRelease(test::grid(window), Qt::Key_Return);
    EXPECT_EQ(runner.commands.size(), 3);
    // A held Enter repeats as release and press pairs: the game starts once, when it is let go.
    clockMs += 100'000;
    QTest::keyPress(test::grid(window), Qt::Key_Return);
    for (const QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress, QEvent::KeyRelease, QEvent::KeyPress}) {
        QKeyEvent repeat(type, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QCoreApplication::sendEvent(test::grid(window), &repeat);
    }
    EXPECT_EQ(runner.commands.size(), 3);
    QTest::keyRelease(test::grid(window), Qt::Key_Return);
    EXPECT_EQ(runner.commands.size(), 4);

    runner.exitCode = 3;
    startGame("Pac-Man", 1'000'000);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << "MAME's own exit codes change nothing";
    runner.exitCode = 127;
    startGame("Pac-Man", 1'100'000);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(window->isEnabled());
    // Every run MAME did not refuse is counted, whatever its exit code; the refused one is not.
    const PlayHistory played = GameStore(*vars.CatalogueDb).History("pacman");
    EXPECT_EQ(std::pair(played.playCount, played.playSeconds), std::pair(4LL, 0LL));
    EXPECT_TRUE(QDateTime::fromString(played.lastPlayed, Qt::ISODate).isValid()) << played.lastPlayed.toStdString();

    // Ctrl+D marks the selected game a favourite and again unmarks it; the default record is no game.
    for (const bool favourite : {true, false}) {
        QTest::keyClick(test::grid(window), Qt::Key_D, Qt::ControlModifier);
        EXPECT_EQ(GameStore(*vars.CatalogueDb).History("PACMAN").favourite, favourite);
        EXPECT_EQ(result(), favourite ? "Pac-Man is a favourite" : "Pac-Man is no longer a favourite");
    }
    select(DefaultDescription);
    QTest::keyClick(test::grid(window), Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(test::action(window, "favouriteAction")->isChecked());

    // The row's menu: the game's set name to the clipboard, its information, the screenshot
    // folder, a start; on the default record's row only what needs no game.
    const auto entries = [](QMenu* menu) {
        QHash<QString, QAction*> byText;
        for (QAction* entry : menu->actions())
            byText.insert(entry->text().remove('&'), entry);
        return byText;
    };
    auto menu = entries(window->GameMenu(rowOf(window, "Pac-Man")));
    menu["Copy Set Name"]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString("pacman"));
    menu["Information"]->trigger();
    EXPECT_EQ(test::part<QTabWidget>(window, "detailTabs")->currentIndex(), 2);
    menu["Open Screenshot Folder"]->trigger();
    EXPECT_EQ(dialogs.foldersShown, QStringList{vars.PcxPath});
    const qsizetype runs = runner.commands.size();
    clockMs += 100'000;
    menu["Start Game"]->trigger();
    EXPECT_EQ(runner.commands.size(), runs + 1);
    menu = entries(window->GameMenu(0));
    EXPECT_FALSE(menu["Start Game"]->isEnabled() || menu["Favourite"]->isEnabled() ||
                 menu["Copy Set Name"]->isEnabled());
}

// While MAME plays the window repaints but takes no input; closed meanwhile, it goes after. Today's
// MAME is told where the ROMs are: the user's folders, then its own.
TEST_F(LaunchTest, WhileAGameRunsTheWindowRepaintsAndClosesOnlyAfterIt) {
    const QString classic = useStandIn(), today = useTodaysFolder();
    test::WriteBytes(today + "standin-games.tsv",
                     standin::GamesFile::Format({{"pacman", "", "1980", "Namco", "Pac-Man", "pacman.c", {}, {}, {}}}));
    ProgramSettings(settings).SaveMameFolders({{program.path() + "/roms", "/usr/share/games/mame/roms"}, {}, {}, {}});
    open();
    PaintCounter painted(window);
    // The stand-in plays until this file is there.
    const QString over = program.file("game over");
    qputenv("ZELVORA_MAME_WAIT", "game " + over.toLocal8Bit());
    for (const QString& folder : {classic, today}) {
        SCOPED_TRACE(folder.toStdString());
        const bool last = folder == today;
        vars.MamePath = folder;
        QFile::remove(over);
        int ticks = 0;
        bool enabledMeanwhile = true, paintedMeanwhile = false;
        QTimer meanwhile;
        QObject::connect(&meanwhile, &QTimer::timeout, [&] {
            if (++ticks == 1) {
                enabledMeanwhile = window->isEnabled();
                painted.paints = 0;
                window->update();
            } else if (ticks == 2) {
                paintedMeanwhile = painted.paints > 0;
                if (last)
                    window->close();
                test::WriteBytes(over, "");
            }
        });
        meanwhile.start(0);
        startGame("Pac-Man", last ? 200'000 : 100'000);
        EXPECT_EQ(runner.commands.last().contains(" pacman -rompath '" + program.path() +
                                                  "/roms/;/usr/share/games/mame/roms' "),
                  last);
        EXPECT_GE(ticks, 2) << "events ran while the game did";
        EXPECT_FALSE(enabledMeanwhile);
        EXPECT_TRUE(paintedMeanwhile);
        EXPECT_TRUE(dialogs.warnings.isEmpty()) << dialogs.warnings.join('\n').toStdString();
        EXPECT_EQ(test::findWindow<MainWindow>(), last ? nullptr : window);
    }
    qunsetenv("ZELVORA_MAME_WAIT");
}

// A failed start's warning shows its lines whole, with its icon, and selectable.
TEST(QtDialogsTest, AWarningShowsItsLinesWholeAndSelectable) {
    const QString text = "MAME was ended by signal 9 (Killed). The command was:\n/usr/games/mame  pacman " +
                         QString("-beam_width_min .25 ").repeated(30) + "\nMAME said:\nsomething";
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        const auto* message = box ? box->findChild<QLabel*>("message") : nullptr;
        const auto* icon = box ? box->findChild<QLabel*>("icon") : nullptr;
        if (!message || !icon)
            qFatal("no warning with a message and an icon shown");
        seen = true;
        EXPECT_FALSE(icon->pixmap().isNull());
        EXPECT_EQ(message->text(), text);
        EXPECT_TRUE(!message->wordWrap() && (message->textInteractionFlags() & Qt::TextSelectableByMouse));
        box->close();
    });
    QtDialogs().Warn(nullptr, "Zelvora", text);
    EXPECT_TRUE(seen);
}

// Through the shell and the quoting, the stand-in receives the game's words exactly.
TEST_F(LaunchTest, TheStandInMameReceivesExactlyTheGamesWords) {
    useStandIn();
    fillCatalogue([](test::CatalogueFixture& catalogue) {
        catalogue.add("x;touch pwned", "Hostile", {{"Default", 0}, {"Sound Card", 0}, {"Additional", "-cheat"}});
        catalogue.add("bare", "Bare Name", {{"Default", 0}, {"Sound Card", 0}, {"AltExec", "mame"}});
    });
    const QString record = program.file("args.json");
    qputenv("ZELVORA_MAME_RECORD_ARGS", record.toLocal8Bit());
    open();
    startGame("Hostile", 200'000);
    startGame("Bare Name", 300'000);
    qunsetenv("ZELVORA_MAME_RECORD_ARGS");

    QStringList lines = QString::fromUtf8(test::ReadBytes(record)).split('\n', Qt::SkipEmptyParts);
    lines.removeAll(R"(["-version"])");
    ASSERT_EQ(lines.size(), 2) << runner.commands.join("\n").toStdString();
    const auto words = [](const QString& json) {
        return QJsonDocument::fromJson(json.toUtf8()).toVariant().toStringList();
    };
    EXPECT_EQ(words(lines[0]), (QStringList{"x;touch pwned", "-soundcard", "0", "-cheat"}));
    EXPECT_EQ(words(lines[1]), (QStringList{"bare", "-soundcard", "0"}));
    EXPECT_FALSE(QFile::exists("pwned"));
}
