#pragma once

#include "standin/StandinGame.h"

#include <QImage>

namespace zelvora::standin {

// A made-up title screen for `game`: 224x288 for the boards whose monitors stood upright,
// 320x240 otherwise, in a few flat colours (no antialiasing, so it fits an 8-bit palette),
// different for every set name and the same on every run.
QImage DrawScreenshot(const StandinGame& game);

// Made-up artwork for `game`, smooth and in full colour as scanned artwork is: a title screen
// (320x240) with the game's title large, or a flyer (300x420) with its title, year and maker.
QImage DrawTitle(const StandinGame& game);
QImage DrawFlyer(const StandinGame& game);

} // namespace zelvora::standin
