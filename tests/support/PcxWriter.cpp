#include "PcxWriter.h"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace zelvora::test {

namespace {

constexpr int kMaxRun = 0x3F;

constexpr std::array<QRgb, 16> kEgaColours = {
    0xff000000, 0xff0000aa, 0xff00aa00, 0xff00aaaa, 0xffaa0000, 0xffaa00aa, 0xffaa5500, 0xffaaaaaa,
    0xff555555, 0xff5555ff, 0xff55ff55, 0xff55ffff, 0xffff5555, 0xffff55ff, 0xffffff55, 0xffffffff,
};

void Put16(QByteArray& bytes, int offset, int value) {
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutRgb(QByteArray& bytes, qsizetype offset, QRgb colour) {
    bytes[offset] = static_cast<char>(qRed(colour));
    bytes[offset + 1] = static_cast<char>(qGreen(colour));
    bytes[offset + 2] = static_cast<char>(qBlue(colour));
}

int BytesPerLine(int width, int bitsPerPixel, const PcxOptions& options) {
    int bpl = (width * bitsPerPixel + 7) / 8;
    if (options.padToEven && bpl % 2 != 0)
        ++bpl;
    return bpl;
}

QByteArray Header(const QImage& image, int bitsPerPixel, int planes, int bpl, const PcxOptions& options) {
    QByteArray h(128, '\0');
    h[0] = 10; // manufacturer
    h[1] = 5;  // version: 3.0 and later
    h[2] = 1;  // RLE
    h[3] = static_cast<char>(bitsPerPixel);
    Put16(h, 4, options.xmin);
    Put16(h, 6, options.ymin);
    Put16(h, 8, options.xmin + image.width() - 1);
    Put16(h, 10, options.ymin + image.height() - 1);
    Put16(h, 12, 72);
    Put16(h, 14, 72);
    h[65] = static_cast<char>(planes);
    Put16(h, 66, bpl);
    Put16(h, 68, 1); // colour palette
    return h;
}

void Encode(const std::vector<uchar>& bytes, QByteArray& out) {
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        const uchar value = bytes[i];
        size_t run = 1;
        while (i + run < n && bytes[i + run] == value && run < kMaxRun)
            ++run;
        // A lone byte with its top two bits set would read as a count, so it goes out as a run of one.
        if (run > 1 || (value & 0xC0) == 0xC0) {
            out.append(static_cast<char>(0xC0 | run));
            out.append(static_cast<char>(value));
        } else {
            out.append(static_cast<char>(value));
        }
        i += run;
    }
}

// Encodes the scan lines that `fillLine(y, line)` lays out, planes one after another.
void EncodeLines(int height, size_t lineSize, const PcxOptions& options,
                 const std::function<void(int, uchar*)>& fillLine, QByteArray& out) {
    std::vector<uchar> stream;
    std::vector<uchar> line(lineSize);
    for (int y = 0; y < height; ++y) {
        std::fill(line.begin(), line.end(), uchar{0});
        fillLine(y, line.data());
        if (options.runsAcrossLines) {
            stream.insert(stream.end(), line.begin(), line.end());
        } else {
            Encode(line, out);
        }
    }
    if (options.runsAcrossLines)
        Encode(stream, out);
}

void PutHeaderPalette(QByteArray& h, const QList<QRgb>& colours) {
    for (qsizetype i = 0; i < std::min<qsizetype>(colours.size(), 16); ++i)
        PutRgb(h, 16 + 3 * i, colours[i]);
}

QImage ToIndexed8(const QImage& image) {
    if (image.format() == QImage::Format_Indexed8)
        return image;
    return image.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8);
}

} // namespace

QByteArray WritePcx8(const QImage& source, const PcxOptions& options) {
    const QImage image = ToIndexed8(source);
    const int bpl = BytesPerLine(image.width(), 8, options);
    QByteArray out = Header(image, 8, 1, bpl, options);
    EncodeLines(
        image.height(), bpl, options,
        [&](int y, uchar* line) { std::copy_n(image.constScanLine(y), image.width(), line); }, out);

    out.append(char{12});
    QByteArray palette(768, '\0');
    const QList<QRgb> table = image.colorTable();
    for (qsizetype i = 0; i < std::min<qsizetype>(table.size(), 256); ++i)
        PutRgb(palette, 3 * i, table[i]);
    out.append(palette);
    return out;
}

QByteArray WritePcx24(const QImage& source, const PcxOptions& options) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int bpl = BytesPerLine(image.width(), 8, options);
    QByteArray out = Header(image, 8, 3, bpl, options);
    EncodeLines(
        image.height(), 3 * size_t(bpl), options,
        [&](int y, uchar* line) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                line[x] = static_cast<uchar>(qRed(row[x]));
                line[bpl + x] = static_cast<uchar>(qGreen(row[x]));
                line[2 * bpl + x] = static_cast<uchar>(qBlue(row[x]));
            }
        },
        out);
    return out;
}

QByteArray WritePcx1(const QImage& source, const PcxOptions& options) {
    const QImage image = source.format() == QImage::Format_Mono || source.format() == QImage::Format_MonoLSB
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_Mono);
    const int bpl = BytesPerLine(image.width(), 1, options);
    QByteArray out = Header(image, 1, 1, bpl, options);
    PutHeaderPalette(out, options.headerPalette.isEmpty() ? image.colorTable() : options.headerPalette);
    EncodeLines(
        image.height(), bpl, options,
        [&](int y, uchar* line) {
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelIndex(x, y) != 0)
                    line[x / 8] |= static_cast<uchar>(0x80 >> (x % 8));
        },
        out);
    return out;
}

QByteArray WritePcx4(const QImage& source, const PcxOptions& options) {
    QImage indexed = ToIndexed8(source);
    if (indexed.colorCount() > 16) {
        const QList<QRgb> ega(kEgaColours.begin(), kEgaColours.end());
        indexed = source.convertToFormat(QImage::Format_Indexed8, ega, Qt::ThresholdDither);
    }
    const int bpl = BytesPerLine(indexed.width(), 1, options);
    QByteArray out = Header(indexed, 1, 4, bpl, options);
    PutHeaderPalette(out, options.headerPalette.isEmpty() ? indexed.colorTable() : options.headerPalette);
    EncodeLines(
        indexed.height(), 4 * size_t(bpl), options,
        [&](int y, uchar* line) {
            const uchar* row = indexed.constScanLine(y);
            for (int x = 0; x < indexed.width(); ++x)
                for (int plane = 0; plane < 4; ++plane)
                    if (row[x] & (1 << plane))
                        line[plane * bpl + x / 8] |= static_cast<uchar>(0x80 >> (x % 8));
        },
        out);
    return out;
}

} // namespace zelvora::test
