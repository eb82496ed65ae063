#include "ShellFixture.h"

#include "gamelist/frmFilter.h"

#include <QMenu>
#include <QMenuBar>

using namespace zelvora;

using MainWindowTest = test::ShellFixture;

TEST_F(MainWindowTest, MenuHoldsTheItemsThatWork) {
    setUpMame();
    open();
    // Depth first, a submenu's entries indented under it.
    QStringList entries;
    std::function<void(QWidget*, const QString&)> walk = [&](QWidget* menu, const QString& indent) {
        for (QAction* entry : menu->actions()) {
            entries << indent + entry->text();
            if (entry->menu())
                walk(entry->menu(), indent + "  ");
        }
    };
    walk(window->menuBar(), QString());
    EXPECT_EQ(entries, (QStringList{"File", "  File Locations", "  Exit", "Actions", "  New Version Update",
                                    "  Configure Default Options", "  Check", "    Missing Screenshots",
                                    "    Missing Zipped ROMS", "    Clear Status Fields", "    Verify ROMS",
                                    "  Delete Screenshot", "  Compact Database", "Options", "  Game Filters",
                                    "  Assume Merged ROMS", "About", "  About Zelvora"}));
}

TEST_F(MainWindowTest, RestartSelectsTheRowOfLastTime) {
    setUpMame();
    test::MakeCatalogue(program.path(), 60);
    // The row of last time and the top row the grid is asked for; near the end it shows as far
    // down as it can.
    const std::pair<int, int> cases[] = {{30, 20}, {5, 5}, {60, 50}};
    for (const auto& [last, top] : cases) {
        SCOPED_TRACE(last);
        settings.Save("zelvora", "settings", "Last", QString::number(last));
        open();
        EXPECT_EQ(test::grid(window)->CurrentRow(), last);
        const QScrollBar* scroll = test::grid(window)->verticalScrollBar();
        EXPECT_EQ(scroll->value(), std::min(top, scroll->maximum()));
        EXPECT_EQ(vars.RomsRecordset->Value("Description").toString(), selected());
        test::grid(window)->SetCurrentRow(last - 1);
        trigger("mnuExit");
        EXPECT_EQ(settings.Get("zelvora", "settings", "Last", ""), QString::number(last - 1));
        test::closeAll();
    }

    // A remembered row beyond the list leaves the default record current.
    settings.Save("zelvora", "settings", "Last", "500");
    open();
    EXPECT_EQ(vars.RomsRecordset->Value("Rom").toString(), DefaultRom);
}

TEST_F(MainWindowTest, SortButtonCyclesAndKeepsTheRow) {
    setUpMame();
    test::MakeCatalogue(program.path(), 30);
    open();
    test::grid(window)->SetCurrentRow(7);
    QStringList captions, games;
    for (int i = 0; i < 4; ++i) {
        click("cmdSort");
        captions << test::button(window, "cmdSort")->text();
        games << selected();
        EXPECT_EQ(test::grid(window)->CurrentRow(), 7);
    }
    EXPECT_EQ(captions, (QStringList{"Date", "Manufacturer", "Rom", "Description"}));
    EXPECT_EQ(games.removeDuplicates(), 0) << "the row stays, the list is sorted anew";
}

TEST_F(MainWindowTest, TypeAheadFindsTheFirstMatchingGame) {
    setUpMame();
    fillCatalogue([](test::CatalogueFixture& catalogue) {
        for (const char* title : {"Pac-Land", "pac-man", "Paperboy", "Xevious", "Galaga", "1942", "Zaxxon", "Qix"})
            catalogue.add(QString(title).left(6).toLower(), title);
        for (int i = 0; i < 40; ++i) // enough rows for the list to scroll
            catalogue.add(QString("zz%1").arg(i), QString("Zzyzx %1").arg(i));
    });
    open();
    GameGrid* grid = test::grid(window);
    clock.now = 100;
    QTest::keyClicks(grid, "pap");
    EXPECT_EQ(selected(), QString("Paperboy"));
    EXPECT_EQ(grid->verticalScrollBar()->value(), std::min(grid->CurrentRow(), grid->verticalScrollBar()->maximum()));
    QTest::keyClick(grid, Qt::Key_End);
    EXPECT_EQ(grid->CurrentRow(), window->Rows().rowCount() - 1);
    QTest::keyClick(grid, Qt::Key_Home);
    EXPECT_EQ(grid->CurrentRow(), 0);

    // Sorted by date the rows are in no order a search could use: letters move nothing.
    click("cmdSort");
    clock.now = 200;
    QTest::keyClick(grid, 'g');
    EXPECT_EQ(grid->CurrentRow(), 0);
}

TEST_F(MainWindowTest, FiltersNarrowTheListAndKeepTheDefaultRecord) {
    setUpMame();
    const auto games = test::MakeCatalogue(program.path(), 200);
    open();
    test::grid(window)->SetCurrentRow(150);
    trigger("mnuFilter");
    auto* dialog = test::findWindow<frmFilter>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(window->isEnabled());

    // "Show Only" of "Clones".
    test::clickBox(test::part<QCheckBox>(dialog, "chkShow_2"));
    QTest::mouseClick(test::button(dialog, "Command1"), Qt::LeftButton);
    EXPECT_TRUE(window->isEnabled());
    const auto clones =
        std::count_if(games.begin(), games.end(), [](const auto& game) { return !game.clone.isEmpty(); });
    EXPECT_EQ(window->windowTitle(), QString("Zelvora  (%1 Games)").arg(clones));
    EXPECT_EQ(window->Rows().Text(0, 1), DefaultDescription);
    // The row the refill leaves selected is the game shown.
    EXPECT_EQ(vars.RomsRecordset->Value("Description").toString(), selected());
}
