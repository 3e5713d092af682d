#include "app/day_information.h"

#include "almanac/almanac.h"
#include "calendar/japanese_era.h"
#include "calendar/national_holidays.h"
#include "platform/text.h"

namespace sorvel {

namespace {

const char16_t* const kWeekdays[7] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};

// "2026年12月22日(火)" and "令和8年" (none before 1873).
QStringList dateLines(const ClickedDate& date) {
    QStringList lines;
    lines << QStringLiteral("%1年%2月%3日(%4)")
                 .arg(date.year)
                 .arg(date.month)
                 .arg(date.day)
                 .arg(QString::fromUtf16(kWeekdays[date.weekday >= 0 && date.weekday <= 6 ? date.weekday : 0]));
    const QString era = japaneseEraYearOn(date.year, date.month, date.day);
    if (!era.isEmpty()) lines << era;
    return lines;
}

bool ruleFalls(const THolidaySet& rule, const ClickedDate& date) {
    if (rule.month != date.month) return false;
    if (rule.ruleKind == 0) return rule.day == date.day;
    return rule.ruleKind == 1 && rule.weekday == date.weekday && rule.ordinal == date.ordinal;
}

}  // namespace

QStringList dayInformation(const ClickedDate& date, const THolidayList& holidays, const TDateMemoList& memos,
                           bool nationalHolidays, bool almanac) {
    QStringList lines = dateLines(date);
    if (nationalHolidays) {
        const std::string national = nationalDayLabel(nationalHoliday(date.year, date.month, date.day));
        if (!national.empty()) lines << toQString(national);
    }
    for (const auto& rule : holidays)
        if (rule && ruleFalls(*rule, date) && !rule->name.empty()) lines << toQString(rule->name);
    if (almanac) lines << almanacDetailLines(almanacDay(date.year, date.month, date.day), date.year, date.month);
    int notes = 0;
    for (const auto& memo : memos)
        if (memo && memo->year == date.year && memo->month == date.month && memo->day == date.day &&
            !memo->caption.empty() && notes++ < kToolTipNotes)
            lines << toQString(memo->caption);
    if (notes > kToolTipNotes) lines << QStringLiteral("ほか %1件").arg(notes - kToolTipNotes);
    return lines;
}

QString dayToolTip(const ClickedDate& date, const THolidayList& holidays, const TDateMemoList& memos,
                   bool nationalHolidays, bool almanac) {
    return dayInformation(date, holidays, memos, nationalHolidays, almanac).join(QChar(u'\n'));
}

QString dayAlmanacLine(const ClickedDate& date) {
    QStringList items = dateLines(date);
    items << almanacDetailLines(almanacDay(date.year, date.month, date.day), date.year, date.month);
    return items.join(QStringLiteral("　"));
}

std::string dayDialogNationalDay(const ClickedDate& date, bool nationalHolidays) {
    if (!nationalHolidays) return {};
    return nationalDayLabel(nationalHoliday(date.year, date.month, date.day));
}

}  // namespace sorvel
