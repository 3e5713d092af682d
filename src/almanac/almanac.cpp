#include "almanac/almanac.h"

#include <array>
#include <map>
#include <optional>
#include <vector>

#include "almanac/almanac_astro.h"
#include "calendar/day_number.h"

namespace sorvel {
namespace {

using astro::jstDayNumber;

// The 24 節気 by longitude / 15, from 春分 at 0°.
constexpr std::array<const char*, 24> kTermNames = {
    "春分", "清明", "穀雨", "立夏", "小満", "芒種", "夏至", "小暑", "大暑", "立秋", "処暑", "白露",
    "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至", "小寒", "大寒", "立春", "雨水", "啓蟄"};
constexpr std::array<const char*, 6> kRokuyoNames = {"大安", "赤口", "先勝", "友引", "先負", "仏滅"};
constexpr std::array<const char*, 10> kStems = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
constexpr std::array<const char*, 12> kBranches = {"子", "丑", "寅", "卯", "辰", "巳",
                                                   "午", "未", "申", "酉", "戌", "亥"};
constexpr int kStemBo = 4;   // 戊
constexpr int kBranchUshi = 1;  // 丑

// A calendar year's terms run from 小寒 (285°) in January to 冬至 (270°) in December.
constexpr int kFirstTermOfYear = 285;
constexpr int kWinterSolstice = 270;

struct OldMonth {
    int start = 0;  // Julian day number of its first day, the JST day of its new moon
    int oldYear = 0;
    int month = 0;
    bool leap = false;
};

struct Caches {
    std::map<int, std::array<double, 24>> terms;  // by calendar year, in the order from 小寒
    std::map<int, int> newMoonDays;               // by lunation
    std::map<int, std::vector<OldMonth>> spans;   // by the year of the 冬至 that closes the span
    std::map<int, std::vector<AlmanacDay>> years;
};

Caches& caches() {
    static Caches c;
    return c;
}

// The calendar's day number (the Julian Day Number) of a date of the almanac's years.
int dayOf(int year, int month, int day) { return static_cast<int>(dayNumber(year, month, day)); }

int termIndex(int longitude) { return ((longitude - kFirstTermOfYear + 360) % 360) / 15; }

// The JST instants of the year's 24 節気.
const std::array<double, 24>& yearTerms(int year) {
    auto& terms = caches().terms;
    auto it = terms.find(year);
    if (it != terms.end()) return it->second;
    std::array<double, 24> instants{};
    const double newYear = dayOf(year, 1, 1) - 0.5;
    for (int k = 0; k < 24; ++k) {
        const double guess = newYear + 5.6 + 15.2184 * k;
        instants[static_cast<std::size_t>(k)] = astro::solarTermJst((kFirstTermOfYear + 15 * k) % 360, guess);
    }
    return terms.emplace(year, instants).first->second;
}

double termInstant(int year, int longitude) {
    return yearTerms(year)[static_cast<std::size_t>(termIndex(longitude))];
}

int newMoonDay(int lunation) {
    auto& days = caches().newMoonDays;
    auto it = days.find(lunation);
    if (it != days.end()) return it->second;
    return days.emplace(lunation, jstDayNumber(astro::newMoonJst(lunation))).first->second;
}

// The lunation whose month (its new moon's day to the day before the next one's) holds the day.
int lunationHolding(int day) {
    int n = astro::lunationNear(day);
    while (newMoonDay(n) > day) --n;
    while (newMoonDay(n + 1) <= day) ++n;
    return n;
}

// The old months from the 11月 that holds the 冬至 of year − 1 to the last month before the 11月
// that holds the 冬至 of year. When 13 months lie between the two 11月, the first month without a
// 中気 (the 節気 at multiples of 30°) is the leap month and repeats the number before it. Deciding
// from the 冬至 outwards is what settles the years around 2033, where a month without a 中気 in
// August and another in February are not leap months and 閏11月 follows the 11月 of 2033.
const std::vector<OldMonth>& span(int year) {
    auto& spans = caches().spans;
    auto it = spans.find(year);
    if (it != spans.end()) return it->second;

    const int firstSolstice = jstDayNumber(termInstant(year - 1, kWinterSolstice));
    const int lastSolstice = jstDayNumber(termInstant(year, kWinterSolstice));
    const int first = lunationHolding(firstSolstice);
    const int last = lunationHolding(lastSolstice);
    std::vector<int> middleTerms{firstSolstice};
    for (int longitude = 0; longitude < 360; longitude += 30)
        middleTerms.push_back(jstDayNumber(termInstant(year, longitude)));

    // Lunation numbers run negative before 2000: "none" is an empty optional, not a number.
    std::optional<int> leap;
    if (last - first == 13) {
        for (int n = first + 1; n < last && !leap; ++n) {
            bool hasMiddleTerm = false;
            for (int day : middleTerms) hasMiddleTerm = hasMiddleTerm || (day >= newMoonDay(n) && day < newMoonDay(n + 1));
            if (!hasMiddleTerm) leap = n;
        }
    }
    std::vector<OldMonth> months;
    int month = 11;
    int oldYear = year - 1;
    for (int n = first; n < last; ++n) {
        const bool isLeap = leap && n == *leap;
        if (n != first && !isLeap) {
            month = month % 12 + 1;
            if (month == 1) oldYear = year;
        }
        months.push_back({newMoonDay(n), oldYear, month, isLeap});
    }
    return spans.emplace(year, std::move(months)).first->second;
}

QString kanshiName(int index) {
    return QString::fromUtf8(kStems[static_cast<std::size_t>(index % 10)]) +
           QString::fromUtf8(kBranches[static_cast<std::size_t>(index % 12)]);
}

int kanshiIndex(int dayNumberOfDay) { return (dayNumberOfDay + 49) % 60; }

struct YearBuilder {
    int year = 0;
    int firstDay = 0;
    std::vector<AlmanacDay>& days;

    void add(int day, const char* name) {
        const int i = day - firstDay;
        if (i >= 0 && i < static_cast<int>(days.size())) days[static_cast<std::size_t>(i)].zassetsu.append(QString::fromUtf8(name));
    }
    int termDay(int longitude) const { return jstDayNumber(termInstant(year, longitude)); }
    int dayAt(double longitude, int nearTerm) const {
        return jstDayNumber(astro::solarTermJst(longitude, termInstant(year, nearTerm)));
    }
    // The 戊 day nearest to the 春分 or 秋分 day. When that day is a 癸 day the 戊 days lie five
    // days on either side: the earlier one when the instant falls before noon, else the later.
    int nearestBo(int longitude) const {
        const double instant = termInstant(year, longitude);
        const int day = jstDayNumber(instant);
        const int offset = ((kStemBo - kanshiIndex(day) % 10) + 10) % 10;  // days to the next 戊
        if (offset == 5) return astro::jstMinuteOfDay(instant) < 12 * 60 ? day - 5 : day + 5;
        return offset < 5 ? day + offset : day + offset - 10;
    }
    void doyo(double entryLongitude, int nextTerm) {
        const int entry = dayAt(entryLongitude, nextTerm);
        add(entry, "土用入り");
        for (int day = entry; day < termDay(nextTerm); ++day)
            if (kanshiIndex(day) % 12 == kBranchUshi) add(day, "土用の丑の日");
    }
};

const std::vector<AlmanacDay>& yearDays(int year) {
    auto& years = caches().years;
    auto it = years.find(year);
    if (it != years.end()) return it->second;

    const int firstDay = dayOf(year, 1, 1);
    const int dayCount = dayOf(year + 1, 1, 1) - firstDay;
    std::vector<AlmanacDay> days(static_cast<std::size_t>(dayCount));
    std::vector<OldMonth> months = span(year);
    const std::vector<OldMonth>& next = span(year + 1);
    months.insert(months.end(), next.begin(), next.end());

    std::size_t m = 0;
    for (int i = 0; i < dayCount; ++i) {
        const int day = firstDay + i;
        while (m + 1 < months.size() && months[m + 1].start <= day) ++m;
        AlmanacDay& a = days[static_cast<std::size_t>(i)];
        a.valid = true;
        a.oldYear = months[m].oldYear;
        a.oldMonth = months[m].month;
        a.oldDay = day - months[m].start + 1;
        a.oldLeap = months[m].leap;
        a.rokuyo = (a.oldMonth + a.oldDay) % 6;
        a.kanshi = kanshiName(kanshiIndex(day));
    }
    const std::array<double, 24>& terms = yearTerms(year);
    for (int k = 0; k < 24; ++k) {
        const double instant = terms[static_cast<std::size_t>(k)];
        const int longitude = (kFirstTermOfYear + 15 * k) % 360;
        const int minute = astro::jstMinuteOfDay(instant);
        AlmanacTerm term{longitude, QString::fromUtf8(kTermNames[static_cast<std::size_t>(longitude / 15)]), minute / 60,
                         minute % 60};
        const int i = jstDayNumber(instant) - firstDay;
        term.day = dateOfDayNumber(jstDayNumber(instant)).day;
        if (i >= 0 && i < dayCount) days[static_cast<std::size_t>(i)].term = term;
    }

    YearBuilder b{year, firstDay, days};
    const int springBegins = b.termDay(315);
    b.add(springBegins - 1, "節分");
    b.doyo(297, 315);
    for (int equinox : {0, 180}) {
        const int day = b.termDay(equinox);
        b.add(day - 3, "彼岸入り");
        b.add(b.nearestBo(equinox), "社日");
        b.add(day + 3, "彼岸明け");
    }
    b.doyo(27, 45);
    b.add(springBegins + 87, "八十八夜");
    b.add(b.dayAt(80, 75), "入梅");
    b.add(b.dayAt(100, 90), "半夏生");
    b.doyo(117, 135);
    b.add(springBegins + 209, "二百十日");
    b.add(springBegins + 219, "二百二十日");
    b.doyo(207, 225);
    return years.emplace(year, std::move(days)).first->second;
}

}  // namespace

AlmanacDay almanacDay(int year, int month, int day) {
    if (year < kAlmanacFirstYear || year > kAlmanacLastYear || !dateExists(year, month, day)) return {};
    return yearDays(year)[static_cast<std::size_t>(dayOf(year, month, day) - dayOf(year, 1, 1))];
}

void clearAlmanacCache() { caches() = Caches{}; }

QString rokuyoName(int rokuyo) {
    if (rokuyo < 0 || rokuyo >= 6) return {};
    return QString::fromUtf8(kRokuyoNames[static_cast<std::size_t>(rokuyo)]);
}

QString almanacCellLine(const AlmanacDay& day, bool rokuyo, bool oldCalendar, bool terms) {
    if (!day.valid) return {};
    if (terms && day.term) return day.term->name;
    if (terms && !day.zassetsu.isEmpty()) return day.zassetsu.first();
    // The first day of an old month always has the same 六曜 for its month, so its old date
    // takes the 六曜's place rather than crowding the line.
    if (oldCalendar && day.oldDay == 1)
        return QStringLiteral("旧%1%2/1").arg(day.oldLeap ? QStringLiteral("閏") : QString()).arg(day.oldMonth);
    if (rokuyo) return rokuyoName(day.rokuyo);
    return {};
}

QStringList almanacDetailLines(const AlmanacDay& day, int /*year*/, int month) {
    if (!day.valid) return {};
    QStringList lines;
    lines << QStringLiteral("旧暦 %1%2月%3日")
                 .arg(day.oldLeap ? QStringLiteral("閏") : QString())
                 .arg(day.oldMonth)
                 .arg(day.oldDay);
    lines << QStringLiteral("六曜 ") + rokuyoName(day.rokuyo);
    if (day.term)
        lines << QStringLiteral("%1 %2月%3日 %4:%5")
                     .arg(day.term->name)
                     .arg(month)
                     .arg(day.term->day)
                     .arg(day.term->hour)
                     .arg(day.term->minute, 2, 10, QLatin1Char('0'));
    lines << day.zassetsu;
    lines << QStringLiteral("干支 ") + day.kanshi;
    return lines;
}

}  // namespace sorvel
