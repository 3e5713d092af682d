#pragma once
// Years in the Japanese era ("和暦"), from 明治 6 (1873, when Japan took up the Gregorian
// calendar) on.
#include <cstdint>

#include <QString>

namespace sorvel {

// The era and year in force on the last day of the month, as a title shows it: "令和8年",
// the first year of an era "元年" ("平成元年"). Empty before 1873 and after 9999.
QString japaneseEraYear(std::int64_t year, int month);
// The era and year in force on a day ("昭和64年" on 7 January 1989, "平成元年" from the 8th).
QString japaneseEraYearOn(std::int64_t year, int month, int day);

}  // namespace sorvel
