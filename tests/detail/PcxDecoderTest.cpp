#include "PcxWriter.h"
#include "TestDirs.h"

#include "detail/PcxDecoder.h"

#include <QDir>
#include <QFileInfo>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

// A header written byte by byte, independent of PcxWriter, so that the two cannot share a mistake
// about where a field lives.
QByteArray RawHeader(int bitsPerPixel, int planes, int xmin, int ymin, int xmax, int ymax, int bytesPerLine) {
    QByteArray h(128, '\0');
    const int fields[][2] = {{4, xmin}, {6, ymin}, {8, xmax}, {10, ymax}, {66, bytesPerLine}};
    for (const auto& [offset, value] : fields) {
        h[offset] = static_cast<char>(value & 0xFF);
        h[offset + 1] = static_cast<char>(value >> 8);
    }
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<char>(bitsPerPixel);
    h[65] = static_cast<char>(planes);
    return h;
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// Every index of the palette is used (those of 0xC0 and up must be escaped by the writer), and no
// two entries share a colour; red, green and blue follow different patterns, so a swapped plane
// shows too.
QImage Indexed(int w, int h, int colours) {
    QImage image(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table << qRgb(i, 255 - i, (i * 67) & 0xFF);
    image.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, static_cast<uint>((x * 7 + y * 31 + (x / 5) * (y / 3)) % colours));
    return image;
}

QImage Mono(int w, int h, QRgb clear, QRgb set) {
    QImage image(w, h, QImage::Format_Mono);
    image.setColorTable({clear, set});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, static_cast<uint>(((x * x + y * 3) / 2) % 2));
    return image;
}

void ExpectPixels(const QImage& decoded, const QImage& expected) {
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    EXPECT_TRUE(decoded == expected.convertToFormat(QImage::Format_RGB32))
        << decoded.width() << " x " << decoded.height() << " decoded";
}

} // namespace

// Each kind through plain, padded (even bytes-per-line) and offset-window layouts, at widths that
// give odd and even bytes-per-line, part-filled bit-plane bytes and runs longer than 63 bytes.
TEST(PcxDecoder, EveryKindDecodesToTheWrittenPixels) {
    using Write = QByteArray (*)(const QImage&, const PcxOptions&);
    const std::vector<std::tuple<const char*, Write, std::function<QImage(int, int)>>> kinds = {
        {"8-bit", WritePcx8, [](int w, int h) { return Indexed(w, h, 256); }},
        {"24-bit", WritePcx24, [](int w, int h) { return Indexed(w, h, 256); }},
        // Red = green = blue: every run carries on from one plane into the next.
        {"24-bit grey", WritePcx24, [](int w, int h) { return Mono(w, h, qRgb(90, 90, 90), qRgb(90, 90, 90)); }},
        {"1-bit", WritePcx1, [](int w, int h) { return Mono(w, h, qRgb(0, 0, 170), qRgb(255, 255, 85)); }},
        {"4-bit", WritePcx4, [](int w, int h) { return Indexed(w, h, 16); }},
    };
    PcxOptions padded, origin;
    padded.padToEven = true;
    origin.xmin = 320;
    origin.ymin = 65000;
    origin.runsAcrossLines = true;
    for (const auto& [kind, write, make] : kinds) {
        for (const auto& [layout, options] :
             {std::pair{"plain", PcxOptions{}}, {"padded", padded}, {"origin", origin}}) {
            for (int w : {1, 7, 8, 17, 70}) {
                SCOPED_TRACE(std::string(kind) + ", " + layout + ", width " + std::to_string(w));
                const QImage image = make(w, 5);
                ExpectPixels(DecodePcx(write(image, options)), image);
            }
        }
    }
}

TEST(PcxDecoder, ReadsHandAssembledFiles) {
    const auto colour = [](int index) { return qRgb(index, 255 - index, index / 2); };
    const auto rgb = [&](int i) { return Bytes({qRed(colour(i)), qGreen(colour(i)), qBlue(colour(i))}); };
    const auto expectIndices = [&](const QByteArray& file, int width, const std::vector<int>& indices) {
        const QImage image = DecodePcx(file);
        ASSERT_EQ(image.size(), QSize(width, static_cast<int>(indices.size()) / width));
        for (int i = 0; i < static_cast<int>(indices.size()); ++i)
            EXPECT_EQ(image.pixel(i % width, i / width), colour(indices[i])) << i;
    };
    // 8-bit, a 3 x 2 window at 3,5, three bytes per line: a run carries into line 1, an escaped
    // 0xC8 follows, and the last run reaches far past the image's end; then the palette.
    QByteArray eight = RawHeader(8, 1, 3, 5, 5, 6, 3) + Bytes({0x01, 0xC3, 0x05, 0xC1, 0xC8, 0xC9, 0x07, 12});
    for (int i = 0; i < 256; ++i)
        eight += rgb(i);
    expectIndices(eight, 3, {1, 5, 5, 5, 0xC8, 7});
    // 4-bit: plane 0 holds the index's lowest bit, plane 3 its highest; the leftmost pixel is the
    // top bit.
    QByteArray planar = RawHeader(1, 4, 0, 0, 7, 0, 1);
    for (int i = 0; i < 16; ++i)
        planar.replace(16 + 3 * i, 3, rgb(i));
    expectIndices(planar + Bytes({0x81, 0x41, 0xA1, 0x11}), 8, {1 | 4, 2, 4, 8, 0, 0, 0, 15});
}

TEST(PcxDecoder, OneBitWithEqualHeaderColoursIsBlackOnWhite) {
    // A zeroed palette, as many writers leave it, and two equal entries that are not black.
    const QImage image = Mono(17, 3, qRgb(1, 2, 3), qRgb(4, 5, 6));
    for (const QList<QRgb>& palette :
         {QList<QRgb>(16, qRgb(0, 0, 0)), QList<QRgb>{qRgb(9, 9, 9), qRgb(9, 9, 9), qRgb(200, 0, 0)}}) {
        ExpectPixels(DecodePcx(WritePcx1(image, {.headerPalette = palette})),
                     Mono(17, 3, qRgb(0, 0, 0), qRgb(255, 255, 255)));
    }
}

TEST(PcxDecoder, MalformedFilesGiveANullImage) {
    const QByteArray eight = WritePcx8(Indexed(9, 4, 256));
    const QByteArray rgb = WritePcx24(Indexed(9, 4, 256));
    const QByteArray mono = WritePcx1(Mono(19, 4, qRgb(0, 0, 0), qRgb(255, 255, 255)));
    const QByteArray planar = WritePcx4(Indexed(19, 4, 16));

    // Each of these files ends exactly where its data does, so every shorter prefix lacks something.
    for (const QByteArray& file : {eight, rgb, mono, planar}) {
        ASSERT_FALSE(DecodePcx(file).isNull());
        for (qsizetype length = 0; length < file.size(); ++length)
            EXPECT_TRUE(DecodePcx(file.left(length)).isNull())
                << "kind " << int(file[3]) << "/" << int(file[65]) << " cut to " << length << " of " << file.size();
    }

    // The largest side is taken; one pixel more is refused however well made the file is.
    EXPECT_EQ(DecodePcx(WritePcx8(Indexed(kMaxPcxSide, 1, 256))).size(), QSize(kMaxPcxSide, 1));
    EXPECT_EQ(DecodePcx(WritePcx1(Mono(1, kMaxPcxSide, 0, 0))).size(), QSize(1, kMaxPcxSide));
    PcxOptions origin;
    origin.xmin = 100;
    auto with = [](QByteArray file, int offset, std::initializer_list<int> values) {
        for (int v : values)
            file[offset++] = static_cast<char>(v);
        return file;
    };
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"8193 wide", WritePcx8(Indexed(kMaxPcxSide + 1, 1, 256), origin)},
        {"8193 tall", WritePcx1(Mono(3, kMaxPcxSide + 1, 0, 0))},
        {"manufacturer 11", with(rgb, 0, {11})},
        {"unencoded", with(eight, 2, {0})},
        {"8 bits, 2 planes", with(rgb, 65, {2})},
        {"1 bit, 3 planes", with(planar, 65, {3})},
        {"xmax before xmin", with(eight, 4, {5, 0, 0, 0, 4, 0, 3, 0})},
        {"ymax before ymin", with(rgb, 4, {0, 0, 9, 0, 8, 0, 3, 0})},
        {"bytes-per-line short of the width", with(eight, 66, {8, 0})},
        {"bytes-per-line short of the bits", with(mono, 66, {2, 0})},
        {"bytes-per-line huge", with(rgb, 66, {0xFF, 0xFF})},
        {"palette marker missing", with(eight, static_cast<int>(eight.size() - 769), {0})},
        {"palette without data", eight.left(128) + eight.right(769)},
        {"run count without its byte", RawHeader(8, 3, 0, 0, 0, 0, 1) + Bytes({0x10, 0x20, 0xC1})},
        {"8192 x 8192 from a few bytes", with(with(eight, 4, {0, 0, 0, 0, 0xFF, 0x1F, 0xFF, 0x1F}), 66, {0, 0x20})},
    };
    for (const auto& [name, file] : cases)
        EXPECT_TRUE(DecodePcx(file).isNull()) << name;
}

TEST(LoadPcx, ReadsTheFileAndIsNullWithoutOne) {
    TempProgramDir dir;
    const QImage image = Indexed(33, 7, 256);
    WriteBytes(dir.file(QStringLiteral("shot.pcx")), WritePcx24(image));
    ExpectPixels(LoadPcx(dir.file(QStringLiteral("shot.pcx"))), image);
    for (const QString& path : {dir.file(QStringLiteral("missing.pcx")), dir.path(), QString()})
        EXPECT_TRUE(LoadPcx(path).isNull()) << path.toStdString();
}

// Inputs that once broke the decoder, or were made to try: they must keep decoding, or being
// refused, without a sanitizer report.
TEST(PcxRegressions, EveryStoredInputDecodes) {
    const QFileInfoList files = QDir(QStringLiteral(ZELVORA_PCX_REGRESSIONS_DIR)).entryInfoList(QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << "no inputs in " << ZELVORA_PCX_REGRESSIONS_DIR;
    for (const QFileInfo& file : files) {
        SCOPED_TRACE(file.fileName().toStdString());
        const QImage image = LoadPcx(file.filePath());
        if (!image.isNull()) {
            EXPECT_LE(image.width(), kMaxPcxSide);
            EXPECT_LE(image.height(), kMaxPcxSide);
            EXPECT_EQ(image.format(), QImage::Format_RGB32);
        }
    }
}
