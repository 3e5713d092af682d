// Day kinds: holiday rules, substitute holidays and schedule notes, with their precedence.
#include <gtest/gtest.h>

#include "calendar/day_classification.h"
#include "calendar/national_holidays.h"

namespace sorvel {
namespace {

std::unique_ptr<THolidaySet> onDate(int month, int day, int dayOffKind) {
    auto r = std::make_unique<THolidaySet>();
    r->ruleKind = 0;
    r->month = month;
    r->day = day;
    r->dayOffKind = static_cast<std::uint8_t>(dayOffKind);
    return r;
}
std::unique_ptr<THolidaySet> nthWeekday(int month, int weekday, int ordinal, int dayOffKind) {
    auto r = std::make_unique<THolidaySet>();
    r->ruleKind = 1;
    r->month = month;
    r->weekday = weekday;
    r->ordinal = ordinal;
    r->dayOffKind = static_cast<std::uint8_t>(dayOffKind);
    return r;
}
std::unique_ptr<TDateMemo> note(int y, int m, int d) {
    auto n = std::make_unique<TDateMemo>();
    n->year = y;
    n->month = m;
    n->day = d;
    return n;
}

struct Fixture : ::testing::Test {
    THolidayList rules;
    TDateMemoList notes;
    DayClasses classify(std::int64_t y, int m, bool holidays = true, bool memos = true) {
        return ClassifyDays(DayClassInput{y, m, holidays, memos, &rules, &notes});
    }
    static int slot(const DayClasses& c, int day) { return c.slot[static_cast<std::size_t>(day - 1)]; }
    static int flags(const DayClasses& c, int day) { return c.flags[static_cast<std::size_t>(day - 1)]; }
    static std::vector<int> substituteDays(const DayClasses& c) {
        std::vector<int> days;
        for (const auto& s : c.substitutes) days.push_back(s.day);
        return days;
    }
};

using DayClassification = Fixture;

TEST_F(DayClassification, WeekdayColoursAndSundayFlag) {
    const DayClasses c = classify(2001, 1);  // 1 January 2001 is a Monday
    EXPECT_EQ(slot(c, 1), kSlotMonday);
    EXPECT_EQ(slot(c, 5), kSlotFriday);
    EXPECT_EQ(slot(c, 6), kSlotSaturday);
    EXPECT_EQ(slot(c, 7), kSlotSunday);
    EXPECT_EQ(flags(c, 7), kDaySunday);
    EXPECT_EQ(flags(c, 8), 0);
}

TEST_F(DayClassification, NthWeekdayRules) {
    rules.push_back(nthWeekday(1, 1, 2, 1));  // second Monday of January
    EXPECT_EQ(slot(classify(2001, 1), 8), kSlotDayOff);
    rules.clear();
    // A fifth Friday in February 2001, which has four, marks nothing.
    rules.push_back(nthWeekday(2, 5, 5, 1));
    const DayClasses feb = classify(2001, 2);
    for (int d = 1; d <= 28; ++d) EXPECT_NE(slot(feb, d), kSlotDayOff) << d;
    // The n-th weekday counts the days that exist: the second Thursday of September 1752 is
    // the 21st (Thursday 14 was the first).
    rules.clear();
    rules.push_back(nthWeekday(9, 4, 2, 0));
    EXPECT_EQ(slot(classify(1752, 9), 21), kSlotNamedDay);
}

TEST_F(DayClassification, FixedDateRulesAndLeapDays) {
    rules.push_back(onDate(2, 29, 0));
    EXPECT_EQ(slot(classify(2001, 2), 28), kSlotMonday + 2);  // Wednesday 28 February, untouched
    EXPECT_EQ(slot(classify(2000, 2), 29), kSlotNamedDay);
    EXPECT_EQ(slot(classify(1700, 2), 29), kSlotNamedDay);  // a Julian leap year
    // A later rule for the same day replaces the colour of an earlier one.
    rules.push_back(onDate(2, 29, 2));
    EXPECT_EQ(slot(classify(2000, 2), 29), kSlotDayOff);
}

TEST_F(DayClassification, SundayHolidayGetsTheNextDayAsSubstitute) {
    rules.push_back(onDate(9, 23, 1));  // 23 September 2001 is a Sunday
    const DayClasses c = classify(2001, 9);
    EXPECT_EQ(flags(c, 23), kDayHolidayWithSubstitute | kDaySunday);
    EXPECT_EQ(flags(c, 24), kDaySubstitute);
    EXPECT_EQ(slot(c, 24), kSlotDayOff);
    ASSERT_EQ(c.substitutes.size(), 1u);
    EXPECT_EQ(c.substitutes[0].year, 2001);
    EXPECT_EQ(c.substitutes[0].month, 9);
    EXPECT_EQ(c.substitutes[0].day, 24);
}

TEST_F(DayClassification, SubstituteSkipsFollowingHolidays) {
    for (int d : {3, 4, 5}) rules.push_back(onDate(5, d, 1));  // 3 May 2009 is a Sunday
    EXPECT_EQ(substituteDays(classify(2009, 5)), std::vector<int>{6});
}

TEST_F(DayClassification, OnlyHolidaysWithSubstituteOweOne) {
    rules.push_back(onDate(9, 23, 2));
    rules.push_back(onDate(9, 16, 0));  // also a Sunday in 2001
    const DayClasses c = classify(2001, 9);
    EXPECT_TRUE(c.substitutes.empty());
    EXPECT_EQ(slot(c, 24), kSlotMonday);
    EXPECT_EQ(slot(c, 17), kSlotMonday);
}

TEST_F(DayClassification, SubstituteOwedAtMonthEndFallsInTheNextMonth) {
    rules.push_back(onDate(9, 30, 1));  // Sunday 30 September 2001
    EXPECT_TRUE(classify(2001, 9).substitutes.empty());
    const DayClasses oct = classify(2001, 10);
    EXPECT_EQ(flags(oct, 1), kDaySubstitute);
    ASSERT_EQ(oct.substitutes.size(), 1u);
    EXPECT_EQ(oct.substitutes[0].month, 10);
    // Across the year end and past a holiday on the 1st: Sunday 31 December 2006 → 2 January.
    rules.clear();
    rules.push_back(onDate(12, 31, 1));
    rules.push_back(onDate(1, 1, 1));
    const DayClasses jan = classify(2007, 1);
    EXPECT_EQ(substituteDays(jan), std::vector<int>{2});
    EXPECT_EQ(jan.substitutes[0].year, 2007);
}

TEST_F(DayClassification, ScheduleColourOverHolidayAndSubstitute) {
    rules.push_back(onDate(9, 23, 1));
    rules.push_back(onDate(9, 15, 1));
    notes.push_back(note(2001, 9, 15));
    notes.push_back(note(2001, 9, 24));
    notes.push_back(note(2002, 9, 3));  // another year
    const DayClasses c = classify(2001, 9);
    EXPECT_EQ(slot(c, 15), kSlotMemoDay);
    EXPECT_EQ(slot(c, 24), kSlotMemoDay);
    EXPECT_EQ(flags(c, 24), kDaySubstitute);
    EXPECT_EQ(slot(c, 3), kSlotMonday);
}

TEST_F(DayClassification, ColouringSwitchedOff) {
    rules.push_back(onDate(9, 23, 1));
    notes.push_back(note(2001, 9, 10));
    const DayClasses noHolidays = classify(2001, 9, false, true);
    for (int d = 1; d <= 30; ++d) EXPECT_EQ(flags(noHolidays, d) & (kDayHolidayWithSubstitute | kDaySubstitute), 0);
    EXPECT_TRUE(noHolidays.substitutes.empty());
    EXPECT_EQ(slot(noHolidays, 23), kSlotSunday);
    EXPECT_EQ(slot(noHolidays, 10), kSlotMemoDay);
    const DayClasses noNotes = classify(2001, 9, true, false);
    EXPECT_EQ(slot(noNotes, 10), kSlotMonday);
    EXPECT_EQ(slot(noNotes, 24), kSlotDayOff);
    // Absent lists (a layout calendar has none) contribute nothing.
    const DayClasses none = ClassifyDays(DayClassInput{2001, 9, true, true, nullptr, nullptr});
    EXPECT_EQ(slot(none, 23), kSlotSunday);
}

TEST_F(DayClassification, DamagedRulesAndNotesMarkNothing) {
    rules.push_back(nullptr);
    rules.push_back(onDate(9, 0, 1));
    rules.push_back(onDate(9, 31, 1));
    rules.push_back(onDate(9, -5, 1));
    rules.push_back(onDate(13, 1, 1));
    rules.push_back(nthWeekday(9, 7, 1, 1));
    rules.push_back(nthWeekday(9, -1, 1, 1));
    rules.push_back(nthWeekday(9, 1, 0, 1));
    rules.push_back(nthWeekday(9, 1, 6, 1));
    rules.push_back(nthWeekday(9, 1, 1000000000, 1));
    auto odd = onDate(9, 3, 1);
    odd->ruleKind = 9;
    rules.push_back(std::move(odd));
    notes.push_back(nullptr);
    notes.push_back(note(2001, 9, 32));
    notes.push_back(note(2001, 9, 0));
    notes.push_back(note(2001, 13, 1));
    const DayClasses c = classify(2001, 9);
    const DayClasses plain = ClassifyDays(DayClassInput{2001, 9, true, true, nullptr, nullptr});
    EXPECT_EQ(c.slot, plain.slot);
    EXPECT_EQ(c.flags, plain.flags);
    EXPECT_TRUE(ClassifyDays(DayClassInput{2001, 0, true, true, &rules, &notes}).substitutes.empty());
}

TEST_F(DayClassification, September1752HasNoDaysThreeToThirteen) {
    rules.push_back(onDate(9, 5, 2));
    notes.push_back(note(1752, 9, 10));
    const DayClasses c = classify(1752, 9);
    for (int d = 3; d <= 13; ++d) EXPECT_EQ(flags(c, d), 0) << d;
    EXPECT_EQ(slot(c, 2), kSlotMonday + 2);  // Wednesday
    EXPECT_EQ(slot(c, 14), kSlotMonday + 3);  // Thursday
    EXPECT_EQ(slot(c, 17), kSlotSunday);
}

}  // namespace
}  // namespace sorvel

// Japan's national holidays beside the user's rules.
namespace sorvel {
namespace {

struct WithNationalHolidays : Fixture {
    DayClasses national(std::int64_t y, int m, bool holidays = true) {
        return ClassifyDays(DayClassInput{y, m, holidays, true, &rules, &notes, true});
    }
    // Days off owed to a Sunday holiday: the law's and the rules' together.
    static std::vector<int> allSubstitutes(std::int64_t y, int m, const DayClasses& c) {
        std::vector<int> days = substituteDays(c);
        for (int d = 1; d <= 31; ++d)
            if (nationalHoliday(y, m, d).kind == NationalDayKind::Substitute) days.push_back(d);
        return days;
    }
};

// September 2026: 敬老の日 Monday 21, 国民の休日 22, 秋分の日 23.
TEST_F(WithNationalHolidays, ColourDaysOffOnlyWithHolidayColouring) {
    rules.push_back(onDate(9, 23, 0));  // a user's named day on a national holiday
    const DayClasses on = national(2026, 9);
    for (int d : {21, 22, 23}) EXPECT_EQ(slot(on, d), kSlotDayOff) << d;
    EXPECT_EQ(slot(on, 24), kSlotMonday + 3);
    EXPECT_EQ(slot(national(2026, 9, false), 22), kSlotMonday + 1);
    EXPECT_EQ(slot(classify(2026, 9), 22), kSlotMonday + 1);  // the built-in set not asked for
}

// A data file that carries 憲法記念日, みどりの日 and こどもの日 as public holidays with
// substitute: with the built-in set the substitute holiday comes once. 3 May 2026 is a Sunday,
// the law's substitute is Wednesday 6 May.
TEST_F(WithNationalHolidays, ARuleOnANationalHolidayOwesNoSecondSubstitute) {
    for (int day : {3, 4, 5}) rules.push_back(onDate(5, day, 1));
    EXPECT_EQ(allSubstitutes(2026, 5, national(2026, 5)), std::vector<int>{6});
    EXPECT_EQ(substituteDays(classify(2026, 5)), std::vector<int>{6});  // the rules alone
}

// A user's holiday on Sunday 19 July 2026 owes a day; Monday 20 is 海の日, so Tuesday 21.
TEST_F(WithNationalHolidays, TheRulesSubstitutePassesOverANationalHoliday) {
    rules.push_back(onDate(7, 19, 1));
    EXPECT_EQ(substituteDays(national(2026, 7)), std::vector<int>{21});
    EXPECT_EQ(substituteDays(classify(2026, 7)), std::vector<int>{20});
}

}  // namespace
}  // namespace sorvel
