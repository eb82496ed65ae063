#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace zelvora {

// The largest width or height a screenshot may have; anything bigger is refused rather than
// allocated, so that a damaged header cannot ask for gigabytes.
inline constexpr int kMaxPcxSide = 8192;

// Decodes a PCX file: 8-bit with a 256-colour palette, 24-bit in three planes, 1-bit, and 4-bit in
// four planes with the header palette. The image comes back in QImage::Format_RGB32 at the size
// the header's window gives; it is null when the bytes cannot be decoded, whatever they hold.
QImage DecodePcx(const QByteArray& bytes);

// Reads and decodes a PCX file; a file that is missing or cannot be read gives a null image.
QImage LoadPcx(const QString& path);

} // namespace zelvora
