#include "PcxWriter.h"
#include "TestDirs.h"

#include "detail/ArtworkFinder.h"
#include "detail/ScreenshotImage.h"

#include <QBuffer>
#include <QImage>

#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <sys/time.h>
#include <zip.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

using Entries = std::vector<std::pair<QString, QByteArray>>;

// A picture whose width tells which one was found.
QByteArray Picture(int width, const char* format = "PNG") {
    QImage image(width, 3, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

QByteArray Zip(const Entries& entries, bool stored = false) {
    TempProgramDir dir;
    const QString path = dir.file(QStringLiteral("made.zip"));
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source =
            zip_source_buffer(archive, bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
        const zip_int64_t index = zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (stored)
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("cannot write a zip");
    return ReadBytes(path);
}

// Sets the 4-byte field at `offset` of every local ("PK\3\4") or central ("PK\1\2") header.
QByteArray Patched(QByteArray zip, const char* signature, int offset, quint32 value) {
    for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 4))
        for (int i = 0; i < 4; ++i)
            zip[at + offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return zip;
}

int Width(const std::optional<ArtworkFile>& file) {
    return file ? DecodePicture(file->bytes, file->name).width() : -1;
}

} // namespace

// The user's artwork root before MAME's; folders, zips (entries at the top or under the kind's
// folder) and set folders; names in any letter case; a clone's parent's picture; and set names
// that would lead out of the kind's folder.
TEST(ArtworkFinder, FindsOwnThenParentsPictureInFoldersAndZipsRootByRoot) {
    TempProgramDir art, mame;
    WriteBytes(art.file("Titles/PACMAN.Png"), Picture(11));
    WriteBytes(art.file("snap/pacman.png"), Picture(12));
    WriteBytes(art.file("flyers.zip"), Zip({{"flyers/Galaga.JPG", Picture(13, "JPEG")}}));
    WriteBytes(art.file("cabinets/dkong/b.png"), Picture(14));
    WriteBytes(art.file("cabinets/dkong/a.pcx"),
               WritePcx8(QImage::fromData(Picture(15)).convertToFormat(QImage::Format_Indexed8)));
    WriteBytes(art.file("secret.png"), Picture(16));
    WriteBytes(mame.file("snap.zip"), Zip({{"pacman.png", Picture(21)}, {"galaga.png", Picture(22)}}));
    WriteBytes(mame.file("titles.zip"), Zip({{"titles/galaga.png", Picture(23)}, {"secret.png", Picture(24)}}));

    ArtworkFinder finder;
    finder.SetRoots({art.path(), QString(), mame.path() + "/"});
    EXPECT_EQ(Width(finder.Find(ArtworkKind::Title, "pacman", {})), 11);
    EXPECT_EQ(Width(finder.Find(ArtworkKind::Snapshot, "pacman", {})), 12);
    EXPECT_EQ(Width(finder.Find(ArtworkKind::Snapshot, "GALAGA", {})), 22);
    EXPECT_EQ(Width(finder.Find(ArtworkKind::Flyer, "galaga", {})), 13);
    EXPECT_EQ(Width(finder.Find(ArtworkKind::Title, "galaga", {})), 23);
    EXPECT_EQ(Width(finder.Find(ArtworkKind::Cabinet, "dkong", {})), 15);
    EXPECT_EQ(finder.Find(ArtworkKind::Title, "galaga", {})->name, mame.file("titles.zip") + ":titles/galaga.png");

    EXPECT_EQ(Width(finder.Find(ArtworkKind::Title, "puckman", "pacman")), 11);
    EXPECT_EQ(Width(finder.Find(ArtworkKind::Snapshot, "galaga", "pacman")), 22);
    EXPECT_FALSE(finder.Find(ArtworkKind::Marquee, "pacman", "galaga"));
    for (const char* bad : {"../secret", "titles/../secret", "..", "", "x/../../secret"})
        EXPECT_FALSE(finder.Find(ArtworkKind::Title, bad, bad)) << bad;
    EXPECT_TRUE(finder.Problem().isEmpty()) << finder.Problem().toStdString();
}

// A zip rewritten under the finder is indexed again; one taken away is no longer read.
TEST(ArtworkFinder, ReadsAChangedZipAnew) {
    TempProgramDir root;
    const QString zip = root.file("marquees.zip");
    WriteBytes(zip, Zip({{"pacman.png", Picture(5)}}));
    ArtworkFinder finder;
    finder.SetRoots({root.path()});
    EXPECT_EQ(Width(finder.Find(ArtworkKind::Marquee, "pacman", {})), 5);
    EXPECT_FALSE(finder.Find(ArtworkKind::Marquee, "galaga", {}));

    WriteBytes(zip, Zip({{"pacman.png", Picture(6)}, {"marquees/galaga.png", Picture(7)}}));
    EXPECT_EQ(Width(finder.Find(ArtworkKind::Marquee, "pacman", {})), 6);
    EXPECT_EQ(Width(finder.Find(ArtworkKind::Marquee, "galaga", {})), 7);

    QFile::remove(zip);
    EXPECT_FALSE(finder.Find(ArtworkKind::Marquee, "pacman", {}));
}

// Each bad zip of the first root fails with a reason and the second root's picture is found.
TEST(ArtworkFinder, DamagedZipsAndLyingEntriesFailWithAReason) {
    const QByteArray zeros(1 << 20, '\0');
    const QByteArray good = Zip({{"pcb/pacman.png", Picture(9)}});
    const QByteArray stored = Zip({{"pacman.png", Picture(9)}}, true);
    const std::pair<const char*, QByteArray> bad[] = {
        {"not a zip", QByteArray("PK\3\4 and then nothing of a zip")},
        {"cut short", good.left(good.size() - 30)},
        // Inflates to a megabyte while stating 100 bytes.
        {"bomb", Patched(Patched(Zip({{"pacman.png", zeros}}), "PK\1\2", 24, 100), "PK\3\4", 22, 100)},
        {"states 2 GB", Patched(good, "PK\1\2", 24, 0x80000000u)},
        {"states more than it holds", Patched(Patched(stored, "PK\1\2", 24, 4000), "PK\3\4", 22, 4000)},
        {"bad checksum", Patched(Patched(stored, "PK\1\2", 16, 1), "PK\3\4", 14, 1)},
    };
    for (const auto& [what, bytes] : bad) {
        SCOPED_TRACE(what);
        TempProgramDir first, second;
        WriteBytes(first.file("pcb.zip"), bytes);
        WriteBytes(second.file("pcb/pacman.png"), Picture(8));
        ArtworkFinder finder;
        finder.SetRoots({first.path(), second.path()});
        EXPECT_EQ(Width(finder.Find(ArtworkKind::Pcb, "pacman", {})), 8);
        EXPECT_TRUE(finder.Problem().startsWith(first.file("pcb.zip"))) << finder.Problem().toStdString();
    }
}

// Only PNG, JPEG and PCX are decoded, whatever the name says.
TEST(ArtworkFinder, DecodesPngJpegAndPcxOnly) {
    EXPECT_EQ(DecodePicture(Picture(4, "JPEG"), "x.png").width(), 4);
    EXPECT_EQ(DecodePicture(Picture(4), "x.jpg").width(), 4);
    EXPECT_TRUE(DecodePicture(Picture(4, "BMP"), "x.png").isNull());
    EXPECT_TRUE(DecodePicture(Picture(4), "x.PCX").isNull());
    EXPECT_TRUE(DecodePicture({}, "x.png").isNull());
}
