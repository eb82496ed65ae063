#pragma once

#include "store/FieldType.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace zelvora {

inline const QString RomsTable = QStringLiteral("ROMS");
// What the user did with a game, kept apart from its record by set name, so that an update that
// drops the record and brings it back later, or a compaction, keeps it.
inline const QString HistoryTable = QStringLiteral("GameHistory");
// What today's MAME's listing tells of each game beyond its fields in ROMS, by set name; the
// update from it writes the table anew.
inline const QString FactsTable = QStringLiteral("GameFacts");
// The options of today's MAME that no field of ROMS holds, by set name (FoldedKey), the default
// record's among them; a null value leaves MAME at its own setting. Beside the records, so that the
// table ROMS keeps the shape every version of the program reads.
inline const QString SettingsTable = QStringLiteral("GameSettings");
// What the last update that changed the catalogue added, removed, renamed and changed, one row a line
// of its report; the next update writes it anew.
inline const QString ChangesTable = QStringLiteral("LastChanges");
// The CRCs of each game's own ROMs as today's MAME's listing gave them at the last update, by set
// name, which tell the update a set that MAME renamed.
inline const QString FingerprintTable = QStringLiteral("GameRoms");
inline const QString DefaultRom = QStringLiteral("-default-");
inline const QString DefaultDescription = QStringLiteral("-=DEFAULT=-");
// The stamp in the default record's Notes; a catalogue stamped otherwise is reshaped at start-up.
inline const QString VersionBanner = QStringLiteral("ZELVORA Version 1.01");

} // namespace zelvora

// The names of the catalogue's fields, as table ROMS holds them. Every look-up of a field goes
// through these, so that a field is spelled in one place only.
namespace zelvora::Field {

inline const QString Rom = QStringLiteral("Rom");
inline const QString Additional = QStringLiteral("Additional");
inline const QString Description = QStringLiteral("Description");
inline const QString Driver = QStringLiteral("Driver");
inline const QString Cpu1 = QStringLiteral("CPU 1");
inline const QString Cpu2 = QStringLiteral("CPU 2");
inline const QString Cpu3 = QStringLiteral("CPU 3");
inline const QString Sound1 = QStringLiteral("Sound 1");
inline const QString Sound2 = QStringLiteral("Sound 2");
inline const QString Sound3 = QStringLiteral("Sound 3");
inline const QString Date = QStringLiteral("Date");
inline const QString Manufacturer = QStringLiteral("Manufacturer");
inline const QString Clone = QStringLiteral("Clone");
inline const QString Playable = QStringLiteral("Playable");
inline const QString Colors = QStringLiteral("Colors");
inline const QString Sound = QStringLiteral("Sound");
inline const QString HiScore = QStringLiteral("Hi Score");
inline const QString Cocktail = QStringLiteral("Cocktail");
inline const QString Notes = QStringLiteral("Notes");
inline const QString Active = QStringLiteral("Active");
inline const QString SixteenBitSound = QStringLiteral("16 Bit Sound");
inline const QString Ym2203 = QStringLiteral("YM2203");
inline const QString Ym3812 = QStringLiteral("YM3812");
inline const QString NoScanlines = QStringLiteral("No Scanlines");
inline const QString VesaModes = QStringLiteral("VESA Modes");
inline const QString PixelDoubling = QStringLiteral("Pixel Doubling");
inline const QString EightBitColor = QStringLiteral("8 Bit Color");
inline const QString SynchVideo = QStringLiteral("Synch Video");
inline const QString AlwaysSynch = QStringLiteral("Always Synch");
inline const QString NoRotation = QStringLiteral("No Rotation");
inline const QString NoMouse = QStringLiteral("No Mouse");
inline const QString Cheats = QStringLiteral("Cheats");
inline const QString Antialias = QStringLiteral("Antialias");
inline const QString Debugger = QStringLiteral("Debugger");
inline const QString NoTrans = QStringLiteral("No Trans");
inline const QString Default = QStringLiteral("Default");
inline const QString SampleRate = QStringLiteral("Sample Rate");
inline const QString Gamma = QStringLiteral("Gamma");
inline const QString VgaFreq = QStringLiteral("VGA Freq");
inline const QString Rotate = QStringLiteral("Rotate");
inline const QString Flip = QStringLiteral("Flip");
inline const QString Beam = QStringLiteral("Beam");
inline const QString Flicker = QStringLiteral("Flicker");
inline const QString FrameSkip = QStringLiteral("Frame Skip");
inline const QString SoundCard = QStringLiteral("Sound Card");
inline const QString Resolution = QStringLiteral("Resolution");
inline const QString Joystick = QStringLiteral("Joystick");
inline const QString AltExec = QStringLiteral("AltExec");
inline const QString AltDir = QStringLiteral("AltDir");
inline const QString Playback = QStringLiteral("Playback");
inline const QString PlayOpt = QStringLiteral("PlayOpt");
inline const QString NoStereo = QStringLiteral("No Stereo");
inline const QString Screenshot = QStringLiteral("Screenshot");
inline const QString MissingRom = QStringLiteral("Missing ROM");
inline const QString BadRom = QStringLiteral("Bad ROM");

} // namespace zelvora::Field

// The fields of table GameSettings besides the set name; a game's options (GameOptions) carry them
// by these names beside its fields of ROMS.
namespace zelvora::Setting {

inline const QString Window = QStringLiteral("Window");
inline const QString Video = QStringLiteral("Video");
inline const QString KeepAspect = QStringLiteral("Keep Aspect");
inline const QString Filter = QStringLiteral("Filter");
inline const QString AutoFrameSkip = QStringLiteral("Auto Frame Skip");
inline const QString Volume = QStringLiteral("Volume");
inline const QString SampleRateHz = QStringLiteral("Sample Rate Hz");
inline const QString AutoSave = QStringLiteral("Auto Save");
inline const QString SkipGameInfo = QStringLiteral("Skip Game Info");

} // namespace zelvora::Setting

namespace zelvora {

// Where the information page shows a field: as the title beside the picture, or under one of its
// headings (the game, its parent and clones, what the emulation manages, the chips, the notes);
// and its place there, counting from 0.
enum class InfoArea { None, Title, Game, Controls, Family, Emulation, Hardware, Screen, Notes };
struct InfoPlace {
    InfoArea area = InfoArea::None;
    int place = 0;
};

// One field of table ROMS: its name, the type it is created with, whether the game list reads it,
// whether it is one of a game's options, and where the information page shows it, under which
// caption.
struct CatalogueField {
    enum Use : unsigned { Listed = 1, Option = 2 };
    CatalogueField(const QString& name, FieldType type = FieldType::Text, unsigned uses = 0, InfoPlace info = {},
                   const char* caption = nullptr)
        : name(name), type(type), listed(uses & Listed), option(uses & Option), info(info), caption(caption) {}

    const QString& name;
    FieldType type = FieldType::Text;
    bool listed = false;
    bool option = false;
    InfoPlace info;
    const char* caption = nullptr; // before the value on the information page
};

// Every field of table ROMS, in the table's order. The catalogue is made and reshaped to hold
// exactly these; the information page shows those with a place.
const std::vector<CatalogueField>& CatalogueFields();
// Whether `name` is one of them, compared without regard to case as SQL compares names.
bool IsCatalogueField(const QString& name);
// The fields the game list reads for its rows.
QStringList ListedFields();
// The fields of a game's options (GameOptions): what the Options tab edits and MAME is started with.
QStringList OptionFields();
// The fields of table GameSettings besides the set name, in the table's order.
const QStringList& SettingFields();

} // namespace zelvora
