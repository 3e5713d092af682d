#include "calendar/national_holidays.h"

#include <algorithm>
#include <array>

#include "calendar/calendar_math.h"
#include "calendar/day_number.h"
#include "platform/text.h"

namespace sorvel {

namespace {

enum class Rule : std::uint8_t {
    Date,     // the day of the month
    Monday,   // the n-th Monday of the month
    Equinox,  // the equinox day of March or September
};

struct Entry {
    int month;
    Rule rule;
    int day;  // day of the month, or n for the n-th Monday
    int firstYear;
    int lastYear;
    const char* name;
};

constexpr int kForever = 9999;

// By month; an entry applies in the years firstYear … lastYear.
constexpr Entry kHolidays[] = {
    {1, Rule::Date, 1, 1948, kForever, "元日"},
    {1, Rule::Date, 15, 1948, 1999, "成人の日"},
    {1, Rule::Monday, 2, 2000, kForever, "成人の日"},
    {2, Rule::Date, 11, 1967, kForever, "建国記念の日"},
    {2, Rule::Date, 23, 2020, kForever, "天皇誕生日"},
    {2, Rule::Date, 24, 1989, 1989, "昭和天皇の大喪の礼"},
    {3, Rule::Equinox, 0, 1948, kForever, "春分の日"},
    {4, Rule::Date, 10, 1959, 1959, "皇太子明仁親王の結婚の儀"},
    {4, Rule::Date, 29, 1948, 1988, "天皇誕生日"},
    {4, Rule::Date, 29, 1989, 2006, "みどりの日"},
    {4, Rule::Date, 29, 2007, kForever, "昭和の日"},
    {5, Rule::Date, 1, 2019, 2019, "天皇の即位の日"},
    {5, Rule::Date, 3, 1948, kForever, "憲法記念日"},
    {5, Rule::Date, 4, 2007, kForever, "みどりの日"},
    {5, Rule::Date, 5, 1948, kForever, "こどもの日"},
    {6, Rule::Date, 9, 1993, 1993, "皇太子徳仁親王の結婚の儀"},
    {7, Rule::Date, 20, 1996, 2002, "海の日"},
    {7, Rule::Monday, 3, 2003, 2019, "海の日"},
    {7, Rule::Date, 23, 2020, 2020, "海の日"},
    {7, Rule::Date, 24, 2020, 2020, "スポーツの日"},
    {7, Rule::Date, 22, 2021, 2021, "海の日"},
    {7, Rule::Date, 23, 2021, 2021, "スポーツの日"},
    {7, Rule::Monday, 3, 2022, kForever, "海の日"},
    {8, Rule::Date, 11, 2016, 2019, "山の日"},
    {8, Rule::Date, 10, 2020, 2020, "山の日"},
    {8, Rule::Date, 8, 2021, 2021, "山の日"},
    {8, Rule::Date, 11, 2022, kForever, "山の日"},
    {9, Rule::Date, 15, 1966, 2002, "敬老の日"},
    {9, Rule::Monday, 3, 2003, kForever, "敬老の日"},
    {9, Rule::Equinox, 0, 1948, kForever, "秋分の日"},
    {10, Rule::Date, 10, 1966, 1999, "体育の日"},
    {10, Rule::Monday, 2, 2000, 2019, "体育の日"},
    {10, Rule::Monday, 2, 2022, kForever, "スポーツの日"},
    {10, Rule::Date, 22, 2019, 2019, "即位礼正殿の儀"},
    {11, Rule::Date, 3, 1948, kForever, "文化の日"},
    {11, Rule::Date, 12, 1990, 1990, "即位礼正殿の儀"},
    {11, Rule::Date, 23, 1948, kForever, "勤労感謝の日"},
    {12, Rule::Date, 23, 1989, 2018, "天皇誕生日"},
};

constexpr const char* kSubstituteName = "振替休日";
constexpr const char* kCitizensName = "国民の休日";

// Dates of the law and its amendments, as (year, month, day).
struct Ymd {
    std::int64_t year;
    int month;
    int day;
    auto operator<=>(const Ymd&) const = default;
};
constexpr Ymd kLawStart{1948, 7, 20};
constexpr Ymd kSubstituteStart{1973, 4, 12};
constexpr Ymd kCitizensStart{1985, 12, 27};
constexpr std::int64_t kWiderRulesYear = 2007;

// The formula's mean tropical year, less 365 days.
constexpr double kYearFraction = 0.242194;

std::int64_t truncatedQuarter(std::int64_t n) { return n / 4; }  // C++ division truncates toward zero

// Gregorian century years that are no leap years, after 2100 up to and including year.
std::int64_t skippedLeapDaysAfter2100(std::int64_t year) {
    if (year <= 2100) return 0;
    auto count = [](std::int64_t y) { return y / 100 - y / 400; };
    return count(year) - count(2100);
}

// One year's national days, by day of the year (0 = 1 January).
struct YearDays {
    std::int64_t year = -1;
    std::array<int, 13> monthStart{};  // day of the year of each month's first day; [12] the length
    std::array<NationalDay, 366> days{};
    std::array<std::uint32_t, 12> masks{};  // per month, bit day − 1 for every national day
    std::array<int, 64> marked{};           // the days set, in the order they were set
    int markedCount = 0;
};

void computeYear(std::int64_t year, YearDays& out) {
    // Only the days set for the year before are cleared.
    for (int k = 0; k < out.markedCount; ++k) out.days[static_cast<std::size_t>(out.marked[static_cast<std::size_t>(k)])] = {};
    out.markedCount = 0;
    out.masks.fill(0);
    out.monthStart.fill(0);
    out.year = year;
    if (year < kLawStart.year || year > kForever) return;
    const YearTables t = ComputeYearTables(year);
    std::array<int, 13>& starts = out.monthStart;
    for (std::size_t m = 1; m <= 12; ++m) starts[m] = starts[m - 1] + t.daysInMonth[m - 1];
    auto monthStart = [&](int m) { return starts[static_cast<std::size_t>(m)]; };
    const int yearLength = starts[12];
    const int firstWeekday = firstWeekdayOfYear(year);
    auto weekdayOf = [&](int index) { return (firstWeekday + index) % 7; };
    auto dateOf = [&](int index) {
        int m = 1;
        while (index >= monthStart(m)) ++m;
        return Ymd{year, m, index - monthStart(m - 1) + 1};
    };
    auto at = [&](int index) -> NationalDay& { return out.days[static_cast<std::size_t>(index)]; };
    auto mark = [&](int index, NationalDay day) {
        at(index) = day;
        out.marked[static_cast<std::size_t>(out.markedCount++)] = index;
        const std::size_t m = static_cast<std::size_t>(dateOf(index).month - 1);
        out.masks[m] |= std::uint32_t{1} << (index - starts[m]);
    };
    auto isHoliday = [&](int index) {
        return index >= 0 && index < yearLength && at(index).kind == NationalDayKind::Holiday;
    };
    const bool predictedYear = year > kLastPublishedEquinoxYear;

    std::array<int, 48> holidays{};  // their days of the year, sorted below
    int count = 0;
    for (const Entry& e : kHolidays) {
        if (year < e.firstYear || year > e.lastYear) continue;
        int day = e.day;
        bool predicted = false;
        if (e.rule == Rule::Monday) {
            day = nthWeekday(year, e.month, 1, e.day);
        } else if (e.rule == Rule::Equinox) {
            day = equinoxDay(year, e.month);
            predicted = predictedYear;
        }
        if (day < 1 || day > t.daysInMonth[static_cast<std::size_t>(e.month - 1)]) continue;
        if (Ymd{year, e.month, day} < kLawStart) continue;
        const int index = monthStart(e.month - 1) + day - 1;
        if (isHoliday(index)) continue;
        mark(index, NationalDay{NationalDayKind::Holiday, e.name, predicted});
        holidays[static_cast<std::size_t>(count++)] = index;
    }
    std::sort(holidays.begin(), holidays.begin() + count);
    const bool wider = year >= kWiderRulesYear;

    // A holiday on a Sunday gives the next day off; from 2007 the nearest following day that
    // is no holiday itself.
    for (int k = 0; k < count; ++k) {
        const int i = holidays[static_cast<std::size_t>(k)];
        if (weekdayOf(i) != 0 || dateOf(i) < kSubstituteStart) continue;
        int next = i + 1;
        if (wider)
            while (isHoliday(next)) ++next;
        if (next >= yearLength || at(next).kind != NationalDayKind::None) continue;
        mark(next, NationalDay{NationalDayKind::Substitute, kSubstituteName, at(i).predicted});
    }

    // A day between two holidays is a day off: up to 2006 unless it is a Sunday or already a
    // substitute holiday, from 2007 whenever it is no holiday itself.
    for (int k = 0; k + 1 < count; ++k) {
        const int before = holidays[static_cast<std::size_t>(k)];
        const int i = before + 1;
        if (holidays[static_cast<std::size_t>(k + 1)] != before + 2 || at(i).kind != NationalDayKind::None) continue;
        if (dateOf(i) < kCitizensStart) continue;
        if (!wider && weekdayOf(i) == 0) continue;
        mark(i, NationalDay{NationalDayKind::Citizens, kCitizensName, at(before).predicted || at(i + 1).predicted});
    }
}

// The drawing asks month by month, and a January looks back into the December before: two
// neighbouring years are kept per thread, an even and an odd one.
const YearDays& yearDays(std::int64_t year) {
    thread_local std::array<YearDays, 2> cache;
    YearDays& slot = cache[static_cast<std::size_t>(year & 1)];
    if (slot.year != year) computeYear(year, slot);
    return slot;
}

}  // namespace

int equinoxDay(std::int64_t year, int month) {
    if (month != 3 && month != 9) return 0;
    const bool march = month == 3;
    const std::int64_t n = year - 1980;
    double value = 0;
    if (year < 1900) {
        return 0;
    } else if (year < 1980) {
        value = (march ? 20.8357 : 23.2588) + kYearFraction * static_cast<double>(n) -
                static_cast<double>(truncatedQuarter(year - 1983));
    } else if (year < 2100) {
        value = (march ? 20.8431 : 23.2488) + kYearFraction * static_cast<double>(n) -
                static_cast<double>(truncatedQuarter(n));
    } else {
        // The constants of 2100–2150; later years add back the leap days the Gregorian
        // calendar leaves out in its century years, which the formula's every-fourth-year
        // count takes away.
        value = (march ? 21.8510 : 24.2488) + kYearFraction * static_cast<double>(n) -
                static_cast<double>(truncatedQuarter(n)) + static_cast<double>(skippedLeapDaysAfter2100(year));
    }
    const int day = static_cast<int>(value);  // truncation toward zero
    const int last = march ? 31 : 30;
    return day < 1 ? 1 : day > last ? last : day;
}

NationalDay nationalHoliday(std::int64_t year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || year < kLawStart.year || year > kForever) return {};
    const YearDays& y = yearDays(year);
    const int start = y.monthStart[static_cast<std::size_t>(month - 1)];
    if (day > y.monthStart[static_cast<std::size_t>(month)] - start) return {};
    return y.days[static_cast<std::size_t>(start + day - 1)];
}

std::uint32_t nationalDayMask(std::int64_t year, int month) {
    if (month < 1 || month > 12 || year < kLawStart.year || year > kForever) return 0;
    return yearDays(year).masks[static_cast<std::size_t>(month - 1)];
}

std::string nationalDayLabel(const NationalDay& day) {
    if (day.kind == NationalDayKind::None) return {};
    std::string label = sjis(day.name);
    if (day.predicted) label += sjis("（予定）");
    return label;
}

}  // namespace sorvel
