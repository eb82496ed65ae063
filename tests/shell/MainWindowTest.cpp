#include "ShellFixture.h"

#include "gamelist/FilterDialog.h"
#include "gamelist/GameListModel.h"
#include "platform/ProgramStyle.h"
#include "shell/FileLocationsDialog.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>

using namespace zelvora;

using MainWindowTest = test::ShellFixture;

// Each menu entry has an access key no other entry of its menu shares.
TEST_F(MainWindowTest, EveryMenuEntryHasAnAccessKeyOfItsOwn) {
    setUpMame();
    open();
    std::function<void(QWidget*)> walk = [&](QWidget* menu) {
        QSet<QChar> keys;
        for (QAction* entry : menu->actions()) {
            const QChar key = entry->text().at(entry->text().indexOf('&') + 1).toLower();
            EXPECT_FALSE(keys.contains(key)) << entry->text().toStdString();
            keys << key;
            if (entry->menu())
                walk(entry->menu());
        }
    };
    walk(window->menuBar());
}

// Place, size, splitter and tab come back after a restart and after File Locations, which remakes
// the window.
TEST_F(MainWindowTest, ArrangementIsKeptAcrossARestartAndFileLocations) {
    setUpMame();
    test::MakeCatalogue(program.path(), 30);
    open();
    const QRect place(40, 30, 700, 500);
    window->setGeometry(place);
    auto* splitter = test::part<QSplitter>(window, "splitter");
    splitter->setSizes({250, splitter->width() - 250 - splitter->handleWidth()});
    const QList<int> widths = splitter->sizes();
    test::tabs(window)->setCurrentIndex(DetailTabs::InformationTab);
    for (const char* how : {"fileLocationsAction", "exitAction"}) {
        SCOPED_TRACE(how);
        trigger(how);
        if (auto* dialog = test::findWindow<FileLocationsDialog>()) {
            QTest::mouseClick(dialog->okButton, Qt::LeftButton);
            window = test::findWindow<MainWindow>();
        } else {
            open();
        }
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->geometry(), place);
        EXPECT_EQ(test::part<QSplitter>(window, "splitter")->sizes(), widths);
        EXPECT_EQ(test::tabs(window)->currentIndex(), DetailTabs::InformationTab);
    }

    window->showMaximized();
    trigger("exitAction");
    open();
    EXPECT_TRUE(window->isMaximized());
}
// The selected game is the one shown and started through every refill and a restart. A settings
// file of older versions names the row alone: the list opens at it, ten rows below the top.
TEST_F(MainWindowTest, TheSelectedGameAndTheSortOutliveEveryRefillAndARestart) {
    setUpMame();
    test::MakeCatalogue(program.path(), 60);
    // A remembered row beyond the list leaves the default record current.
    for (const auto& [last, row, top] : {std::tuple{500, 0, 0}, {5, 5, 5}, {60, 60, 50}, {30, 30, 20}}) {
        SCOPED_TRACE(last);
        test::closeAll();
        settings.Save("zelvora", "settings", "Last", QString::number(last));
        settings.Save("zelvora", "settings", "LastRom", "");
        open();
        EXPECT_EQ(test::grid(window)->CurrentRow(), row);
        const QScrollBar* scroll = test::grid(window)->verticalScrollBar();
        EXPECT_EQ(scroll->value(), std::min(top, scroll->maximum()));
        EXPECT_EQ(shown(), selected());
    }
    const QString game = selected();
    const QString rom = window->ShownRom();

    QStringList captions, orders;
    for (int i = 0; i < 4; ++i) {
        click("sortButton");
        captions << test::button(window, "sortButton")->text();
        orders << listed().join('|');
        EXPECT_EQ(selected(), game) << captions.last().toStdString();
        EXPECT_EQ(shown(), game);
    }
    EXPECT_EQ(captions, (QStringList{"Date", "Manufacturer", "Rom", "Description"}));
    EXPECT_EQ(orders.removeDuplicates(), 0) << "each key sorts the list anew";

    click("sortButton");
    const QStringList byDate = listed();
    // Each of these refills the list.
    trigger("filterAction");
    QTest::mouseClick(test::button(test::findWindow<FilterDialog>(), "okButton"), Qt::LeftButton);
    trigger("checkAction2");
    auto* find = test::part<QLineEdit>(window, "findField");
    find->setText(game);
    EXPECT_LT(listed().size(), byDate.size());
    find->clear();
    EXPECT_EQ(test::button(window, "sortButton")->text(), QString("Date"));
    EXPECT_EQ(listed(), byDate);
    EXPECT_EQ(selected(), game);
    EXPECT_EQ(shown(), game);
    clockMs = 100'000;
    QTest::keyClick(test::grid(window), Qt::Key_Return);
    ASSERT_EQ(runner.commands.size(), 1);
    EXPECT_TRUE(runner.commands[0].contains(" " + rom + " ")) << runner.commands[0].toStdString();

    const int row = test::grid(window)->CurrentRow();
    trigger("exitAction");
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", ""), QString::number(row));
    open();
    EXPECT_EQ(test::button(window, "sortButton")->text(), QString("Date"));
    EXPECT_EQ(selected(), game);
    EXPECT_EQ(shown(), game);

    // A click on a caption sorts by its column and a second one the other way, the button naming
    // the key and the default record first; the order, the columns' places and widths are kept.
    QHeaderView* header = test::grid(window)->horizontalHeader();
    const auto clickCaption = [&](int column) {
        const QPoint at(header->sectionViewportPosition(column) + 4, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    clickCaption(GameListModel::ManufacturerColumn);
    const QStringList up = listed(GameListModel::ManufacturerColumn, 1);
    clickCaption(GameListModel::ManufacturerColumn);
    QStringList down = listed(GameListModel::ManufacturerColumn, 1);
    std::reverse(down.begin(), down.end());
    EXPECT_EQ(down, up);
    EXPECT_EQ(test::button(window, "sortButton")->text(), QString("Manufacturer"));
    EXPECT_EQ(listed().first(), DefaultDescription);
    header->resizeSection(GameListModel::YearColumn, 77);
    header->moveSection(GameListModel::SetColumn, 2);
    const QStringList before = listed();
    trigger("exitAction");
    open();
    header = test::grid(window)->horizontalHeader();
    EXPECT_EQ(listed(), before);
    EXPECT_EQ(std::pair(header->sortIndicatorSection(), header->sortIndicatorOrder()),
              std::pair(int(GameListModel::ManufacturerColumn), Qt::DescendingOrder));
    EXPECT_EQ(std::pair(header->sectionSize(GameListModel::YearColumn), header->visualIndex(GameListModel::SetColumn)),
              std::pair(77, 2));
    click("sortButton");
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder) << "the button's cycle sorts from the top";
}

// Letters select the first game whose title starts with what was typed, blanks and punctuation
// included; Alt and Ctrl combinations never reach the type-ahead, however the keys are let go.
TEST_F(MainWindowTest, TypeAheadFindsTheFirstMatchingGameAndCombinationsNeverType) {
    setUpMame();
    fillCatalogue([](test::CatalogueFixture& catalogue) {
        int set = 0;
        for (const char* title : {"Pac-Land", "pac-man", "Paperboy", "Xevious", "Galaga", "1942", "Zaxxon", "Qix",
                                  "Pac-Man (Midway)", "Man Guan Caishen"})
            catalogue.add(QString("set%1").arg(++set), title);
        for (int i = 0; i < 40; ++i) // enough rows for the list to scroll
            catalogue.add(QString("zz%1").arg(i), QString("Zzyzx %1").arg(i));
    });
    open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    GameGrid* grid = test::grid(window);
    select("Galaga");
    clockMs = 100'000;

    QTest::keyClick(grid, Qt::Key_F, Qt::AltModifier);
    auto* file = test::part<QMenu>(window, "fileMenu");
    EXPECT_TRUE(file->isVisible());
    QTest::keyClick(file, Qt::Key_Escape);
    QTest::keyClick(grid, Qt::Key_P, Qt::ControlModifier);
    QTest::keyPress(grid, Qt::Key_Control);
    QTest::keyPress(grid, Qt::Key_G, Qt::ControlModifier);
    QTest::keyRelease(grid, Qt::Key_Control, Qt::ControlModifier);
    QTest::keyRelease(grid, Qt::Key_G);
    EXPECT_EQ(selected(), QString("Galaga"));
    EXPECT_EQ(window->Search().TypedText(), QString());

    QTest::keyClick(grid, 'p');
    EXPECT_EQ(selected(), QString("Pac-Land"));
    EXPECT_EQ(window->statusBar()->currentMessage(), QString("Typed \"P\""));
    QTest::keyClick(grid, Qt::Key_F5);
    EXPECT_EQ(window->statusBar()->currentMessage(), QString());

    // Shift does not break the word.
    clockMs = 120'000;
    QTest::keyClicks(grid, "pac-man");
    QTest::keyClick(grid, Qt::Key_Shift);
    QTest::keyClicks(grid, " (m");
    EXPECT_EQ(selected(), QString("Pac-Man (Midway)"));
    EXPECT_EQ(grid->verticalScrollBar()->value(), std::min(grid->CurrentRow(), grid->verticalScrollBar()->maximum()))
        << "the game found shows at the top";
    QTest::keyClick(grid, Qt::Key_End);
    EXPECT_EQ(grid->CurrentRow(), window->Rows().rowCount() - 1);
    QTest::keyClick(grid, Qt::Key_Home);
    EXPECT_EQ(grid->CurrentRow(), 0);

    // Sorted by date the rows are in no order a search could use: letters move nothing.
    click("sortButton");
    clockMs = 200'000;
    QTest::keyClick(grid, 'g');
    EXPECT_EQ(grid->CurrentRow(), 0);
    QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(test::findWindow<MainWindow>(), nullptr);
}

// The find matches anywhere, any case, % and _ as plain characters; Escape lists every game.
TEST_F(MainWindowTest, FindNarrowsTheListOnTopOfTheFilters) {
    setUpMame();
    fillCatalogue([](test::CatalogueFixture& catalogue) {
        catalogue.add("pacman", "Pac-Man");
        catalogue.add("mspacman", "Ms. Pac-Man", {{"Clone", "pacman"}});
        catalogue.add("pure", "100% Pure");
        catalogue.add("under", "Pac_Land");
        catalogue.add("galaga", "Galaga");
    });
    settings.Save("zelvora", "settings", "Filter 2", "2"); // no clones
    open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    select("Galaga");
    auto* find = test::part<QLineEdit>(window, "findField");
    const auto listed = [&] { return ShellFixture::listed(1, 1); };
    const auto counts = [&] { return test::part<QLabel>(window, "countsLabel")->text(); };

    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(find->hasFocus());
    // Typed where the keyboard is: the field keeps it while the list moves the selection.
    QTest::keyClicks(nullptr, "pac");
    EXPECT_EQ(find->text(), QString("pac"));
    EXPECT_TRUE(find->hasFocus());
    find->setText("GA");
    select("Galaga");
    find->setText("GAL");
    EXPECT_EQ(listed(), QStringList{"Galaga"});
    EXPECT_EQ(selected(), QString("Galaga")) << "the game selected stays while it is listed";
    QTest::keyClicks(find, "x");
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(window->Rows().Text(0, 1), DefaultDescription);
    EXPECT_EQ(window->windowTitle(), QString("Zelvora  (0 Games)"));

    const std::pair<const char*, QStringList> cases[] = {{"pac", {"Pac-Man", "Pac_Land"}},
                                                         {"%", {"100% Pure"}},
                                                         {"_", {"Pac_Land"}},
                                                         {"", {"100% Pure", "Galaga", "Pac-Man", "Pac_Land"}}};
    for (const auto& [text, games] : cases) {
        find->setText(text);
        EXPECT_EQ(listed(), games) << text;
    }
    select("Galaga");
    find->setText("pac");
    EXPECT_EQ(counts(), QString("2 of 5 games"));
    // The game shown was not found: the first one found is entered.
    EXPECT_EQ(selected(), QString("Pac-Man"));
    EXPECT_EQ(shown(), QString("Pac-Man"));

    QTest::keyClick(find, Qt::Key_Escape);
    EXPECT_TRUE(find->text().isEmpty());
    EXPECT_TRUE(test::grid(window)->hasFocus());
    EXPECT_EQ(selected(), QString("Pac-Man"));
    EXPECT_EQ(counts(), QString("4 of 5 games"));
    EXPECT_EQ(test::part<QLabel>(window, "filtersLabel")->text(), QString("Filters: Clones (Exclude)"));

    // A word the search cannot take as asked is said while it stands in the field.
    find->setText("pac is:flying");
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("is: takes"));
    find->clear();
    EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
    // The filter bar narrows on top of the six, is named beside them and kept; the favourite column,
    // switched on from the header's menu, marks and unmarks with a click.
    select("Galaga");
    QTest::keyClick(test::grid(window), Qt::Key_D, Qt::ControlModifier);
    test::part<QToolButton>(window, "favouritesFilter")->click();
    EXPECT_EQ(listed(), QStringList{"Galaga"});
    EXPECT_EQ(test::part<QLabel>(window, "filtersLabel")->text(), QString("Filters: Clones (Exclude), Favourites"));
    QMenu* columns = window->ColumnMenu();
    for (QAction* action : columns->actions()) {
        if (action->text() == "Favourite")
            action->trigger();
    }
    trigger("exitAction");
    open();
    EXPECT_EQ(listed(), QStringList{"Galaga"});
    GameGrid* grid = test::grid(window);
    ASSERT_FALSE(grid->isColumnHidden(GameListModel::FavouriteColumn));
    const QModelIndex star = window->Rows().index(1, GameListModel::FavouriteColumn);
    EXPECT_EQ(window->Rows().data(star), QVariant(QString("\u2605")));
    grid->scrollTo(star);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(star).center());
    EXPECT_EQ(window->Rows().data(star), QVariant(QString()));
    EXPECT_FALSE(GameStore(*vars.CatalogueDb).History("galaga").favourite);
}

// Access keys show in menus, elsewhere only while Alt is held.
TEST(ProgramStyleTest, AccessKeysShowWithAltAndInMenus) {
    ProgramStyle style;
    QPushButton button("&Start Game");
    QMenu menu;
    const auto underlined = [&](const QWidget* widget) {
        return style.styleHint(QStyle::SH_UnderlineShortcut, nullptr, widget);
    };
    EXPECT_EQ(underlined(&button), 0);
    EXPECT_EQ(underlined(&menu), 1);
    QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(&button, &altDown);
    EXPECT_EQ(underlined(&button), 1);
    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &altUp);
    EXPECT_EQ(underlined(&button), 0);
}
