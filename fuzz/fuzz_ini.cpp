// The ini file: every reader of the settings, and a written profile that parses to itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/profile.h"
#include "settings/calender_set.h"
#include "settings/sorvel_set.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sorvel::Profile ini(bytes);
    sorvel::TSorvelSet ss;
    ss.read(ini);
    sorvel::TCalenderSet cs;
    sorvel::ReadOlderAppearance(ini, cs, ss);
    (void)sorvel::iniVersion(ini);
    if (ss.MemoFileName.size() > 254) std::abort();
    ss.write(ini);
    const std::string text = ini.text();
    if (sorvel::Profile(text).text() != text) std::abort();
    return 0;
}
