#include "CatalogueGenerator.h"
#include "ScriptedDialogs.h"
#include "TestDirs.h"

#include "detail/OptionTable.h"
#include "detail/OptionsPanel.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <tuple>

using namespace zelvora;

namespace {

using Values = std::map<QString, QVariant>;

const QStringList CheckFields = {"Default",     "16 Bit Sound",   "YM2203",      "YM3812",      "No Scanlines",
                                 "VESA Modes",  "Pixel Doubling", "8 Bit Color", "Synch Video", "Always Synch",
                                 "No Rotation", "No Mouse",       "Cheats",      "Antialias",   "Debugger",
                                 "No Trans",    "No Stereo"};
// The scroll bars' and sliders' fields, each with the largest value its control holds.
const std::pair<QString, int> NumberFields[] = {{"Sound Card", 7}, {"Resolution", 6}, {"Joystick", 9},   {"Gamma", 12},
                                                {"VGA Freq", 3},   {"Rotate", 2},     {"Flip", 2},       {"Beam", 64},
                                                {"Flicker", 200},  {"Frame Skip", 3}, {"Sample Rate", 1}};
const QStringList TextFields = {"Playback", "Additional", "AltExec", "AltDir"};

// Every option field with a value that differs from its neighbours' and from 0, plus PlayOpt.
Values distinctValues(int seed) {
    Values values{{"PlayOpt", 1 + seed % 2}};
    for (int i = 0; i < CheckFields.size(); ++i)
        values[CheckFields[i]] = (i + seed) % 2;
    int i = 0;
    for (const auto& [field, max] : NumberFields)
        values[field] = 1 + (seed + i++) % max;
    for (const QString& field : TextFields)
        values[field] = field + QString::number(seed);
    return values;
}

// Clicks where a person would: the button's own click area, not the middle of its stretched widget.
void clickIn(QAbstractButton* button, QStyle::SubElement clickArea) {
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect area = button->style()->subElementRect(clickArea, &option, button);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, area.center());
}

class OptionsPanelTest : public ::testing::Test {
protected:
    OptionsPanelTest() {
        test::MakeCatalogue(program.path(), 4);
        db = Database::Open(CatalogueFile(program.path()), "ROMS");
        defaults = db->OpenRecordset("ROMS");
        rs = db->OpenRecordset("ROMS");
        rs->MoveNext(); // past the default record, onto the first game
    }

    void store(Recordset& record, const Values& values) {
        record.Edit();
        for (const auto& [field, value] : values)
            record.SetValue(field, value);
        record.Update();
    }
    void store(const Values& values) { store(*rs, values); }
    // An option record that holds nothing at all.
    void storeNothing() {
        Values nothing = distinctValues(0);
        for (auto& [field, value] : nothing)
            value = QVariant();
        store(nothing);
    }
    void load(bool shown = true, bool defaultBoxEnabled = true) { panel.LoadOptions(*rs, shown, defaultBoxEnabled); }
    void showPanel() {
        panel.resize(440, 520);
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }
    // The labels that follow the three scroll bars and the eight sliders.
    QStringList valueLabels() const {
        QStringList texts;
        for (int i = 2; i < static_cast<int>(panel.lblOptions1.size()); ++i)
            texts << panel.lblOptions1[i]->text();
        return texts;
    }
    void resetCounts() {
        panel.DropPendingEdits();
        focusCalls = 0;
    }

    test::TempProgramDir program;
    std::unique_ptr<Database> db;
    std::unique_ptr<Recordset> defaults;
    std::unique_ptr<Recordset> rs;
    test::ScriptedDialogs dialogs;
    int focusCalls = 0;
    OptionsPanel panel{dialogs,
                       [] {
                           return OptionsPanel::Folders{"/emu/mame/", "/emu/roms/"};
                       },
                       [this] { ++focusCalls; }};
};

} // namespace

// Each value label follows its own control, for a value loaded and for one reset to 0.
TEST_F(OptionsPanelTest, LoadAndSaveRoundTripEveryOptionField) {
    Values expected = distinctValues(1);
    store(expected);
    // A box stored as -1 shows unchecked and is saved as 0.
    store({{"16 Bit Sound", -1}});
    expected["16 Bit Sound"] = 0;
    const QVariant description = rs->Value("Description");
    load();
    EXPECT_FALSE(panel.HasPendingEdits()) << "loading is not a change";
    EXPECT_EQ(valueLabels()[0], QString("Sound Blaster AWE32"));
    EXPECT_EQ(valueLabels()[3], QString("Gamma Correction = 1.7"));

    // Another writer changes the record behind the panel; saving puts back what the panel shows,
    // changed or not.
    auto other = db->OpenRecordset("ROMS");
    other->MoveNext();
    store(*other, distinctValues(2));
    panel.chkBox[3]->setChecked(!panel.chkBox[3]->isChecked());
    expected["YM3812"] = 1 - expected["YM3812"].toInt();
    panel.SaveOptions(*rs);
    EXPECT_FALSE(panel.HasPendingEdits());
    for (const auto& [field, value] : expected)
        EXPECT_EQ(rs->Value(field).toString(), value.toString()) << field.toStdString();
    EXPECT_EQ(rs->Value("Description"), description);

    // The next game holds nothing: every control returns to its starting value and its label
    // says so.
    rs->MoveNext();
    storeNothing();
    load();
    EXPECT_EQ(valueLabels(), QStringList({"Silence", "Automatic", "No Joystick", "Gamma Correction = 1.2",
                                          "VGA Freq = 0", "No Rotation", "No Flip", "Vector Width = 0.0",
                                          "Vector Flicker = 0.0", "Frame Skip = 0", "Sample Rate = 22050"}));
    for (QCheckBox* box : panel.chkBox)
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_TRUE(panel.OptPlayback[0]->isChecked());
    EXPECT_TRUE(panel.lblOption[1]->text().isEmpty());
}

// PlayOpt against the button selected, which is also what saving writes back.
TEST_F(OptionsPanelTest, PlaybackChoiceAndFileSurviveLoadAndSave) {
    const std::pair<QVariant, int> cases[] = {{QVariant(), 0}, {2, 2}, {1, 1}, {0, 0}, {7, 0}, {-1, 0}};
    for (const auto& [playOpt, selected] : cases) {
        SCOPED_TRACE(playOpt.toString().toStdString());
        store({{"PlayOpt", playOpt}, {"Playback", "galaga"}});
        load();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(panel.OptPlayback[i]->isChecked(), i == selected) << i;
        // Selecting "None" empties the playback file; the stored one comes back after it.
        EXPECT_EQ(panel.txtOptions[0]->text(), QString("galaga"));
        EXPECT_FALSE(panel.HasPendingEdits());
        panel.SaveOptions(*rs);
        EXPECT_EQ(rs->Value("PlayOpt").toInt(), selected);
        EXPECT_EQ(rs->Value("Playback").toString(), QString("galaga"));
    }
}

TEST_F(OptionsPanelTest, OutOfRangeValuesLoadAsTheNearestTheControlsHold) {
    const std::tuple<const char*, int, int> cases[] = {{"Resolution", 7, 6},      {"Gamma", 99, 12},
                                                       {"Sample Rate", 22050, 1}, {"Beam", -5, 0},
                                                       {"Joystick", -1, 0},       {"Flicker", 40000, 200}};
    for (const auto& [field, stored, clamped] : cases)
        store({{field, stored}});
    load();
    // The panel starts at 0 everywhere, so a value brought down to 0 changes nothing and its label
    // must already be right.
    EXPECT_EQ(valueLabels()[7], QString("Vector Width = 0.0"));
    EXPECT_EQ(valueLabels()[10], QString("Sample Rate = 44100"));
    panel.SaveOptions(*rs);
    for (const auto& [field, stored, clamped] : cases)
        EXPECT_EQ(rs->Value(field).toInt(), clamped) << field;
}

// A change by the mouse or by code raises the flag, the keyboard's change of a box does not; the
// focus goes back to the game list after everything but typing and a slider set without the
// mouse. Only a mouse click on "Use Default Options" is reported, after the common part.
TEST_F(OptionsPanelTest, ControlsRaiseTheFlagAndGiveBackTheFocusAsTheyShould) {
    storeNothing();
    load();
    showPanel();
    QSignalSpy toggled(&panel, &OptionsPanel::defaultToggledByMouse);
    bool changedBeforeSignal = false;
    QObject::connect(&panel, &OptionsPanel::defaultToggledByMouse,
                     [&] { changedBeforeSignal = panel.HasPendingEdits(); });
    QScrollBar* scroll = panel.hscScroll[0];
    const QPoint rightArrow(scroll->width() - 3, scroll->height() / 2);
    const std::tuple<const char*, std::function<void()>, bool, int> cases[] = {
        {"typing", [&] { QTest::keyClicks(panel.txtOptions[1], "-nosound"); }, true, 0},
        {"slider set", [&] { panel.sldSlide[4]->setValue(3); }, true, 0},
        {"slider clicked", [&] { QTest::mouseClick(panel.sldSlide[4], Qt::LeftButton); }, true, 1},
        {"scroll bar clicked", [&] { QTest::mouseClick(scroll, Qt::LeftButton, {}, rightArrow); }, true, 1},
        {"scroll bar set", [&] { panel.hscScroll[2]->setValue(4); }, true, 1},
        {"box clicked", [&] { clickIn(panel.chkBox[12], QStyle::SE_CheckBoxClickRect); }, true, 1},
        {"box by the keyboard", [&] { QTest::keyClick(panel.chkBox[5], Qt::Key_Space); }, false, 0},
        {"Default clicked", [&] { clickIn(panel.chkBox[0], QStyle::SE_CheckBoxClickRect); }, true, 1},
        {"Default by the keyboard", [&] { QTest::keyClick(panel.chkBox[0], Qt::Key_Space); }, false, 0},
        {"playback chosen", [&] { clickIn(panel.OptPlayback[2], QStyle::SE_RadioButtonClickRect); }, true, 1},
    };
    panel.txtOptions[0]->setText("pacman");
    for (const auto& [what, act, changes, focus] : cases) {
        resetCounts();
        act();
        EXPECT_EQ(panel.HasPendingEdits(), changes) << what;
        EXPECT_EQ(focusCalls, focus) << what;
    }
    // A click on a scroll bar must not take the keyboard from the game list either.
    EXPECT_EQ(scroll->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(panel.chkBox[5]->isChecked()) << "the key still toggles the box";
    ASSERT_EQ(toggled.count(), 1);
    EXPECT_TRUE(toggled.at(0).at(0).toBool());
    EXPECT_TRUE(changedBeforeSignal);
    EXPECT_EQ(panel.txtOptions[0]->text(), QString("pacman"));
    clickIn(panel.OptPlayback[0], QStyle::SE_RadioButtonClickRect);
    EXPECT_TRUE(panel.txtOptions[0]->text().isEmpty()) << "no playback, no playback file";
}

TEST_F(OptionsPanelTest, BrowseButtonsTakeTheirPartOfTheChosenFile) {
    load();
    showPanel();
    // An empty name is a cancelled dialog, which empties what the button fills.
    const std::tuple<int, const char*, QWidget*, const char*> cases[] = {
        {0, "/emu/mame/mame2", panel.lblOption[0], "mame2"},
        {1, "/emu/roms2", panel.lblOption[1], "/emu/roms2/"},
        {2, "/inp/pacman.inp", panel.txtOptions[0], "pacman"},
        {2, "/inp/a.b.inp", panel.txtOptions[0], "a"},
        {2, "/inp/noextension", panel.txtOptions[0], ""},
        {0, "/usr/games/mame", panel.lblOption[0], "/usr/games/mame"},
        {0, "", panel.lblOption[0], ""},
        {1, "", panel.lblOption[1], ""},
    };
    for (const auto& [button, file, shows, text] : cases) {
        dialogs.files = {file};
        dialogs.folders = {file};
        resetCounts();
        QTest::mouseClick(panel.cmbOptions[button], Qt::LeftButton);
        EXPECT_EQ(shows->property("text").toString(), QString(text)) << file;
        EXPECT_TRUE(panel.HasPendingEdits());
        EXPECT_EQ(focusCalls, 1);
    }
    EXPECT_EQ(dialogs.filtersAsked.mid(0, 2), QStringList({"MAME Executable|*", "Playback File|*.inp"}));
    EXPECT_EQ(dialogs.directoriesAsked.mid(0, 2), QStringList({"/emu/mame/", "/emu/roms/"}));
}

TEST_F(OptionsPanelTest, CopyDefaultSetCopiesTheOptionsButNotThePlaybackChoice) {
    const Values defaultSet = distinctValues(3);
    store(*defaults, defaultSet);
    store(distinctValues(4));
    store({{"PlayOpt", 0}});

    CopyDefaultSet(*rs, *defaults);
    for (const auto& [field, value] : defaultSet) {
        if (field != "Default" && field != "PlayOpt") {
            EXPECT_EQ(rs->Value(field).toString(), value.toString()) << field.toStdString();
        }
    }
    EXPECT_EQ(rs->Value("Default").toInt(), 0);
    EXPECT_EQ(rs->Value("PlayOpt").toInt(), 0);

    // A default set that holds nothing copies as nothing.
    store(*defaults, {{"AltDir", QVariant()}, {"Gamma", QVariant()}});
    CopyDefaultSet(*rs, *defaults);
    EXPECT_TRUE(rs->Value("AltDir").isNull());
    EXPECT_TRUE(rs->Value("Gamma").isNull());
}

TEST_F(OptionsPanelTest, AGameOnTheDefaultSetShowsOnlyTheDefaultBox) {
    load(false, false);
    EXPECT_FALSE(panel.chkBox[0]->isEnabled());
    for (QWidget* widget : panel.findChildren<QWidget*>())
        EXPECT_EQ(widget->isVisibleTo(&panel), widget == panel.chkBox[0]) << widget->objectName().toStdString();

    // lblOptions1(0) and (1) are never shown.
    load(true, true);
    EXPECT_TRUE(panel.chkBox[0]->isEnabled());
    for (QWidget* widget : panel.findChildren<QWidget*>()) {
        const bool unused = widget == panel.lblOptions1[0] || widget == panel.lblOptions1[1];
        EXPECT_NE(widget->isVisibleTo(&panel), unused) << widget->objectName().toStdString();
    }
}

// With the widest texts each control can show, every control lies in the tab and is wide enough
// (the file labels may cut a long path short).
TEST_F(OptionsPanelTest, LayoutFitsTheTabWithoutClipping) {
    store({{"Sound Card", 6}, {"Joystick", 8}, {"Flip", 1}, {"Flicker", 200}, {"Gamma", -3}});
    load();
    EXPECT_LE(panel.minimumSizeHint().width(), 440);
    EXPECT_LE(panel.minimumSizeHint().height(), 520);
    showPanel();
    for (const QWidget* widget : panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!widget->isVisible() || widget == panel.lblOption[0] || widget == panel.lblOption[1])
            continue;
        EXPECT_TRUE(panel.rect().contains(widget->geometry())) << widget->objectName().toStdString();
        const int least = widget->minimumWidth() > 0 ? widget->minimumWidth() : widget->minimumSizeHint().width();
        EXPECT_GE(widget->width(), least) << widget->objectName().toStdString();
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width());
        }
    }
}
