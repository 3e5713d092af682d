// The data file in whichever form the bytes are.
#include <cstdint>

#include "data_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkDataFile(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
