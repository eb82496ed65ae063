#pragma once

#include "store/TextIndex.h"

#include <QString>
#include <QStringList>

namespace zelvora {

// A game's texts from the collection's text files, each empty when there is none.
struct GameTexts {
    QString history;  // history.xml, else history.dat
    QString info;     // mameinfo.dat
    QString commands; // command.dat
};

// The collection's three text files, each found in the first of an ordered list of folders that
// holds it, and indexed when asked to (Refresh may run on a worker thread; Texts may then be asked
// from another once it is done).
class GameTextFiles {
public:
    // The folders looked in, in order: the Support Files folder first, then MAME's history
    // folders. Empty ones are skipped.
    void SetFolders(const QStringList& folders) { folders_ = folders; }
    // Indexes each file again when the one found is not the one indexed last, or it changed; true
    // when anything changed.
    bool Refresh();
    // The game's texts; a text it lacks is its parent's, when `parent` is given.
    GameTexts Texts(const QString& rom, const QString& parent) const;
    // The problems met by the last Refresh that changed something (missing files are none), once.
    QString TakeProblem();

private:
    QStringList folders_;
    TextIndex history_{"$bio"}, info_{"$mame"}, commands_{"$cmd"};
    QString problem_;
};

} // namespace zelvora
