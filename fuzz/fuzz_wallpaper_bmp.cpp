// Windows bitmap wallpapers and pictures through Qt's image reader, within the size limits.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "render/picture_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const sorvel::Bitmap b = sorvel::decodeWithQt(std::string_view(reinterpret_cast<const char*>(data), size), 4'000'000);
    if (!b.isNull() && static_cast<std::int64_t>(b.width()) * b.height() > 4'000'000) std::abort();
    return 0;
}
