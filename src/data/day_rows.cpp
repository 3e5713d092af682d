#include "data/day_rows.h"

#include <algorithm>

#include "platform/text.h"

namespace sorvel {

namespace {

const std::string& dayOffText() {
    static const std::string s = sjis("休みの日！");
    return s;
}
const std::string& namedDayText() {
    static const std::string s = sjis("祝日");
    return s;
}
const std::string& substituteName() {
    static const std::string s = sjis("振替休日");
    return s;
}

template <typename T>
bool assign(T& field, T value) {
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace

DayRows buildDayRows(const ClickedDate& date, THolidayList& holidays, TDateMemoList& memos,
                     const std::vector<TSubstituteHoliday>& substitutes, const std::string& nationalDay) {
    dropEmptySlots(holidays);
    dropEmptySlots(memos);
    DayRows out;

    if (!nationalDay.empty())
        out.rows.push_back(TDataList{DayRowKind::National, 0, nationalDay, dayOffText(), nullptr, nullptr, nullptr});

    for (std::size_t i = 0; i < holidays.size(); ++i) {
        THolidaySet& rule = *holidays[i];
        if (rule.month != date.month) continue;
        bool falls = false;
        if (rule.ruleKind == 0 && rule.day == date.day) {
            falls = true;
            out.rulesUpdated |= assign(rule.weekday, date.weekday);
            out.rulesUpdated |= assign(rule.ordinal, date.ordinal);
        } else if (rule.ruleKind == 1 && rule.weekday == date.weekday && rule.ordinal == date.ordinal) {
            falls = true;
            out.rulesUpdated |= assign(rule.day, date.day);
        }
        if (!falls) continue;
        // Any day-off kind other than 0 is a day off, whichever way the rule is fixed: the
        // calendar colours it as one and the rule editor shows "休みの日！" checked.
        out.rows.push_back(TDataList{DayRowKind::Holiday, static_cast<std::int32_t>(i), rule.name,
                                     rule.dayOffKind != 0 ? dayOffText() : namedDayText(), nullptr, &rule,
                                     nullptr});
    }

    for (std::size_t i = 0; i < memos.size(); ++i) {
        TDateMemo& memo = *memos[i];
        if (memo.year != date.year || memo.month != date.month || memo.day != date.day) continue;
        out.rows.push_back(
            TDataList{DayRowKind::Memo, static_cast<std::int32_t>(i), memo.caption, memo.text, &memo, nullptr, nullptr});
    }

    // The list may hold other months, the same month of another year among them, so the year is
    // compared too.
    for (std::size_t i = 0; i < substitutes.size(); ++i) {
        const TSubstituteHoliday& s = substitutes[i];
        if (s.year != date.year || s.month != date.month || s.day != date.day) continue;
        out.rows.push_back(TDataList{DayRowKind::Substitute, static_cast<std::int32_t>(i), substituteName(),
                                     dayOffText(), nullptr, nullptr, &s});
    }
    return out;
}

QString dayDialogCaption(const ClickedDate& date) {
    return QStringLiteral("%1月%2日の予定").arg(date.month).arg(date.day);
}

std::unique_ptr<TDateMemo> newMemoFor(const ClickedDate& date) {
    auto memo = std::make_unique<TDateMemo>();
    memo->year = date.year;
    memo->month = date.month;
    memo->day = date.day;
    return memo;
}

std::unique_ptr<THolidaySet> newHolidayFor(const ClickedDate& date) {
    auto rule = std::make_unique<THolidaySet>();
    rule->dayOffKind = 1;
    rule->ruleKind = 0;
    rule->month = date.month;
    rule->day = date.day;
    rule->weekRow = date.weekRow;
    rule->weekday = date.weekday;
    rule->ordinal = date.ordinal;
    return rule;
}

std::optional<QString> deleteQuestion(const TDataList& row) {
    switch (row.kind) {
        case DayRowKind::Memo:
            return QStringLiteral("予定 ") + toQString(row.memo ? row.memo->caption : row.caption) +
                   QStringLiteral(" を削除します。");
        case DayRowKind::Holiday:
            return QStringLiteral("祝日 ") + toQString(row.holiday ? row.holiday->name : row.caption) +
                   QStringLiteral(" を削除します。");
        case DayRowKind::Substitute:
        case DayRowKind::National:
            break;
    }
    return std::nullopt;
}

namespace {

template <typename T>
bool removeByIdentity(std::vector<std::unique_ptr<T>>& list, const T* entry) {
    if (!entry) return false;
    auto it = std::find_if(list.begin(), list.end(), [entry](const auto& p) { return p.get() == entry; });
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

}  // namespace

bool removeRowEntry(const TDataList& row, THolidayList& holidays, TDateMemoList& memos) {
    switch (row.kind) {
        case DayRowKind::Memo:
            return removeByIdentity(memos, row.memo);
        case DayRowKind::Holiday:
            return removeByIdentity(holidays, row.holiday);
        case DayRowKind::Substitute:
        case DayRowKind::National:
            break;
    }
    return false;
}

}  // namespace sorvel
