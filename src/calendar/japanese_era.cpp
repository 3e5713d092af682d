#include "calendar/japanese_era.h"

namespace sorvel {

namespace {

struct Era {
    std::int64_t year;  // the month in which the era began
    int month;
    const char16_t* name;
};

// Latest first. An era that begins inside a month is in force on its last day.
constexpr Era kEras[] = {
    {2019, 5, u"令和"},   // 1 May 2019
    {1989, 1, u"平成"},   // 8 January 1989
    {1926, 12, u"昭和"},  // 25 December 1926
    {1912, 7, u"大正"},   // 30 July 1912
    {1868, 1, u"明治"},
};

constexpr std::int64_t kFirstGregorianYear = 1873;
constexpr std::int64_t kLastYear = 9999;

}  // namespace

QString japaneseEraYear(std::int64_t year, int month) {
    if (year < kFirstGregorianYear || year > kLastYear || month < 1 || month > 12) return {};
    for (const Era& era : kEras) {
        if (year < era.year || (year == era.year && month < era.month)) continue;
        const std::int64_t n = year - era.year + 1;
        return QString::fromUtf16(era.name) + (n == 1 ? QStringLiteral("元") : QString::number(n)) +
               QStringLiteral("年");
    }
    return {};
}

}  // namespace sorvel
