#pragma once

#include <QString>
#include <QStringList>
#include <QVariantHash>

#include <vector>

namespace zelvora {

class GameOptions;
class Mame;
class MameConfig;

// One entry of a drop-down on today's Options page: its text, the option values it stands for, and
// the settings of MAME ("name=value", as "-showconfig" prints them) that mean the same.
struct TodaysChoice {
    QString text;
    QVariantHash values;
    QStringList settings = {};
};

// A drop-down of today's Options page. Its first choice leaves MAME at its own setting: no switch,
// so that MAME's ini files keep governing.
struct TodaysOption {
    QString caption;
    std::vector<TodaysChoice> choices;
    // What MAME's own setting reads where none of the choices' settings is MAME's; empty: the value
    // of the first choice's setting, as MAME prints it.
    QString otherwise = {};
};

// Every drop-down of today's Options page, in its order.
const std::vector<TodaysOption>& TodaysOptions();

// The field or setting is edited on today's Options page: by a drop-down, a check box (No
// Rotation, Enable Debugger) or a row the page shares with the classic one. Today's MAME is
// given no switch for any other, so a value the classic page left in the record (a gamma, a
// resolution) never reaches it unseen.
bool OnTodaysPage(const QString& field);

// The choice the game's options make, their values read as `mame` reads them; 0, MAME's own
// setting, where they make none of the others.
int ChoiceOf(const TodaysOption& option, const GameOptions& options, const Mame& mame);

// The first choice's text, with what MAME's answer `config` says its own setting is; a neutral
// text while MAME has not said.
QString MamesDefaultText(const TodaysOption& option, const MameConfig& config);

} // namespace zelvora
