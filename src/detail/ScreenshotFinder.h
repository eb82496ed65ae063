#pragma once

#include "platform/DirectoryListing.h"

#include <QDateTime>
#include <QString>

#include <memory>

namespace zelvora {

// Finds a game's screenshot file: its own "<rom>.pcx" in any letter case, or, while merged ROM
// sets are assumed, its parent's. Selecting a row must stay quick in a folder of tens of
// thousands of screenshots, so an exact name is tried first and the folder's listing is kept
// until the folder changes.
class ScreenshotFinder {
public:
    // The full path of the file to show, or an empty string when there is none.
    QString Find(const QString& pcxPath, const QString& rom, const QString& clone, bool assumeMerged);
    // The game's own file only, as deleting a screenshot must never touch the parent's.
    QString FindOwn(const QString& pcxPath, const QString& rom);

private:
    const DirectoryListing& listing(const QString& pcxPath);

    QString listedPath_;
    QDateTime listedModified_;
    QDateTime listedAt_;
    std::unique_ptr<DirectoryListing> listing_;
};

} // namespace zelvora
