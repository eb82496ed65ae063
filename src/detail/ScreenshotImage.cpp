#include "detail/ScreenshotImage.h"

#include "detail/PcxDecoder.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace zelvora {
namespace {

bool IsPcxName(const QString& name) {
    return name.endsWith(QLatin1String(".pcx"), Qt::CaseInsensitive);
}

QImage ReadChecked(QImageReader& reader) {
    // The header's size is known before any pixel is allocated.
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPcxSide || size.height() > kMaxPcxSide)
        return {};
    const QImage image = reader.read();
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage LoadScreenshot(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile() || file.size() > MaxScreenshotBytes)
        return {};
    if (file.suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) != 0)
        return LoadPcx(path);
    QImageReader reader(path, "png");
    return ReadChecked(reader);
}

QImage DecodePicture(const QByteArray& bytes, const QString& name) {
    if (bytes.size() > MaxScreenshotBytes)
        return {};
    if (IsPcxName(name))
        return DecodePcx(bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // The format from the bytes, not the name: a ".jpg" that is a PNG inside is still shown.
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (reader.format() != "png" && reader.format() != "jpeg")
        return {};
    return ReadChecked(reader);
}

} // namespace zelvora
