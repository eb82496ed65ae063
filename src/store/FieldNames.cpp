#include "store/FieldNames.h"

#include <QStringList>

namespace zelvora {

const std::vector<CatalogueField>& CatalogueFields() {
    using T = FieldType;
    using A = InfoArea;
    constexpr unsigned L = CatalogueField::Listed;
    constexpr unsigned O = CatalogueField::Option;
    namespace F = Field;
    static const std::vector<CatalogueField> fields = {
        {F::Rom, T::Text, L, {A::Game, 2}, "ROM File"},
        {F::Additional, T::Text, O},
        {F::Description, T::Text, L, {A::Title, 0}},
        {F::Driver, T::Text, L, {A::Game, 3}, "Driver"},
        {F::Cpu1, T::Text, 0, {A::Hardware, 0}, "CPU 1"},
        {F::Cpu2, T::Text, 0, {A::Hardware, 1}, "CPU 2"},
        {F::Cpu3, T::Text, 0, {A::Hardware, 2}, "CPU 3"},
        {F::Sound1, T::Text, 0, {A::Hardware, 3}, "Sound 1"},
        {F::Sound2, T::Text, 0, {A::Hardware, 4}, "Sound 2"},
        {F::Sound3, T::Text, 0, {A::Hardware, 5}, "Sound 3"},
        {F::Date, T::Text, L, {A::Game, 0}, "Year"},
        {F::Manufacturer, T::Text, L, {A::Game, 1}, "Manufacturer"},
        {F::Clone, T::Text, L, {A::Family, 0}, "Clone of-"},
        {F::Playable, T::Text, L, {A::Emulation, 0}, "Playable-"},
        {F::Colors, T::Text, 0, {A::Emulation, 2}, "Colors-"},
        {F::Sound, T::Text, 0, {A::Emulation, 1}, "Sound-"},
        {F::HiScore, T::Text, 0, {A::Emulation, 3}, "Hi Score-"},
        {F::Cocktail, T::Text, 0, {A::Emulation, 4}, "Cocktail-"},
        {F::Notes, T::Memo, false, {A::Notes, 0}},
        {F::Active, T::Integer},
        {F::SixteenBitSound, T::Integer, O},
        {F::Ym2203, T::Integer, O},
        {F::Ym3812, T::Integer, O},
        {F::NoScanlines, T::Integer, O},
        {F::VesaModes, T::Integer, O},
        {F::PixelDoubling, T::Integer, O},
        {F::EightBitColor, T::Integer, O},
        {F::SynchVideo, T::Integer, O},
        {F::AlwaysSynch, T::Integer, O},
        {F::NoRotation, T::Integer, O},
        {F::NoMouse, T::Integer, O},
        {F::Cheats, T::Integer, O},
        {F::Antialias, T::Integer, O},
        {F::Debugger, T::Integer, O},
        {F::NoTrans, T::Integer, O},
        {F::Default, T::Integer, L | O},
        {F::SampleRate, T::Long, O},
        {F::Gamma, T::Long, O},
        {F::VgaFreq, T::Long, O},
        {F::Rotate, T::Long, O},
        {F::Flip, T::Long, O},
        {F::Beam, T::Long, O},
        {F::Flicker, T::Long, O},
        {F::FrameSkip, T::Long, O},
        {F::SoundCard, T::Long, O},
        {F::Resolution, T::Long, O},
        {F::Joystick, T::Long, O},
        {F::AltExec, T::Text, O},
        {F::AltDir, T::Text, O},
        {F::Playback, T::Text, O},
        {F::PlayOpt, T::Long, O},
        {F::NoStereo, T::Long, O},
        {F::Screenshot, T::Long, L},
        {F::MissingRom, T::Long, L},
        {F::BadRom, T::Long, L},
    };
    return fields;
}

bool IsCatalogueField(const QString& name) {
    for (const CatalogueField& field : CatalogueFields()) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList OptionFields() {
    QStringList names;
    for (const CatalogueField& field : CatalogueFields()) {
        if (field.option)
            names << field.name;
    }
    return names;
}

const QStringList& SettingFields() {
    static const QStringList names{Setting::Window,       Setting::Video,         Setting::KeepAspect,
                                   Setting::Filter,       Setting::AutoFrameSkip, Setting::Volume,
                                   Setting::SampleRateHz, Setting::AutoSave,      Setting::SkipGameInfo};
    return names;
}

QStringList ListedFields() {
    QStringList names;
    for (const CatalogueField& field : CatalogueFields()) {
        if (field.listed)
            names << field.name;
    }
    return names;
}

} // namespace zelvora
