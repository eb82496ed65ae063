#include "store/FieldNames.h"

#include <QStringList>

namespace zelvora {

const std::vector<CatalogueField>& CatalogueFields() {
    using T = FieldType;
    using A = InfoArea;
    namespace F = Field;
    static const std::vector<CatalogueField> fields = {
        {F::Rom, T::Text, true, {A::Machine, 0}, "ROM File"},
        {F::Additional},
        {F::Description, T::Text, true},
        {F::Driver, T::Text, false, {A::Machine, 7}, "Driver"},
        {F::Cpu1, T::Text, false, {A::Machine, 1}, "CPU 1"},
        {F::Cpu2, T::Text, false, {A::Machine, 2}, "CPU 2"},
        {F::Cpu3, T::Text, false, {A::Machine, 3}, "CPU 3"},
        {F::Sound1, T::Text, false, {A::Machine, 4}, "Sound 1"},
        {F::Sound2, T::Text, false, {A::Machine, 5}, "Sound 2"},
        {F::Sound3, T::Text, false, {A::Machine, 6}, "Sound 3"},
        {F::Date, T::Text, false, {A::Side, 2}},
        {F::Manufacturer, T::Text, false, {A::Side, 0}},
        {F::Clone, T::Text, false, {A::Status, 5}, "Clone of-"},
        {F::Playable, T::Text, false, {A::Status, 0}, "Playable-"},
        {F::Colors, T::Text, false, {A::Status, 2}, "Colors-"},
        {F::Sound, T::Text, false, {A::Status, 1}, "Sound-"},
        {F::HiScore, T::Text, false, {A::Status, 3}, "Hi Score-"},
        {F::Cocktail, T::Text, false, {A::Status, 4}, "Cocktail-"},
        {F::Notes, T::Memo, false, {A::Notes, 0}},
        {F::Active, T::Integer},
        {F::SixteenBitSound, T::Integer},
        {F::Ym2203, T::Integer},
        {F::Ym3812, T::Integer},
        {F::NoScanlines, T::Integer},
        {F::VesaModes, T::Integer},
        {F::PixelDoubling, T::Integer},
        {F::EightBitColor, T::Integer},
        {F::SynchVideo, T::Integer},
        {F::AlwaysSynch, T::Integer},
        {F::NoRotation, T::Integer},
        {F::NoMouse, T::Integer},
        {F::Cheats, T::Integer},
        {F::Antialias, T::Integer},
        {F::Debugger, T::Integer},
        {F::NoTrans, T::Integer},
        {F::Default, T::Integer, true},
        {F::SampleRate, T::Long},
        {F::Gamma, T::Long},
        {F::VgaFreq, T::Long},
        {F::Rotate, T::Long},
        {F::Flip, T::Long},
        {F::Beam, T::Long},
        {F::Flicker, T::Long},
        {F::FrameSkip, T::Long},
        {F::SoundCard, T::Long},
        {F::Resolution, T::Long},
        {F::Joystick, T::Long},
        {F::AltExec},
        {F::AltDir},
        {F::Playback},
        {F::PlayOpt, T::Long},
        {F::NoStereo, T::Long},
        {F::Screenshot, T::Long, true},
        {F::MissingRom, T::Long, true},
        {F::BadRom, T::Long, true},
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

QStringList ListedFields() {
    QStringList names;
    for (const CatalogueField& field : CatalogueFields()) {
        if (field.listed)
            names << field.name;
    }
    return names;
}

} // namespace zelvora
