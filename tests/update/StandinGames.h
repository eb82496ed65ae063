#pragma once

#include "StandinGame.h"

namespace zelvora::test {

// A game as the stand-in MAME lists it, with an empty processor and sound column among full
// ones; `parent` makes it a clone.
inline standin::StandinGame Game(const QString& name, const QString& description, const QString& parent = {}) {
    standin::StandinGame g;
    g.name = name;
    g.description = description;
    g.parent = parent;
    g.driver = QStringLiteral("drv.c");
    g.cpus = {QStringLiteral("Z80"), QStringLiteral("M68000"), QString()};
    g.sounds = {QString(), QStringLiteral("Namco"), QString()};
    g.year = QStringLiteral("1984");
    g.maker = QStringLiteral("Maker of ") + name;
    return g;
}

} // namespace zelvora::test
