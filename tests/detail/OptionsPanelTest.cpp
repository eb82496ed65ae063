#include "CatalogueGenerator.h"
#include "ScriptedDialogs.h"
#include "TestDirs.h"

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

#include <map>
#include <memory>

using namespace zelvora;

namespace {

using Values = std::map<QString, QVariant>;

const QStringList CheckFields = {"Default",     "16 Bit Sound",   "YM2203",      "YM3812",      "No Scanlines",
                                 "VESA Modes",  "Pixel Doubling", "8 Bit Color", "Synch Video", "Always Synch",
                                 "No Rotation", "No Mouse",       "Cheats",      "Antialias",   "Debugger",
                                 "No Trans",    "No Stereo"};
const QStringList ScrollFields = {"Sound Card", "Resolution", "Joystick"};
const QStringList SlideFields = {"Gamma", "VGA Freq", "Rotate", "Flip", "Beam", "Flicker", "Frame Skip", "Sample Rate"};
const QStringList TextFields = {"Playback", "Additional"};
const QStringList ChoiceFields = {"AltExec", "AltDir"};

QStringList defaultSetFields() {
    return CheckFields + ScrollFields + SlideFields + TextFields + ChoiceFields;
}

// Every option field with a value that differs from its neighbours' and from 0, plus PlayOpt.
Values distinctValues(int seed) {
    Values values;
    for (int i = 0; i < CheckFields.size(); ++i)
        values[CheckFields[i]] = (i + seed) % 2;
    values["Sound Card"] = 1 + seed % 7;
    values["Resolution"] = 1 + seed % 6;
    values["Joystick"] = 1 + seed % 9;
    values["Gamma"] = -10 + seed;
    values["VGA Freq"] = 1 + seed % 3;
    values["Rotate"] = 1 + seed % 2;
    values["Flip"] = 2 - seed % 2;
    values["Beam"] = 10 + seed;
    values["Flicker"] = 100 + seed;
    values["Frame Skip"] = 1 + seed % 3;
    values["Sample Rate"] = seed % 2 ? 1 : -1;
    values["Playback"] = QString("rec%1").arg(seed);
    values["Additional"] = QString("-extra %1").arg(seed);
    values["AltExec"] = QString("mame%1").arg(seed);
    values["AltDir"] = QString("/emu/roms%1/").arg(seed);
    values["PlayOpt"] = 1 + seed % 2;
    return values;
}

// Clicks where a person would: the button's own click area, not the middle of its stretched widget.
void clickIn(QAbstractButton* button, QStyle::SubElement clickArea) {
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect area = button->style()->subElementRect(clickArea, &option, button);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, area.center());
}
void clickBox(QCheckBox* box) {
    clickIn(box, QStyle::SE_CheckBoxClickRect);
}
void clickRadio(QRadioButton* button) {
    clickIn(button, QStyle::SE_RadioButtonClickRect);
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
        Values nothing{{"PlayOpt", QVariant()}};
        for (const QString& field : defaultSetFields())
            nothing[field] = QVariant();
        store(nothing);
    }
    void load(bool shown = true, bool defaultBoxEnabled = true) {
        changed = true;
        panel.LoadOptions(*rs, shown, defaultBoxEnabled);
    }
    void showPanel() {
        panel.resize(440, 520);
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }
    QString valueLabel(int index) const { return panel.lblOptions1[index]->text(); }
    template <typename Control> Control* control(const QString& name) {
        auto* found = panel.findChild<Control*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    void resetCounts() {
        changed = false;
        focusCalls = 0;
    }

    test::TempProgramDir program;
    std::unique_ptr<Database> db;
    std::unique_ptr<Recordset> defaults;
    std::unique_ptr<Recordset> rs;
    test::ScriptedDialogs dialogs;
    bool changed = false;
    int focusCalls = 0;
    OptionsPanel panel{dialogs, changed, [] { return QString("/emu/roms/"); }, [this] { ++focusCalls; }};
};

} // namespace

TEST_F(OptionsPanelTest, LoadShowsTheStoredOptionsAndLeavesThemUnchanged) {
    storeNothing();
    store({{"Sound Card", 2},
           {"Resolution", 5},
           {"Joystick", 9},
           {"Gamma", 3},
           {"VGA Freq", 2},
           {"Rotate", 1},
           {"Flip", 2},
           {"Beam", 3},
           {"Flicker", 200},
           {"Frame Skip", 3},
           {"Sample Rate", -1},
           {"Cheats", 1},
           {"16 Bit Sound", -1},
           {"No Stereo", 1},
           {"Default", 1},
           {"Playback", "pacman"},
           {"PlayOpt", 1},
           {"AltExec", "mame2"},
           {"AltDir", "/emu/roms2/"},
           {"Additional", "-nosound"}});
    load();
    EXPECT_FALSE(changed) << "loading is not a change";

    EXPECT_EQ(panel.hscScroll[0]->value(), 2);
    EXPECT_EQ(panel.hscScroll[1]->value(), 5);
    EXPECT_EQ(panel.sldSlide[0]->value(), 3);
    EXPECT_EQ(panel.sldSlide[7]->value(), -1);
    const QStringList labels = {"Sound Blaster AWE32",    "800 x 600",          "Gravis GamePad Pro",
                                "Gamma Correction = 1.5", "VGA Freq = 2",       "Rotate Right",
                                "Flip Vertically",        "Vector Width = 0.8", "Vector Flicker = 100.0",
                                "Frame Skip = 3",         "Sample Rate = 11025"};
    for (int i = 0; i < labels.size(); ++i)
        EXPECT_EQ(valueLabel(2 + i), labels[i]) << "lblOptions1 " << 2 + i;
    EXPECT_TRUE(panel.chkBox[12]->isChecked());
    EXPECT_TRUE(panel.chkBox[16]->isChecked());
    EXPECT_TRUE(panel.chkBox[0]->isChecked());
    EXPECT_FALSE(panel.chkBox[1]->isChecked()) << "only 1 checks a box";
    EXPECT_FALSE(panel.chkBox[5]->isChecked());
    EXPECT_TRUE(panel.OptPlayback[1]->isChecked());
    EXPECT_EQ(panel.txtOptions[0]->text(), QString("pacman"));
    EXPECT_EQ(panel.txtOptions[1]->text(), QString("-nosound"));
    EXPECT_EQ(panel.lblOption[0]->text(), QString("mame2"));
    EXPECT_EQ(panel.lblOption[1]->text(), QString("/emu/roms2/"));

    // The next game holds nothing: every control returns to its starting value and its label
    // says so.
    rs->MoveNext();
    storeNothing();
    load();
    EXPECT_FALSE(changed);
    const QStringList zeroLabels = {"Silence",
                                    "Automatic",
                                    "No Joystick",
                                    "Gamma Correction = 1.2",
                                    "VGA Freq = 0",
                                    "No Rotation",
                                    "No Flip",
                                    "Vector Width = 0.0",
                                    "Vector Flicker = 0.0",
                                    "Frame Skip = 0",
                                    "Sample Rate = 22050"};
    for (int i = 0; i < zeroLabels.size(); ++i)
        EXPECT_EQ(valueLabel(2 + i), zeroLabels[i]) << "lblOptions1 " << 2 + i;
    for (QCheckBox* box : panel.chkBox)
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_TRUE(panel.OptPlayback[0]->isChecked());
    EXPECT_FALSE(panel.OptPlayback[1]->isChecked());
    EXPECT_TRUE(panel.txtOptions[0]->text().isEmpty());
    EXPECT_TRUE(panel.lblOption[0]->text().isEmpty());
    EXPECT_TRUE(panel.lblOption[1]->text().isEmpty());
}

TEST_F(OptionsPanelTest, PlaybackChoiceAndFileSurviveLoadAndSave) {
    struct Case {
        QVariant playOpt;
        int selected;
        int saved;
    };
    const Case cases[] = {{QVariant(), 0, 0}, {2, 2, 2}, {1, 1, 1}, {0, 0, 0}, {7, 0, 0}, {-1, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.playOpt.toString().toStdString());
        store({{"PlayOpt", c.playOpt}, {"Playback", "galaga"}});
        load();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(panel.OptPlayback[i]->isChecked(), i == c.selected) << i;
        // Selecting "None" empties the playback file; the stored one comes back after it.
        EXPECT_EQ(panel.txtOptions[0]->text(), QString("galaga"));
        EXPECT_FALSE(changed);
        panel.SaveOptions(*rs);
        EXPECT_EQ(rs->Value("PlayOpt").toInt(), c.saved);
        EXPECT_EQ(rs->Value("Playback").toString(), QString("galaga"));
    }
}

TEST_F(OptionsPanelTest, OutOfRangeValuesLoadAsTheNearestTheControlsHold) {
    // The panel starts at 0 everywhere, so a value brought down to 0 changes nothing and the
    // labels must already be right.
    store(
        {{"Resolution", 7}, {"Gamma", 99}, {"Sample Rate", 22050}, {"Beam", -5}, {"Joystick", -1}, {"Flicker", 40000}});
    load();
    EXPECT_EQ(panel.hscScroll[1]->value(), 6);
    EXPECT_EQ(valueLabel(3), QString("1024 x 768"));
    EXPECT_EQ(panel.sldSlide[0]->value(), 12);
    EXPECT_EQ(valueLabel(5), QString("Gamma Correction = 2.4"));
    EXPECT_EQ(valueLabel(12), QString("Sample Rate = 44100"));
    EXPECT_EQ(panel.sldSlide[4]->value(), 0);
    EXPECT_EQ(valueLabel(9), QString("Vector Width = 0.0"));
    EXPECT_EQ(valueLabel(4), QString("No Joystick"));
    EXPECT_EQ(valueLabel(10), QString("Vector Flicker = 100.0"));
    EXPECT_FALSE(changed);

    panel.SaveOptions(*rs);
    EXPECT_EQ(rs->Value("Resolution").toInt(), 6);
    EXPECT_EQ(rs->Value("Gamma").toInt(), 12);
    EXPECT_EQ(rs->Value("Sample Rate").toInt(), 1);
}

TEST_F(OptionsPanelTest, SaveWritesEveryOptionFieldChangedOrNot) {
    const Values shown = distinctValues(1);
    store(shown);
    const QVariant description = rs->Value("Description");
    load();

    // Another writer changes the record behind the panel; saving puts back what the panel shows.
    auto other = db->OpenRecordset("ROMS");
    other->MoveNext();
    store(*other, distinctValues(2));
    panel.chkBox[3]->setChecked(!panel.chkBox[3]->isChecked());
    changed = true;
    panel.SaveOptions(*rs);
    EXPECT_FALSE(changed);

    Values expected = shown;
    expected["YM3812"] = 1 - shown.at("YM3812").toInt();
    for (const auto& [field, value] : expected)
        EXPECT_EQ(rs->Value(field).toString(), value.toString()) << field.toStdString();
    EXPECT_EQ(rs->Value("Description"), description);

    // A box stored as -1 shows unchecked and is saved as 0; a checked box is saved as 1.
    store({{"16 Bit Sound", -1}, {"Cheats", 1}});
    load();
    panel.SaveOptions(*rs);
    EXPECT_EQ(rs->Value("16 Bit Sound").toInt(), 0);
    EXPECT_EQ(rs->Value("Cheats").toInt(), 1);
}

TEST_F(OptionsPanelTest, MouseClicksOnCheckBoxesCountButTheKeyboardDoesNot) {
    load();
    showPanel();
    QSignalSpy toggled(&panel, &OptionsPanel::defaultToggledByMouse);
    bool changedBeforeSignal = false;
    int focusBeforeSignal = 0;
    QObject::connect(&panel, &OptionsPanel::defaultToggledByMouse, [&] {
        changedBeforeSignal = changed;
        focusBeforeSignal = focusCalls;
    });

    resetCounts();
    clickBox(panel.chkBox[12]);
    EXPECT_TRUE(panel.chkBox[12]->isChecked());
    EXPECT_TRUE(changed);
    EXPECT_EQ(focusCalls, 1);
    EXPECT_EQ(toggled.count(), 0) << "only the Default box reports to the main window";

    resetCounts();
    const bool wasChecked = panel.chkBox[0]->isChecked();
    clickBox(panel.chkBox[0]);
    ASSERT_EQ(toggled.count(), 1);
    EXPECT_EQ(toggled.at(0).at(0).toBool(), !wasChecked);
    EXPECT_TRUE(changedBeforeSignal) << "the common part runs first";
    EXPECT_EQ(focusBeforeSignal, 1);

    resetCounts();
    panel.chkBox[5]->setFocus();
    QTest::keyClick(panel.chkBox[5], Qt::Key_Space);
    EXPECT_TRUE(panel.chkBox[5]->isChecked()) << "the key still toggles the box";
    EXPECT_FALSE(changed);
    EXPECT_EQ(focusCalls, 0);
    QTest::keyClick(panel.chkBox[0], Qt::Key_Space);
    EXPECT_EQ(toggled.count(), 1);
}

TEST_F(OptionsPanelTest, ControlsRaiseTheFlagAndGiveBackTheFocusAsTheyShould) {
    load();
    showPanel();

    resetCounts();
    QTest::keyClicks(panel.txtOptions[1], "-nosound");
    EXPECT_TRUE(changed);
    EXPECT_EQ(focusCalls, 0) << "typing stays in the text box";

    resetCounts();
    panel.sldSlide[4]->setValue(3);
    EXPECT_TRUE(changed) << "a slider's change counts however it was made";
    EXPECT_EQ(valueLabel(9), QString("Vector Width = 0.8"));
    EXPECT_EQ(focusCalls, 0);
    QTest::mouseClick(panel.sldSlide[4], Qt::LeftButton);
    EXPECT_EQ(focusCalls, 1);

    resetCounts();
    panel.hscScroll[2]->setValue(4);
    EXPECT_TRUE(changed);
    EXPECT_EQ(valueLabel(4), QString("6 Button Joystick"));
    EXPECT_EQ(focusCalls, 1);
    QScrollBar* scroll = panel.hscScroll[0];
    QTest::mouseClick(scroll, Qt::LeftButton, Qt::NoModifier, QPoint(scroll->width() - 3, scroll->height() / 2));
    EXPECT_EQ(scroll->value(), 1);
    EXPECT_EQ(valueLabel(2), QString("Sound Blaster"));
    EXPECT_FALSE(scroll->hasFocus());
    EXPECT_EQ(scroll->focusPolicy(), Qt::NoFocus);

    panel.txtOptions[0]->setText("pacman");
    resetCounts();
    clickRadio(panel.OptPlayback[2]);
    EXPECT_TRUE(changed);
    EXPECT_EQ(focusCalls, 1);
    EXPECT_EQ(panel.txtOptions[0]->text(), QString("pacman"));
    clickRadio(panel.OptPlayback[0]);
    EXPECT_TRUE(panel.txtOptions[0]->text().isEmpty()) << "no playback, no playback file";
}

TEST_F(OptionsPanelTest, BrowseButtonsTakeTheirPartOfTheChosenFile) {
    storeNothing();
    store({{"AltExec", "mame"}, {"AltDir", "/old/"}, {"Playback", "old"}});
    load();
    showPanel();
    dialogs.files = {
        "/emu/mame2", "/emu/roms2/pacman.zip", "/inp/pacman.inp", "/inp/a.b.inp", "/inp/noextension", "", ""};
    const auto click = [this](int button) {
        resetCounts();
        QTest::mouseClick(panel.cmbOptions[button], Qt::LeftButton);
        EXPECT_TRUE(changed);
        EXPECT_EQ(focusCalls, 1);
    };

    click(0);
    EXPECT_EQ(panel.lblOption[0]->text(), QString("mame2"));
    EXPECT_EQ(dialogs.filtersAsked.last(), QString("MAME Executable|mame*"));
    click(1);
    EXPECT_EQ(panel.lblOption[1]->text(), QString("/emu/roms2/"));
    EXPECT_EQ(dialogs.filtersAsked.last(), QString("Select Any File in the ROM Directory|*"));
    EXPECT_EQ(dialogs.directoriesAsked.last(), QString("/emu/roms/"));
    click(2);
    EXPECT_EQ(panel.txtOptions[0]->text(), QString("pacman"));
    EXPECT_EQ(dialogs.filtersAsked.last(), QString("Playback File|*.inp"));
    click(2);
    EXPECT_EQ(panel.txtOptions[0]->text(), QString("a"));
    click(2);
    EXPECT_TRUE(panel.txtOptions[0]->text().isEmpty()) << "a name without an extension is refused";

    // Cancelling empties what the button fills.
    click(0);
    EXPECT_TRUE(panel.lblOption[0]->text().isEmpty());
    click(1);
    EXPECT_TRUE(panel.lblOption[1]->text().isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(OptionsPanelTest, CopyDefaultSetCopiesTheOptionsButNotThePlaybackChoice) {
    const Values defaultSet = distinctValues(3);
    store(*defaults, defaultSet);
    store(distinctValues(4));
    store({{"PlayOpt", 0}});
    const QVariant description = rs->Value("Description");

    OptionsPanel::CopyDefaultSet(*rs, *defaults);

    for (const QString& field : defaultSetFields()) {
        if (field != "Default") {
            EXPECT_EQ(rs->Value(field).toString(), defaultSet.at(field).toString()) << field.toStdString();
        }
    }
    EXPECT_EQ(rs->Value("Default").toInt(), 0);
    EXPECT_EQ(rs->Value("PlayOpt").toInt(), 0);
    EXPECT_EQ(rs->Value("Description"), description);
    EXPECT_EQ(defaults->Value("PlayOpt").toInt(), defaultSet.at("PlayOpt").toInt());

    // A default set that holds nothing copies as nothing.
    store(*defaults, {{"AltDir", QVariant()}, {"Gamma", QVariant()}});
    OptionsPanel::CopyDefaultSet(*rs, *defaults);
    EXPECT_TRUE(rs->Value("AltDir").isNull());
    EXPECT_TRUE(rs->Value("Gamma").isNull());
}

TEST_F(OptionsPanelTest, AGameOnTheDefaultSetShowsOnlyTheDefaultBox) {
    load(false, false);
    EXPECT_TRUE(panel.chkBox[0]->isVisibleTo(&panel));
    EXPECT_FALSE(panel.chkBox[0]->isEnabled());
    for (QWidget* widget : panel.findChildren<QWidget*>()) {
        if (widget != panel.chkBox[0]) {
            EXPECT_FALSE(widget->isVisibleTo(&panel)) << widget->objectName().toStdString();
        }
    }

    load(true, true);
    EXPECT_TRUE(panel.chkBox[0]->isEnabled());
    for (QWidget* widget : panel.findChildren<QWidget*>()) {
        if (widget != panel.lblOptions1[0] && widget != panel.lblOptions1[1]) {
            EXPECT_TRUE(widget->isVisibleTo(&panel)) << widget->objectName().toStdString();
        }
    }
}

TEST_F(OptionsPanelTest, LayoutFitsTheTabInThreeColumnsWithoutClipping) {
    // The widest texts each control can show.
    store({{"Sound Card", 6}, {"Joystick", 8}, {"Flip", 1}, {"Flicker", 200}, {"Gamma", -3}, {"AltDir", "/emu/roms/"}});
    load();
    const QSize limit(440, 520);
    EXPECT_LE(panel.minimumSizeHint().width(), limit.width());
    EXPECT_LE(panel.minimumSizeHint().height(), limit.height());
    showPanel();

    const QRect area = panel.rect();
    for (QWidget* widget : panel.findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget == panel.lblOption[0] || widget == panel.lblOption[1])
            continue;
        SCOPED_TRACE(widget->objectName().toStdString());
        EXPECT_TRUE(area.contains(widget->geometry()));
        const int least = widget->minimumWidth() > 0 ? widget->minimumWidth() : widget->minimumSizeHint().width();
        EXPECT_GE(widget->width(), least);
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width());
        }
    }

    const auto at = [this](const QString& name) { return control<QWidget>(name)->geometry(); };
    // Headings in a row at the top, Sound, Video, Options from the left.
    EXPECT_EQ(at("lblOptions_0").top(), at("lblOptions_2").top());
    EXPECT_EQ(at("lblOptions_2").top(), at("lblOptions_4").top());
    EXPECT_LT(at("lblOptions_0").right(), at("lblOptions_2").left());
    EXPECT_LT(at("lblOptions_2").right(), at("lblOptions_4").left());
    for (const int slide : {6, 1, 2, 3}) {
        const QRect label = at(QString("lblOptions1_%1").arg(5 + slide));
        const QRect slider = at(QString("sldSlide_%1").arg(slide));
        EXPECT_LT(label.right(), slider.left()) << "Video slider " << slide;
        EXPECT_TRUE(label.top() <= slider.center().y() && slider.center().y() <= label.bottom());
    }
    for (const int slide : {0, 4, 5}) {
        const QRect label = at(QString("lblOptions1_%1").arg(5 + slide));
        EXPECT_LE(label.bottom(), at(QString("sldSlide_%1").arg(slide)).top()) << "Options slider " << slide;
    }
    EXPECT_LT(at("txtOptions_0").right(), at("cmbOptions_2").left());
    EXPECT_LT(at("cmbOptions_0").right(), at("lblOption_0").left());
    EXPECT_LT(at("cmbOptions_1").right(), at("lblOption_1").left());
    EXPECT_LT(at("lblOptions_6").right(), at("txtOptions_1").left());
    for (QWidget* widget : panel.findChildren<QWidget*>()) {
        if (widget->isVisible() && widget != panel.chkBox[0]) {
            EXPECT_LT(widget->geometry().bottom(), at("chkBox_0").top()) << widget->objectName().toStdString();
        }
    }
}
