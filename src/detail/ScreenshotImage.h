#pragma once

#include <QImage>
#include <QString>

namespace zelvora {

// No screenshot file is larger than this; a bigger file is not read at all.
inline constexpr qint64 MaxScreenshotBytes = 64 * 1024 * 1024;

// Reads a screenshot: a ".png" file (today's MAME saves its snapshots so) with Qt's reader, any
// other with the PCX decoder. Only a regular file is read, for a pipe or a device named like a
// screenshot would never end. The image is in QImage::Format_RGB32, no side larger than the PCX
// decoder takes; it is null when there is nothing that can be shown.
QImage LoadScreenshot(const QString& path);

// Decodes a picture's bytes, e.g. artwork read from a zip: a name ending in ".pcx" with the PCX
// decoder, anything else as PNG or JPEG by its contents, within the same limits as above.
QImage DecodePicture(const QByteArray& bytes, const QString& name);

} // namespace zelvora
