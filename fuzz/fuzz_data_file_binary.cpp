// The older binary data file: every input is read after its magic text.
#include <cstdint>
#include <string>

#include "data_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes("Sorvel\0", 7);
    bytes.append(reinterpret_cast<const char*>(data), size);
    checkDataFile(bytes);
    return 0;
}
