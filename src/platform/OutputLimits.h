#pragma once

#include <QtGlobal>

namespace zelvora {

// What the program keeps of whatever MAME prints, so that its memory stays bounded however much
// that is. A text longer than MaxListedText (a set name, a description, a maker, a chip) is none
// MAME gives: the line, machine or verdict holding it is malformed. A listing or report of more
// games or sets than MaxListedGames is refused whole: MAME lists some 40,000 today.
constexpr qsizetype MaxListedText = 1024;
constexpr int MaxListedGames = 200000;

} // namespace zelvora
