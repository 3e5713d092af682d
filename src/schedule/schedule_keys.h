#pragma once
// The schedule list's plain logic, apart from its window: the years its tree of dates holds
// (a month node has the calendar's days of that month, daysInMonth), reading a tree node into a
// date key, choosing the notes of a key, and moving notes to a key's date.
#include <cstdint>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "data/date_data.h"

namespace sorvel {

// Year, month and day a tree node fixes; -1 where it fixes none.
struct DateKey {
    std::int32_t year = -1;
    std::int32_t month = -1;
    std::int32_t day = -1;

    // How many of the three parts the node leaves open (3 for the root).
    int openParts() const { return (year == -1) + (month == -1) + (day == -1); }
    bool operator==(const DateKey&) const = default;
};

// The tree covers the years the calendar can show, plus the three years after the last one; a
// note dropped on a year node can move up to its last year.
inline constexpr std::int32_t kFirstTreeYear = 1;
inline constexpr std::int32_t kLastTreeYear = 9999 + 3;

// The years of the tree: from the first note's year to the last note's year + 3, or from
// dispYear to dispYear + 3 without notes. Years are kept within 1–9999 as far as the range
// allows; last is never below first.
struct YearRange {
    std::int32_t first = 0;
    std::int32_t last = 0;
    bool operator==(const YearRange&) const = default;
};
YearRange treeYears(const TDateMemoList& memos, std::int32_t dispYear);

// Reads a node from its text and the texts of its parents, nearest first ("3日", "5月", "2001年",
// "日付"). A number that cannot be read leaves that part -1.
DateKey readNodeKey(const QStringList& textsUpward);

// The notes a key selects, in date order; the list is sorted (and emptied of empty slots) first.
std::vector<TDateMemo*> notesForKey(TDateMemoList& memos, const DateKey& key);

// The text of the date column: "2001年5月3日".
QString rowDateText(std::int32_t year, std::int32_t month, std::int32_t day);

// The question asked before notes are moved to the key's date.
QString moveQuestion(const DateKey& key);

// Moves a note to the key's date: the year always, month and day where the key fixes them. A
// day that the target month does not have becomes the month's last day, so the note stays on a
// date the calendar shows (29 February stays on 1700, a Julian leap year, and becomes the 28th on
// 1800; a day of 3–13 September 1752 becomes the 14th). A key without a year changes nothing.
void moveNoteToKey(TDateMemo& note, const DateKey& key);

}  // namespace sorvel
