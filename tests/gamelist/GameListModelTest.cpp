#include "gamelist/GameListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace zelvora;

// Qt's own model checks run on every change, as a view relies on them, and end the program on a
// broken promise: a fill, a refill to fewer rows, an empty fill.
TEST(GameListModel, KeepsTheModelContractThroughFillsAndRefills) {
    GameListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    // Fewer marks than rows: the rest have none.
    model.SetRows({"S", "R"}, {"Pac-Man", "Galaga", "Zaxxon"});
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(1, 0)), QVariant("R"));
    EXPECT_EQ(model.data(model.index(2, 0)), QVariant(""));
    EXPECT_EQ(model.data(model.index(2, 1), Qt::ToolTipRole), QVariant("Zaxxon"));

    model.SetRows({"B"}, {"Asteroids"});
    EXPECT_EQ(model.Description(0), "Asteroids");
    EXPECT_EQ(model.Description(1), QString()) << "nothing left of the longer fill";
    model.SetRows({}, {});
    EXPECT_EQ(model.RowCount(), 0);
    model.SetRows({"S"}, {"Dig Dug"});
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(resets.count(), 5) << "every fill is one reset, which views and the tester rely on";
}
