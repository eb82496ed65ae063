#include "MainWindowParts.h"
#include "TestDirs.h"

#include "gamelist/FilterDialog.h"
#include "gamelist/GameListModel.h"
#include "store/Settings.h"

#include <QAbstractItemModelTester>
#include <QPointer>
#include <QSignalSpy>

#include <numeric>

#include <gtest/gtest.h>

#include <functional>

using namespace zelvora;

namespace {

class FilterDialogTest : public ::testing::Test {
protected:
    void TearDown() override {
        delete dialog.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QStringList Stored() const {
        QStringList values;
        for (int i = 0; i < FilterCount; ++i)
            values << settings.Get("zelvora", "settings", QString("Filter %1").arg(i), "absent");
        return values;
    }

    void Open() {
        mainWindow.show();
        dialog = new FilterDialog(settings, &mainWindow, [this] {
            ++refills;
            mainTookInputAtRefill = test::TakesInput(&mainWindow);
            dialogVisibleAtRefill = dialog && dialog->isVisible();
        });
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        ASSERT_FALSE(test::TakesInput(&mainWindow)) << "the dialog is modal over it";
    }

    // Row by row, '-' for no box ticked, 'S' for Show Only, 'E' for Exclude and 'B' for both.
    QString Ticks() const {
        QString ticks;
        for (int i = 0; i < FilterCount; ++i) {
            const auto ticked = [&](const char* column) {
                return dialog->findChild<QCheckBox*>(QString("%1_%2").arg(column).arg(i))->isChecked();
            };
            ticks += QString("-SEB")[(ticked("showOnlyBoxes") ? 1 : 0) + (ticked("excludeBoxes") ? 2 : 0)];
        }
        return ticks;
    }

    test::TempProgramDir config;
    Settings settings{config.path()};
    QWidget mainWindow;
    QPointer<FilterDialog> dialog;
    int refills = 0;
    bool mainTookInputAtRefill = false;
    bool dialogVisibleAtRefill = true;
};

// A click runs the rules (a row's two boxes exclusive, Show Only of rows 0-2 alternatives), the
// space bar toggles one box alone; OK or Enter stores 2 x Exclude + Show Only, then refills.
TEST_F(FilterDialogTest, StoredValuesLoadClicksRunTheRulesAndOkStoresAndRefills) {
    // Only 1 and 2 mean anything; a both-ticked 3 written by hand is not read back as both.
    const QStringList stored = {"1", "2", "3", "1", "abc"};
    for (int i = 0; i < stored.size(); ++i)
        settings.Save("zelvora", "settings", QString("Filter %1").arg(i), stored[i]);
    Open();
    EXPECT_EQ(Ticks(), QString("SE-S--"));

    const std::tuple<bool, const char*, const char*> steps[] = {
        // mouse, box, ticks after
        {true, "showOnlyBoxes_1", "-S-S--"},  {false, "showOnlyBoxes_2", "-SSS--"}, {true, "excludeBoxes_2", "-SES--"},
        {false, "showOnlyBoxes_2", "-SBS--"}, {true, "excludeBoxes_2", "-SSS--"},   {false, "excludeBoxes_2", "-SBS--"},
        {true, "showOnlyBoxes_2", "--ES--"},  {false, "showOnlyBoxes_0", "S-ES--"}, {true, "excludeBoxes_4", "S-ESE-"},
        {true, "showOnlyBoxes_4", "S-ESS-"},  {false, "showOnlyBoxes_5", "S-ESSS"}, {false, "excludeBoxes_5", "S-ESSB"},
    };
    for (const auto& [mouse, name, after] : steps) {
        QCheckBox* box = dialog->findChild<QCheckBox*>(name);
        if (mouse)
            test::clickBox(box);
        else
            QTest::keyClick(box, Qt::Key_Space);
        EXPECT_EQ(Ticks(), QString(after)) << (mouse ? "click " : "space ") << name;
    }

    QTest::keyClick(dialog->findChild<QCheckBox*>("showOnlyBoxes_5"), Qt::Key_Return);
    EXPECT_EQ(Stored(), QStringList({"1", "0", "2", "1", "1", "3"}));
    EXPECT_EQ(refills, 1);
    EXPECT_TRUE(mainTookInputAtRefill);
    EXPECT_FALSE(dialogVisibleAtRefill);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(FilterDialogTest, ClosingWithoutOkStoresNothing) {
    // The title bar's close button, Escape, and a dialog torn down without being closed.
    const std::function<void(FilterDialog*)> ways[] = {
        [](FilterDialog* d) { d->close(); },
        [](FilterDialog* d) { QTest::keyClick(d, Qt::Key_Escape); },
        [](FilterDialog* d) { delete d; },
    };
    for (const auto& closeIt : ways) {
        Open();
        closeIt(dialog);
        // Free as the dialog closes, not only once its deletion comes round.
        EXPECT_TRUE(test::TakesInput(&mainWindow));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dialog.isNull());
    }
    EXPECT_EQ(refills, 0);
    EXPECT_EQ(Stored(), QStringList(FilterCount, "absent"));
}

std::shared_ptr<ListedGames> gamesOf(QStringList marks, QStringList titles) {
    std::vector<ListedGame> games(static_cast<size_t>(titles.size()));
    for (qsizetype i = 0; i < titles.size(); ++i) {
        games[static_cast<size_t>(i)].title = titles[i];
        games[static_cast<size_t>(i)].marks = marks.value(i);
    }
    return std::make_shared<ListedGames>(std::move(games));
}

std::vector<int> every(int count) {
    std::vector<int> rows(static_cast<size_t>(count));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

} // namespace

// Qt's own model checks, fatal on a broken promise, through a fill, a shorter refill, an empty one.
TEST(GameListModel, KeepsTheModelContractThroughFillsAndRefills) {
    GameListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    // Fewer marks than rows: the rest have none.
    model.SetGames(gamesOf({"S", "R"}, {"Pac-Man", "Galaga", "Zaxxon"}), every(3));
    EXPECT_EQ(model.data(model.index(1, 0)), QVariant("R"));
    EXPECT_EQ(model.data(model.index(2, 0)), QVariant(""));
    EXPECT_EQ(model.data(model.index(2, 1), Qt::ToolTipRole), QVariant("Zaxxon"));

    model.SetGames(gamesOf({"B"}, {"Asteroids"}), every(1));
    EXPECT_EQ(model.Description(1), QString()) << "nothing left of the longer fill";
    model.SetGames(nullptr, every(2));
    EXPECT_EQ(model.rowCount(), 0);
    model.SetGames(gamesOf({"S"}, {"Dig Dug"}), every(1));
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(resets.count(), 5) << "every fill is one reset, which views and the tester rely on";
}
