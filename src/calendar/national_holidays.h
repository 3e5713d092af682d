#pragma once
// Japan's national holidays under the law on national holidays (in force from 20 July 1948)
// and its amendments: the holidays themselves ("国民の祝日"), their substitute holidays
// ("振替休日") and the days between two holidays ("国民の休日"), for any date of the years
// 1 to 9999. The holidays are a table of entries with the years each is in force.
#include <cstdint>
#include <string>

namespace sorvel {

enum class NationalDayKind : std::uint8_t { None = 0, Holiday = 1, Substitute = 2, Citizens = 3 };

struct NationalDay {
    NationalDayKind kind = NationalDayKind::None;
    const char* name = "";   // UTF-8; "振替休日" and "国民の休日" for the two derived kinds
    bool predicted = false;  // rests on an equinox day the government has not yet published
};

// The last year whose equinox days have been published; the equinox days of later years, and
// the days that depend on them, are predictions.
inline constexpr int kLastPublishedEquinoxYear = 2027;

// The day of March (vernal) or September (autumnal) of the equinox day of a year from 1900;
// 0 before.
int equinoxDay(std::int64_t year, int month);

// The national day kind and name of a date; None outside the law's time.
NationalDay nationalHoliday(std::int64_t year, int month, int day);

// The national days of a month as bits, bit day − 1 set for each; what a drawing needs.
std::uint32_t nationalDayMask(std::int64_t year, int month);

// The name as a list shows it, CP932, with "（予定）" after a predicted day; empty for none.
std::string nationalDayLabel(const NationalDay& day);

}  // namespace sorvel
