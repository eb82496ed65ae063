#include "mame/TodaysOptions.h"

#include "mame/Mame.h"
#include "mame/MameConfig.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/GameOptions.h"

#include <QSet>

namespace zelvora {

namespace {

// "On" and "Off" of a setting MAME prints as 1 and 0, stored as 1 and 0 beside the record.
TodaysOption onOff(const char* caption, const QString& field, const QString& setting) {
    return {QLatin1String(caption),
            {{{}, {{field, QVariant()}}},
             {QStringLiteral("On"), {{field, 1}}, {setting + QStringLiteral("=1")}},
             {QStringLiteral("Off"), {{field, 0}}, {setting + QStringLiteral("=0")}}}};
}

// The same for a field of ROMS, where 0 is what a record without options holds: on is 1, off -1.
TodaysOption onOffField(const char* caption, const QString& field, const QString& setting) {
    return {QLatin1String(caption),
            {{{}, {{field, 0}}},
             {QStringLiteral("On"), {{field, 1}}, {setting + QStringLiteral("=1")}},
             {QStringLiteral("Off"), {{field, -1}}, {setting + QStringLiteral("=0")}}}};
}

std::vector<TodaysOption> makeOptions() {
    TodaysOption screen{QStringLiteral("Screen"),
                        {{{}, {{Setting::Window, QVariant()}}},
                         {QStringLiteral("Window"), {{Setting::Window, 1}}, {QStringLiteral("window=1")}},
                         {QStringLiteral("Full Screen"), {{Setting::Window, 0}}, {QStringLiteral("window=0")}}}};
    TodaysOption video{QStringLiteral("Video"), {{{}, {{Setting::Video, QVariant()}}}}};
    for (const char* backEnd : {"auto", "opengl", "bgfx", "soft"}) {
        const QString name = QLatin1String(backEnd);
        video.choices.push_back({name, {{Setting::Video, name}}, {QStringLiteral("video=") + name}});
    }
    TodaysOption rotation{QStringLiteral("Rotation"),
                          {{{}, {{Field::Rotate, 0}}},
                           {QStringLiteral("Rotate Right"), {{Field::Rotate, 1}}, {QStringLiteral("ror=1")}},
                           {QStringLiteral("Rotate Left"), {{Field::Rotate, 2}}, {QStringLiteral("rol=1")}}},
                          QStringLiteral("No Rotation")};
    TodaysOption flip{QStringLiteral("Flip"),
                      {{{}, {{Field::Flip, 0}}},
                       {QStringLiteral("Flip Horizontally"), {{Field::Flip, 1}}, {QStringLiteral("flipx=1")}},
                       {QStringLiteral("Flip Vertically"), {{Field::Flip, 2}}, {QStringLiteral("flipy=1")}}},
                      QStringLiteral("No Flip")};
    // 0 is MAME's own frame skip, whatever its settings make it.
    TodaysOption frameSkip{QStringLiteral("Frame Skip"), {{{}, {{Field::FrameSkip, 0}}}}};
    for (int frames = 1; frames <= 10; ++frames)
        frameSkip.choices.push_back(
            {QString::number(frames), {{Field::FrameSkip, frames}}, {QStringLiteral("frameskip=%1").arg(frames)}});
    // Sound on is the sound system MAME is set to; off is none at all.
    TodaysOption sound{QStringLiteral("Sound"),
                       {{{}, {{Field::SoundCard, 0}}},
                        {QStringLiteral("Off"), {{Field::SoundCard, -1}}, {QStringLiteral("sound=none")}}},
                       QStringLiteral("On")};
    TodaysOption volume{QStringLiteral("Volume"), {{{}, {{Setting::Volume, QVariant()}}}}};
    for (int db = 0; db >= -32; --db)
        volume.choices.push_back(
            {QStringLiteral("%1 dB").arg(db), {{Setting::Volume, db}}, {QStringLiteral("volume=%1").arg(db)}});
    // The rates the field Sample Rate holds for the classic MAME are kept there, so that its page
    // reads them; the others stand beside the record.
    TodaysOption rate{QStringLiteral("Sample Rate"), {}};
    const std::pair<int, int> rates[] = {{0, 0}, {11025, -1}, {22050, 0}, {44100, 1}, {48000, 0}};
    for (const auto& [hz, field] : rates) {
        const bool beside = hz != 0 && field == 0;
        const QVariantHash values{{Field::SampleRate, field},
                                  {Setting::SampleRateHz, beside ? QVariant(hz) : QVariant()}};
        rate.choices.push_back(
            hz == 0 ? TodaysChoice{{}, values}
                    : TodaysChoice{QString::number(hz), values, {QStringLiteral("samplerate=%1").arg(hz)}});
    }
    return {
        screen,
        video,
        onOff("Keep Aspect", Setting::KeepAspect, QStringLiteral("keepaspect")),
        onOff("Filtering", Setting::Filter, QStringLiteral("filter")),
        rotation,
        flip,
        frameSkip,
        onOff("Auto Frame Skip", Setting::AutoFrameSkip, QStringLiteral("autoframeskip")),
        sound,
        volume,
        rate,
        onOffField("Joystick", Field::Joystick, QStringLiteral("joystick")),
        onOffField("Cheats", Field::Cheats, QStringLiteral("cheat")),
        onOff("Auto-Save State", Setting::AutoSave, QStringLiteral("autosave")),
        onOff("Skip Game Info", Setting::SkipGameInfo, QStringLiteral("skip_gameinfo")),
    };
}

// The stored value as the choices hold it: a field of ROMS as the number MAME is given for it (a
// field holding nothing is 0); a setting beside the record as it stands, nothing included.
QVariant given(const QString& field, const QVariant& stored, const Mame& mame) {
    const OptionSpec* option = FindOption(field);
    if (!option || option->control == OptionControl::Choice)
        return stored;
    bool ok = false;
    const double x = stored.isNull() ? 0 : stored.toDouble(&ok);
    return mame.GivenNumber(*option, stored.isNull() || ok ? x : 0);
}

bool same(const QVariant& wanted, const QVariant& value) {
    if (wanted.isNull() || value.isNull())
        return wanted.isNull() && value.isNull();
    if (wanted.typeId() == QMetaType::QString)
        return EqualNoCase(TrimBlanks(value.toString()), wanted.toString());
    bool ok = false;
    const double x = value.toDouble(&ok);
    return ok && x == wanted.toDouble();
}

} // namespace

const std::vector<TodaysOption>& TodaysOptions() {
    static const std::vector<TodaysOption> options = makeOptions();
    return options;
}

bool OnTodaysPage(const QString& field) {
    static const QSet<QString> fields = [] {
        QSet<QString> shown{Field::Default, Field::PlayOpt,    Field::AltExec,    Field::Playback,
                            Field::AltDir,  Field::Additional, Field::NoRotation, Field::Debugger};
        for (const TodaysOption& option : TodaysOptions()) {
            for (const TodaysChoice& choice : option.choices) {
                for (auto value = choice.values.cbegin(); value != choice.values.cend(); ++value)
                    shown.insert(value.key());
            }
        }
        return shown;
    }();
    return fields.contains(field);
}

int ChoiceOf(const TodaysOption& option, const GameOptions& options, const Mame& mame) {
    for (size_t i = 1; i < option.choices.size(); ++i) {
        const QVariantHash& values = option.choices[i].values;
        bool all = true;
        for (auto value = values.cbegin(); all && value != values.cend(); ++value)
            all = same(value.value(), given(value.key(), options.Value(value.key()), mame));
        if (all)
            return static_cast<int>(i);
    }
    return 0;
}

QString MamesDefaultText(const TodaysOption& option, const MameConfig& config) {
    const QString neutral = QStringLiteral("MAME's default");
    if (config.IsEmpty() || option.choices.size() < 2 || option.choices[1].settings.isEmpty())
        return neutral;
    QString reading = option.otherwise;
    for (size_t i = 1; i < option.choices.size(); ++i) {
        const TodaysChoice& choice = option.choices[i];
        bool all = !choice.settings.isEmpty();
        for (const QString& setting : choice.settings)
            all = all && config.Value(setting.section(QLatin1Char('='), 0, 0)) == setting.section(QLatin1Char('='), 1);
        if (all) {
            reading = choice.text;
            break;
        }
    }
    if (reading.isEmpty())
        reading = config.Value(option.choices[1].settings.first().section(QLatin1Char('='), 0, 0)).value_or(QString());
    return reading.isEmpty() ? neutral : neutral + QStringLiteral(" (") + reading + QLatin1Char(')');
}

} // namespace zelvora
