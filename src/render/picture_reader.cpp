#include "render/picture_reader.h"

#include <algorithm>
#include <cstring>

#include <QByteArray>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include "platform/files.h"

namespace sorvel {

namespace {

// The picture's bytes as a device that notes when a reader asked for more than was left.
// Qt's BMP reader stops quietly at the end of cut data and hands back an image whose missing
// rows were never written.
class WatchedBytes : public QIODevice {
public:
    explicit WatchedBytes(std::string_view bytes) : bytes_(bytes) {}
    bool isSequential() const override { return false; }
    qint64 size() const override { return static_cast<qint64>(bytes_.size()); }
    bool ranOut() const { return ranOut_; }
    void resetRanOut() { ranOut_ = false; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 left = std::max<qint64>(0, size() - pos());
        const qint64 n = std::min(maxSize, left);
        if (n < maxSize) ranOut_ = true;
        if (n > 0) std::memcpy(data, bytes_.data() + pos(), static_cast<std::size_t>(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::string_view bytes_;
    bool ranOut_ = false;
};

}  // namespace

QImage readWithQt(std::string_view bytes, std::int64_t maxPixels) {
    WatchedBytes device(bytes);
    // Unbuffered: the reader's own requests reach the device as they are.
    if (!device.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return {};
    QImageReader reader(&device);
    reader.setAllocationLimit(kPictureAllocationMegabytes);
    const QSize size = reader.size();
    if (size.isValid() && static_cast<std::int64_t>(size.width()) * size.height() > maxPixels) return {};
    const bool bmp = reader.format() == "bmp";
    QImage image;
    const uchar* prepared = nullptr;
    if (bmp) {
        // The BMP reader leaves what compressed data skip and what cut data lack unwritten. It
        // writes into an image of its size and format when given one: that image starts zeroed.
        if (!size.isValid() || reader.imageFormat() == QImage::Format_Invalid) return {};
        if (!Bitmap::sizeAllowed(size.width(), size.height())) return {};
        image = QImage(size, reader.imageFormat());
        if (image.isNull()) return {};
        image.fill(0);
        prepared = image.constBits();
        device.resetRanOut();
    }
    if (!reader.read(&image) || image.isNull()) return {};
    // The pixel data ended before their declared size, or the reader did not write into the
    // zeroed image: what it left out would be memory nobody wrote.
    if (bmp && (device.ranOut() || image.constBits() != prepared)) return {};
    if (static_cast<std::int64_t>(image.width()) * image.height() > maxPixels) return {};
    if (!Bitmap::sizeAllowed(image.width(), image.height())) return {};
    return image;
}

Bitmap decodeWithQt(std::string_view bytes, std::int64_t maxPixels) {
    return composeOver(readWithQt(bytes, maxPixels), kPaperWhite);
}

Bitmap composeOver(const QImage& picture, Rgb background) {
    if (picture.isNull() || !picture.hasAlphaChannel()) return Bitmap::fromImage(picture);
    if (!Bitmap::sizeAllowed(picture.width(), picture.height())) return {};
    // Straight (not premultiplied) alpha: each channel is mixed with the background exactly.
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) return {};
    Bitmap out = Bitmap::create(argb.width(), argb.height());
    if (out.isNull()) return {};
    const unsigned bg[3] = {(background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF};
    QImage& target = out.image();
    for (int y = 0; y < argb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* dst = target.scanLine(y);
        for (int x = 0; x < argb.width(); ++x, dst += 3) {
            const QRgb p = src[x];
            const unsigned a = static_cast<unsigned>(qAlpha(p)), rest = 255 - a;
            const unsigned c[3] = {static_cast<unsigned>(qRed(p)), static_cast<unsigned>(qGreen(p)),
                                   static_cast<unsigned>(qBlue(p))};
            for (int i = 0; i < 3; ++i) dst[i] = static_cast<uchar>((c[i] * a + bg[i] * rest + 127) / 255);
        }
    }
    return out;
}

bool isJpegName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg");
}

QImage readPictureFile(const QString& path) {
    if (path.isEmpty()) return {};
    auto bytes = readWholeFile(path, kMaxPictureFileBytes);
    if (!bytes) return {};
    if (isJpegName(path)) return decodeJpeg(*bytes).image();
    return readWithQt(*bytes);
}

Bitmap decodePictureFile(const QString& path, Rgb background) { return composeOver(readPictureFile(path), background); }

bool decodePicturePreview(const QString& path, QImage* out) {
    Bitmap b = decodePictureFile(path);
    if (b.isNull()) return false;
    if (out) *out = b.image();
    return true;
}

}  // namespace sorvel
