// JPEG wallpapers and pictures: libjpeg on any bytes, within its memory and size limits.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "render/jpeg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A smaller pixel limit than the program's keeps each run fast; the checks are the same.
    const sorvel::Bitmap b = sorvel::decodeJpeg(std::string_view(reinterpret_cast<const char*>(data), size), 4'000'000);
    if (!b.isNull() && static_cast<std::int64_t>(b.width()) * b.height() > 4'000'000) std::abort();
    return 0;
}
