#pragma once
// The kind of every day of a month: its colour slot, its flags and the substitute holidays
// ("振替休日") that fall in it.
#include <array>
#include <cstdint>
#include <vector>

#include "calendar/colour_slot.h"
#include "data/date_data.h"

namespace sorvel {

enum DayFlag : std::uint8_t {
    kDayHolidayWithSubstitute = 1,  // a public holiday that owes a substitute when on a Sunday
    kDaySunday = 2,
    kDaySubstitute = 4,
    kDayNational = 8,  // a national holiday, its substitute holiday or a day between two of them
};

struct DayClassInput {
    std::int64_t year = 0;
    int month = 1;  // 1–12
    bool holidayColoring = true;
    bool memoColoring = true;
    const THolidayList* holidays = nullptr;  // absent: no rules
    const TDateMemoList* memos = nullptr;    // absent: no notes
    bool nationalHolidays = false;           // Japan's national holidays, with holidayColoring
};

struct DayClasses {
    // Index day − 1. A day that does not exist keeps slot 0 and no flags.
    std::array<std::uint8_t, 31> slot{};   // colour slot (ColourSlot) of the day number
    std::array<std::uint8_t, 31> flags{};  // DayFlag bits
    std::vector<TSubstituteHoliday> substitutes;  // in day order
};

// Colours by precedence, lowest first: weekday, holiday rule (a later rule over an earlier),
// national holiday, substitute holiday, schedule note. The substitute holidays of the rules
// pass over national holidays, and a rule on a national holiday owes none: the law gave its own. A substitute still owed at the end of the previous month
// falls on the first eligible day of this one.
DayClasses ClassifyDays(const DayClassInput& in);

}  // namespace sorvel
