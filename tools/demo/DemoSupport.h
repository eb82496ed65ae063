#pragma once

#include "DemoGames.h"

#include <QString>

#include <vector>

namespace zelvora::standin {

// The support files of the demo installation, in the layout the community publishes them in.
// Parents are given the category and players of their game where the demo knows it; a clone
// takes its parent's, but for the first two clones, which are left out so that the program has
// to find their parent's.

// catver.ini: section [Category], "set=Genre / Subgenre".
QString DemoCategories(const std::vector<DemoGame>& games);

// nplayers.ini: section [NPlayers], "set=2P sim".
QString DemoPlayers(const std::vector<DemoGame>& games);

// history.xml: an <entry> per parent, its clones named beside it for every other parent, so that
// the rest take their parent's.
QString DemoHistory(const std::vector<DemoGame>& games);

// mameinfo.dat: "$info=set", "$mame", a few lines, "$end" per parent.
QString DemoInfo(const std::vector<DemoGame>& games);

} // namespace zelvora::standin
