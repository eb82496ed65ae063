#pragma once

#include "store/Database.h"
#include "store/ProgramSettings.h"

#include <QString>

#include <memory>

namespace zelvora {

// What the whole run shares: the open catalogue and the directories. Windows receive it by
// reference; nothing reaches it globally.
struct Variables {
    // The directory the catalogue and MAME's captured listings live in.
    QString ProgramDir;

    std::unique_ptr<Database> CatalogueDb;

    // Each ends with "/"; file names are appended directly. RomPath, SupportPath and ArtworkPath
    // may name several folders, ";" between them (FolderList).
    QString MamePath;
    QString PcxPath;
    QString RomPath;
    // catver.ini, nplayers.ini and the game texts; empty for none.
    QString SupportPath;
    QString ArtworkPath;

    void SetFolders(const Folders& folders) {
        MamePath = folders.mame;
        PcxPath = folders.screenshots;
        RomPath = folders.roms;
        SupportPath = folders.support;
        ArtworkPath = folders.artwork;
    }
};

} // namespace zelvora
