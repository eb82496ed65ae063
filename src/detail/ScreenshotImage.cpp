#include "detail/ScreenshotImage.h"

#include "detail/PcxDecoder.h"

#include <QFileInfo>
#include <QImageReader>

namespace zelvora {

QImage LoadScreenshot(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile() || file.size() > MaxScreenshotBytes)
        return {};
    if (file.suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) != 0)
        return LoadPcx(path);
    QImageReader reader(path, "png");
    // The header's size is known before any pixel is allocated.
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPcxSide || size.height() > kMaxPcxSide)
        return {};
    const QImage image = reader.read();
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

} // namespace zelvora
