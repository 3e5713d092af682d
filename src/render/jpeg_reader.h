#pragma once
// JPEG decoding through libjpeg, for the wallpaper and picture objects. Damaged, truncated or
// unsupported data and images above the size limit give a null bitmap; nothing is printed and
// the process goes on.
#include <cstdint>
#include <string_view>

#include "platform/gdi.h"

namespace sorvel {

// Largest picture decoded: its pixels are counted from the header, before anything is
// allocated for them.
inline constexpr std::int64_t kMaxPicturePixels = 100ll * 1000 * 1000;
// libjpeg's own working memory and the scans a progressive file may have.
inline constexpr long kJpegWorkMemory = 256l * 1024 * 1024;
inline constexpr int kJpegMaxScans = 256;

Bitmap decodeJpeg(std::string_view bytes, std::int64_t maxPixels = kMaxPicturePixels);

}  // namespace sorvel
