#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace zelvora::test {

struct PcxOptions {
    // Rounds bytes-per-line up to even, as some writers do; the extra byte of each plane is zero.
    bool padToEven = false;
    // The top-left corner of the header's window; the bottom-right follows from the image's size.
    qint16 xmin = 0;
    qint16 ymin = 0;
    // Encodes the whole image as one stream, so runs carry on from one scan line into the next.
    // Otherwise each scan line is encoded on its own, and runs cross only its plane boundaries.
    bool runsAcrossLines = false;
    // Replaces the 16-entry header palette of 1-bit and 4-bit files (missing entries are black);
    // empty takes it from the image.
    QList<QRgb> headerPalette = {};
};

// PCX files of every kind the decoder reads, RLE-encoded as real writers do.

// 8 bits, one plane, the 256-colour palette at the end. An Indexed8 image keeps its indices and
// colour table; any other image is reduced to 256 colours (exactly, when it has no more).
QByteArray WritePcx8(const QImage& image, const PcxOptions& options = {});
// 8 bits in three planes: red, green and blue of each scan line.
QByteArray WritePcx24(const QImage& image, const PcxOptions& options = {});
// 1 bit, one plane. An image of two indexed colours keeps its indices and its colours as header
// palette entries 0 and 1; any other image is reduced to two colours first.
QByteArray WritePcx1(const QImage& image, const PcxOptions& options = {});
// 1 bit in four planes, each pixel's colour index spread over them from the least significant bit
// up; `image` is an Indexed8 image of at most 16 colours.
QByteArray WritePcx4(const QImage& image, const PcxOptions& options = {});

} // namespace zelvora::test
