#include "CatalogueFixture.h"
#include "MainWindowParts.h"
#include "ScriptedDialogs.h"

#include "detail/OptionsPanel.h"
#include "detail/TodaysOptionsPage.h"
#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "mame/ClassicMame.h"
#include "mame/GameCommand.h"
#include "mame/MameConfig.h"
#include "mame/TodaysMame.h"
#include "mame/TodaysOptions.h"

#include <QComboBox>
#include <QLocale>
#include <QProcess>
#include <QScopeGuard>

#include <functional>
#include <optional>
#include <tuple>

using namespace zelvora;

namespace {

const auto classic = std::make_shared<const ClassicMame>();
const auto today = std::make_shared<const TodaysMame>("0.251");

// Every option field with a value other than 0 that differs from its neighbours'.
QVariantMap distinctValues(int seed) {
    QVariantMap values;
    int n = seed;
    for (const OptionSpec& option : OptionTable()) {
        if (option.control == OptionControl::CheckBox)
            values[option.field] = (option.index + seed) % 2;
        else if (option.control == OptionControl::ScrollBar || option.control == OptionControl::Slider)
            values[option.field] = 1 + n++ % option.max;
        else if (option.control != OptionControl::PlaybackChoice && option.control != OptionControl::Choice)
            values[option.field] = option.field + QString::number(seed);
    }
    return values;
}

class OptionsPanelTest : public ::testing::Test, public test::CatalogueFixture {
protected:
    OptionsPanelTest() {
        add("pacman", "Pac-Man");
        panel.SetMame(classic);
    }

    void load(bool shown = true, bool defaultBoxEnabled = true) {
        panel.LoadOptions(*GameStore(*vars.CatalogueDb).Options("pacman"), shown, defaultBoxEnabled);
    }
    void save() { ASSERT_TRUE(GameStore(*vars.CatalogueDb).SaveOptions("PACMAN", panel.Options())); }
    // The labels that follow the three scroll bars and the eight sliders.
    QStringList valueLabels() const {
        QStringList texts;
        for (int i = 2; i < static_cast<int>(panel.valueLabels.size()); ++i)
            texts << panel.valueLabels[i]->text();
        return texts;
    }

    test::ScriptedDialogs dialogs;
    int focusCalls = 0;
    OptionsPanel::Folders folders{"/emu/mame/", "/emu/roms/"};
    OptionsPanel panel{dialogs, [this] { return folders; }, [this] { ++focusCalls; }};
};

} // namespace

// Saving writes what the controls show into every option field; an empty record resets each
// control and its label.
TEST_F(OptionsPanelTest, LoadAndSaveRoundTripEveryOptionField) {
    QVariantMap expected = distinctValues(1);
    set("pacman", expected);
    set("pacman", {{"16 Bit Sound", -1}}); // True of older catalogues shows unchecked and is saved as 0
    expected["16 Bit Sound"] = 0;
    load();
    EXPECT_FALSE(panel.Changed()) << "loading is not a change";
    // Options today's MAME lacks are greyed out and still saved as they were.
    panel.SetMame(today);
    for (const OptionSpec& option : OptionTable()) {
        QWidget* control = option.control == OptionControl::CheckBox ? static_cast<QWidget*>(panel.checks[option.index])
                           : option.control == OptionControl::Slider ? panel.sliders[option.index]
                                                                     : nullptr;
        if (control) {
            EXPECT_EQ(control->isEnabled(), option.field == Field::Default || today->HasSwitch(option))
                << option.field.toStdString();
        }
    }
    EXPECT_FALSE(panel.checks[1]->toolTip().isEmpty());
    set("pacman", distinctValues(2)); // by another writer, behind the panel
    save();
    // A DOS sound card is sound to today's MAME, as 0 is; a DOS joystick is its joystick on.
    expected["Sound Card"] = 0;
    expected["Joystick"] = 1;
    for (const auto& [field, value] : expected.asKeyValueRange())
        EXPECT_EQ(rs().Value(field).toString(), value.toString()) << field.toStdString();
    panel.SetMame(classic);
    EXPECT_TRUE(panel.checks[1]->isEnabled() && panel.sliders[1]->isEnabled());

    for (QVariant& value : expected)
        value = QVariant();
    set("pacman", expected);
    load();
    EXPECT_EQ(valueLabels(), QStringList({"Silence", "Automatic", "No Joystick", "Gamma Correction = 1.2",
                                          "VGA Freq = 0", "No Rotation", "No Flip", "Vector Width = 0.0",
                                          "Vector Flicker = 0.0", "Frame Skip = 0", "Sample Rate = 22050"}));
    for (QCheckBox* box : panel.checks)
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_TRUE(panel.playbackButtons[0]->isChecked());
    EXPECT_TRUE(panel.browsedLabels[1]->text().isEmpty());
}

// A stored value no control holds loads as the nearest it does, label included; a playback choice
// other than 1 or 2 is "None", and the stored playback file still loads.
TEST_F(OptionsPanelTest, ValuesTheControlsCannotHoldLoadAsTheNearestTheyCan) {
    const std::tuple<const char*, int, int> cases[] = {
        {"Resolution", 7, 6}, {"Gamma", 99, 12}, {"Sample Rate", 22050, 1}, {"Beam", -5, 0}, {"Joystick", -1, 0}};
    for (const auto& [field, stored, clamped] : cases)
        set("pacman", {{field, stored}});
    load();
    EXPECT_EQ(valueLabels()[7], QString("Vector Width = 0.0"));
    EXPECT_EQ(valueLabels()[10], QString("Sample Rate = 44100"));
    save();
    for (const auto& [field, stored, clamped] : cases)
        EXPECT_EQ(rs().Value(field).toInt(), clamped) << field;

    const std::pair<QVariant, int> playback[] = {{QVariant(), 0}, {2, 2}, {1, 1}, {0, 0}, {7, 0}, {-1, 0}};
    for (const auto& [playOpt, selected] : playback) {
        SCOPED_TRACE(playOpt.toString().toStdString());
        set("pacman", {{"PlayOpt", playOpt}, {"Playback", "galaga"}});
        load();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(panel.playbackButtons[i]->isChecked(), i == selected) << i;
        EXPECT_EQ(panel.texts[0]->text(), QString("galaga"));
        save();
        EXPECT_EQ(rs().Value("PlayOpt").toInt(), selected);
        EXPECT_EQ(rs().Value("Playback").toString(), QString("galaga"));
    }
}

// Which changes raise the flag and give the focus back to the game list; the browse buttons fill
// in their part of the chosen file, and a cancelled chooser empties it.
TEST_F(OptionsPanelTest, EveryControlRaisesTheFlagAndGivesBackTheFocusAsItShould) {
    load();
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    const auto reset = [&] {
        panel.DropPendingEdits();
        focusCalls = 0;
    };
    QList<bool> pendingWhenToggled;
    QObject::connect(&panel, &OptionsPanel::defaultToggledByMouse, [&] { pendingWhenToggled << panel.Changed(); });
    QScrollBar* scroll = panel.scrolls[0];
    const QPoint rightArrow(scroll->width() - 3, scroll->height() / 2);
    const std::tuple<const char*, std::function<void()>, bool, int> cases[] = {
        {"typing", [&] { QTest::keyClicks(panel.texts[1], "-nosound"); }, true, 0},
        {"slider set", [&] { panel.sliders[4]->setValue(3); }, true, 0},
        {"slider clicked", [&] { QTest::mouseClick(panel.sliders[4], Qt::LeftButton); }, true, 1},
        {"scroll bar clicked", [&] { QTest::mouseClick(scroll, Qt::LeftButton, {}, rightArrow); }, true, 1},
        {"scroll bar set", [&] { panel.scrolls[2]->setValue(4); }, true, 1},
        {"box clicked", [&] { test::clickBox(panel.checks[12]); }, true, 1},
        {"box by the keyboard", [&] { QTest::keyClick(panel.checks[5], Qt::Key_Space); }, false, 0},
        {"Default clicked", [&] { test::clickBox(panel.checks[0]); }, true, 1},
        {"Default by the keyboard", [&] { QTest::keyClick(panel.checks[0], Qt::Key_Space); }, false, 0},
        {"playback chosen", [&] { test::clickBox(panel.playbackButtons[2]); }, true, 1},
    };
    panel.texts[0]->setText("pacman");
    for (const auto& [what, act, changes, focus] : cases) {
        reset();
        act();
        EXPECT_EQ(panel.Changed(), changes) << what;
        EXPECT_EQ(focusCalls, focus) << what;
    }
    // A click on a scroll bar must not take the keyboard from the game list either.
    EXPECT_EQ(scroll->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(panel.checks[5]->isChecked()) << "the key still toggles the box";
    EXPECT_EQ(pendingWhenToggled, QList<bool>{true});
    EXPECT_EQ(panel.texts[0]->text(), QString("pacman"));
    test::clickBox(panel.playbackButtons[0]);
    EXPECT_TRUE(panel.texts[0]->text().isEmpty()) << "no playback, no playback file";

    // Which button, the file or folder chosen, what its field or label then shows.
    const std::tuple<int, const char*, const char*> browsed[] = {
        {0, "/emu/mame/mame2", "mame2"}, {1, "/emu/roms2", "/emu/roms2/"},          {2, "/inp/a.b.inp", "a"},
        {2, "/inp/noextension", ""},     {0, "/usr/games/mame", "/usr/games/mame"}, {0, "", ""},
    };
    QWidget* const shows[] = {panel.browsedLabels[0], panel.browsedLabels[1], panel.texts[0]};
    for (const auto& [button, file, text] : browsed) {
        dialogs.folders = dialogs.files = {file};
        reset();
        QTest::mouseClick(panel.optionButtons[button], Qt::LeftButton);
        EXPECT_EQ(shows[button]->property("text").toString(), QString(text)) << file;
        EXPECT_TRUE(panel.Changed());
        EXPECT_EQ(focusCalls, 1);
    }
    EXPECT_EQ(dialogs.filtersAsked.mid(0, 2), QStringList({"MAME Executable|*", "Playback File|*.inp"}));
    EXPECT_EQ(dialogs.directoriesAsked.mid(0, 2), QStringList({"/emu/mame/", "/emu/roms/"}));
}

// A game on the default set shows only the default box; each MAME's page shows alone.
TEST_F(OptionsPanelTest, AGameOnTheDefaultSetShowsOnlyTheDefaultBox) {
    for (const auto& [mame, otherPage] :
         {std::pair<std::shared_ptr<const Mame>, QWidget*>{today, panel.classicPage}, {classic, panel.todaysPage}}) {
        panel.SetMame(mame);
        for (const bool shown : {false, true}) {
            load(shown, shown);
            EXPECT_EQ(panel.checks[0]->isEnabled(), shown);
            for (QWidget* widget : panel.findChildren<QWidget*>()) {
                if (widget->window() != &panel)
                    continue; // a drop-down's list
                const bool unused = widget == panel.valueLabels[0] || widget == panel.valueLabels[1] ||
                                    widget == otherPage || otherPage->isAncestorOf(widget);
                EXPECT_EQ(widget->isVisibleTo(&panel), widget == panel.checks[0] || (shown && !unused))
                    << widget->objectName().toStdString();
            }
        }
    }
}

// Today's page shows the game's values as today's MAME reads them and writes what it shows, the
// sample rates the classic page knows into its field; its first entries say what MAME does by
// itself, asked of MAME once the page is shown.
TEST_F(OptionsPanelTest, TodaysPageShowsWhatTheGameHoldsAndWhatMameDoesByItself) {
    test::WriteScript(program.file("mame"),
                      "#!/bin/sh\n[ \"$1\" = -showconfig ] && printf 'window 1\\nsound none\\n'\n");
    folders.mame = program.path() + "/";
    set("pacman", {{"Joystick", 5}, {"Cheats", -1}, {"Sample Rate", -1}, {"Debugger", 1}});
    ASSERT_TRUE(GameStore(*vars.CatalogueDb).SaveOptions("pacman", GameOptions({{"Window", 0}, {"Volume", -7}})));
    panel.SetMame(today);
    load();
    const std::vector<QComboBox*>& choices = panel.todaysPage->choices;
    QStringList shown;
    for (const int i : {0, 9, 10, 11, 12})
        shown << choices[i]->currentText();
    EXPECT_EQ(shown, QStringList({"Full Screen", "-7 dB", "11025", "On", "Off"}));
    EXPECT_TRUE(panel.todaysPage->debugger->isChecked());
    focusCalls = 0;
    choices[10]->setCurrentIndex(4);
    Q_EMIT choices[10]->activated(4);
    EXPECT_TRUE(panel.Changed());
    EXPECT_EQ(focusCalls, 1);
    save();
    const GameOptions saved = *GameStore(*vars.CatalogueDb).Options("pacman");
    for (const auto& [field, value] : std::initializer_list<std::pair<const char*, QVariant>>{
             {"Sample Rate", 0}, {"Sample Rate Hz", 48000}, {"Joystick", 1}, {"Cheats", -1}, {"Window", 0}})
        EXPECT_EQ(saved.Value(field).toInt(), value.toInt()) << field;

    EXPECT_EQ(choices[0]->itemText(0), QString("MAME's default"));
    panel.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return choices[0]->itemText(0) == "MAME's default (Window)"; }, 10000));
    EXPECT_EQ(choices[8]->itemText(0), QString("MAME's default (Off)"));
}

// Every entry of today's page means to today's MAME what it says: its -showconfig after the
// game's switches holds the settings the entry stands for, and MAME refuses none of them. The
// first entries pass nothing.
TEST_F(OptionsPanelTest, TodaysMameRunsWithWhatTheTabShows) {
    if (!test::MameInstalled())
        GTEST_SKIP() << "needs today's MAME in " << test::InstalledMame.toStdString() << " (apt-get install mame)";
    // MAME's own settings, not those of a mame.ini in the user's home.
    const auto restoreHome = qScopeGuard([home = qgetenv("HOME")] { qputenv("HOME", home); });
    qputenv("HOME", program.path().toUtf8());
    panel.SetMame(today);
    load();
    EXPECT_EQ(BuildCommandLine(panel.Options(), *today, {}), QString());
    const std::vector<TodaysOption>& options = TodaysOptions();
    // Each drop-down at its 1st, 2nd, ... entry, round again where it has fewer, then at its last.
    for (int step = 1; step <= 5; ++step) {
        QStringList settings;
        for (size_t i = 0; i < options.size(); ++i) {
            const int count = static_cast<int>(options[i].choices.size()) - 1;
            const int chosen = step == 5 ? count : (step - 1) % count + 1;
            panel.todaysPage->choices[i]->setCurrentIndex(chosen);
            settings << options[i].choices[static_cast<size_t>(chosen)].settings;
        }
        panel.todaysPage->noRotation->setChecked(step % 2 == 1);
        settings << QString("rotate=%1").arg(step % 2 == 1 ? 0 : 1);
        QProcess mame;
        mame.start("/bin/sh", {"-c", ShellQuote(MameExecutable(test::InstalledMame)) + " " +
                                         BuildCommandLine(panel.Options(), *today, {}) + " -showconfig"});
        ASSERT_TRUE(mame.waitForFinished(60000));
        EXPECT_EQ(MameMessages(mame.readAllStandardError()), QString()) << step;
        const MameConfig config = MameConfig::Parse(mame.readAllStandardOutput());
        for (const QString& setting : settings)
            EXPECT_EQ(config.Value(setting.section('=', 0, 0)), setting.section('=', 1))
                << step << " " << setting.toStdString();
    }
}

// A value with no text gives nothing, not an empty text; gamma prints its own tenth in any locale;
// one decimal rounds halves away from zero and never shows "-0.0".
TEST(OptionTable, ValueTextsPrintWhatTheyStandFor) {
    using enum OptionControl;
    for (const auto& [control, index, value] :
         {std::tuple{ScrollBar, 0, 8}, {ScrollBar, 0, -1}, {Slider, 2, 3}, {Slider, 7, 2}, {Slider, 7, -2}})
        EXPECT_EQ(OptionValueText(FindOption(control, index)->valueText, value), std::nullopt) << index << " " << value;
    EXPECT_EQ(OptionValueText(FindOption(Slider, 1)->valueText, -1), "VGA Freq =-1");

    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (int value = -12; value <= 12; ++value)
        EXPECT_EQ(OptionValueText(FindOption(Slider, 0)->valueText, value),
                  QString("Gamma Correction = %1.%2").arg((value + 12) / 10).arg((value + 12) % 10));
    QLocale::setDefault(before);

    const std::pair<double, const char*> cases[] = {
        {0.0, "0.0"},  {-0.0, "0.0"}, {-1e-16, "0.0"}, {-0.04, "0.0"},   {0.25, "0.3"},   {-0.25, "-0.3"},
        {0.15, "0.2"}, {1.45, "1.5"}, {-0.05, "-0.1"}, {99.96, "100.0"}, {-3.14, "-3.1"}, {12345.67, "12345.7"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(OneDecimal(value), QString(text)) << value;
}
