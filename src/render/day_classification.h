#pragma once
// The kind of every day of a month: its colour slot, its flags and the substitute holidays
// ("振替休日") that fall in it.
#include <array>
#include <cstdint>
#include <vector>

#include "data/date_data.h"
#include "settings/calender_set.h"

namespace sorvel {

enum DayFlag : std::uint8_t {
    kDayHolidayWithSubstitute = 1,  // a public holiday that owes a substitute when on a Sunday
    kDaySunday = 2,
    kDaySubstitute = 4,
};

struct DayClassInput {
    std::int64_t year = 0;
    int month = 1;  // 1–12
    bool holidayColoring = true;
    bool memoColoring = true;
    const THolidayList* holidays = nullptr;  // absent: no rules
    const TDateMemoList* memos = nullptr;    // absent: no notes
};

struct DayClasses {
    // Index day − 1. A day that does not exist keeps slot 0 and no flags.
    std::array<std::uint8_t, 31> slot{};   // colour slot (ColourSlot) of the day number
    std::array<std::uint8_t, 31> flags{};  // DayFlag bits
    std::vector<TSubstituteHoliday> substitutes;  // in day order
};

// Colours by precedence, lowest first: weekday, holiday rule (a later rule over an earlier),
// substitute holiday, schedule note. A substitute still owed at the end of the previous month
// falls on the first eligible day of this one.
DayClasses ClassifyDays(const DayClassInput& in);

}  // namespace sorvel
