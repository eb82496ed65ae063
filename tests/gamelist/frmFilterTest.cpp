#include "TestDirs.h"

#include "gamelist/frmFilter.h"
#include "store/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

using namespace zelvora;
using zelvora::test::TempProgramDir;

namespace {

constexpr int Rows = zelvora::FilterCount;

// Clicks where a person would: the box's own click area, not the middle of its widget.
void ClickBox(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect area = box->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, area.center());
}

void PressSpace(QCheckBox* box) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
}

class FilterDialog : public ::testing::Test {
protected:
    void TearDown() override {
        delete dialog.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void Store(int row, const QString& value) {
        settings.Save("zelvora", "settings", QString("Filter %1").arg(row), value);
    }
    QString Stored(int row) const {
        return settings.Get("zelvora", "settings", QString("Filter %1").arg(row), "absent");
    }
    std::array<QString, Rows> AllStored() const {
        std::array<QString, Rows> values;
        for (int i = 0; i < Rows; ++i)
            values[i] = Stored(i);
        return values;
    }

    void Open() {
        mainWindow.show();
        dialog = new frmFilter(settings, &mainWindow, [this] {
            ++refills;
            mainEnabledAtRefill = mainWindow.isEnabled();
            dialogVisibleAtRefill = dialog && dialog->isVisible();
        });
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }

    QCheckBox* Show(int row) const { return dialog->findChild<QCheckBox*>(QString("chkShow_%1").arg(row)); }
    QCheckBox* Exclude(int row) const { return dialog->findChild<QCheckBox*>(QString("chkExclude_%1").arg(row)); }
    void ClickOk() { QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton); }

    // Which boxes are ticked, row by row, as "S" (Show Only), "E" (Exclude), "SE" or "".
    std::array<QString, Rows> Ticks() const {
        std::array<QString, Rows> ticks;
        for (int i = 0; i < Rows; ++i)
            ticks[i] = QString(Show(i)->isChecked() ? "S" : "") + (Exclude(i)->isChecked() ? "E" : "");
        return ticks;
    }

    TempProgramDir config;
    Settings settings{config.path()};
    QWidget mainWindow;
    QPointer<frmFilter> dialog;
    int refills = 0;
    bool mainEnabledAtRefill = false;
    bool dialogVisibleAtRefill = true;
};

using Ticked = std::array<QString, Rows>;

TEST_F(FilterDialog, FreshSettingsOpenClearAndOkStoresZeros) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), QString("Filter"));
    EXPECT_EQ(Ticks(), (Ticked{"", "", "", "", "", ""}));
    // The dialog is its own window, so disabling the main window leaves it usable.
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_EQ(dialog->parentWidget(), nullptr);
    EXPECT_TRUE(dialog->isEnabled());

    ClickOk();
    EXPECT_EQ(AllStored(), (Ticked{"0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(refills, 1);
    EXPECT_TRUE(mainEnabledAtRefill);
    EXPECT_FALSE(dialogVisibleAtRefill);
    EXPECT_TRUE(mainWindow.isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(FilterDialog, StoredValuesLoadAndOkWritesThemBack) {
    const std::array<QString, Rows> stored = {"1", "2", "3", "abc", "2", "1"};
    for (int i = 0; i < Rows; ++i)
        Store(i, stored[i]);
    Open();
    // Only 1 and 2 mean anything; a both-ticked 3 written by hand is not read back as both.
    EXPECT_EQ(Ticks(), (Ticked{"S", "E", "", "", "E", "S"}));
    ClickOk();
    EXPECT_EQ(AllStored(), (Ticked{"1", "2", "0", "0", "2", "1"}));
}

TEST_F(FilterDialog, MouseClicksKeepShowOnlyAndExcludeApart) {
    // Show Only of "Original Games" clears its own Exclude and the other two kinds of game, but
    // not the independent rows below.
    Store(0, "1");
    Store(1, "2");
    Store(2, "1");
    Store(3, "1");
    Store(4, "1");
    Open();
    ClickBox(Show(1));
    EXPECT_EQ(Ticks(), (Ticked{"", "S", "", "S", "S", ""}));

    // Exclude of "Clones" clears only its own row's Show Only.
    PressSpace(Show(2));
    EXPECT_EQ(Ticks(), (Ticked{"", "S", "S", "S", "S", ""}));
    ClickBox(Exclude(2));
    EXPECT_EQ(Ticks(), (Ticked{"", "S", "E", "S", "S", ""}));
    // Clearing Exclude by mouse touches nothing else.
    PressSpace(Show(2));
    ClickBox(Exclude(2));
    EXPECT_EQ(Ticks(), (Ticked{"", "S", "S", "S", "S", ""}));

    // Rows 3 to 5 have no alternatives: a row's own pair is still exclusive.
    ClickBox(Exclude(4));
    ClickBox(Show(5));
    EXPECT_EQ(Ticks(), (Ticked{"", "S", "S", "S", "E", "S"}));
    ClickBox(Show(4));
    EXPECT_EQ(Ticks(), (Ticked{"", "S", "S", "S", "S", "S"}));
}

TEST_F(FilterDialog, ClearingShowOnlyOfAKindClearsTheOtherKindsButNotItsExclude) {
    Store(0, "1");
    Store(1, "1");
    Store(2, "1");
    Open();
    PressSpace(Exclude(2));
    ASSERT_EQ(Ticks(), (Ticked{"S", "S", "SE", "", "", ""}));
    ClickBox(Show(2));
    EXPECT_EQ(Ticks(), (Ticked{"", "", "E", "", "", ""}));
}

TEST_F(FilterDialog, KeyboardTogglingRunsNoRules) {
    Store(0, "1");
    Open();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    PressSpace(Show(4));
    PressSpace(Exclude(4));
    PressSpace(Show(1));
    EXPECT_EQ(Ticks(), (Ticked{"S", "S", "", "", "SE", ""}));
    ClickOk();
    EXPECT_EQ(AllStored(), (Ticked{"1", "1", "0", "0", "3", "0"}));
}

TEST_F(FilterDialog, ClosingWithoutOkStoresNothing) {
    // The title bar's close button, Escape, and a dialog torn down without being closed.
    enum class Way { Close, Escape, Destroy };
    for (const Way way : {Way::Close, Way::Escape, Way::Destroy}) {
        SCOPED_TRACE(static_cast<int>(way));
        Store(3, "2");
        Open();
        ClickBox(Show(3));
        ClickBox(Exclude(5));
        switch (way) {
        case Way::Close:
            dialog->close();
            break;
        case Way::Escape:
            dialog->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            QTest::keyClick(dialog, Qt::Key_Escape);
            break;
        case Way::Destroy:
            delete dialog.data();
            break;
        }
        // Enabled as the dialog closes, not only once its deletion comes round.
        EXPECT_TRUE(mainWindow.isEnabled());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dialog.isNull());
        EXPECT_EQ(refills, 0);
        EXPECT_EQ(AllStored(), (Ticked{"absent", "absent", "absent", "2", "absent", "absent"}));
    }
}

// Every text fits its control and no control covers another, whatever the default font.
void ExpectTidy(const frmFilter& dialog) {
    const QRect client = dialog.rect();
    QList<QWidget*> controls;
    for (int i = 0; i < Rows; ++i) {
        for (const char* name : {"Label1_%1", "chkShow_%1", "chkExclude_%1"})
            controls.append(dialog.findChild<QWidget*>(QString(name).arg(i)));
    }
    controls.append(dialog.findChild<QWidget*>("Command1"));
    for (qsizetype a = 0; a < controls.size(); ++a) {
        ASSERT_NE(controls[a], nullptr) << a;
        const QWidget& control = *controls[a];
        SCOPED_TRACE(control.objectName().toStdString());
        EXPECT_TRUE(client.contains(control.geometry()));
        EXPECT_GE(control.width(), control.sizeHint().width());
        EXPECT_GE(control.height(), control.sizeHint().height());
        for (qsizetype b = a + 1; b < controls.size(); ++b)
            EXPECT_FALSE(control.geometry().intersects(controls[b]->geometry()))
                << controls[b]->objectName().toStdString();
    }
}

TEST_F(FilterDialog, ControlsKeepTheirDrawnPlacesWhenTheFontAllows) {
    const QFont appFont = QApplication::font();
    QFont small = appFont;
    small.setPixelSize(8);
    QApplication::setFont(small);
    Open();
    QApplication::setFont(appFont);

    EXPECT_EQ(dialog->size(), QSize(270, 183));
    const auto at = [this](const QString& name) { return dialog->findChild<QWidget*>(name)->geometry(); };
    EXPECT_EQ(at("Label1_0"), QRect(4, 4, 101, 17));
    EXPECT_EQ(at("chkShow_0"), QRect(112, 4, 77, 17));
    EXPECT_EQ(at("chkExclude_0"), QRect(188, 4, 77, 17));
    EXPECT_EQ(at("Label1_5"), QRect(4, 124, 101, 17));
    EXPECT_EQ(at("chkExclude_5"), QRect(188, 124, 77, 17));
    EXPECT_EQ(at("Command1"), QRect(68, 152, 137, 25));
}

TEST_F(FilterDialog, ControlsMakeRoomForWiderFonts) {
    const QFont appFont = QApplication::font();
    QFont large = appFont;
    large.setPixelSize(24);
    for (const QFont& font : {appFont, large}) {
        SCOPED_TRACE(font.toString().toStdString());
        QApplication::setFont(font);
        Open();
        QApplication::setFont(appFont);
        ExpectTidy(*dialog);
        EXPECT_GE(dialog->width(), 270);
        EXPECT_GE(dialog->height(), 183);
        delete dialog.data();
    }
}

} // namespace
