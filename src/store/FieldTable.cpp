#include "store/FieldTable.h"

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
    static const char* const names[CatalogueFieldCount] = {
        "Rom",          "Additional",  "Description",  "Driver",     "CPU 1",          "CPU 2",       "CPU 3",
        "Sound 1",      "Sound 2",     "Sound 3",      "Date",       "Manufacturer",   "Clone",       "Playable",
        "Colors",       "Sound",       "Hi Score",     "Cocktail",   "Notes",          "Active",      "16 Bit Sound",
        "YM2203",       "YM3812",      "No Scanlines", "VESA Modes", "Pixel Doubling", "8 Bit Color", "Synch Video",
        "Always Synch", "No Rotation", "No Mouse",     "Cheats",     "Antialias",      "Debugger",    "No Trans",
        "Default",      "Sample Rate", "Gamma",        "VGA Freq",   "Rotate",         "Flip",        "Beam",
        "Flicker",      "Frame Skip",  "Sound Card",   "Resolution", "Joystick",       "AltExec",     "AltDir",
        "Playback",     "PlayOpt",     "No Stereo",    "Screenshot", "Missing ROM",    "Bad ROM",
    };
    for (int i = 0; i < FieldSlots; ++i) {
        FieldNames[i] = i < CatalogueFieldCount ? QString::fromLatin1(names[i]) : QString();
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
