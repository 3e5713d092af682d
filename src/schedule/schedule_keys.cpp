#include "schedule/schedule_keys.h"

#include <algorithm>

#include "calendar/day_number.h"
#include "platform/text.h"

namespace sorvel {

namespace {

std::int32_t clampYear(std::int64_t y) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(y, kFirstTreeYear, kLastTreeYear));
}

// The number before the last character, when the text ends with that character.
bool takeNumberBefore(const QString& text, QChar last, std::int32_t& out) {
    if (text.isEmpty() || text.back() != last) return false;
    if (auto n = parseInt(text.chopped(1).toStdString())) out = *n;
    return true;
}

}  // namespace

YearRange treeYears(const TDateMemoList& memos, std::int32_t dispYear) {
    bool any = false;
    std::int32_t lo = 0, hi = 0;
    for (const auto& m : memos) {
        if (!m) continue;
        lo = any ? std::min(lo, m->year) : m->year;
        hi = any ? std::max(hi, m->year) : m->year;
        any = true;
    }
    if (!any) lo = hi = dispYear;
    YearRange r{clampYear(lo), clampYear(std::int64_t{hi} + 3)};
    if (r.last < r.first) r.last = r.first;
    return r;
}

DateKey readNodeKey(const QStringList& textsUpward) {
    DateKey key;
    qsizetype at = 0;
    auto current = [&]() -> QString { return at < textsUpward.size() ? textsUpward[at] : QString(); };
    if (takeNumberBefore(current(), QChar(u'日'), key.day)) ++at;
    if (takeNumberBefore(current(), QChar(u'月'), key.month)) ++at;
    takeNumberBefore(current(), QChar(u'年'), key.year);
    return key;
}

std::vector<TDateMemo*> notesForKey(TDateMemoList& memos, const DateKey& key) {
    sortMemosByDate(memos);
    std::vector<TDateMemo*> rows;
    const int open = key.openParts();
    if (open == 3) rows.reserve(memos.size());
    for (const auto& m : memos) {
        bool take = false;
        switch (open) {
            case 3: take = true; break;
            case 2: take = m->year == key.year; break;
            case 1: take = m->year == key.year && m->month == key.month; break;
            case 0: take = m->year == key.year && m->month == key.month && m->day == key.day; break;
            default: break;
        }
        if (take) rows.push_back(m.get());
    }
    return rows;
}

QString rowDateText(std::int32_t year, std::int32_t month, std::int32_t day) {
    return QStringLiteral("%1年%2月%3日").arg(year).arg(month).arg(day);
}

QString moveQuestion(const DateKey& key) {
    QString q = QStringLiteral("ドラッグした予定を%1年").arg(key.year);
    if (key.month != -1) q += QStringLiteral("%1月").arg(key.month);
    if (key.day != -1) q += QStringLiteral("%1日").arg(key.day);
    return q + QStringLiteral("に変更します。");
}

void moveNoteToKey(TDateMemo& note, const DateKey& key) {
    if (key.year == -1) return;
    note.year = key.year;
    if (key.month != -1) note.month = key.month;
    if (key.day != -1) note.day = key.day;
    const int last = daysInMonth(note.year, note.month);
    if (last > 0 && note.day > last) note.day = last;
    if (last > 0 && !dateExists(note.year, note.month, note.day)) note.day = kFirstGregorianDay;  // 3–13 September 1752
}

}  // namespace sorvel
