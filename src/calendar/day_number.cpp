#include "calendar/day_number.h"

#include <algorithm>

namespace sorvel {

namespace {

// Day numbers of the two calendars' rules, for any year (the usual Julian Day Number sums with
// the year counted from March, so that the leap day ends it).
std::int64_t julianRuleNumber(std::int64_t y, std::int64_t m, std::int64_t d) {
    const std::int64_t a = (14 - m) / 12;
    const std::int64_t yy = y + 4800 - a, mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + floorDiv(yy, 4) - 32083;
}
std::int64_t gregorianRuleNumber(std::int64_t y, std::int64_t m, std::int64_t d) {
    const std::int64_t a = (14 - m) / 12;
    const std::int64_t yy = y + 4800 - a, mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + floorDiv(yy, 4) - floorDiv(yy, 100) + floorDiv(yy, 400) - 32045;
}

// The date of a day number by one rule; gregorian false counts Julian years only.
Date ruleDate(std::int64_t n, bool gregorian) {
    std::int64_t c = n + 32082, b = 0;
    if (gregorian) {
        const std::int64_t a = n + 32044;
        b = floorDiv(4 * a + 3, 146097);
        c = a - floorDiv(146097 * b, 4);
    }
    const std::int64_t d = floorDiv(4 * c + 3, 1461);
    const std::int64_t e = c - floorDiv(1461 * d, 4);
    const std::int64_t m = floorDiv(5 * e + 2, 153);
    return Date{static_cast<std::int32_t>(100 * b + d - 4800 + m / 10), static_cast<std::int32_t>(m + 3 - 12 * (m / 10)),
                static_cast<std::int32_t>(e - (153 * m + 2) / 5 + 1)};
}

bool beforeReform(std::int64_t y, std::int64_t m, std::int64_t d) {
    return y < kReformYear || (y == kReformYear && (m < kReformMonth || (m == kReformMonth && d <= kLastJulianDay)));
}

const std::int64_t kFirstGregorianNumber = gregorianRuleNumber(kReformYear, kReformMonth, kFirstGregorianDay);

}  // namespace

int daysInMonth(std::int64_t year, std::int64_t month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool dateExists(std::int64_t year, std::int64_t month, std::int64_t day) {
    if (day < 1 || day > daysInMonth(year, month)) return false;
    return !(year == kReformYear && month == kReformMonth && day > kLastJulianDay && day < kFirstGregorianDay);
}

bool isHeldDate(std::int64_t year, std::int64_t month, std::int64_t day) {
    return year >= kFirstYear && year <= kLastYear && dateExists(year, month, day);
}

std::int64_t dayNumber(std::int64_t year, int month, int day) {
    return beforeReform(year, month, day) ? julianRuleNumber(year, month, day) : gregorianRuleNumber(year, month, day);
}

Date dateOfDayNumber(std::int64_t number) { return ruleDate(number, number >= kFirstGregorianNumber); }

int weekdayOfDayNumber(std::int64_t number) { return static_cast<int>(floorMod(number + 1, 7)); }

namespace {

// The place of a day among the month's days, from 0, and the day at a place (past the month's
// end: 0).
int dayIndex(std::int64_t year, int month, int day) {
    const bool gap = year == kReformYear && month == kReformMonth && day >= kFirstGregorianDay;
    return day - 1 - (gap ? kFirstGregorianDay - kLastJulianDay - 1 : 0);
}
int dayAtIndex(std::int64_t year, int month, int index) {
    int day = index + 1;
    if (year == kReformYear && month == kReformMonth && day > kLastJulianDay) day += kFirstGregorianDay - kLastJulianDay - 1;
    return day <= daysInMonth(year, month) ? day : 0;
}
int firstWeekdayOf(std::int64_t year, int month) { return weekdayOfDayNumber(dayNumber(year, month, 1)); }

}  // namespace

int nthWeekday(std::int64_t year, int month, int weekday, int ordinal) {
    if (month < 1 || month > 12 || weekday < 0 || weekday > 6 || ordinal < 1 || ordinal > 5) return 0;
    return dayAtIndex(year, month, static_cast<int>(floorMod(weekday - firstWeekdayOf(year, month), 7)) + 7 * (ordinal - 1));
}

int weekdayOrdinal(std::int64_t year, int month, int day) { return dayIndex(year, month, day) / 7 + 1; }

int weekRowOf(std::int64_t year, int month, int day) {
    return (firstWeekdayOf(year, month) + dayIndex(year, month, day)) / 7 + 1;
}

int dayAtCell(std::int64_t year, int month, int weekday, int weekRow) {
    if (month < 1 || month > 12 || weekday < 0 || weekday > 6 || weekRow < 1) return 0;
    const int index = 7 * (weekRow - 1) + weekday - firstWeekdayOf(year, month);
    return index < 0 ? 0 : dayAtIndex(year, month, index);
}

Date addDays(const Date& d, std::int64_t days) { return dateOfDayNumber(dayNumber(d) + days); }

Date addMonths(const Date& d, std::int64_t months) {
    const YearMonth ym = addMonths(d.year, d.month, months);
    Date out{static_cast<std::int32_t>(ym.year), ym.month, std::min(d.day, daysInMonth(ym.year, ym.month))};
    if (!dateExists(out.year, out.month, out.day)) out.day = kFirstGregorianDay;
    return out;
}

Date toProlepticGregorian(const Date& d) { return ruleDate(dayNumber(d), true); }

std::optional<Date> fromProlepticGregorian(std::int64_t year, std::int64_t month, std::int64_t day) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    const std::int64_t n = gregorianRuleNumber(year, month, day);
    const Date g = ruleDate(n, true);
    if (g.year != year || g.month != month || g.day != day) return std::nullopt;  // 30 February, 31 April
    return dateOfDayNumber(n);
}

}  // namespace sorvel
