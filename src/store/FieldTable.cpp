#include "store/FieldTable.h"

#include "store/FieldNames.h"

namespace zelvora {

FieldType TypeOfKind(FieldKind kind) {
    switch (kind) {
    case FieldKind::Memo:
        return FieldType::Memo;
    case FieldKind::Integer:
        return FieldType::Integer;
    case FieldKind::Long:
        return FieldType::Long;
    case FieldKind::Empty:
        break;
    }
    return FieldType::Text;
}

void FieldTable::InitFieldNames() {
    const QString* const names[CatalogueFieldCount] = {
        &Field::Rom,        &Field::Additional,    &Field::Description,
        &Field::Driver,     &Field::Cpu1,          &Field::Cpu2,
        &Field::Cpu3,       &Field::Sound1,        &Field::Sound2,
        &Field::Sound3,     &Field::Date,          &Field::Manufacturer,
        &Field::Clone,      &Field::Playable,      &Field::Colors,
        &Field::Sound,      &Field::HiScore,       &Field::Cocktail,
        &Field::Notes,      &Field::Active,        &Field::SixteenBitSound,
        &Field::Ym2203,     &Field::Ym3812,        &Field::NoScanlines,
        &Field::VesaModes,  &Field::PixelDoubling, &Field::EightBitColor,
        &Field::SynchVideo, &Field::AlwaysSynch,   &Field::NoRotation,
        &Field::NoMouse,    &Field::Cheats,        &Field::Antialias,
        &Field::Debugger,   &Field::NoTrans,       &Field::Default,
        &Field::SampleRate, &Field::Gamma,         &Field::VgaFreq,
        &Field::Rotate,     &Field::Flip,          &Field::Beam,
        &Field::Flicker,    &Field::FrameSkip,     &Field::SoundCard,
        &Field::Resolution, &Field::Joystick,      &Field::AltExec,
        &Field::AltDir,     &Field::Playback,      &Field::PlayOpt,
        &Field::NoStereo,   &Field::Screenshot,    &Field::MissingRom,
        &Field::BadRom,
    };
    for (int i = 0; i < FieldSlots; ++i) {
        FieldNames[i] = i < CatalogueFieldCount ? *names[i] : QString();
        FieldKinds[i] = FieldKind::Empty;
    }
    FieldKinds[18] = FieldKind::Memo;
    for (int i = 19; i <= 35; ++i)
        FieldKinds[i] = FieldKind::Integer;
    for (int i = 36; i <= 46; ++i)
        FieldKinds[i] = FieldKind::Long;
    for (int i = 50; i <= 54; ++i)
        FieldKinds[i] = FieldKind::Long;
}

} // namespace zelvora
