#pragma once
// Pictures that are not JPEG (Windows bitmaps above all) through Qt's image reader. The size is
// checked from the header before any pixels are allocated; damaged, cut or oversized data give a
// null bitmap, and no pixel of a picture comes from memory the reader did not fill.
#include <cstdint>
#include <string_view>

#include <QString>

#include "platform/gdi.h"
#include "render/jpeg_reader.h"

class QImage;

namespace sorvel {

// Qt's own allocation limit for one image, in megabytes.
inline constexpr int kPictureAllocationMegabytes = 512;
// Largest picture file read into memory.
inline constexpr std::int64_t kMaxPictureFileBytes = 256ll * 1024 * 1024;

inline constexpr Rgb kPaperWhite = 0xFFFFFF;

// The picture as Qt's reader gives it, transparency kept (a PNG with an alpha channel or a
// transparent palette colour); null when it cannot be decoded.
QImage readWithQt(std::string_view bytes, std::int64_t maxPixels = kMaxPicturePixels);
// The same, in 24 bits, over white where the picture is transparent.
Bitmap decodeWithQt(std::string_view bytes, std::int64_t maxPixels = kMaxPicturePixels);

// A picture in 24 bits with its transparent and half-transparent pixels laid over the
// background: each channel becomes (colour × alpha + background × (255 − alpha) + 127) / 255.
// A picture without transparency is only converted. Null when the picture is null or too large.
Bitmap composeOver(const QImage& picture, Rgb background);

// A picture file by its name: JPEG (".jpg", ".jpeg") through libjpeg, anything else through
// Qt's reader. Null when it cannot be read or decoded.
bool isJpegName(const QString& path);
// As read, transparency kept.
QImage readPictureFile(const QString& path);
// In 24 bits, transparent pixels over the background.
Bitmap decodePictureFile(const QString& path, Rgb background = kPaperWhite);
// The same readers for a picture dialog's preview (a PictureDecoder), over white.
bool decodePicturePreview(const QString& path, QImage* out);

}  // namespace sorvel
