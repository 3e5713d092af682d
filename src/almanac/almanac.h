#pragma once
#include <optional>
#include <QString>
#include <QStringList>
namespace sorvel {
inline constexpr int kAlmanacFirstYear = 1873;  // Japan's Gregorian calendar
inline constexpr int kAlmanacLastYear = 2200;
struct AlmanacTerm {
    int longitude = 0;  // the Sun's apparent ecliptic longitude, a multiple of 15 (0 = 春分, 270 = 冬至)
    QString name;       // "冬至"
    int hour = 0;       // its instant in JST, rounded to the minute
    int minute = 0;
    int day = 0;        // the day of the month of that JST instant
};
struct AlmanacDay {
    bool valid = false;   // false outside kAlmanacFirstYear..kAlmanacLastYear and for dates that do not exist
    int oldYear = 0;      // 旧暦 year, month 1-12, day 1-30, leap month
    int oldMonth = 0;
    int oldDay = 0;
    bool oldLeap = false;
    int rokuyo = 0;       // 0 大安, 1 赤口, 2 先勝, 3 友引, 4 先負, 5 仏滅
    std::optional<AlmanacTerm> term;  // the 節気 whose instant falls on this JST day
    QStringList zassetsu; // the 雑節 of the day ("節分", "土用入り", "土用の丑の日", ...)
    QString kanshi;       // the day's 干支 ("甲子")
};
// The day's almanac. A year is computed when first asked for and kept (GUI thread only).
AlmanacDay almanacDay(int year, int month, int day);
// Forgets every computed year (for measuring the computation from cold).
void clearAlmanacCache();
QString rokuyoName(int rokuyo);
// The second line of a day cell for the boxes that are on; empty when nothing is to be shown.
// 節気/雑節 name on its day (terms on), otherwise the 六曜 (rokuyo on); with oldCalendar on, the
// first day of an old month shows "旧1/1"-style (decide how it combines with the 六曜, and say so).
QString almanacCellLine(const AlmanacDay& day, bool rokuyo, bool oldCalendar, bool terms);
// The almanac's part of the day's full information, one item per line, e.g. "旧暦 11月3日"
// (with 閏), "六曜 大安", "冬至 12月22日 0:03", "土用の丑の日", "干支 甲子".
QStringList almanacDetailLines(const AlmanacDay& day, int year, int month);
}  // namespace sorvel
