#include "PcxWriter.h"
#include "TestDirs.h"

#include "checks/ScreenshotFinder.h"
#include "detail/PcxDecoder.h"
#include "detail/ScreenshotImage.h"
#include "detail/ScreenshotPlacement.h"

#include <QImage>

#include <array>
#include <cfenv>
#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

// Every index of the palette is used (those of 0xC0 and up must be escaped by the writer), and no
// two entries share a colour; red, green and blue follow different patterns, so a swapped plane
// shows too. A grey picture of one colour has all planes equal, so runs carry on across them.
QImage Indexed(int w, int h, int colours, bool grey = false) {
    QImage image(w, h, QImage::Format_Indexed8);
    for (int i = 0; i < colours; ++i)
        image.setColor(i, grey ? qRgb(i, i, i) : qRgb(i, 255 - i, (i * 67) & 0xFF));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, static_cast<uint>((x * 7 + y * 31 + (x / 5) * (y / 3)) % colours));
    return image;
}

void ExpectPixels(const QImage& decoded, const QImage& expected) {
    EXPECT_TRUE(decoded == expected.convertToFormat(QImage::Format_RGB32))
        << decoded.width() << " x " << decoded.height() << " decoded, format " << decoded.format();
}

// Overwrites bytes of `file` from `offset` on.
QByteArray With(QByteArray file, qsizetype offset, std::initializer_list<int> values) {
    for (int v : values)
        file[offset++] = static_cast<char>(v);
    return file;
}

// A header written byte by byte rather than by PcxWriter, so that the writer and the decoder
// cannot share a mistake about where a field lives.
QByteArray RawHeader(int bits, int planes, std::array<int, 4> window, int bpl) {
    QByteArray h = With(QByteArray(128, '\0'), 0, {10, 5, 1, bits});
    h = With(h, 65, {planes, bpl & 0xFF, bpl >> 8});
    for (int i = 0; i < 4; ++i)
        h = With(h, 4 + 2 * i, {window[i] & 0xFF, window[i] >> 8});
    return h;
}

} // namespace

// Each kind through plain, padded (even bytes-per-line) and offset-window layouts, at widths that
// give odd and even bytes-per-line, part-filled bit-plane bytes and runs longer than 63 bytes. Which
// header field is where and which bit is which pixel, the other writers' files hold.
TEST(PcxDecoder, EveryKindDecodesToTheWrittenPixels) {
    using Write = QByteArray (*)(const QImage&, const PcxOptions&);
    const std::tuple<Write, int, bool> kinds[] = {{WritePcx8, 256, false},
                                                  {WritePcx24, 256, false},
                                                  {WritePcx24, 1, true},
                                                  {WritePcx1, 2, false},
                                                  {WritePcx4, 16, false}};
    const PcxOptions layouts[] = {{}, {.padToEven = true}, {.xmin = 320, .ymin = -536, .runsAcrossLines = true}};
    for (const auto& [write, colours, grey] : kinds) {
        for (size_t layout = 0; layout < std::size(layouts); ++layout) {
            for (int w : {1, 7, 8, 17, 70}) {
                SCOPED_TRACE(std::to_string(colours) + " colours, layout " + std::to_string(layout) + ", width " +
                             std::to_string(w));
                const QImage image = Indexed(w, 5, colours, grey);
                ExpectPixels(DecodePcx(write(image, layouts[layout])), image);
            }
        }
    }
    // A last run reaching far past the picture's end, in a file not made by PcxWriter.
    const QImage ran = DecodePcx(RawHeader(8, 1, {0, 0, 2, 0}, 3) + "\xFF\x05" + '\x0C' + QByteArray(768, '\x09'));
    EXPECT_TRUE(ran.size() == QSize(3, 1) && ran.pixel(2, 0) == qRgb(9, 9, 9));
}

TEST(PcxDecoder, OneBitWithEqualHeaderColoursIsBlackOnWhite) {
    const QImage image = Indexed(17, 3, 2);
    QImage blackOnWhite = image;
    blackOnWhite.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    // A zeroed palette, as many writers leave it, and two equal entries that are not black.
    for (const QList<QRgb>& palette : {QList<QRgb>(16, qRgb(0, 0, 0)), QList<QRgb>{qRgb(9, 9, 9), qRgb(9, 9, 9)}})
        ExpectPixels(DecodePcx(WritePcx1(image, {.headerPalette = palette})), blackOnWhite);
}

// Files other programs wrote, each beside the picture it was made from; the README there says how.
// Among them are 1-bit files in two and three planes, 2- and 4-bit packed pixels, a transparency
// plane after the colour planes, and a window whose origin is negative.
TEST(PcxDecoder, ReadsWhatOtherWritersMake) {
    const std::pair<const char*, const char*> files[] = {
        {"mono.pcx", "colours2.ppm"},       {"planes2.pcx", "colours4.ppm"},
        {"planes3.pcx", "colours8.ppm"},    {"planes4.pcx", "colours16.ppm"},
        {"packed2.pcx", "colours4.ppm"},    {"packed4.pcx", "colours16.ppm"},
        {"palette256.pcx", "colours8.ppm"}, {"rgb.pcx", "colours8.ppm"},
        {"rgba.pcx", "colours8.ppm"},       {"window-negative.pcx", "colours8.ppm"},
    };
    for (const auto& [pcx, source] : files) {
        SCOPED_TRACE(pcx);
        const QImage expected(FixturePath(QStringLiteral("pcx/") + QLatin1String(source)));
        ASSERT_FALSE(expected.isNull());
        ExpectPixels(LoadPcx(FixturePath(QStringLiteral("pcx/") + QLatin1String(pcx))), expected);
    }
}

TEST(PcxDecoder, MalformedFilesGiveANullImage) {
    const QByteArray eight = WritePcx8(Indexed(9, 4, 256));
    const QByteArray rgb = WritePcx24(Indexed(9, 4, 256));
    const QByteArray mono = WritePcx1(Indexed(19, 4, 2));
    const QByteArray planar = WritePcx4(Indexed(19, 4, 16));
    const auto fixture = [](const char* name) {
        return ReadBytes(FixturePath(QStringLiteral("pcx/") + QLatin1String(name)));
    };
    const QByteArray packed = fixture("packed4.pcx");
    // Each of these files ends exactly where its data does, so every shorter prefix lacks something.
    for (const QByteArray& file : {eight, rgb, mono, planar, packed, fixture("packed2.pcx"), fixture("planes2.pcx"),
                                   fixture("planes3.pcx"), fixture("rgba.pcx")}) {
        ASSERT_FALSE(DecodePcx(file).isNull());
        for (qsizetype length = 0; length < file.size(); ++length)
            EXPECT_TRUE(DecodePcx(file.left(length)).isNull())
                << "kind " << int(file[3]) << "/" << int(file[65]) << " cut to " << length << " of " << file.size();
    }

    // The largest side is taken, also across a negative origin; one pixel more is refused however
    // well made the file is.
    EXPECT_EQ(DecodePcx(WritePcx8(Indexed(kMaxPcxSide, 1, 256), {.xmin = -kMaxPcxSide / 2})).size(),
              QSize(kMaxPcxSide, 1));
    EXPECT_EQ(DecodePcx(WritePcx1(Indexed(1, kMaxPcxSide, 2))).size(), QSize(1, kMaxPcxSide));
    const std::pair<const char*, QByteArray> cases[] = {
        {"8193 wide", WritePcx8(Indexed(kMaxPcxSide + 1, 1, 256), {.xmin = -kMaxPcxSide / 2})},
        {"8193 tall", WritePcx1(Indexed(3, kMaxPcxSide + 1, 2))},
        {"manufacturer 11", With(rgb, 0, {11})},
        {"unencoded", With(eight, 2, {0})},
        {"8 bits, 2 planes", With(rgb, 65, {2})},
        {"1 bit, 5 planes", With(planar, 65, {5})},
        {"4 bits, 4 planes", RawHeader(4, 4, {0, 0, 0, 0}, 1) + QByteArray("\x11\x22\x33\x44")},
        {"xmax before xmin", With(eight, 4, {5, 0, 0, 0, 4, 0, 3, 0})},
        {"ymax before ymin", With(rgb, 4, {0, 0, 9, 0, 8, 0, 3, 0})},
        {"bytes-per-line short of the width", With(eight, 66, {8, 0})},
        {"bytes-per-line short of the bits", With(mono, 66, {2, 0})},
        {"bytes-per-line short of the packed pixels", With(packed, 66, {6, 0})},
        {"palette marker missing", With(eight, eight.size() - 769, {0})},
        {"palette without data", eight.left(128) + eight.right(769)},
        {"run count without its byte", RawHeader(8, 3, {0, 0, 0, 0}, 1) + QByteArray("\x10\x20\xC1")},
        {"8192 x 8192 from a few bytes", With(With(eight, 4, {0, 0, 0, 0, 0xFF, 0x1F, 0xFF, 0x1F}), 66, {0, 0x20})},
    };
    for (const auto& [name, file] : cases)
        EXPECT_TRUE(DecodePcx(file).isNull()) << name;
}

// Inputs that once broke the decoder, or were made to try: they must keep decoding, or being
// refused, without a sanitizer report. A path that is no file gives a null image.
TEST(PcxRegressions, EveryStoredInputDecodes) {
    for (const QString& path :
         {QString(ZELVORA_PCX_REGRESSIONS_DIR), QString(ZELVORA_PCX_REGRESSIONS_DIR "/none"), QString()})
        EXPECT_TRUE(LoadPcx(path).isNull()) << path.toStdString();
    const QFileInfoList files = QDir(ZELVORA_PCX_REGRESSIONS_DIR).entryInfoList(QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << "no inputs in " << ZELVORA_PCX_REGRESSIONS_DIR;
    for (const QFileInfo& file : files) {
        const QImage image = LoadPcx(file.filePath());
        EXPECT_TRUE(image.isNull() || (image.width() <= kMaxPcxSide && image.height() <= kMaxPcxSide &&
                                       image.format() == QImage::Format_RGB32))
            << file.fileName().toStdString();
    }
}

// Any letter case, only regular files, never outside the folder. A clone without its own file
// shows the parent's (its name trimmed) while merged sets are assumed; today's MAME adds, after
// the PCX, the set's own PNG and then the first snapshot in its folder. What may be deleted is the
// game's own file, never the parent's.
TEST(ScreenshotFinder, FindsTheGamesOrItsParentsFileInTheFolderOnly) {
    test::TempProgramDir shots;
    const QString dir = shots.path() + "/";
    for (const char* file : {"PACMAN.PCX", "galaga.pcx", "Galaga.PNG", "mslug/0001.png", "mslug/0000.png",
                             "mslug/readme.txt", "xevious/notes.txt", "inner/x.pcx"})
        test::WriteBytes(dir + file, "x");
    ScreenshotFinder finder;
    const auto find = [&finder](const QString& folder, const char* rom, const QString& clone = {}, bool merged = false,
                                ScreenshotKinds kinds = ScreenshotKinds::Pcx) {
        return finder.Find(folder, rom, clone, merged, kinds);
    };
    EXPECT_EQ(find(dir, "puckman", "  pacman ", true), dir + "PACMAN.PCX");
    EXPECT_EQ(find(dir, "puckman", "  pacman ", false), QString());
    EXPECT_EQ(find(dir, "puckman", "        ", true), QString());
    // A file that appears later is found: the listing follows the folder.
    test::WriteBytes(dir + "PuckMan.Pcx", "x");
    EXPECT_EQ(find(dir, "puckman", "pacman", true), dir + "PuckMan.Pcx");
    // A folder or a pipe named like a screenshot, a name leading out of the folder, a missing
    // folder, an empty name.
    QDir().mkpath(dir + "xevious.pcx");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "DIGDUG.pcx").constData(), 0600), 0);
    for (const char* rom : {"xevious", "digdug", "DIGDUG", "../galaga", "inner/x", ".", "..", ""})
        EXPECT_EQ(find(dir, rom) + find(dir + "inner/", rom), QString()) << rom;
    EXPECT_EQ(find(dir + "missing/", "pacman"), QString());
    const auto findToday = [&](const char* rom, const char* clone = "") {
        return find(dir, rom, clone, true, ScreenshotKinds::PcxAndPng).mid(dir.size());
    };
    EXPECT_EQ(findToday("galaga"), "galaga.pcx");
    EXPECT_EQ(findToday("MSLUG"), "mslug/0000.png");
    EXPECT_EQ(findToday("mslugx", "mslug"), "mslug/0000.png");
    EXPECT_EQ(findToday("xevious"), "");
    EXPECT_EQ(finder.FindOwn(dir, "galaga", ScreenshotKinds::Pcx), dir + "galaga.pcx");
    EXPECT_EQ(finder.FindOwn(dir, "mslug", ScreenshotKinds::PcxAndPng), dir + "mslug/0000.png");
    EXPECT_EQ(finder.FindOwn(dir, "mslugx", ScreenshotKinds::PcxAndPng), QString());
    QFile::remove(dir + "galaga.pcx");
    EXPECT_EQ(finder.FindOwn(dir, "galaga", ScreenshotKinds::PcxAndPng), dir + "Galaga.PNG");
}

// A PNG reads as a PCX does (the tabs' tests show a PCX). Only a regular file of a screenshot's
// size is read: opening a pipe would wait for a writer forever, and a huge file or a header asking
// for a huge picture is no screenshot.
TEST(LoadScreenshot, ReadsPngAndRefusesWhatIsNoScreenshot) {
    test::TempProgramDir dir;
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    ASSERT_TRUE(picture.save(dir.file("shot.PNG")));
    ASSERT_TRUE(QImage(kMaxPcxSide + 1, 1, QImage::Format_Mono).save(dir.file("wide.png")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("pipe.png")).constData(), 0600), 0);
    QFile huge(dir.file("huge.pcx"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(MaxScreenshotBytes + 1));
    EXPECT_EQ(LoadScreenshot(dir.file("shot.PNG")), picture);
    for (const char* name : {"wide.png", "pipe.png", "huge.pcx", "none.png", ""})
        EXPECT_TRUE(LoadScreenshot(dir.file(name)).isNull()) << name;
}

// The picture fills one side of the area and is centred along the other, inside the area, with
// halves rounded to even whatever rounding mode the caller left behind.
TEST(PlaceScreenshot, FillsOneSideCentresTheOtherAndRoundsHalvesToEven) {
    // Picture width and height, area width and height, where it goes.
    const std::tuple<int, int, int, int, QRect> cases[] = {
        {224, 288, 420, 300, {94, 0, 233, 300}}, // a 93.5 margin rounds to 94
        {224, 288, 418, 300, {92, 0, 233, 300}}, // and 92.5 to 92, not away from zero to 93
        {240, 320, 200, 300, {0, 16, 200, 267}}, // cut back to the width; 16.5 gives 16
        {5, 6, 100, 3, {49, 0, 2, 3}},           // a scaled width of 2.5 becomes 2
        // Extreme proportions stay finite and inside the area; nothing to draw, or nowhere to.
        {65535, 1, 420, 300, {0, 150, 420, 0}},
        {1, 65535, 420, 300, {210, 0, 0, 300}},
        {0, 240, 420, 300, {}},
        {320, -240, 420, 300, {}},
        {320, 240, 0, 300, {}},
        {320, 240, 420, -300, {}},
    };
    const int mode = std::fegetround();
    for (const int rounding : {mode, FE_UPWARD, FE_DOWNWARD}) {
        std::fesetround(rounding);
        for (const auto& [w, h, areaW, areaH, expected] : cases)
            EXPECT_EQ(PlaceScreenshot(w, h, areaW, areaH), expected)
                << w << "x" << h << " in " << areaW << "x" << areaH << ", rounding " << rounding;
    }
    std::fesetround(mode);
}
