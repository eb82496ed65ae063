#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace zelvora::test {

struct PcxOptions {
    // Rounds bytes-per-line up to even, as some writers do; the extra byte of each plane is zero.
    bool padToEven = false;
    // The top-left corner of the header's window; the bottom-right follows from the image's size.
    quint16 xmin = 0;
    quint16 ymin = 0;
    // Encodes the whole image as one stream, so runs carry on from one scan line into the next.
    // Otherwise each scan line is encoded on its own, and runs cross only its plane boundaries.
    bool runsAcrossLines = false;
    // Replaces the 16-entry header palette of 1-bit and 4-bit files (missing entries are black);
    // empty takes it from the image.
    QList<QRgb> headerPalette;
};

// PCX files of every kind the decoder reads, RLE-encoded as real writers do.

// 8 bits, one plane, the 256-colour palette at the end. An Indexed8 image keeps its indices and
// colour table; any other image is reduced to 256 colours (exactly, when it has no more).
QByteArray WritePcx8(const QImage& image, const PcxOptions& options = {});
// 8 bits in three planes: red, green and blue of each scan line.
QByteArray WritePcx24(const QImage& image, const PcxOptions& options = {});
// 1 bit, one plane. A Mono or MonoLSB image keeps its bits and its two colours as header palette
// entries 0 and 1; any other image is reduced to two colours first.
QByteArray WritePcx1(const QImage& image, const PcxOptions& options = {});
// 1 bit in four planes, each pixel's colour index spread over them from the least significant bit
// up. An Indexed8 image (or one of up to 16 colours) keeps its colours; any other image takes the
// nearest of the 16 standard EGA colours.
QByteArray WritePcx4(const QImage& image, const PcxOptions& options = {});

} // namespace zelvora::test
