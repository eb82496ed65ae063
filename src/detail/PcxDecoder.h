#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace zelvora {

// The largest width or height a screenshot may have; anything bigger is refused rather than
// allocated, so that a damaged header cannot ask for gigabytes.
inline constexpr int kMaxPcxSide = 8192;

// Decodes a PCX file of any kind common writers make: 8-bit with a 256-colour palette at the end;
// 24-bit in three planes, or four where the last holds transparency, which is ignored; and with the
// colours in the header's 16-entry palette, 1-bit in one to four planes or 2- and 4-bit in one.
// The header's window may start at a negative origin. The image comes back in QImage::Format_RGB32
// at the size the window gives; it is null when the bytes cannot be decoded, whatever they hold.
QImage DecodePcx(const QByteArray& bytes);

// Reads and decodes a PCX file; a file that is missing or cannot be read gives a null image.
QImage LoadPcx(const QString& path);

} // namespace zelvora
