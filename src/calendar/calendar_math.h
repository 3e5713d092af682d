#pragma once
// Calendar arithmetic of the shown months: the Julian calendar up to 1752, the Gregorian from
// 1753 (the British reform: 2 September 1752 was followed by 14 September).
#include <array>
#include <cstdint>

namespace sorvel {

inline constexpr int kReformYear = 1752;
inline constexpr int kReformMonth = 9;
inline constexpr int kLastJulianDay = 2;     // Wednesday 2 September 1752
inline constexpr int kFirstGregorianDay = 14;  // Thursday 14 September 1752

// Division and remainder rounding toward minus infinity, so that years before 1 continue the
// cycles instead of mirroring them.
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
constexpr std::int64_t floorMod(std::int64_t a, std::int64_t b) { return a - floorDiv(a, b) * b; }

// Julian rule (every fourth year) up to 1752, Gregorian rule from 1753. Years before 1 count
// astronomically (0, −4, … are leap years).
bool isLeapYear(std::int64_t year);

// The two tables a month is drawn and hit-tested with. daysInMonth is the number of the last
// day (30 for September 1752, though only 19 days exist); firstWeekday is 0 = Sunday … 6.
struct YearTables {
    std::array<int, 12> daysInMonth{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::array<int, 12> firstWeekday{};
};

// Weekday (0 = Sunday) of 1 January of any year.
int firstWeekdayOfYear(std::int64_t year);
YearTables ComputeYearTables(std::int64_t year);

// True when the day number exists in that month (a day of 3–13 September 1752 does not).
bool dayExists(std::int64_t year, int month, int day, const YearTables& tables);
// The shown day that follows day (1, 2, 14, … in September 1752); past the last day it is
// greater than daysInMonth. Inline: every walk over a month's days calls it.
inline int nextShownDay(std::int64_t year, int month, int day) {
    if (day == kLastJulianDay && year == kReformYear && month == kReformMonth) return kFirstGregorianDay;
    return day + 1;
}
// Number of days that exist in the month (19 for September 1752).
int shownDayCount(std::int64_t year, int month, const YearTables& tables);

// Month "offset" months after (year, month), with a month outside 1–12 carried into the year.
struct YearMonth {
    std::int64_t year = 0;
    int month = 1;
    bool operator==(const YearMonth&) const = default;
};
YearMonth addMonths(std::int64_t year, std::int64_t month, std::int64_t offset);

}  // namespace sorvel
