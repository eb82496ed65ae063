#include "CatalogueGenerator.h"
#include "MainWindowParts.h"
#include "ScriptedDialogs.h"
#include "ShellFixture.h"
#include "TestDirs.h"

#include "gamelist/GameGrid.h"
#include "gamelist/frmFilter.h"
#include "shell/Shell.h"
#include "shell/frmFileLocations.h"
#include "shell/frmMain.h"
#include "store/Catalogue.h"
#include "store/Settings.h"
#include "store/Variables.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace zelvora;

using MainWindowTest = test::ShellFixture;

TEST_F(MainWindowTest, MenuHoldsTheItemsThatWork) {
    installMame();
    storeDirectories();
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    // Every menu, depth first; a submenu's entries follow it indented, separators are "-".
    QStringList entries;
    std::function<void(const QList<QAction*>&, const QString&)> walk = [&](const QList<QAction*>& actions,
                                                                           const QString& indent) {
        for (QAction* action : actions) {
            entries << indent + (action->isSeparator() ? QString("-") : action->text());
            if (action->menu())
                walk(action->menu()->actions(), indent + "  ");
        }
    };
    walk(window->menuBar()->actions(), QString());
    EXPECT_EQ(entries, (QStringList{"File", "  File Locations", "  Exit", "Actions", "  New Version Update",
                                    "  Configure Default Options", "  Check", "    Missing Screenshots",
                                    "    Missing Zipped ROMS", "    Clear Status Fields", "    Verify ROMS",
                                    "  Delete Screenshot", "  Compact Database", "Options", "  Game Filters",
                                    "  Assume Merged ROMS", "About", "  About Zelvora"}));
}

TEST_F(MainWindowTest, RestartSelectsTheRowOfLastTime) {
    installMame();
    storeDirectories();
    const auto games = test::MakeCatalogue(program.path(), 60);

    struct Case {
        int last;
        int current;
        int top;
    };
    for (const Case c : {Case{30, 30, 20}, Case{5, 5, 5}, Case{60, 60, 50}}) {
        SCOPED_TRACE(c.last);
        settings.Save("zelvora", "settings", "Last", QString::number(c.last));
        frmMain* window = start();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowTitle(), QString("Zelvora  (60 Games)"));
        EXPECT_EQ(test::grid(window)->CurrentRow(), c.current);
        // The grid is asked for that top row; near the end it shows as far down as it can.
        QScrollBar* scroll = test::grid(window)->verticalScrollBar();
        EXPECT_EQ(scroll->value(), std::min(c.top, scroll->maximum()));
        const QString description = window->Rows().Text(c.current, 1);
        EXPECT_EQ(vars.RomsRecordset->Value("Description").toString(), description);
        test::grid(window)->SetCurrentRow(c.current + (c.current < 60 ? 1 : -1));
        test::action(window, "mnuExit")->trigger();
        EXPECT_EQ(settings.Get("zelvora", "settings", "Last", ""),
                  QString::number(c.current + (c.current < 60 ? 1 : -1)));
        test::closeAll();
    }

    // A remembered row beyond the list leaves the default record current.
    settings.Save("zelvora", "settings", "Last", "500");
    ASSERT_NE(start(), nullptr);
    EXPECT_EQ(vars.RomsRecordset->Value("Rom").toString(), DefaultRom);
    EXPECT_TRUE(fatal.isEmpty());
}

TEST_F(MainWindowTest, SortButtonCyclesAndKeepsTheRow) {
    installMame();
    storeDirectories();
    test::MakeCatalogue(program.path(), 30);
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    test::grid(window)->SetCurrentRow(7);
    QStringList captions;
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(test::button(window, "cmdSort"), Qt::LeftButton);
        captions << test::button(window, "cmdSort")->text();
        EXPECT_EQ(window->Rows().rowCount(), 31);
        EXPECT_EQ(test::grid(window)->CurrentRow(), 7);
    }
    EXPECT_EQ(captions, (QStringList{"Date", "Manufacturer", "Rom", "Description"}));

    // Sorted by date, the first game after the default record is no later than the last.
    QTest::mouseClick(test::button(window, "cmdSort"), Qt::LeftButton);
    ASSERT_TRUE(vars.RomsRecordset->FindFirst("Description", window->Rows().Text(1, 1)));
    const QString firstDate = vars.RomsRecordset->Value("Date").toString();
    ASSERT_TRUE(vars.RomsRecordset->FindFirst("Description", window->Rows().Text(30, 1)));
    EXPECT_LE(firstDate, vars.RomsRecordset->Value("Date").toString());
}

TEST_F(MainWindowTest, TypeAheadFindsTheFirstMatchingGame) {
    installMame();
    storeDirectories();
    fillCatalogue([](Recordset& rs) {
        for (const char* title : {"Pac-Land", "pac-man", "PAC-MAN Plus", "Paperboy", "Xevious", "Xybots", "Galaga",
                                  "1942", "Zaxxon", "Pengo", "Phoenix", "Qix"})
            test::AddGame(rs, QString(title).left(6).toLower(), title);
    });
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    GameGrid* grid = test::grid(window);
    auto type = [&](Qt::Key key, double at) {
        clock.now = at;
        QTest::keyClick(grid, key);
    };

    type(Qt::Key_P, 100.0);
    type(Qt::Key_A, 100.3);
    type(Qt::Key_C, 100.6);
    EXPECT_EQ(window->Rows().Text(grid->CurrentRow(), 1), QString("Pac-Land"));
    EXPECT_EQ(grid->verticalScrollBar()->value(), std::min(grid->CurrentRow(), grid->verticalScrollBar()->maximum()));

    type(Qt::Key_P, 110.0);
    type(Qt::Key_A, 110.2);
    type(Qt::Key_X, 110.4);
    EXPECT_EQ(window->Rows().Text(grid->CurrentRow(), 1), QString("Xevious"));
    EXPECT_EQ(window->Search().TypedText(), QString("X"));

    type(Qt::Key_Home, 111.0);
    EXPECT_EQ(grid->CurrentRow(), 0);
    type(Qt::Key_End, 111.1);
    EXPECT_EQ(grid->CurrentRow(), window->Rows().rowCount() - 1);

    // Sorted by date the rows are in no order a search could use: letters move nothing.
    QTest::mouseClick(test::button(window, "cmdSort"), Qt::LeftButton);
    const int row = grid->CurrentRow();
    type(Qt::Key_G, 200.0);
    EXPECT_EQ(grid->CurrentRow(), row);
}

TEST_F(MainWindowTest, FiltersNarrowTheListAndKeepTheDefaultRecord) {
    installMame();
    storeDirectories();
    const auto games = test::MakeCatalogue(program.path(), 200);
    frmMain* window = start();
    ASSERT_NE(window, nullptr);
    test::action(window, "mnuFilter")->trigger();
    auto* dialog = test::findWindow<frmFilter>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(window->isEnabled());

    // Clones only: tick "Show Only" of "Clones" as a user would, with the mouse.
    QCheckBox* box = dialog->findChild<QCheckBox*>("chkShow_2");
    ASSERT_NE(box, nullptr);
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect click = box->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, click.center());
    ASSERT_TRUE(box->isChecked());
    QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);

    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(settings.Get("zelvora", "settings", "Filter 2", ""), QString("1"));
    int clones = 0;
    for (const auto& game : games)
        clones += game.clone.isEmpty() ? 0 : 1;
    ASSERT_GT(clones, 0);
    EXPECT_EQ(window->Rows().rowCount(), clones + 1);
    EXPECT_EQ(window->windowTitle(), QString("Zelvora  (%1 Games)").arg(clones));
    bool listed = false;
    for (int r = 0; r < window->Rows().rowCount(); ++r)
        listed = listed || window->Rows().Text(r, 1) == DefaultDescription;
    EXPECT_TRUE(listed);
    // The row entered after the refill is the shown game.
    EXPECT_EQ(vars.RomsRecordset->Value("Description").toString(),
              window->Rows().Text(test::grid(window)->CurrentRow(), 1));
}
