#include "PcxWriter.h"
#include "TestDirs.h"

#include "detail/PcxDecoder.h"

#include <QDir>
#include <QFileInfo>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

// A header written byte by byte, independent of PcxWriter, so that the two cannot share a mistake
// about where a field lives.
QByteArray RawHeader(int bitsPerPixel, int planes, int xmin, int ymin, int xmax, int ymax, int bytesPerLine) {
    QByteArray h(128, '\0');
    auto put16 = [&](int offset, int value) {
        h[offset] = static_cast<char>(value & 0xFF);
        h[offset + 1] = static_cast<char>(value >> 8);
    };
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<char>(bitsPerPixel);
    put16(4, xmin);
    put16(6, ymin);
    put16(8, xmax);
    put16(10, ymax);
    h[65] = static_cast<char>(planes);
    put16(66, bytesPerLine);
    return h;
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

void SetHeaderColour(QByteArray& file, int index, QRgb colour) {
    file[16 + 3 * index] = static_cast<char>(qRed(colour));
    file[17 + 3 * index] = static_cast<char>(qGreen(colour));
    file[18 + 3 * index] = static_cast<char>(qBlue(colour));
}

QByteArray VgaPalette(const std::vector<std::pair<int, QRgb>>& entries) {
    QByteArray palette(769, '\0');
    palette[0] = 12;
    for (const auto& [index, colour] : entries) {
        palette[1 + 3 * index] = static_cast<char>(qRed(colour));
        palette[2 + 3 * index] = static_cast<char>(qGreen(colour));
        palette[3 + 3 * index] = static_cast<char>(qBlue(colour));
    }
    return palette;
}

// Neighbouring pixels differ in every channel and no two channels follow the same pattern, so a
// swapped plane, a shifted row or a column off by one all show.
QImage Gradient(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 11) & 0xFF, (x * 5 + y * 73 + 128) & 0xFF, ((x ^ y) * 29) & 0xFF));
    return image;
}

// Every index of the palette is used (those of 0xC0 and up must be escaped by the writer), and no
// two entries share a colour.
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
    ASSERT_FALSE(decoded.isNull());
    ASSERT_EQ(decoded.size(), expected.size());
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    const QImage want = expected.convertToFormat(QImage::Format_RGB32);
    int wrong = 0;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            if (decoded.pixel(x, y) != want.pixel(x, y) && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << decoded.pixel(x, y) << " instead of "
                              << want.pixel(x, y);
    EXPECT_EQ(wrong, 0);
}

struct Layout {
    const char* name;
    PcxOptions options;
};

std::vector<Layout> Layouts() {
    PcxOptions padded;
    padded.padToEven = true;
    PcxOptions origin;
    origin.xmin = 320;
    origin.ymin = 17;
    PcxOptions acrossLines;
    acrossLines.runsAcrossLines = true;
    PcxOptions all = padded;
    all.xmin = 1;
    all.ymin = 65000;
    all.runsAcrossLines = true;
    return {{"plain", {}}, {"padded", padded}, {"origin", origin}, {"across lines", acrossLines}, {"all", all}};
}

// Each kind is read through every layout at widths that give odd and even bytes-per-line, a run
// longer than a scan line, and part-filled bytes for the bit-plane kinds.
void ExpectRoundTrips(const std::function<QByteArray(const QImage&, const PcxOptions&)>& write,
                      const std::function<QImage(int, int)>& make, std::initializer_list<int> widths) {
    for (const Layout& layout : Layouts()) {
        for (int w : widths) {
            SCOPED_TRACE(std::string(layout.name) + ", width " + std::to_string(w));
            const QImage image = make(w, 5);
            ExpectPixels(DecodePcx(write(image, layout.options)), image);
        }
    }
}

int BytesPerLineOf(const QByteArray& file) {
    return static_cast<uchar>(file[66]) | (static_cast<uchar>(file[67]) << 8);
}

} // namespace

TEST(PcxDecoder, ReadsAHandAssembledEightBitFile) {
    // A 3 x 2 window at 3,5; three bytes per line, one of them an escaped 0xC8.
    QByteArray file = RawHeader(8, 1, 3, 5, 5, 6, 3);
    file += Bytes({0x01, 0xC2, 0x05, 0xC1, 0xC8, 0x07, 0x00});
    file += VgaPalette({{0, qRgb(1, 2, 3)},
                        {1, qRgb(10, 20, 30)},
                        {5, qRgb(40, 50, 60)},
                        {7, qRgb(70, 80, 90)},
                        {0xC8, qRgb(200, 100, 50)}});
    QImage expected(3, 2, QImage::Format_RGB32);
    expected.setPixel(0, 0, qRgb(10, 20, 30));
    expected.setPixel(1, 0, qRgb(40, 50, 60));
    expected.setPixel(2, 0, qRgb(40, 50, 60));
    expected.setPixel(0, 1, qRgb(200, 100, 50));
    expected.setPixel(1, 1, qRgb(70, 80, 90));
    expected.setPixel(2, 1, qRgb(1, 2, 3));
    ExpectPixels(DecodePcx(file), expected);
}

TEST(PcxDecoder, RunsCarryIntoTheNextLineAndOverrunsAreDropped) {
    // The first run's last two bytes open line 1; the last run reaches far past the image's end.
    QByteArray file = RawHeader(8, 1, 0, 0, 2, 2, 3);
    file += Bytes({0x01, 0xC4, 0x05, 0x07, 0xFF, 0x09});
    file += VgaPalette({{1, qRgb(1, 1, 1)}, {5, qRgb(5, 5, 5)}, {7, qRgb(7, 7, 7)}, {9, qRgb(9, 9, 9)}});
    const QImage image = DecodePcx(file);
    ASSERT_EQ(image.size(), QSize(3, 3));
    const QRgb want[3][3] = {{qRgb(1, 1, 1), qRgb(5, 5, 5), qRgb(5, 5, 5)},
                             {qRgb(5, 5, 5), qRgb(5, 5, 5), qRgb(7, 7, 7)},
                             {qRgb(9, 9, 9), qRgb(9, 9, 9), qRgb(9, 9, 9)}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(image.pixel(x, y), want[y][x]) << x << "," << y;
}

TEST(PcxDecoder, EightBitWithEveryPaletteIndex) {
    ExpectRoundTrips(WritePcx8, [](int w, int h) { return Indexed(w, h, 256); }, {1, 7, 8, 64, 131});
    // The bytes-per-line the layouts claim are the ones the decoder had to honour.
    EXPECT_EQ(BytesPerLineOf(WritePcx8(Indexed(7, 1, 256))), 7);
    PcxOptions padded;
    padded.padToEven = true;
    EXPECT_EQ(BytesPerLineOf(WritePcx8(Indexed(7, 1, 256), padded)), 8);
}

TEST(PcxDecoder, EightBitFromAnOrdinaryImage) {
    // The demo draws its screenshots as RGB images; a few colours survive exactly.
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 128));
    for (int y = 5; y < 25; ++y)
        for (int x = 3; x < 37; x += 2)
            image.setPixel(x, y, qRgb(255, 200, static_cast<int>(y)));
    ExpectPixels(DecodePcx(WritePcx8(image)), image);

    const QImage manyColours = Gradient(120, 90);
    EXPECT_EQ(DecodePcx(WritePcx8(manyColours)).size(), QSize(120, 90));
}

TEST(PcxDecoder, TwentyFourBitInThreePlanes) {
    ExpectRoundTrips(WritePcx24, Gradient, {1, 7, 8, 64, 131});
}

TEST(PcxDecoder, TwentyFourBitRunsCrossPlaneBoundaries) {
    // Grey with red = green = blue: each 10-byte plane runs on into the next, one 30-byte run per line.
    QImage grey(10, 4, QImage::Format_RGB32);
    grey.fill(qRgb(0x5A, 0x5A, 0x5A));
    const QByteArray file = WritePcx24(grey);
    ASSERT_EQ(file.size(), 128 + 4 * 2);
    ExpectPixels(DecodePcx(file), grey);

    // A run from the red plane's last bytes into the green plane's first, and one filling blue.
    QByteArray handMade = RawHeader(8, 3, 0, 0, 2, 0, 3);
    handMade += Bytes({0x10, 0xC3, 0x20, 0x30, 0x40, 0xC3, 0x50});
    const QImage image = DecodePcx(handMade);
    ASSERT_EQ(image.size(), QSize(3, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0x10, 0x20, 0x50));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0x20, 0x30, 0x50));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0x20, 0x40, 0x50));
}

TEST(PcxDecoder, OneBitWithTheHeaderColours) {
    ExpectRoundTrips(WritePcx1, [](int w, int h) { return Mono(w, h, qRgb(0, 0, 170), qRgb(255, 255, 85)); },
                     {1, 7, 8, 9, 17, 70});

    // Leftmost pixel in the top bit; the unused third byte of the line is ignored.
    QByteArray file = RawHeader(1, 1, 0, 0, 9, 0, 3);
    SetHeaderColour(file, 0, qRgb(0, 0, 170));
    SetHeaderColour(file, 1, qRgb(255, 255, 85));
    file += Bytes({0x80, 0x40, 0xC1, 0xFF});
    const QImage image = DecodePcx(file);
    ASSERT_EQ(image.size(), QSize(10, 1));
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(image.pixel(x, 0), x == 0 || x == 9 ? qRgb(255, 255, 85) : qRgb(0, 0, 170)) << x;
}

TEST(PcxDecoder, OneBitWithEqualHeaderColoursIsBlackOnWhite) {
    // A zeroed palette, as many writers leave it, and two equal entries that are not black.
    const QImage image = Mono(17, 3, qRgb(1, 2, 3), qRgb(4, 5, 6));
    for (const QList<QRgb>& palette :
         {QList<QRgb>(16, qRgb(0, 0, 0)), QList<QRgb>{qRgb(9, 9, 9), qRgb(9, 9, 9), qRgb(200, 0, 0)}}) {
        PcxOptions options;
        options.headerPalette = palette;
        ExpectPixels(DecodePcx(WritePcx1(image, options)), Mono(17, 3, qRgb(0, 0, 0), qRgb(255, 255, 255)));
    }
}

TEST(PcxDecoder, FourBitInFourPlanes) {
    ExpectRoundTrips(WritePcx4, [](int w, int h) { return Indexed(w, h, 16); }, {1, 7, 8, 9, 17, 70});

    // Plane 0 holds the index's lowest bit, plane 3 its highest.
    QByteArray file = RawHeader(1, 4, 0, 0, 7, 0, 1);
    for (int i = 0; i < 16; ++i)
        SetHeaderColour(file, i, qRgb(i * 16, 255 - i, i));
    file += Bytes({0x81, 0x41, 0xA1, 0x11});
    const QImage image = DecodePcx(file);
    ASSERT_EQ(image.size(), QSize(8, 1));
    const int index[8] = {1 | 4, 2, 4, 8, 0, 0, 0, 15};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(image.pixel(x, 0), qRgb(index[x] * 16, 255 - index[x], index[x])) << x;
}

TEST(PcxDecoder, TakesTheLargestSideAllowed) {
    const QImage wide = Indexed(kMaxPcxSide, 1, 256);
    ExpectPixels(DecodePcx(WritePcx8(wide)), wide);
    const QImage tall = Mono(1, kMaxPcxSide, qRgb(0, 0, 0), qRgb(255, 255, 255));
    ExpectPixels(DecodePcx(WritePcx1(tall)), tall);
}

TEST(PcxDecoder, MalformedFilesGiveANullImage) {
    const QByteArray eight = WritePcx8(Indexed(9, 4, 256));
    const QByteArray rgb = WritePcx24(Gradient(9, 4));
    const QByteArray mono = WritePcx1(Mono(19, 4, qRgb(0, 0, 0), qRgb(255, 255, 255)));
    const QByteArray planar = WritePcx4(Indexed(19, 4, 16));
    ASSERT_FALSE(DecodePcx(eight).isNull());
    ASSERT_FALSE(DecodePcx(rgb).isNull());
    ASSERT_FALSE(DecodePcx(mono).isNull());
    ASSERT_FALSE(DecodePcx(planar).isNull());

    // Each of these files ends exactly where its data does, so every shorter prefix lacks something.
    for (const QByteArray& file : {eight, rgb, mono, planar}) {
        for (qsizetype length = 0; length < file.size(); ++length)
            EXPECT_TRUE(DecodePcx(file.left(length)).isNull())
                << "kind " << int(file[3]) << "/" << int(file[65]) << " cut to " << length << " of " << file.size();
    }

    auto with = [](QByteArray file, int offset, std::initializer_list<int> values) {
        for (int v : values)
            file[offset++] = static_cast<char>(v);
        return file;
    };
    // Whole, well-made files one pixel over the limit, so only the size can refuse them.
    PcxOptions origin;
    origin.xmin = 100;
    const QByteArray wideFile = WritePcx8(Indexed(kMaxPcxSide + 1, 1, 256), origin);
    const QByteArray tallFile = WritePcx1(Mono(3, kMaxPcxSide + 1, qRgb(0, 0, 0), qRgb(255, 255, 255)));
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"empty", {}},
        {"header only", eight.left(128)},
        {"manufacturer 0", with(eight, 0, {0})},
        {"manufacturer 11", with(rgb, 0, {11})},
        {"unencoded", with(eight, 2, {0})},
        {"encoding 2", with(mono, 2, {2})},
        {"2 bits, 1 plane", with(mono, 3, {2})},
        {"4 bits, 1 plane", with(mono, 3, {4})},
        {"8 bits, 2 planes", with(rgb, 65, {2})},
        {"8 bits, 4 planes", with(rgb, 65, {4})},
        {"1 bit, 3 planes", with(planar, 65, {3})},
        {"0 planes", with(eight, 65, {0})},
        {"65535 x 65535", with(with(eight, 4, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), 66, {0xFF, 0xFF})},
        {"8193 wide", wideFile},
        {"8193 tall", tallFile},
        {"xmax before xmin", with(eight, 4, {5, 0, 0, 0, 4, 0, 3, 0})},
        {"ymax before ymin", with(rgb, 4, {0, 0, 9, 0, 8, 0, 3, 0})},
        {"bytes-per-line short of the width", with(eight, 66, {8, 0})},
        {"bytes-per-line short of the bits", with(mono, 66, {2, 0})},
        {"bytes-per-line short of the planes' bits", with(planar, 66, {2, 0})},
        {"bytes-per-line 0", with(rgb, 66, {0, 0})},
        {"bytes-per-line huge", with(rgb, 66, {0xFF, 0xFF})},
        {"palette marker missing", with(eight, static_cast<int>(eight.size() - 769), {0})},
        {"palette missing", eight.left(eight.size() - 769)},
        {"palette without data", eight.left(128) + eight.right(769)},
        {"run count without its byte", RawHeader(8, 3, 0, 0, 0, 0, 1) + Bytes({0x10, 0x20, 0xC1})},
        {"8192 x 8192 from a few bytes", with(with(eight, 4, {0, 0, 0, 0, 0xFF, 0x1F, 0xFF, 0x1F}), 66, {0, 0x20})},
    };
    for (const auto& [name, file] : cases)
        EXPECT_TRUE(DecodePcx(file).isNull()) << name;
}

TEST(LoadPcx, ReadsTheFileAndIsNullWithoutOne) {
    TempProgramDir dir;
    const QImage image = Gradient(33, 7);
    WriteBytes(dir.file(QStringLiteral("shot.pcx")), WritePcx24(image));
    ExpectPixels(LoadPcx(dir.file(QStringLiteral("shot.pcx"))), image);

    EXPECT_TRUE(LoadPcx(dir.file(QStringLiteral("missing.pcx"))).isNull());
    EXPECT_TRUE(LoadPcx(dir.path()).isNull());
    EXPECT_TRUE(LoadPcx(QString()).isNull());
    WriteBytes(dir.file(QStringLiteral("empty.pcx")), {});
    EXPECT_TRUE(LoadPcx(dir.file(QStringLiteral("empty.pcx"))).isNull());
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
