// Day numbers against dates from history: England kept the Julian calendar to Wednesday
// 2 September 1752 and went on with Thursday 14 September; Rome went from Thursday 4 October to
// Friday 15 October 1582; the Julian calendar is ten days behind the Gregorian from 1 March 1500
// to 28 February 1700 (Julian), eleven from there to the reform, and two ahead in the first
// century. 1 January 1600 was a Saturday, as 1 January 2000 (400 years are whole weeks).
#include <gtest/gtest.h>

#include "calendar/day_number.h"

namespace sorvel {
namespace {

TEST(DayNumber, DatesOfHistoryAndTheirProlepticGregorianDays) {
    struct Case {
        Date held, gregorian;  // the program's calendar, the proleptic Gregorian
        int weekday;           // 0 = Sunday
    };
    const Case cases[] = {
        {{1, 1, 1}, {0, 12, 30}, 6},           {{1, 1, 3}, {1, 1, 1}, 1},
        {{1582, 10, 4}, {1582, 10, 14}, 4},    {{1582, 10, 5}, {1582, 10, 15}, 5},
        {{1600, 2, 29}, {1600, 3, 10}, 5},     {{1600, 3, 1}, {1600, 3, 11}, 6},
        {{1700, 2, 29}, {1700, 3, 11}, 4},     {{1700, 3, 1}, {1700, 3, 12}, 5},
        {{1752, 9, 2}, {1752, 9, 13}, 3},      {{1752, 9, 14}, {1752, 9, 14}, 4},
        {{2001, 1, 1}, {2001, 1, 1}, 1},       {{9999, 12, 31}, {9999, 12, 31}, 5},
    };
    for (const Case& c : cases) {
        const Date& h = c.held;
        SCOPED_TRACE(testing::Message() << h.year << "-" << h.month << "-" << h.day);
        EXPECT_TRUE(dateExists(h.year, h.month, h.day));
        EXPECT_EQ(toProlepticGregorian(h), c.gregorian);
        EXPECT_EQ(fromProlepticGregorian(c.gregorian.year, c.gregorian.month, c.gregorian.day), h);
        EXPECT_EQ(weekdayOf(h), c.weekday);
        EXPECT_EQ(dateOfDayNumber(dayNumber(h)), h);
    }
    EXPECT_EQ(dayNumber(1753, 1, 1) - dayNumber(1752, 1, 1), 355);
    EXPECT_EQ(addDays({1752, 9, 2}, 1), (Date{1752, 9, 14}));
    EXPECT_EQ(addDays({1700, 2, 28}, 1), (Date{1700, 2, 29}));
    EXPECT_FALSE(fromProlepticGregorian(1700, 2, 29));
    EXPECT_FALSE(fromProlepticGregorian(2001, 4, 31));
}

TEST(DayNumber, MonthsOfTheProgramsCalendar) {
    EXPECT_EQ(daysInMonth(1700, 2), 29);
    EXPECT_EQ(daysInMonth(1800, 2), 28);
    EXPECT_EQ(daysInMonth(1752, 9), 30);
    EXPECT_FALSE(dateExists(1752, 9, 3));
    EXPECT_FALSE(dateExists(1752, 9, 13));
    // September 1752: Tuesday 1, Wednesday 2, Thursday 14 … Sunday 17, Monday 18, Tuesday 19.
    EXPECT_EQ(nthWeekday(1752, 9, 2, 2), 19);
    EXPECT_EQ(nthWeekday(1752, 9, 0, 1), 17);
    EXPECT_EQ(nthWeekday(1752, 9, 1, 3), 0);
    EXPECT_EQ(weekdayOrdinal(1752, 9, 19), 2);
    EXPECT_EQ(weekRowOf(1752, 9, 17), 2);
    EXPECT_EQ(dayAtCell(1752, 9, 0, 2), 17);
    EXPECT_EQ(dayAtCell(1752, 9, 0, 1), 0);
    EXPECT_EQ(nthWeekday(2001, 1, 1, 2), 8);  // 成人の日 2001
    EXPECT_EQ(addMonths(Date{1700, 1, 31}, 1), (Date{1700, 2, 29}));
    EXPECT_EQ(addMonths(Date{1752, 8, 10}, 1), (Date{1752, 9, 14}));
}

}  // namespace
}  // namespace sorvel
