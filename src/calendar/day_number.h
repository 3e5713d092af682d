#pragma once
// Dates as day numbers, over every date a user can hold: the Julian calendar up to Wednesday
// 2 September 1752, the Gregorian from Thursday 14 September 1752. Day numbers are the Julian Day
// Numbers astronomers count, so consecutive dates have consecutive numbers across the reform and
// a proleptic Gregorian date (what iCalendar and CalDAV speak) has the same number as the day it
// names. Weekdays, month lengths, the n-th weekday of a month and every step by days or months
// are counted here and nowhere else.
#include <compare>
#include <cstdint>
#include <optional>

#include "calendar/calendar_math.h"

namespace sorvel {

// The years a note, a rule or a shown month can be in.
inline constexpr int kFirstYear = 1;
inline constexpr int kLastYear = 9999;

struct Date {
    std::int32_t year = kFirstYear;
    std::int32_t month = 1;
    std::int32_t day = 1;
    auto operator<=>(const Date&) const = default;
};

// The number of the month's last day: 29 for February 1700 (Julian), 28 for February 1800, 30 for
// September 1752 (whose 3rd to 13th do not exist); 0 for a month outside 1–12.
int daysInMonth(std::int64_t year, std::int64_t month);
// True when the date exists: a month 1–12, a day the month has, none of 3–13 September 1752.
bool dateExists(std::int64_t year, std::int64_t month, std::int64_t day);
// The same within the years kFirstYear to kLastYear.
bool isHeldDate(std::int64_t year, std::int64_t month, std::int64_t day);

// Day number of an existing date, and back.
std::int64_t dayNumber(std::int64_t year, int month, int day);
inline std::int64_t dayNumber(const Date& d) { return dayNumber(d.year, d.month, d.day); }
Date dateOfDayNumber(std::int64_t number);

// 0 = Sunday … 6 = Saturday.
int weekdayOfDayNumber(std::int64_t number);
inline int weekdayOf(const Date& d) { return weekdayOfDayNumber(dayNumber(d)); }

// The day of the ordinal-th (from 1) weekday in the month, counting only days that exist; 0 when
// the month has none.
int nthWeekday(std::int64_t year, int month, int weekday, int ordinal);

// A month laid out in weeks from Sunday, its days one after another (September 1752: Wednesday
// 2, Thursday 14). Of a day from 1 (days past the month's end continue the weeks): which such
// weekday of the month it is, from 1, and its week row, from 1; and the day in a cell, 0 where the
// cell holds none.
int weekdayOrdinal(std::int64_t year, int month, int day);
int weekRowOf(std::int64_t year, int month, int day);
int dayAtCell(std::int64_t year, int month, int weekday, int weekRow);

// Steps. A month step keeps the day where the month has it, else takes the month's last day; a
// day of 3–13 September 1752 becomes the 14th.
Date addDays(const Date& d, std::int64_t days);
Date addMonths(const Date& d, std::int64_t months);

// The date at the program's edge: the same day in the proleptic Gregorian calendar (1 March 1600
// is 11 March 1600 there), and back. Empty when the Gregorian date does not exist.
Date toProlepticGregorian(const Date& d);
std::optional<Date> fromProlepticGregorian(std::int64_t year, std::int64_t month, std::int64_t day);

}  // namespace sorvel
