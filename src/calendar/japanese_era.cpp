#include "calendar/japanese_era.h"

namespace sorvel {

namespace {

struct Era {
    std::int64_t year;  // the day on which the era began
    int month;
    int day;
    const char16_t* name;
};

// Latest first. An era that begins inside a month is in force on its last day.
constexpr Era kEras[] = {
    {2019, 5, 1, u"令和"},
    {1989, 1, 8, u"平成"},
    {1926, 12, 25, u"昭和"},
    {1912, 7, 30, u"大正"},
    {1868, 1, 1, u"明治"},
};

constexpr std::int64_t kFirstGregorianYear = 1873;
constexpr std::int64_t kLastYear = 9999;

QString eraYearOn(std::int64_t year, int month, int day) {
    if (year < kFirstGregorianYear || year > kLastYear || month < 1 || month > 12) return {};
    for (const Era& era : kEras) {
        if (year < era.year || (year == era.year && (month < era.month || (month == era.month && day < era.day))))
            continue;
        const std::int64_t n = year - era.year + 1;
        return QString::fromUtf16(era.name) + (n == 1 ? QStringLiteral("元") : QString::number(n)) +
               QStringLiteral("年");
    }
    return {};
}

}  // namespace

QString japaneseEraYear(std::int64_t year, int month) { return eraYearOn(year, month, 31); }

QString japaneseEraYearOn(std::int64_t year, int month, int day) { return eraYearOn(year, month, day); }

}  // namespace sorvel
