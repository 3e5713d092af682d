#include "render/picture_reader.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace sorvel {

Bitmap decodeWithQt(std::string_view bytes, std::int64_t maxPixels) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kPictureAllocationMegabytes);
    const QSize size = reader.size();
    if (size.isValid() && static_cast<std::int64_t>(size.width()) * size.height() > maxPixels) return {};
    QImage image = reader.read();
    if (image.isNull() || static_cast<std::int64_t>(image.width()) * image.height() > maxPixels) return {};
    return Bitmap::fromImage(image);
}

}  // namespace sorvel
