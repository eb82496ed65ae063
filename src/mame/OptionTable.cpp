#include "mame/OptionTable.h"

#include "store/FieldNames.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zelvora {

namespace {

using Control = OptionControl;
using Text = ValueText::Form;
using Switch = SwitchRule::Form;

// `today` nullptr: today's MAME has no such switch.
OptionSpec checkBox(int index, const QString& field, const char* caption, const char* flag, const char* today) {
    return {field,
            Control::CheckBox,
            index,
            caption,
            0,
            1,
            {},
            {Switch::Flag, flag},
            today ? SwitchRule{Switch::Flag, today} : SwitchRule{}};
}

OptionSpec scrollBar(int index, const QString& field, int max, std::vector<const char*> names, SwitchRule classic,
                     SwitchRule today, std::optional<OptionSpec::Look> todayLook = std::nullopt) {
    OptionSpec option{
        field, Control::ScrollBar, index, nullptr, 0, max, {Text::Names, "", 1, 0, std::move(names)}, classic, today};
    option.todayLook = std::move(todayLook);
    return option;
}

// Where today's MAME takes the same switch, `today` is left out; where its control reads the
// same, `todayLook`.
OptionSpec slider(int index, const QString& field, int min, int max, ValueText text, const SwitchRule& classic,
                  std::optional<SwitchRule> today = std::nullopt,
                  std::optional<OptionSpec::Look> todayLook = std::nullopt) {
    OptionSpec option{field,   Control::Slider,        index, nullptr, min, max, std::move(text),
                      classic, today.value_or(classic)};
    option.todayLook = std::move(todayLook);
    return option;
}

// A setting of today's MAME alone, stored beside the record; a null value passes no switch.
OptionSpec setting(int index, const QString& field, const SwitchRule& today, const OptionSpec::Look& look) {
    OptionSpec option{field, Control::Choice, index, nullptr, 0, 0, {}, {}, today};
    option.todayLook = look;
    return option;
}

// An on-and-off setting of today's MAME: 1 passes `-name`, 0 `-noname`.
OptionSpec onOff(int index, const QString& field, const char* off, const char* on) {
    return setting(index, field, {Switch::Choice, "", 1, 0, {off, on}}, {0, 1});
}

// "-volume -32" to "-volume 0": the switch and its number apart, which a number rule cannot write.
const std::vector<const char*>& volumeSwitches() {
    static const std::vector<QByteArray> texts = [] {
        std::vector<QByteArray> all;
        for (int db = -32; db <= 0; ++db)
            all.push_back("-volume " + QByteArray::number(db));
        return all;
    }();
    static const std::vector<const char*> switches = [] {
        std::vector<const char*> all;
        for (const QByteArray& text : texts)
            all.push_back(text.constData());
        return all;
    }();
    return switches;
}

std::vector<OptionSpec> makeTable() {
    const std::vector<const char*> rotations{"No Rotation", "Rotate Right", "Rotate Left"};
    const std::vector<const char*> flips{"No Flip", "Flip Horizontally", "Flip Vertically"};
    // The classic list names the fourth mode after a size it never passed.
    const std::vector<const char*> todaysModes{"Automatic", "320 x 240", "400 x 300", "512 x 384",
                                               "640 x 480", "800 x 600", "1024 x 768"};
    // Today's MAME plays sound, reads the joystick, runs at 48000 samples per second, at gamma 1.0
    // and with a vector beam 1.0 wide unless told otherwise (-showconfig of a MAME without settings
    // of its own). A value of 0 gives it no switch, so the label at 0 says what MAME does then.
    using Look = OptionSpec::Look;
    const Look todaysSound{-1, 0, {Text::Names, "", 1, 0, {"Silence", "Sound On"}, -1}};
    // Any of the classic joysticks is a joystick to today's MAME.
    const Look todaysJoystick{-1, 1, {Text::Names, "", 1, 0, {"No Joystick", "Joystick On", "Joystick On"}, -1}};
    // MAME refuses a gamma outside 0.1 to 3.0; its own 1.0 stands at 0.
    const Look todaysGamma{-9, 12, {Text::OneDecimal, "Gamma Correction = ", 10, 1.0}};
    const Look todaysBeam{0, 64, {Text::OneDecimal, "Vector Width = ", 4, 0, {}, 0, "Vector Width = 1.0"}};
    const Look todaysRates{
        -1, 1, {Text::Names, "", 1, 0, {"Sample Rate = 11025", "Sample Rate = 48000", "Sample Rate = 44100"}, -1}};
    return {
        // These three say how the game starts rather than what MAME is told.
        {Field::Default, Control::CheckBox, 0, "Use Default Options"},
        {Field::PlayOpt, Control::PlaybackChoice, 0},
        {Field::AltExec, Control::Browsed, 0},
        {Field::Playback, Control::TextBox, 0, nullptr, 0, 0, {}, {Switch::Recording}, {Switch::Recording, ".inp"}},
        // Today's MAME looks in every folder of one list, so the game's own comes first and the
        // user's ROM folder after it.
        {Field::AltDir,
         Control::Browsed,
         1,
         nullptr,
         0,
         0,
         {},
         {Switch::Folder, "-romdir"},
         {Switch::RomPath, "-rompath"}},
        scrollBar(0, Field::SoundCard, 7,
                  {"Silence", "Sound Blaster", "Sound Blaster AWE32", "Pro Audio Spectrum", "Ultrasound Max",
                   "Ultrasound", "Windows Sound System", "Ensoniq Soundscape"},
                  {Switch::AlwaysNumber, "-soundcard"},
                  // The DOS cards mean nothing to today's MAME: sound is on or off. Off is a value
                  // of its own below them, as 0 is what a record without options holds.
                  {Switch::Choice, "", 1, 0, {"-sound none"}, -1}, todaysSound),
        scrollBar(
            1, Field::Resolution, 6,
            {"Automatic", "320 x 240", "400 x 300", "512 x 384", "640 x 400", "800 x 600", "1024 x 768"},
            {Switch::Choice, "", 1, 0, {"-320x240", "-400x300", "-512x384", "-640x480", "-800x600", "-1024x768"}, 1},
            {Switch::Choice,
             "",
             1,
             0,
             {"-resolution 320x240", "-resolution 400x300", "-resolution 512x384", "-resolution 640x480",
              "-resolution 800x600", "-resolution 1024x768"},
             1},
            Look{0, 6, {Text::Names, "", 1, 0, todaysModes}}),
        scrollBar(2, Field::Joystick, 9,
                  {"No Joystick", "2 Button Joystick", "Dual Joysticks", "4 Button Joystick", "6 Button Joystick",
                   "8 Button Joystick", "CH Flightstick Pro", "Logitech Wingman", "Microsoft Sidewinder",
                   "Gravis GamePad Pro"},
                  {Switch::Number, "-joy"}, {Switch::Choice, "", 1, 0, {"-nojoystick", nullptr, "-joystick"}, -1},
                  todaysJoystick),
        checkBox(1, Field::SixteenBitSound, "16 Sample Bits", "-sb 16", nullptr),
        checkBox(2, Field::Ym2203, "Use SB OPL YM2203", "-ym2203opl", nullptr),
        checkBox(3, Field::Ym3812, "No SB OPL YM3812", "-noym3812opl", nullptr),
        checkBox(4, Field::NoScanlines, "No Scanlines", "-noscanlines", nullptr),
        checkBox(5, Field::VesaModes, "Use VESA Modes", "-vesa", nullptr),
        checkBox(6, Field::PixelDoubling, "Pixel Doubling", "-double", nullptr),
        checkBox(7, Field::EightBitColor, "8 Bit Color Depth", "-depth 8", nullptr),
        checkBox(8, Field::SynchVideo, "Synchronize Video", "-vsync", "-waitvsync"),
        checkBox(9, Field::AlwaysSynch, "Always Synchronized", "-alwayssynced", "-syncrefresh"),
        checkBox(10, Field::NoRotation, "No Rotation", "-norotate", "-norotate"),
        checkBox(11, Field::NoMouse, "Disable Mouse", "-nomouse", "-nomouse"),
        // -1, which the classic box shows unticked, tells today's MAME no cheats whatever its own
        // settings say; 0 leaves them to it.
        [] {
            OptionSpec cheats = checkBox(12, Field::Cheats, "Enable Cheats", "-cheat", nullptr);
            cheats.today = {Switch::Choice, "", 1, 0, {"-nocheat", nullptr, "-cheat"}, -1};
            cheats.todayLook = Look{-1, 1};
            return cheats;
        }(),
        checkBox(13, Field::Antialias, "Disable Antialias", "-noantialias", nullptr),
        checkBox(14, Field::Debugger, "Enable Debugger", "-debug", "-debug"),
        checkBox(15, Field::NoTrans, "Disable Translucency", "-notranslucency", nullptr),
        checkBox(16, Field::NoStereo, "No Stereo", "-nostereo", nullptr),
        slider(0, Field::Gamma, -12, 12, {Text::OneDecimal, "Gamma Correction = ", 10, 1.2},
               {Switch::Number, "-gamma", 10, 1.2}, SwitchRule{Switch::Number, "-gamma", 10, 1.0}, todaysGamma),
        slider(1, Field::VgaFreq, 0, 3, {Text::Signed, "VGA Freq ="}, {Switch::Number, "-vgafreq"}, SwitchRule{}),
        slider(2, Field::Rotate, 0, 2, {Text::Names, "", 1, 0, rotations},
               {Switch::Choice, "", 1, 0, {"-ror", "-rol"}, 1}),
        slider(3, Field::Flip, 0, 2, {Text::Names, "", 1, 0, flips},
               {Switch::Choice, "", 1, 0, {"-flipx", "-flipy"}, 1}),
        slider(4, Field::Beam, 0, 64, {Text::OneDecimal, "Vector Width = ", 4}, {Switch::Number, "-beam", 4},
               SwitchRule{Switch::Number, "-beam_width_min", 4, 0, {}, 0, nullptr, "-beam_width_max"}, todaysBeam),
        slider(5, Field::Flicker, 0, 200, {Text::OneDecimal, "Vector Flicker = ", 2}, {Switch::Number, "-flicker", 2}),
        slider(6, Field::FrameSkip, 0, 3, {Text::Whole, "Frame Skip = "}, {Switch::Number, "-frameskip"}, std::nullopt,
               Look{0, 10, {Text::Whole, "Frame Skip = "}}),
        // Stored as -1, 0 and 1; any other rate but 0 asks for the highest.
        slider(7, Field::SampleRate, -1, 1,
               {Text::Names, "", 1, 0, {"Sample Rate = 11025", "Sample Rate = 22050", "Sample Rate = 44100"}, -1},
               {Switch::Choice, "", 1, 0, {"-sr 11025", nullptr}, -1, "-sr 44100"},
               SwitchRule{Switch::Choice, "", 1, 0, {"-samplerate 11025", nullptr}, -1, "-samplerate 44100"},
               todaysRates),
        onOff(0, Setting::Window, "-nowindow", "-window"),
        setting(1, Setting::Video, {Switch::Folder, "-video"}, {}),
        onOff(2, Setting::KeepAspect, "-nokeepaspect", "-keepaspect"),
        onOff(3, Setting::Filter, "-nofilter", "-filter"),
        onOff(4, Setting::AutoFrameSkip, "-noautoframeskip", "-autoframeskip"),
        setting(5, Setting::Volume, {Switch::Choice, "", 1, 0, volumeSwitches(), -32}, {-32, 0}),
        // After the rate of the field Sample Rate: of two, MAME takes the later.
        setting(6, Setting::SampleRateHz, {Switch::AlwaysNumber, "-samplerate"}, {1000, 192000}),
        onOff(7, Setting::AutoSave, "-noautosave", "-autosave"),
        onOff(8, Setting::SkipGameInfo, "-noskip_gameinfo", "-skip_gameinfo"),
        {Field::Additional, Control::TextBox, 1, nullptr, 0, 0, {}, {Switch::UserText}, {Switch::UserText}},
    };
}

const char* listed(const std::vector<const char*>& list, int first, int value) {
    const long long at = static_cast<long long>(value) - first;
    if (at < 0 || at >= static_cast<long long>(list.size()))
        return nullptr;
    return list[static_cast<size_t>(at)];
}

} // namespace

const std::vector<OptionSpec>& OptionTable() {
    static const std::vector<OptionSpec> table = makeTable();
    return table;
}

const OptionSpec* FindOption(OptionControl control, int index) {
    for (const OptionSpec& option : OptionTable()) {
        if (option.control == control && option.index == index)
            return &option;
    }
    return nullptr;
}

const OptionSpec* FindOption(const QString& field) {
    for (const OptionSpec& option : OptionTable()) {
        if (option.field == field)
            return &option;
    }
    return nullptr;
}

int LowestOfAnyMame(const OptionSpec& option) {
    return option.todayLook ? std::min(option.min, option.todayLook->min) : option.min;
}

bool AnyMameHasSwitch(const OptionSpec& option) {
    return option.classic.form != SwitchRule::Form::None || option.today.form != SwitchRule::Form::None;
}

std::optional<QString> OptionValueText(const ValueText& text, int value) {
    if (value == 0 && text.zero)
        return QLatin1String(text.zero);
    const QString prefix = QLatin1String(text.prefix);
    switch (text.form) {
    case Text::Names:
        if (const char* name = listed(text.names, text.first, value))
            return prefix + QLatin1String(name);
        return std::nullopt;
    case Text::OneDecimal:
        return prefix + OneDecimal(value / text.divisor + text.offset);
    case Text::Signed:
        return prefix + (value >= 0 ? QStringLiteral(" ") : QString()) + QString::number(value);
    case Text::Whole:
        return prefix + QString::number(value);
    case Text::None:
        break;
    }
    return std::nullopt;
}

QString OneDecimal(double value) {
    if (!std::isfinite(value) || std::abs(value) >= 1e15)
        return QString::number(value, 'f', 1);
    // Tenths are counted as an integer, so the sign comes from the rounded count: a value that
    // rounds to zero prints "0.0" however small a negative it was. The count is first snapped to a
    // millionth, because a product such as 0.15 * 10 lands a hair below the half it stands for and
    // would otherwise round down.
    const double tenths = std::round(value * 10.0 * 1e6) / 1e6;
    const long long count = std::llround(tenths);
    const long long magnitude = count < 0 ? -count : count;
    QString text = count < 0 ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / 10) + QLatin1Char('.') + QString::number(magnitude % 10);
    return text;
}

} // namespace zelvora
