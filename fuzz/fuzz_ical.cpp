// The iCalendar import: any bytes give a result within the limits, and whatever it found can
// be merged into lists.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ical/ical_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sorvel::IcalImportOptions options;
    options.fromYear = 2026;
    options.toYear = 2027;
    options.localZone = "Asia/Tokyo";
    sorvel::IcalImport import = sorvel::importIcal(std::string_view(reinterpret_cast<const char*>(data), size), options);
    for (const auto& m : import.memos) {
        if (m->year < 1 || m->year > 9999 || m->month < 1 || m->month > 12 || m->day < 1 || m->day > 31) std::abort();
        if (m->text.size() > sorvel::kIcalMaxTextBytes) std::abort();
    }
    sorvel::TDateMemoList memos;
    sorvel::THolidayList rules;
    const sorvel::IcalMerge merge = sorvel::mergeIcalImport(import, memos, rules);
    if (merge.memosAdded != memos.size() || merge.rulesAdded != rules.size()) std::abort();
    return 0;
}
