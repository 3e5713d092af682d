#include <cmath>

#include <gtest/gtest.h>

#include <QDate>

#include "almanac/almanac.h"
#include "almanac/almanac_astro.h"

namespace sorvel {
namespace {

// Sources of the expected values:
//  [NAOJ2019] 国立天文台 令和元年(2019)暦要項 「二十四節気および雑節」
//             (aqua.mtk.nao.ac.jp/koyomi/yoko/2019/rekiyou192.html)
//  [NAOJ2008] 国立天文台 平成20年(2008)暦要項, as printed in 私大教協 新聞 第2269号 (2007-04-11)
//  [NAOJ2025] 国立天文台 令和7年(2025)暦要項: 冬至 12月22日 0:03
//  [ARACHNE]  arachne.jp オンラインカレンダー 「月の満ち欠け」 month pages (times cut to the minute)
//  [WP2033]   Wikipedia 「旧暦2033年問題」, table of 朔 and 中気 2033–2034. Its 07-26 17:12,
//             09-23 22:39 and 01-20 19:01 lie within 30 s of a minute's edge and a few seconds
//             of assumed ΔT away from ours (17:13, 22:40, 19:02); they are left out.
//  [KOYOMI8]  日刊☆こよみのページ 2019/05/06 号 (koyomi8.com)
//  [REKICHU]  rekichu.com 雑節 1919 (zassetsu/?yyyy=1919)

struct Instant {
    int year, month, day, hour, minute;
    bool cut;  // the source drops the seconds rather than rounding
};

long long minutesOf(double jst, bool cut) {
    const double minutes = (jst + 0.5) * 1440.0;
    return static_cast<long long>(cut ? std::floor(minutes) : std::round(minutes));
}

long long minutesOf(const Instant& i) {
    return QDate(i.year, i.month, i.day).toJulianDay() * 1440 + i.hour * 60 + i.minute;
}

TEST(AlmanacInstants, NewMoonsAgreeWithPublishedTablesToTheMinute) {
    const Instant table[] = {
        {1903, 9, 21, 13, 30, true},  {1926, 9, 7, 14, 44, true},   {1949, 2, 28, 5, 54, true},   // ARACHNE
        {1959, 2, 8, 4, 22, true},    {1965, 12, 23, 6, 2, true},   {1968, 1, 30, 1, 29, true},   // ARACHNE
        {1981, 9, 28, 13, 7, true},   {1984, 2, 2, 8, 46, true},    {1989, 1, 8, 4, 22, true},    // ARACHNE
        {2040, 1, 14, 12, 25, true},                                                              // ARACHNE
    };
    for (const Instant& i : table) {
        const double guess = static_cast<double>(QDate(i.year, i.month, i.day).toJulianDay());
        const double jst = astro::newMoonJst(astro::lunationNear(guess));
        EXPECT_EQ(minutesOf(jst, i.cut), minutesOf(i)) << i.year << "-" << i.month << "-" << i.day;
    }
}

// Far-future tables assume a smaller ΔT than ours (ΔT is not known ahead), so the day is what
// they settle: ARACHNE 2055-10-20 19:50, 2064-10-10 19:35, 2067-10-08 18:29, 2079-10-25 3:21,
// 2082-01-29 5:48, 2093-03-27 12:20, against ours one or two minutes earlier.
TEST(AlmanacInstants, FarNewMoonsFallOnThePublishedDay) {
    const int table[][3] = {{2055, 10, 20}, {2064, 10, 10}, {2067, 10, 8}, {2079, 10, 25}, {2082, 1, 29}, {2093, 3, 27}};
    for (const auto& d : table) {
        const AlmanacDay day = almanacDay(d[0], d[1], d[2]);
        EXPECT_EQ(day.oldDay, 1) << d[0] << "-" << d[1] << "-" << d[2];
    }
}

TEST(AlmanacInstants, SolarTermsAgreeWithTheNationalAlmanacToTheMinute) {
    struct Row {
        int year, month, day;
        const char* name;
        int hour, minute;
    };
    const Row table[] = {
        {2008, 1, 6, "小寒", 8, 25},   {2008, 1, 21, "大寒", 1, 44},  {2008, 2, 4, "立春", 20, 0},    // NAOJ2008
        {2008, 3, 20, "春分", 14, 48}, {2008, 5, 21, "小満", 1, 1},   {2008, 6, 21, "夏至", 8, 59},   // NAOJ2008
        {2008, 7, 7, "小暑", 2, 27},   {2008, 10, 8, "寒露", 6, 57},  {2008, 12, 21, "冬至", 21, 4},  // NAOJ2008
        {2019, 1, 20, "大寒", 18, 0},  {2019, 2, 4, "立春", 12, 14},  {2019, 3, 21, "春分", 6, 58},   // NAOJ2019
        {2019, 6, 22, "夏至", 0, 54},  {2019, 7, 7, "小暑", 18, 21},  {2019, 9, 23, "秋分", 16, 50},  // NAOJ2019
        {2019, 11, 22, "小雪", 23, 59}, {2019, 12, 22, "冬至", 13, 19},                               // NAOJ2019
        {2025, 12, 22, "冬至", 0, 3},                                                                 // NAOJ2025
    };
    for (const Row& r : table) {
        const AlmanacDay day = almanacDay(r.year, r.month, r.day);
        ASSERT_TRUE(day.term.has_value()) << r.year << "-" << r.month << "-" << r.day;
        EXPECT_EQ(day.term->name, QString::fromUtf8(r.name));
        EXPECT_EQ(day.term->hour * 60 + day.term->minute, r.hour * 60 + r.minute) << r.name << " " << r.year;
        EXPECT_EQ(day.term->day, r.day);
    }
}

TEST(AlmanacOldCalendar, LeapMonthsStartWhereTheAlmanacsPutThem) {
    // The first day of each year's leap month, and the old date it is: 2014 閏9月 (cocolog
    // 「旧暦の2033年~'34年問題」), 2020 閏4月, 2023 閏2月, 2025 閏6月, 2028 閏5月 (国立天文台
    // 暦要項 朔 dates), 2033 閏11月 (WP2033, the 冬至-first reading).
    const int table[][4] = {{2014, 10, 24, 9}, {2020, 5, 23, 4}, {2023, 3, 22, 2},
                            {2025, 7, 25, 6},  {2028, 6, 23, 5}, {2033, 12, 22, 11}};
    for (const auto& r : table) {
        int leapDays = 0;
        for (QDate d(r[0], 1, 1); d.year() == r[0]; d = d.addDays(1))
            leapDays += almanacDay(d.year(), d.month(), d.day()).oldLeap ? 1 : 0;
        const AlmanacDay first = almanacDay(r[0], r[1], r[2]);
        EXPECT_TRUE(first.oldLeap) << r[0];
        EXPECT_EQ(first.oldMonth, r[3]) << r[0];
        EXPECT_EQ(first.oldDay, 1) << r[0];
        EXPECT_FALSE(almanacDay(r[0], r[1], r[2] - 1).oldLeap) << r[0];
        EXPECT_GE(leapDays, r[0] == 2033 ? 10 : 29) << r[0];  // 2033's runs on into 2034
    }
    // 2019 has no leap month at all.
    for (QDate d(2019, 1, 1); d.year() == 2019; d = d.addDays(1))
        ASSERT_FALSE(almanacDay(2019, d.month(), d.day()).oldLeap) << d.toString(Qt::ISODate).toStdString();
}

TEST(AlmanacOldCalendar, NoMonthHoldingAMiddleTermIsALeapMonth) {
    // Over the whole range: a leap month is one without a 中気 (a 節気 at a multiple of 30°).
    int leapMonths = 0;
    for (QDate d(kAlmanacFirstYear, 1, 1); d.year() <= kAlmanacLastYear; d = d.addDays(1)) {
        const AlmanacDay a = almanacDay(d.year(), d.month(), d.day());
        if (!a.oldLeap) continue;
        if (a.oldDay == 1) ++leapMonths;
        ASSERT_FALSE(a.term && a.term->longitude % 30 == 0) << d.toString(Qt::ISODate).toStdString();
    }
    // About seven leap months in nineteen years.
    EXPECT_GT(leapMonths, 110);
    EXPECT_LT(leapMonths, 130);
}

TEST(AlmanacOldCalendar, DatesAndRokuyoAcrossTheRange) {
    struct Row {
        int year, month, day;
        int oldYear, oldMonth, oldDay;
        bool leap;
        const char* rokuyo;
    };
    const Row table[] = {
        {1873, 1, 1, 1872, 12, 3, false, "友引"},   // 明治5年12月3日 became 明治6年1月1日
        {1926, 9, 21, 1926, 8, 15, false, "仏滅"},  // ARACHNE 中秋の名月
        {1999, 12, 8, 1999, 11, 1, false, "大安"},  // 朔 1999-12-08 (lunation −1), 冬至 in it
        {1981, 9, 12, 1981, 8, 15, false, "仏滅"},  // ARACHNE 中秋の名月
        {2019, 5, 6, 2019, 4, 2, false, "大安"},    // KOYOMI8
        {2025, 1, 29, 2025, 1, 1, false, "先勝"},   // 旧正月 (NAOJ 朔 2025-01-29 21:36)
        {2033, 8, 25, 2033, 8, 1, false, "友引"},   // no 中気, yet not the leap month
        {2033, 12, 22, 2033, 11, 1, true, "大安"},  // WP2033, 閏11月
        {2034, 1, 19, 2033, 11, 29, true, "先負"},  // the leap month's last day (WP2033: 朔 01-20)
        {2034, 2, 19, 2034, 1, 1, false, "先勝"},   // no 中気, yet 正月
        {2055, 10, 5, 2055, 8, 15, false, "仏滅"},  // ARACHNE 中秋の名月
    };
    for (const Row& r : table) {
        const AlmanacDay day = almanacDay(r.year, r.month, r.day);
        ASSERT_TRUE(day.valid);
        EXPECT_EQ(day.oldYear, r.oldYear) << r.year << "-" << r.month << "-" << r.day;
        EXPECT_EQ(day.oldMonth, r.oldMonth) << r.year << "-" << r.month << "-" << r.day;
        EXPECT_EQ(day.oldDay, r.oldDay) << r.year << "-" << r.month << "-" << r.day;
        EXPECT_EQ(day.oldLeap, r.leap) << r.year << "-" << r.month << "-" << r.day;
        EXPECT_EQ(rokuyoName(day.rokuyo), QString::fromUtf8(r.rokuyo)) << r.year << "-" << r.month << "-" << r.day;
    }
    // Nothing outside 1873–2200 or on a day that does not exist.
    EXPECT_FALSE(almanacDay(1872, 12, 31).valid);
    EXPECT_FALSE(almanacDay(2201, 1, 1).valid);
    EXPECT_FALSE(almanacDay(2023, 2, 29).valid);
    EXPECT_TRUE(almanacDay(2200, 12, 31).valid);
}

TEST(AlmanacZassetsu, EveryOneOf2019) {
    // NAOJ2019 for 節分, 彼岸, 土用, 八十八夜, 入梅, 半夏生 and 二百十日. Counted by hand from
    // those: 彼岸明け (+6 days), 二百二十日 (立春 2/4 + 219 days). 土用の丑の日 and 社日 counted in
    // twelve- and ten-day steps from REKICHU's 1919-07-24 (丑) and 1919-03-27 (戊); 秋分 2019-09-23
    // is a 癸 day after noon, so the later 戊.
    const std::pair<const char*, QStringList> expected[] = {
        {"2019-01-17", {"土用入り"}},      {"2019-01-28", {"土用の丑の日"}}, {"2019-02-03", {"節分"}},
        {"2019-03-18", {"彼岸入り"}},      {"2019-03-22", {"社日"}},         {"2019-03-24", {"彼岸明け"}},
        {"2019-04-17", {"土用入り"}},      {"2019-04-22", {"土用の丑の日"}}, {"2019-05-02", {"八十八夜"}},
        {"2019-05-04", {"土用の丑の日"}},  {"2019-06-11", {"入梅"}},         {"2019-07-02", {"半夏生"}},
        {"2019-07-20", {"土用入り"}},      {"2019-07-27", {"土用の丑の日"}}, {"2019-09-01", {"二百十日"}},
        {"2019-09-11", {"二百二十日"}},    {"2019-09-20", {"彼岸入り"}},     {"2019-09-26", {"彼岸明け"}},
        {"2019-09-28", {"社日"}},          {"2019-10-21", {"土用入り"}},     {"2019-10-31", {"土用の丑の日"}},
    };
    int found = 0;
    for (QDate d(2019, 1, 1); d.year() == 2019; d = d.addDays(1)) {
        const QStringList names = almanacDay(2019, d.month(), d.day()).zassetsu;
        if (names.isEmpty()) continue;
        ++found;
        const QString iso = d.toString(Qt::ISODate);
        bool listed = false;
        for (const auto& [date, list] : expected) {
            if (iso == QLatin1String(date)) {
                listed = true;
                EXPECT_EQ(names, list) << date;
            }
        }
        EXPECT_TRUE(listed) << "unexpected " << iso.toStdString() << " " << names.join(',').toStdString();
    }
    EXPECT_EQ(found, 21);
    // 干支: REKICHU's 丑 day 1919-07-24 is 119 days after its 戊 day, so 丁丑; and 1919's dates there.
    EXPECT_EQ(almanacDay(1919, 7, 24).kanshi, QStringLiteral("丁丑"));
    EXPECT_TRUE(almanacDay(1919, 7, 24).zassetsu.contains(QStringLiteral("土用の丑の日")));
    EXPECT_TRUE(almanacDay(1919, 7, 21).zassetsu.contains(QStringLiteral("土用入り")));
    EXPECT_TRUE(almanacDay(1919, 6, 12).zassetsu.contains(QStringLiteral("入梅")));
}

TEST(AlmanacText, CellLineAndDetailLines) {
    const AlmanacDay solstice = almanacDay(2025, 12, 22);     // 冬至 0:03, 旧11/3 先勝
    const AlmanacDay newYear = almanacDay(2025, 1, 29);       // 旧1/1 先勝
    const AlmanacDay leapFirst = almanacDay(2033, 12, 22);    // 旧閏11/1 大安
    const AlmanacDay plain = almanacDay(2025, 12, 23);        // 旧11/4 友引
    const AlmanacDay setsubun = almanacDay(2025, 2, 2);       // 節分
    struct Row {
        const AlmanacDay* day;
        bool rokuyo, oldCalendar, terms;
        const char* line;
    } table[] = {
        {&solstice, true, true, true, "冬至"},   {&solstice, true, true, false, "先勝"},
        {&setsubun, false, false, true, "節分"}, {&newYear, true, true, true, "旧1/1"},
        {&newYear, true, false, true, "先勝"},   {&leapFirst, false, true, false, "旧閏11/1"},
        {&plain, true, true, true, "友引"},      {&plain, false, true, true, ""},
    };
    for (const Row& r : table)
        EXPECT_EQ(almanacCellLine(*r.day, r.rokuyo, r.oldCalendar, r.terms), QString::fromUtf8(r.line)) << r.line;
    EXPECT_EQ(almanacCellLine(AlmanacDay{}, true, true, true), QString());

    EXPECT_EQ(almanacDetailLines(solstice, 2025, 12),
              QStringList({"旧暦 11月3日", "六曜 先勝", "冬至 12月22日 0:03", "干支 乙丑"}));
    EXPECT_EQ(almanacDetailLines(leapFirst, 2033, 12), QStringList({"旧暦 閏11月1日", "六曜 大安", "干支 丁未"}));
    EXPECT_TRUE(almanacDetailLines(AlmanacDay{}, 2025, 1).isEmpty());
}

}  // namespace
}  // namespace sorvel
