#pragma once

#include "platform/DirectoryListing.h"

#include <QDateTime>
#include <QString>

#include <memory>

namespace zelvora {

// The screenshot files the installed MAME leaves. The MAME of the PCX days writes "<rom>.pcx"; today's
// MAME saves PNG snapshots in a folder per set ("<rom>/0000.png", "0001.png" ...), and the
// collections people download hold "<rom>.png" in one folder. Artwork (titles, flyers, cabinets ...)
// comes as PNG, JPEG or PCX, one file per set or a folder per set.
enum class ScreenshotKinds { Pcx, PcxAndPng, Artwork };

// The game's own screenshot in `folder` (which ends in "/"), found through `listing`, a listing of
// that folder: "<rom>.pcx" in any letter case, then with PcxAndPng "<rom>.png", then the first PNG
// by name in the folder "<rom>"; with Artwork "<rom>.png", ".jpg", ".jpeg", ".pcx" in that order,
// then the first picture of those kinds by name in the folder "<rom>". An empty string when there
// is none.
QString FindScreenshotFile(const QString& folder, const DirectoryListing& listing, const QString& rom,
                           ScreenshotKinds kinds);

// Finds a game's screenshot file: its own, or, while merged ROM sets are assumed, its parent's.
// Selecting a row must stay quick in a folder of tens of thousands of screenshots, so an exact
// name is tried first and the folder's listing is kept until the folder changes.
class ScreenshotFinder {
public:
    // The full path of the file to show, or an empty string when there is none.
    QString Find(const QString& pcxPath, const QString& rom, const QString& clone, bool assumeMerged,
                 ScreenshotKinds kinds);
    // The game's own file, the snapshot in its set's folder included, never the parent's: what
    // deleting the screenshot may remove.
    QString FindOwn(const QString& pcxPath, const QString& rom, ScreenshotKinds kinds);

    // The listing of `folder`, kept until the folder changes.
    const DirectoryListing& Listing(const QString& folder);

private:
    QString listedPath_;
    QDateTime listedModified_;
    QDateTime listedAt_;
    std::unique_ptr<DirectoryListing> listing_;
};

} // namespace zelvora
