// The state file (M01 with the nested M05); a block that reads saves and reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/calender_set.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sorvel::TCalenderSet cs;
    if (sorvel::parseStateFile(bytes, cs) != 1) return 0;
    const std::string saved = sorvel::buildStateFile(cs);
    sorvel::TCalenderSet again;
    if (sorvel::parseStateFile(saved, again) != 1) std::abort();
    if (sorvel::buildStateFile(again) != saved) std::abort();
    return 0;
}
