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

Bitmap decodeWithQt(std::string_view bytes, std::int64_t maxPixels = kMaxPicturePixels);

// A picture file by its name: JPEG (".jpg", ".jpeg") through libjpeg, anything else through
// Qt's reader. Null when it cannot be read or decoded.
bool isJpegName(const QString& path);
Bitmap decodePictureFile(const QString& path);
// The same readers for a picture dialog's preview (a PictureDecoder).
bool decodePicturePreview(const QString& path, QImage* out);

}  // namespace sorvel
