#pragma once

#include <QString>

#include <array>

namespace zelvora::standin {

// What the stand-in's ROM check reports about a game's set; GamesFile::Format names them by position.
// NoFiles is a set that needs no file at all, as Pong in today's MAME.
enum class VerifyStatus { Good, Bad, Missing, NoFiles };

// One game as the stand-in knows it; every listing and the verification report are made from these.
struct StandinGame {
    QString name;   // ROM set name, at most 8 characters, no blanks
    QString parent; // the parent's set name for a clone, empty otherwise
    QString year;
    QString maker;
    QString description;
    QString driver;
    std::array<QString, 3> cpus;
    std::array<QString, 3> sounds;
    VerifyStatus verify = VerifyStatus::Good;
};

} // namespace zelvora::standin
