#pragma once
// Pictures that are not JPEG (Windows bitmaps above all) through Qt's image reader. The size is
// checked from the header before any pixels are allocated; damaged or oversized data give a
// null bitmap.
#include <cstdint>
#include <string_view>

#include "platform/gdi.h"
#include "render/jpeg_reader.h"

namespace sorvel {

// Qt's own allocation limit for one image, in megabytes.
inline constexpr int kPictureAllocationMegabytes = 512;

Bitmap decodeWithQt(std::string_view bytes, std::int64_t maxPixels = kMaxPicturePixels);

}  // namespace sorvel
