#pragma once

#include "standin/StandinGame.h"

#include <QStringList>

#include <vector>

namespace zelvora::standin {

// One game of the demo installation: what the stand-in MAME lists about it, and what the
// installation holds for it.
struct DemoGame {
    StandinGame game;
    QString gamelistRow; // its row in the game list document's table; parents only
    QStringList note;    // its note in the game list document, title and underline included
    bool screenshot = true;
    bool zip = true;
};

// A few hundred games, the same for the same seed: the parents are titles and set names taken
// from the table rows of a real game list document (`gamelistText`) plus a few Neo Geo games;
// about a third of all games are clones of one of them. Makers, years, drivers, processors and
// sound chips follow the hardware each game is given. Some sets are bad or missing (a missing set
// has no zip file); some games have no screenshot.
std::vector<DemoGame> MakeDemoGames(const QString& gamelistText, unsigned seed);

// The game list document for `games`, in the layout of the real one: an introduction, the table
// with its heading rows and end line, a footnote, then the notes.
QString DemoGamelist(const std::vector<DemoGame>& games);

} // namespace zelvora::standin
