// Calendar math checked against a separate day count (Julian Day Numbers) with the British
// reform: Julian dates through 2 September 1752, Gregorian from 14 September 1752.
#include <gtest/gtest.h>

#include <climits>

#include "calendar/calendar_math.h"

namespace sorvel {
namespace {

// Julian Day Number of a date, in the calendar in force in Britain on that date.
std::int64_t julianDayNumber(std::int64_t y, int m, int d) {
    const std::int64_t a = (14 - m) / 12;
    const std::int64_t yy = y + 4800 - a;
    const std::int64_t mm = m + 12 * a - 3;
    const bool gregorian = y > 1752 || (y == 1752 && (m > 9 || (m == 9 && d >= 14)));
    std::int64_t jdn = d + (153 * mm + 2) / 5 + 365 * yy + yy / 4;
    return gregorian ? jdn - yy / 100 + yy / 400 - 32045 : jdn - 32083;
}
int weekdayOfJdn(std::int64_t jdn) { return static_cast<int>((jdn + 1) % 7); }  // 0 = Sunday

TEST(CalendarMath, ReferenceCountHasTheReformGap) {
    EXPECT_EQ(julianDayNumber(1752, 9, 2) + 1, julianDayNumber(1752, 9, 14));
    EXPECT_EQ(weekdayOfJdn(julianDayNumber(2001, 1, 1)), 1);  // a Monday
}

TEST(CalendarMath, EveryMonthOfYears1To9999MatchesTheReferenceCount) {
    int mismatches = 0;
    for (std::int64_t y = 1; y <= 9999; ++y) {
        const YearTables t = ComputeYearTables(y);
        for (int m = 1; m <= 12; ++m) {
            const std::int64_t first = julianDayNumber(y, m, 1);
            const std::int64_t next = m == 12 ? julianDayNumber(y + 1, 1, 1) : julianDayNumber(y, m + 1, 1);
            const std::size_t i = static_cast<std::size_t>(m - 1);
            const bool ok = t.firstWeekday[i] == weekdayOfJdn(first) && shownDayCount(y, m, t) == next - first &&
                            t.daysInMonth[i] == (y == 1752 && m == 9 ? 30 : next - first);
            if (!ok && ++mismatches <= 5) ADD_FAILURE() << y << "-" << m;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(CalendarMath, KnownDates) {
    EXPECT_EQ(ComputeYearTables(2001).firstWeekday[0], 1);  // Monday 1 January 2001
    EXPECT_EQ(ComputeYearTables(1752).firstWeekday[0], 3);  // Wednesday 1 January 1752
    EXPECT_EQ(ComputeYearTables(1752).firstWeekday[9], 0);  // Sunday 1 October 1752
    // Julian century years are leap years: 29 February 1700 and 100 exist, 1800 has none.
    EXPECT_EQ(ComputeYearTables(1700).daysInMonth[1], 29);
    EXPECT_EQ(ComputeYearTables(100).daysInMonth[1], 29);
    EXPECT_EQ(ComputeYearTables(1800).daysInMonth[1], 28);
    EXPECT_EQ(ComputeYearTables(2000).daysInMonth[1], 29);
}

TEST(CalendarMath, September1752ShowsOneTwoThenFourteenToThirty) {
    const YearTables t = ComputeYearTables(1752);
    std::vector<int> shown;
    for (int d = 1; d <= t.daysInMonth[8]; d = nextShownDay(1752, 9, d)) shown.push_back(d);
    std::vector<int> expected{1, 2};
    for (int d = 14; d <= 30; ++d) expected.push_back(d);
    EXPECT_EQ(shown, expected);
    EXPECT_FALSE(dayExists(1752, 9, 3, t));
    EXPECT_FALSE(dayExists(1752, 9, 13, t));
    EXPECT_TRUE(dayExists(1752, 9, 14, t));
    EXPECT_TRUE(dayExists(1753, 9, 5, ComputeYearTables(1753)));
    EXPECT_EQ(nextShownDay(1753, 9, 2), 3);
}

TEST(CalendarMath, YearsBeforeOneAndHugeYearsKeepWeekdaysInRange) {
    for (std::int64_t y = -5000; y < 1; ++y) {
        const int w = firstWeekdayOfYear(y);
        ASSERT_TRUE(w >= 0 && w <= 6) << y;
        // 1 January moves on by the length of the year before.
        const int days = isLeapYear(y) ? 366 : 365;
        ASSERT_EQ(firstWeekdayOfYear(y + 1), (w + days) % 7) << y;
    }
    EXPECT_TRUE(isLeapYear(0));
    EXPECT_TRUE(isLeapYear(-4));
    EXPECT_FALSE(isLeapYear(-1));
    for (std::int64_t y : {std::int64_t{INT_MIN}, std::int64_t{INT_MAX}, std::int64_t{-1}}) {
        const YearTables t = ComputeYearTables(y);
        for (int w : t.firstWeekday) EXPECT_TRUE(w >= 0 && w <= 6) << y;
    }
}

TEST(CalendarMath, AddMonthsCarriesIntoTheYear) {
    EXPECT_EQ(addMonths(2001, 12, 1), (YearMonth{2002, 1}));
    EXPECT_EQ(addMonths(2001, 11, 12), (YearMonth{2002, 11}));
    EXPECT_EQ(addMonths(2001, 1, -1), (YearMonth{2000, 12}));
    // Stored months the dialogs never write.
    EXPECT_EQ(addMonths(2001, 0, 0), (YearMonth{2000, 12}));
    EXPECT_EQ(addMonths(2001, 25, 0), (YearMonth{2003, 1}));
    EXPECT_EQ(addMonths(2001, -1, 0), (YearMonth{2000, 11}));
}

}  // namespace
}  // namespace sorvel
