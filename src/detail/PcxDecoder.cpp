#include "detail/PcxDecoder.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace zelvora {

namespace {

constexpr qsizetype kHeaderSize = 128;
constexpr qsizetype kVgaPaletteSize = 1 + 256 * 3;
constexpr uchar kVgaPaletteMarker = 12;
constexpr int kMaxRun = 0x3F;

// No screenshot comes near this; a bigger file is not worth reading into memory.
constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

enum class Kind {
    Indexed8,      // 8 bits, one plane, 256 colours at the end of the file
    Rgb,           // 8 bits, three planes (red, green, blue) or four with a transparency plane last
    HeaderPalette, // 1 bit in 1 to 4 planes, or 2 or 4 bits in one plane: 16 colours in the header
};

struct Header {
    Kind kind;
    int width;
    int height;
    int bitsPerPixel;
    int planes;
    int bytesPerLine;
};

quint16 Le16(const uchar* p) {
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

QRgb PaletteEntry(const uchar* palette, int index) {
    const uchar* rgb = palette + 3 * index;
    return qRgb(rgb[0], rgb[1], rgb[2]);
}

std::optional<Kind> KindOf(int bitsPerPixel, int planes) {
    if (bitsPerPixel == 8 && planes == 1)
        return Kind::Indexed8;
    // The fourth plane is the picture's transparency; a screenshot is drawn opaque, so it is skipped.
    if (bitsPerPixel == 8 && (planes == 3 || planes == 4))
        return Kind::Rgb;
    if ((bitsPerPixel == 1 && planes >= 1 && planes <= 4) || ((bitsPerPixel == 2 || bitsPerPixel == 4) && planes == 1))
        return Kind::HeaderPalette;
    return std::nullopt;
}

bool ReadHeader(const uchar* h, Header& out) {
    if (h[0] != 10 || h[2] != 1)
        return false;

    out.bitsPerPixel = h[3];
    out.planes = h[65];
    const std::optional<Kind> kind = KindOf(out.bitsPerPixel, out.planes);
    if (!kind)
        return false;
    out.kind = *kind;

    // The window's corners are signed: writers place a picture at a negative origin.
    const auto corner = [h](int offset) { return int{static_cast<qint16>(Le16(h + offset))}; };
    out.width = corner(8) - corner(4) + 1;
    out.height = corner(10) - corner(6) + 1;
    if (out.width < 1 || out.height < 1 || out.width > kMaxPcxSide || out.height > kMaxPcxSide)
        return false;

    // Bytes-per-line may exceed what the width needs (writers pad it), never fall short of it.
    out.bytesPerLine = Le16(h + 66);
    return out.bytesPerLine >= (qint64{out.width} * out.bitsPerPixel + 7) / 8;
}

// The RLE stream of a whole image. A run that reaches past the end of a scan line carries on into
// the next one: many writers encode that way, and it costs nothing to accept.
class RleStream {
public:
    RleStream(const uchar* begin, const uchar* end) : pos_(begin), end_(end) {}

    // Fills `out` with the next `n` decoded bytes; false when the data ends first.
    bool Read(uchar* out, qsizetype n) {
        qsizetype filled = 0;
        while (filled < n) {
            if (runLeft_ > 0) {
                const qsizetype take = std::min<qsizetype>(runLeft_, n - filled);
                std::memset(out + filled, runValue_, static_cast<size_t>(take));
                filled += take;
                runLeft_ -= static_cast<int>(take);
                continue;
            }
            if (pos_ == end_)
                return false;
            const uchar b = *pos_++;
            if ((b & 0xC0) != 0xC0) {
                out[filled++] = b;
                continue;
            }
            if (pos_ == end_)
                return false;
            runValue_ = *pos_++;
            runLeft_ = b & kMaxRun;
        }
        return true;
    }

private:
    const uchar* pos_;
    const uchar* end_;
    int runLeft_ = 0;
    uchar runValue_ = 0;
};

// The most bytes `size` bytes of RLE data can decode to: every pair a full run, and a last lone
// byte a literal. Checking it first means a tiny file claiming a huge image is refused before the
// image is allocated.
qint64 MaxDecodedSize(qint64 size) {
    return size / 2 * kMaxRun + size % 2;
}

} // namespace

QImage DecodePcx(const QByteArray& bytes) {
    if (bytes.size() < kHeaderSize)
        return {};
    const auto* const file = reinterpret_cast<const uchar*>(bytes.constData());
    Header header;
    if (!ReadHeader(file, header))
        return {};

    const uchar* const dataBegin = file + kHeaderSize;
    const uchar* dataEnd = file + bytes.size();
    std::array<QRgb, 256> colours{};
    const uchar* const egaPalette = file + 16;
    switch (header.kind) {
    case Kind::Indexed8: {
        if (bytes.size() < kHeaderSize + kVgaPaletteSize)
            return {};
        dataEnd -= kVgaPaletteSize;
        if (*dataEnd != kVgaPaletteMarker)
            return {};
        for (int i = 0; i < 256; ++i)
            colours[i] = PaletteEntry(dataEnd + 1, i);
        break;
    }
    case Kind::HeaderPalette:
        for (int i = 0; i < 16; ++i)
            colours[i] = PaletteEntry(egaPalette, i);
        // Many monochrome writers leave the header palette zeroed: two equal entries would draw
        // nothing at all, so they stand for plain black on white.
        if (header.bitsPerPixel == 1 && header.planes == 1 && colours[0] == colours[1]) {
            colours[0] = qRgb(0, 0, 0);
            colours[1] = qRgb(255, 255, 255);
        }
        break;
    case Kind::Rgb:
        break;
    }

    const qsizetype bpl = header.bytesPerLine;
    const qsizetype lineSize = bpl * header.planes;
    if (MaxDecodedSize(dataEnd - dataBegin) < qint64{lineSize} * header.height)
        return {};

    QImage image(header.width, header.height, QImage::Format_RGB32);
    if (image.isNull())
        return {};

    std::vector<uchar> line(static_cast<size_t>(lineSize));
    const uchar* const l = line.data();
    RleStream rle(dataBegin, dataEnd);
    const int width = header.width;
    const int bits = header.bitsPerPixel, pixelsPerByte = 8 / bits, pixelMask = (1 << bits) - 1;
    for (int y = 0; y < header.height; ++y) {
        if (!rle.Read(line.data(), lineSize))
            return {};
        auto* const row = reinterpret_cast<QRgb*>(image.scanLine(y));
        switch (header.kind) {
        case Kind::Indexed8:
            for (int x = 0; x < width; ++x)
                row[x] = colours[l[x]];
            break;
        case Kind::Rgb:
            for (int x = 0; x < width; ++x)
                row[x] = qRgb(l[x], l[bpl + x], l[2 * bpl + x]);
            break;
        case Kind::HeaderPalette:
            // The leftmost pixel is in a byte's highest bits; plane 0 holds an index's lowest bits.
            for (int x = 0; x < width; ++x) {
                const int byte = x / pixelsPerByte, shift = 8 - bits * (x % pixelsPerByte + 1);
                int index = 0;
                for (int plane = 0; plane < header.planes; ++plane)
                    index |= ((l[plane * bpl + byte] >> shift) & pixelMask) << (plane * bits);
                row[x] = colours[index];
            }
            break;
        }
    }
    return image;
}

QImage LoadPcx(const QString& path) {
    if (path.isEmpty())
        return {};
    QFile file(path);
    // A device or pipe under a screenshot's name could stream without end; only files are read.
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() || file.size() > kMaxFileSize)
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return DecodePcx(bytes);
}

} // namespace zelvora
