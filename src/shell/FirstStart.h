#pragma once

#include "store/ProgramSettings.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zelvora {

class MameConfig;
class ProcessRunner;

// The folders a first start proposes when it found today's MAME: the folder holding "mame", and
// what its "-showconfig" names: every folder of its ROM path, its snapshot folder for the
// screenshots, its artwork folders, and its ini folders for the support files; each ending with
// "/", several joined by ";". MAME's own folders come with them, for the settings.
struct FirstStartFolders {
    Folders folders;
    MameFolders mame;
};

FirstStartFolders FoldersFromConfig(const QString& mameFolder, const MameConfig& config, const QString& home);

// The first folder among `searched` that holds an executable "mame", ending with "/"; empty when
// none does.
QString FindMameFolder(const QStringList& searched);

// The folders where a MAME installed for the user is looked for: PATH's, then /usr/games, where
// Debian puts it and which a desktop session's PATH may lack.
QStringList MameSearchFolders();

// Asks the MAME in `mameFolder` for its settings, waiting at most a few seconds; nothing when it
// gave no answer (a classic MAME, a MAME that fails or hangs).
std::optional<FirstStartFolders> AskInstalledMame(const QString& mameFolder, ProcessRunner& runner);

} // namespace zelvora
