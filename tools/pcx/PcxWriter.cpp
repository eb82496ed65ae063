#include "PcxWriter.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace zelvora::test {

namespace {

void Put16(QByteArray& bytes, int offset, int value) {
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutColours(QByteArray& bytes, qsizetype offset, const QList<QRgb>& colours, qsizetype count) {
    for (qsizetype i = 0; i < std::min(colours.size(), count); ++i) {
        bytes[offset + 3 * i] = static_cast<char>(qRed(colours[i]));
        bytes[offset + 3 * i + 1] = static_cast<char>(qGreen(colours[i]));
        bytes[offset + 3 * i + 2] = static_cast<char>(qBlue(colours[i]));
    }
}

void Encode(const std::vector<uchar>& bytes, QByteArray& out) {
    for (size_t i = 0, run = 1; i < bytes.size(); i += run) {
        const uchar value = bytes[i];
        for (run = 1; i + run < bytes.size() && bytes[i + run] == value && run < 0x3F;)
            ++run;
        // A lone byte with its top two bits set would read as a count, so it goes out as a run of one.
        if (run > 1 || (value & 0xC0) == 0xC0)
            out.append(static_cast<char>(0xC0 | run));
        out.append(static_cast<char>(value));
    }
}

// The header and the encoded scan lines, each plane after plane: `sample(x, y, plane)` is a byte
// of 8-bit planes, or 0 or 1 of 1-bit planes, where the leftmost pixel is a byte's top bit.
QByteArray Write(const QImage& image, int bits, int planes, const QList<QRgb>& headerPalette, const PcxOptions& options,
                 const std::function<int(int, int, int)>& sample) {
    int bpl = (image.width() * bits + 7) / 8;
    if (options.padToEven && bpl % 2 != 0)
        ++bpl;
    QByteArray out(128, '\0');
    out[0] = 10; // manufacturer
    out[1] = 5;  // version: 3.0 and later
    out[2] = 1;  // RLE
    out[3] = static_cast<char>(bits);
    out[65] = static_cast<char>(planes);
    Put16(out, 4, options.xmin);
    Put16(out, 6, options.ymin);
    Put16(out, 8, options.xmin + image.width() - 1);
    Put16(out, 10, options.ymin + image.height() - 1);
    Put16(out, 66, bpl);
    PutColours(out, 16, options.headerPalette.isEmpty() ? headerPalette : options.headerPalette, 16);

    std::vector<uchar> stream, line(static_cast<size_t>(bpl) * planes);
    for (int y = 0; y < image.height(); ++y) {
        std::fill(line.begin(), line.end(), uchar{0});
        for (int plane = 0; plane < planes; ++plane) {
            uchar* const bytes = line.data() + plane * bpl;
            for (int x = 0; x < image.width(); ++x) {
                if (bits == 8)
                    bytes[x] = static_cast<uchar>(sample(x, y, plane));
                else if (sample(x, y, plane) != 0)
                    bytes[x / 8] |= static_cast<uchar>(0x80 >> (x % 8));
            }
        }
        if (options.runsAcrossLines)
            stream.insert(stream.end(), line.begin(), line.end());
        else
            Encode(line, out);
    }
    Encode(stream, out);
    return out;
}

} // namespace

QByteArray WritePcx8(const QImage& source, const PcxOptions& options) {
    const QImage image = source.format() == QImage::Format_Indexed8
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8);
    QByteArray out = Write(image, 8, 1, {}, options, [&](int x, int y, int) { return image.pixelIndex(x, y); });
    QByteArray palette(1 + 768, '\0');
    palette[0] = 12;
    PutColours(palette, 1, image.colorTable(), 256);
    return out + palette;
}

QByteArray WritePcx24(const QImage& source, const PcxOptions& options) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    return Write(image, 8, 3, {}, options, [&](int x, int y, int plane) {
        return static_cast<int>((image.pixel(x, y) >> (16 - 8 * plane)) & 0xFF);
    });
}

QByteArray WritePcx1(const QImage& source, const PcxOptions& options) {
    const QImage image = source.colorCount() == 2
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_Mono);
    return Write(image, 1, 1, image.colorTable(), options, [&](int x, int y, int) { return image.pixelIndex(x, y); });
}

QByteArray WritePcx4(const QImage& image, const PcxOptions& options) {
    return Write(image, 1, 4, image.colorTable(), options,
                 [&](int x, int y, int plane) { return (image.pixelIndex(x, y) >> plane) & 1; });
}

} // namespace zelvora::test
