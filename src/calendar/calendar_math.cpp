#include "calendar/calendar_math.h"

#include "calendar/day_number.h"

namespace sorvel {

namespace {

bool isReformMonth(std::int64_t year, int month) { return year == kReformYear && month == kReformMonth; }

}  // namespace

bool isLeapYear(std::int64_t year) {
    if (year <= kReformYear) return floorMod(year, 4) == 0;
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int firstWeekdayOfYear(std::int64_t year) { return weekdayOfDayNumber(dayNumber(year, 1, 1)); }

YearTables ComputeYearTables(std::int64_t year) {
    YearTables t;
    t.daysInMonth[1] = isLeapYear(year) ? 29 : 28;
    int weekday = firstWeekdayOfYear(year);
    for (int m = 0; m < 12; ++m) {
        t.firstWeekday[static_cast<std::size_t>(m)] = weekday;
        weekday = (weekday + shownDayCount(year, m + 1, t)) % 7;
    }
    return t;
}

bool dayExists(std::int64_t year, int month, int day, const YearTables& tables) {
    if (month < 1 || month > 12 || day < 1 || day > tables.daysInMonth[static_cast<std::size_t>(month - 1)])
        return false;
    return !(isReformMonth(year, month) && day > kLastJulianDay && day < kFirstGregorianDay);
}

int shownDayCount(std::int64_t year, int month, const YearTables& tables) {
    if (month < 1 || month > 12) return 0;
    const int last = tables.daysInMonth[static_cast<std::size_t>(month - 1)];
    if (isReformMonth(year, month)) return last - (kFirstGregorianDay - kLastJulianDay - 1);
    return last;
}

YearMonth addMonths(std::int64_t year, std::int64_t month, std::int64_t offset) {
    const std::int64_t index = month - 1 + offset;
    return YearMonth{year + floorDiv(index, 12), static_cast<int>(floorMod(index, 12)) + 1};
}

}  // namespace sorvel
