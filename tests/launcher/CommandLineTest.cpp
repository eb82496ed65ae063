#include "CatalogueGenerator.h"
#include "TestDirs.h"

#include "launcher/CommandLine.h"
#include "store/Catalogue.h"
#include "store/Variables.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace zelvora;

namespace {

using Fields = std::vector<std::pair<QString, QVariant>>;

const char* const Numbers[] = {"Default", "PlayOpt", "Sound Card", "Resolution", "Joystick",   "Gamma",      "VGA Freq",
                               "Rotate",  "Flip",    "Beam",       "Flicker",    "Frame Skip", "Sample Rate"};
const char* const CheckBoxes[] = {"16 Bit Sound", "YM2203",         "YM3812",      "No Scanlines",
                                  "VESA Modes",   "Pixel Doubling", "8 Bit Color", "Synch Video",
                                  "Always Synch", "No Rotation",    "No Mouse",    "Cheats",
                                  "Antialias",    "Debugger",       "No Trans",    "No Stereo"};

Fields allChecks(int value) {
    Fields fields;
    for (const char* name : CheckBoxes)
        fields.emplace_back(QString::fromLatin1(name), value);
    return fields;
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        game = test::MakeCatalogue(dir.path(), 3)[1].rom;
        vars.ProgramDir = dir.path();
        vars.Fields.InitFieldNames();
        PrepareCatalogue(vars);
    }

    Recordset& rs() { return *vars.RomsRecordset; }

    void set(const QString& rom, const Fields& fields, bool zeroFirst) {
        ASSERT_TRUE(rs().FindFirst(QStringLiteral("Rom"), rom));
        rs().Edit();
        if (zeroFirst) {
            for (const char* name : Numbers)
                rs().SetValue(QString::fromLatin1(name), 0);
            for (const char* name : CheckBoxes)
                rs().SetValue(QString::fromLatin1(name), 0);
            for (const char* name : {"AltDir", "Playback", "Additional"})
                rs().SetValue(QString::fromLatin1(name), QString());
        }
        for (const auto& [name, value] : fields)
            rs().SetValue(name, value);
        rs().Update();
    }

    // The game's options all at 0 and its texts empty, then `fields`; built from its record.
    QString build(const Fields& fields) {
        set(game, fields, true);
        rs().FindFirst(QStringLiteral("Rom"), game);
        return BuildCommandLine(rs());
    }

    test::TempProgramDir dir;
    Variables vars;
    QString game;
};

} // namespace

TEST(NumberTextTest, WritesTheInvariantShortForm) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // a decimal comma must not leak in
    const std::pair<double, const char*> cases[] = {
        {1, " 1"},
        {0.5, " .5"},
        {0.25, " .25"},
        {1.25, " 1.25"},
        {2, " 2"},
        {-1, "-1"},
        {-0.5, "-.5"},
        {0, " 0"},
        {-0.0, " 0"},
        {100, " 100"},
        {-7 / 10.0 + 1.2, " .5"},
        {1 / 3.0, " .333333333333333"},
        {-2 / 3.0, "-.666666666666667"},
        {123456.75, " 123456.75"},
        {1e15, " 1E+15"},
        {1e-5, " 1E-05"},
    };
    for (const auto& [x, expected] : cases)
        EXPECT_EQ(NumberText(x), QString::fromLatin1(expected)) << x;
    QLocale::setDefault(previous);
}

TEST_F(CommandLineTest, SwitchesFollowTheFieldsInTheirFixedOrder) {
    struct Case {
        const char* what;
        Fields fields;
        const char* expected;
    };
    const QVariant null;
    const std::vector<Case> cases = {
        {"example",
         {{"Sound Card", 1},
          {"Resolution", 4},
          {"Pixel Doubling", 1},
          {"Gamma", 3},
          {"Frame Skip", 1},
          {"Sample Rate", -1}},
         "-soundcard 1 -640x480 -double -gamma 1.5 -frameskip 1 -sr 11025 "},
        {"example with additional text",
         {{"Sound Card", 1},
          {"Resolution", 4},
          {"Pixel Doubling", 1},
          {"Gamma", 3},
          {"Frame Skip", 1},
          {"Sample Rate", -1},
          {"Additional", "-nosound "}},
         "-soundcard 1 -640x480 -double -gamma 1.5 -frameskip 1 -sr 11025 -nosound"},
        {"all zero", {}, "-soundcard 0 "},
        {"additional only blanks", {{"Additional", "   "}}, "-soundcard 0"},
        {"additional taken as stored", {{"Additional", "-cfg \"a b\";x"}}, "-soundcard 0 -cfg \"a b\";x"},
        {"out-of-range choices", {{"Resolution", 7}, {"Rotate", 3}, {"Flip", 3}}, "-soundcard 0 "},
        {"sample rate 1", {{"Sample Rate", 1}}, "-soundcard 0 -sr 44100 "},
        {"sample rate 2", {{"Sample Rate", 2}}, "-soundcard 0 -sr 44100 "},
        {"altdir blanks", {{"AltDir", "    "}}, "-soundcard 0 "},
        {"altdir trimmed", {{"AltDir", "  /roms2/ "}}, "-romdir /roms2/ -soundcard 0 "},
        {"altdir quoted", {{"AltDir", " My MAME's \"best\" "}}, "-romdir 'My MAME'\\''s \"best\"' -soundcard 0 "},
        {"playback before romdir",
         {{"PlayOpt", 1}, {"Playback", "  game.inp"}, {"AltDir", "/roms2/"}},
         "-playback game.inp -romdir /roms2/ -soundcard 0 "},
        {"record quoted", {{"PlayOpt", 2}, {"Playback", "my game.inp"}}, "-record 'my game.inp' -soundcard 0 "},
        {"playopt other", {{"PlayOpt", 3}, {"Playback", "game.inp"}}, "-soundcard 0 "},
        {"playback blank", {{"PlayOpt", 1}, {"Playback", "  "}}, "-soundcard 0 "},
        {"divisions", {{"Gamma", -7}, {"Beam", 1}, {"Flicker", 1}}, "-soundcard 0 -gamma .5 -beam .25 -flicker .5 "},
        {"divisions to whole numbers", {{"Gamma", 8}, {"Beam", 5}}, "-soundcard 0 -gamma 2 -beam 1.25 "},
        {"negative value follows the switch", {{"VGA Freq", -1}, {"Joystick", 2}}, "-soundcard 0 -joy 2 -vgafreq-1 "},
        {"check boxes set", allChecks(1),
         "-soundcard 0 -sb 16 -ym2203opl -noym3812opl -noscanlines -vesa -double -depth 8 -vsync -alwayssynced "
         "-norotate -nomouse -cheat -noantialias -debug -notranslucency -nostereo "},
        {"check boxes at True are not set", allChecks(-1), "-soundcard 0 "},
        {"everything, in order",
         {{"PlayOpt", 2},
          {"Playback", "x.inp"},
          {"AltDir", "/r/"},
          {"Sound Card", 2},
          {"Resolution", 6},
          {"Joystick", 3},
          {"No Stereo", 1},
          {"16 Bit Sound", 1},
          {"Gamma", 8},
          {"VGA Freq", 60},
          {"Rotate", 2},
          {"Flip", 1},
          {"Beam", 5},
          {"Flicker", 3},
          {"Frame Skip", 2},
          {"Sample Rate", 2},
          {"Additional", " -nosound "}}, // only the ends are trimmed
         "-record x.inp -romdir /r/ -soundcard 2 -1024x768 -joy 3 -sb 16 -nostereo -gamma 2 -vgafreq 60 -rol -flipx "
         "-beam 1.25 -flicker 1.5 -frameskip 2 -sr 44100  -nosound"},
        {"rotate 1 flip 2", {{"Rotate", 1}, {"Flip", 2}}, "-soundcard 0 -ror -flipy "},
        {"nulls give no switch",
         {{"Sound Card", null},
          {"Gamma", null},
          {"Sample Rate", null},
          {"Cheats", null},
          {"Resolution", null},
          {"PlayOpt", 1},
          {"Playback", null},
          {"AltDir", null},
          {"Additional", null}},
         ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(build(c.fields), QString::fromUtf8(c.expected)) << c.what;

    const char* const resolutions[] = {"-320x240 ", "-400x300 ", "-512x384 ", "-640x480 ", "-800x600 ", "-1024x768 "};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(build({{"Resolution", i + 1}}), QStringLiteral("-soundcard 0 ") + QLatin1String(resolutions[i]));
}

TEST_F(CommandLineTest, DefaultOneReadsTheDefaultRecordAndStaysOnIt) {
    set(DefaultRom, {{"Sound Card", 1}, {"Resolution", 4}, {"Frame Skip", 1}, {"AltDir", "/shared/"}}, true);
    set(DefaultRom, {{"Default", 1}}, false);

    EXPECT_EQ(build({{"Default", 1}, {"Sound Card", 3}, {"Cheats", 1}, {"Additional", "-x"}}),
              "-romdir /shared/ -soundcard 1 -640x480 -frameskip 1 ");
    EXPECT_EQ(rs().Value("Rom").toString(), DefaultRom);

    // Only 1 selects the default set; the game's own record stays current otherwise.
    for (int notDefault : {0, -1}) {
        EXPECT_EQ(build({{"Default", notDefault}, {"Sound Card", 3}, {"Cheats", 1}}), "-soundcard 3 -cheat ");
        EXPECT_EQ(rs().Value("Rom").toString(), game);
    }
}
