// Japan's national holidays. Expected dates are taken from the law on national holidays
// (国民の祝日に関する法律, 1948) and its amendments, the special laws for the one-off days,
// the equinox days published yearly in the government gazette (官報), and weekdays counted
// from a perpetual calendar; each group says which.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "render/japanese_era.h"
#include "render/national_holidays.h"

namespace sorvel {
namespace {

using K = NationalDayKind;

struct Case {
    int year, month, day;
    K kind;
    const char* name;  // "" for none
};

void expectDays(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        const NationalDay d = nationalHoliday(c.year, c.month, c.day);
        const std::string at = std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day);
        EXPECT_EQ(d.kind, c.kind) << at;
        EXPECT_EQ(std::string(d.name), std::string(c.name)) << at;
    }
}

// The first and last year of every rule that changed, from the amendments of 1966 (敬老の日,
// 体育の日), 1985 (国民の休日), 1989 (みどりの日, 天皇誕生日 12/23), 1995 (海の日), 1998 and
// 2001 (the Monday rules of 2000 and 2003), 2005 (昭和の日, みどりの日 5/4 from 2007), 2014
// (山の日), 2017 (天皇誕生日 2/23 from 2020), 2018 (スポーツの日) and the Olympic special
// measures of 2020 and 2021.
TEST(NationalHolidays, EachRuleInItsYearsOnly) {
    expectDays({
        {1999, 1, 15, K::Holiday, "成人の日"},
        {2000, 1, 15, K::None, ""},
        {2000, 1, 10, K::Holiday, "成人の日"},  // second Monday
        {1966, 2, 11, K::None, ""},
        {1967, 2, 11, K::Holiday, "建国記念の日"},
        {1988, 4, 29, K::Holiday, "天皇誕生日"},
        {1989, 4, 29, K::Holiday, "みどりの日"},
        {1989, 12, 23, K::Holiday, "天皇誕生日"},
        {2018, 12, 23, K::Holiday, "天皇誕生日"},
        {2019, 12, 23, K::None, ""},  // a Monday: no emperor's birthday in 2019
        {2019, 2, 23, K::None, ""},
        {2020, 2, 23, K::Holiday, "天皇誕生日"},
        {2020, 2, 24, K::Substitute, "振替休日"},  // 23 February 2020 was a Sunday
        {2006, 4, 29, K::Holiday, "みどりの日"},
        {2006, 5, 4, K::Citizens, "国民の休日"},
        {2007, 4, 29, K::Holiday, "昭和の日"},
        {2007, 5, 4, K::Holiday, "みどりの日"},
        {1995, 7, 20, K::None, ""},
        {1996, 7, 20, K::Holiday, "海の日"},
        {2002, 7, 20, K::Holiday, "海の日"},
        {2003, 7, 21, K::Holiday, "海の日"},  // third Monday
        {1965, 9, 15, K::None, ""},
        {1966, 9, 15, K::Holiday, "敬老の日"},
        {2002, 9, 15, K::Holiday, "敬老の日"},
        {2003, 9, 15, K::Holiday, "敬老の日"},  // the third Monday of 2003 is the 15th
        {2004, 9, 15, K::None, ""},
        {1966, 10, 10, K::Holiday, "体育の日"},
        {1999, 10, 10, K::Holiday, "体育の日"},
        {2000, 10, 9, K::Holiday, "体育の日"},
        {2019, 10, 14, K::Holiday, "体育の日"},
        {2022, 10, 10, K::Holiday, "スポーツの日"},
        {2015, 8, 11, K::None, ""},
        {2016, 8, 11, K::Holiday, "山の日"},
        // 2020: 海の日 7/23, スポーツの日 7/24, 山の日 8/10; their usual days are none.
        {2020, 7, 23, K::Holiday, "海の日"},
        {2020, 7, 24, K::Holiday, "スポーツの日"},
        {2020, 8, 10, K::Holiday, "山の日"},
        {2020, 7, 20, K::None, ""},
        {2020, 8, 11, K::None, ""},
        {2020, 10, 12, K::None, ""},
        // 2021: 海の日 7/22, スポーツの日 7/23, 山の日 8/8, a Sunday, so 8/9 is off.
        {2021, 7, 22, K::Holiday, "海の日"},
        {2021, 7, 23, K::Holiday, "スポーツの日"},
        {2021, 8, 8, K::Holiday, "山の日"},
        {2021, 8, 9, K::Substitute, "振替休日"},
        {2021, 7, 19, K::None, ""},
        {2021, 10, 11, K::None, ""},
        {2022, 7, 18, K::Holiday, "海の日"},
    });
}

// The days made holidays by laws of their own.
TEST(NationalHolidays, OneOffDaysOfTheirOwnLaws) {
    expectDays({
        {1959, 4, 10, K::Holiday, "皇太子明仁親王の結婚の儀"},
        {1960, 4, 10, K::None, ""},
        {1989, 2, 24, K::Holiday, "昭和天皇の大喪の礼"},
        {1990, 11, 12, K::Holiday, "即位礼正殿の儀"},
        {1993, 6, 9, K::Holiday, "皇太子徳仁親王の結婚の儀"},
        {2019, 5, 1, K::Holiday, "天皇の即位の日"},
        {2019, 10, 22, K::Holiday, "即位礼正殿の儀"},
        {2020, 5, 1, K::None, ""},
    });
}

// The law took effect on 20 July 1948: its first holiday was 秋分の日, 23 September 1948.
TEST(NationalHolidays, NothingBeforeTheLaw) {
    expectDays({
        {1, 1, 1, K::None, ""},
        {1947, 5, 3, K::None, ""},
        {1948, 1, 1, K::None, ""},
        {1948, 5, 3, K::None, ""},
        {1948, 9, 23, K::Holiday, "秋分の日"},
        {1948, 11, 3, K::Holiday, "文化の日"},
        {1949, 1, 1, K::Holiday, "元日"},
        {9999, 1, 1, K::Holiday, "元日"},
    });
}

// Article 3.2: from 12 April 1973 a holiday on a Sunday makes the next day off; from 2007 the
// nearest following day that is no holiday.
TEST(NationalHolidays, SubstituteHolidays) {
    expectDays({
        {1973, 2, 12, K::None, ""},  // 11 February 1973, a Sunday, before the amendment
        {1973, 4, 30, K::Substitute, "振替休日"},  // the first: 29 April 1973 was a Sunday
        {1998, 5, 4, K::Substitute, "振替休日"},  // 3 May 1998 a Sunday: no 国民の休日 then
        {2008, 5, 6, K::Substitute, "振替休日"},  // 4 May 2008 a Sunday, 5 May a holiday
        {2019, 5, 6, K::Substitute, "振替休日"},
        {2023, 1, 2, K::Substitute, "振替休日"},  // 元日 2023 was a Sunday
        {2026, 5, 6, K::Substitute, "振替休日"},
        {2027, 3, 22, K::Substitute, "振替休日"},  // 春分の日 21 March 2027, a Sunday
    });
}

// Article 3.3: from 27 December 1985 a day between two holidays is off; up to 2006 not on a
// Sunday nor on a substitute holiday.
TEST(NationalHolidays, DaysBetweenTwoHolidays) {
    expectDays({
        {1985, 5, 4, K::None, ""},  // a Saturday before the amendment
        {1986, 5, 4, K::None, ""},  // a Sunday
        {1987, 5, 4, K::Substitute, "振替休日"},  // 3 May 1987 was a Sunday
        {1988, 5, 4, K::Citizens, "国民の休日"},  // the first
        {2009, 9, 22, K::Citizens, "国民の休日"},
        {2019, 4, 30, K::Citizens, "国民の休日"},
        {2019, 5, 2, K::Citizens, "国民の休日"},
        {2026, 9, 22, K::Citizens, "国民の休日"},
        {2026, 9, 21, K::Holiday, "敬老の日"},
        {2026, 9, 23, K::Holiday, "秋分の日"},
    });
}

// Equinox days as the gazette published them, and 1970, where the formula's truncation toward
// zero matters.
TEST(NationalHolidays, EquinoxDaysOfSeveralDecades) {
    const struct {
        int year, march, september;
    } published[] = {{1949, 21, 23}, {1960, 20, 23}, {1970, 21, 23}, {1979, 21, 24}, {1980, 20, 23},
                     {2000, 20, 23}, {2012, 20, 22}, {2020, 20, 22}, {2026, 20, 23}, {2027, 21, 23}};
    for (const auto& p : published) {
        EXPECT_EQ(equinoxDay(p.year, 3), p.march) << p.year;
        EXPECT_EQ(equinoxDay(p.year, 9), p.september) << p.year;
        EXPECT_EQ(nationalHoliday(p.year, 3, p.march).kind, K::Holiday) << p.year;
        EXPECT_EQ(nationalHoliday(p.year, 9, p.september).kind, K::Holiday) << p.year;
    }
}

// Past 2027 the equinox days are predictions, and so are the days that follow from them.
TEST(NationalHolidays, PredictedDaysAreMarked) {
    EXPECT_EQ(nationalDayLabel(nationalHoliday(2027, 3, 21)), sjis("春分の日"));
    EXPECT_EQ(nationalDayLabel(nationalHoliday(2028, 3, 20)), sjis("春分の日（予定）"));
    // 敬老の日 20 September 2032 and 秋分の日 22 September put 国民の休日 between them.
    EXPECT_EQ(nationalDayLabel(nationalHoliday(2032, 9, 21)), sjis("国民の休日（予定）"));
    EXPECT_EQ(nationalDayLabel(nationalHoliday(2032, 9, 20)), sjis("敬老の日"));
    EXPECT_EQ(nationalDayLabel(nationalHoliday(2026, 9, 24)), "");
}

// The year title in the era in force on the month's last day; before 1873 none.
TEST(JapaneseEra, EraOfTheMonthsLastDay) {
    const struct {
        int year, month;
        const char16_t* title;
    } cases[] = {{1872, 12, u""},           {1873, 1, u"明治6年"},   {1912, 6, u"明治45年"},
                 {1912, 7, u"大正元年"},    {1926, 11, u"大正15年"}, {1926, 12, u"昭和元年"},
                 {1988, 12, u"昭和63年"},   {1989, 1, u"平成元年"},  {2019, 4, u"平成31年"},
                 {2019, 5, u"令和元年"},    {2026, 9, u"令和8年"},   {9999, 12, u"令和7981年"}};
    for (const auto& c : cases)
        EXPECT_EQ(japaneseEraYear(c.year, c.month), QString::fromUtf16(c.title)) << c.year << "-" << c.month;
}

}  // namespace
}  // namespace sorvel
