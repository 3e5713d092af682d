// Japan's national holidays. Expected dates come from the law on national holidays (1948) and
// its amendments, the special laws of the one-off days, the equinox days published in the
// government gazette, and weekdays counted on a perpetual calendar; each group says which.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "calendar/japanese_era.h"
#include "calendar/national_holidays.h"

namespace sorvel {
namespace {

// "yyyy-mm-dd" and the name the date must carry: "" none, "振替休日" and "国民の休日" the two
// derived kinds, anything else a holiday.
struct Case {
    const char* date;
    const char* name;
};
void expectDays(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        int y = 0, m = 0, d = 0;
        ASSERT_EQ(std::sscanf(c.date, "%d-%d-%d", &y, &m, &d), 3);
        const std::string name = c.name;
        const NationalDayKind kind = name.empty()             ? NationalDayKind::None
                                     : name == "振替休日"     ? NationalDayKind::Substitute
                                     : name == "国民の休日"   ? NationalDayKind::Citizens
                                                              : NationalDayKind::Holiday;
        const NationalDay got = nationalHoliday(y, m, d);
        EXPECT_EQ(got.kind, kind) << c.date;
        EXPECT_EQ(std::string(got.name), name) << c.date;
    }
}

// First and last years of the rules that changed: amendments of 1966, 1989, 1995, 1998, 2001,
// 2005, 2014, 2017, 2018, and the Olympic moves of 2020 and 2021.
TEST(NationalHolidays, EachRuleInItsYearsOnly) {
    expectDays({{"1999-01-15", "成人の日"}, {"2000-01-15", ""}, {"2000-01-10", "成人の日"},
                {"1966-02-11", ""}, {"1967-02-11", "建国記念の日"}, {"1988-04-29", "天皇誕生日"},
                {"1989-04-29", "みどりの日"}, {"1989-12-23", "天皇誕生日"}, {"2018-12-23", "天皇誕生日"},
                {"2019-12-23", ""}, {"2019-02-23", ""}, {"2020-02-23", "天皇誕生日"},
                {"2006-04-29", "みどりの日"}, {"2007-04-29", "昭和の日"}, {"2007-05-04", "みどりの日"},
                {"1995-07-20", ""}, {"1996-07-20", "海の日"}, {"2002-07-20", "海の日"},
                {"2003-07-21", "海の日"}, {"1965-09-15", ""}, {"1966-09-15", "敬老の日"},
                {"2002-09-15", "敬老の日"}, {"2004-09-15", ""}, {"1999-10-10", "体育の日"},
                {"2000-10-09", "体育の日"}, {"2019-10-14", "体育の日"}, {"2022-10-10", "スポーツの日"},
                {"2015-08-11", ""}, {"2016-08-11", "山の日"}, {"2022-07-18", "海の日"},
                // 2020 and 2021: the moved days, and none on the usual ones.
                {"2020-07-23", "海の日"}, {"2020-07-24", "スポーツの日"}, {"2020-08-10", "山の日"},
                {"2020-07-20", ""}, {"2020-08-11", ""}, {"2020-10-12", ""},
                {"2021-07-22", "海の日"}, {"2021-07-23", "スポーツの日"}, {"2021-08-08", "山の日"},
                {"2021-07-19", ""}, {"2021-10-11", ""},
                // Days of their own laws.
                {"1959-04-10", "皇太子明仁親王の結婚の儀"}, {"1989-02-24", "昭和天皇の大喪の礼"},
                {"1990-11-12", "即位礼正殿の儀"}, {"1993-06-09", "皇太子徳仁親王の結婚の儀"},
                {"2019-05-01", "天皇の即位の日"}, {"2019-10-22", "即位礼正殿の儀"}, {"2020-05-01", ""},
                // In force from 20 July 1948; its first holiday was 秋分の日.
                {"0001-01-01", ""}, {"1948-05-03", ""}, {"1948-09-23", "秋分の日"}, {"9999-01-01", "元日"}});
}

// From 12 April 1973 a Sunday holiday makes the next day off, from 2007 the nearest day that is
// no holiday. From 27 December 1985 a day between two holidays is off; up to 2006 not on a
// Sunday nor on a substitute holiday. Weekdays from a perpetual calendar.
TEST(NationalHolidays, SubstitutesAndDaysBetweenTwoHolidays) {
    expectDays({{"1973-02-12", ""},          // 11 February 1973, a Sunday, before the rule
                {"1973-04-30", "振替休日"},  // the first
                {"1998-05-04", "振替休日"},  // 3 May 1998 a Sunday
                {"2008-05-06", "振替休日"},  // 4 May 2008 a Sunday, 5 May a holiday
                {"2020-02-24", "振替休日"}, {"2021-08-09", "振替休日"}, {"2023-01-02", "振替休日"},
                {"2027-03-22", "振替休日"},  // after 春分の日 on Sunday 21 March 2027
                {"1985-05-04", ""},          // a Saturday before the rule
                {"1986-05-04", ""},          // a Sunday
                {"1988-05-04", "国民の休日"},  // the first
                {"2006-05-04", "国民の休日"}, {"2009-09-22", "国民の休日"}, {"2019-04-30", "国民の休日"},
                {"2019-05-02", "国民の休日"}, {"2019-05-06", "振替休日"}, {"2026-09-22", "国民の休日"}});
}

// Equinox days as the gazette published them; 1970 is where truncation toward zero matters.
// Later ones are predictions, and so are the days that follow from them.
TEST(NationalHolidays, EquinoxDays) {
    const int published[][3] = {{1949, 21, 23}, {1960, 20, 23}, {1970, 21, 23}, {1979, 21, 24}, {1980, 20, 23},
                                {2000, 20, 23}, {2012, 20, 22}, {2020, 20, 22}, {2026, 20, 23}, {2027, 21, 23}};
    for (const auto& p : published) {
        EXPECT_EQ(nationalDayLabel(nationalHoliday(p[0], 3, p[1])), sjis("春分の日")) << p[0];
        EXPECT_EQ(nationalDayLabel(nationalHoliday(p[0], 9, p[2])), sjis("秋分の日")) << p[0];
    }
    EXPECT_EQ(nationalDayLabel(nationalHoliday(2028, 3, 20)), sjis("春分の日（予定）"));
    // 敬老の日 20 September 2032 and 秋分の日 22 September put 国民の休日 between them.
    EXPECT_EQ(nationalDayLabel(nationalHoliday(2032, 9, 21)), sjis("国民の休日（予定）"));
    EXPECT_EQ(nationalDayLabel(nationalHoliday(2032, 9, 20)), sjis("敬老の日"));
    // 秋分の日 2029 by the published formula: int(23.2488 + 0.242194 × 49 − int(49 / 4)) = int(23.116)
    // = 23 September, a Sunday (1 January 2029 is a Monday; 23 September is day 266, 265 days
    // later, 37 weeks and 6 days). Monday 24 (敬老の日 is the 17th) is its 振替休日, as predicted as
    // the equinox it follows.
    EXPECT_EQ(nationalDayLabel(nationalHoliday(2029, 9, 23)), sjis("秋分の日（予定）"));
    EXPECT_EQ(nationalDayLabel(nationalHoliday(2029, 9, 24)), sjis("振替休日（予定）"));
}

// The era in force on the month's last day; before 1873 none.
TEST(JapaneseEra, EraOfTheMonthsLastDay) {
    const std::pair<int, const char16_t*> cases[] = {
        {187212, u""},         {187301, u"明治6年"},  {191206, u"明治45年"}, {191207, u"大正元年"},
        {192611, u"大正15年"}, {192612, u"昭和元年"}, {198812, u"昭和63年"}, {198901, u"平成元年"},
        {201904, u"平成31年"}, {201905, u"令和元年"}, {202609, u"令和8年"},  {999912, u"令和7981年"}};
    for (const auto& [ym, title] : cases) EXPECT_EQ(japaneseEraYear(ym / 100, ym % 100), QString::fromUtf16(title)) << ym;
}

}  // namespace
}  // namespace sorvel
