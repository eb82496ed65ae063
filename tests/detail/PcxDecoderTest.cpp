#include "PcxWriter.h"
#include "TestDirs.h"

#include "detail/PcxDecoder.h"

#include <QDir>

#include <array>
#include <string>
#include <vector>

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
// cannot share a mistake about where a field lives; the 16 header colours are `colour(i)`.
QByteArray RawHeader(int bits, int planes, std::array<int, 4> window, int bpl, QRgb (*colour)(int) = nullptr) {
    QByteArray h = With(QByteArray(128, '\0'), 0, {10, 5, 1, bits});
    h = With(h, 65, {planes, bpl & 0xFF, bpl >> 8});
    for (int i = 0; i < 4; ++i)
        h = With(h, 4 + 2 * i, {window[i] & 0xFF, window[i] >> 8});
    for (int i = 0; i < 16 && colour; ++i)
        h = With(h, 16 + 3 * i, {qRed(colour(i)), qGreen(colour(i)), qBlue(colour(i))});
    return h;
}

QRgb Colour(int index) {
    return qRgb(index, 255 - index, index / 2);
}

} // namespace

// Each kind through plain, padded (even bytes-per-line) and offset-window layouts, at widths that
// give odd and even bytes-per-line, part-filled bit-plane bytes and runs longer than 63 bytes.
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
}

// Which bit is which pixel, where runs may reach, and where the palettes are.
TEST(PcxDecoder, ReadsHandAssembledFiles) {
    const auto expectIndices = [&](const QByteArray& bytes, int width, const std::vector<int>& indices) {
        const QImage image = DecodePcx(bytes);
        ASSERT_EQ(image.size(), QSize(width, static_cast<int>(indices.size()) / width));
        for (int i = 0; i < static_cast<int>(indices.size()); ++i)
            EXPECT_EQ(image.pixel(i % width, i / width), Colour(indices[i])) << i;
    };
    // 8-bit, a 3 x 2 window at 3,5, three bytes per line: a run carries into line 1, an escaped
    // 0xC8 follows, and the last run reaches far past the image's end; then the palette.
    QByteArray eight = RawHeader(8, 1, {3, 5, 5, 6}, 3) + QByteArray("\x01\xC3\x05\xC1\xC8\xC9\x07\x0C");
    for (int i = 0; i < 256; ++i)
        eight += With(QByteArray(3, '\0'), 0, {qRed(Colour(i)), qGreen(Colour(i)), qBlue(Colour(i))});
    expectIndices(eight, 3, {1, 5, 5, 5, 0xC8, 7});
    // 4-bit: plane 0 holds the index's lowest bit, plane 3 its highest; the leftmost pixel is the
    // top bit.
    expectIndices(RawHeader(1, 4, {0, 0, 7, 0}, 1, Colour) + QByteArray("\x81\x41\xA1\x11"), 8,
                  {1 | 4, 2, 4, 8, 0, 0, 0, 15});
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
