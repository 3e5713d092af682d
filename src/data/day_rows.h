#pragma once
// What the day dialog lists for one date: the national holiday, the holiday rules, the schedule
// notes and the substitute holidays that fall on it, in that order, and the records the
// dialog's buttons make.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "data/clicked_date.h"
#include "data/date_data.h"

namespace sorvel {

// National and Substitute rows are read-only: nothing edits or deletes them.
enum class DayRowKind : std::uint8_t { Memo = 0, Holiday = 1, Substitute = 2, National = 3 };

// One row of the day dialog's list. The entry is not owned: it points into one of the lists
// the rows were built from and stays valid until those lists change.
struct TDataList {
    DayRowKind kind = DayRowKind::Memo;
    std::int32_t index = 0;  // position in its list when the rows were built
    std::string caption;     // first column, CP932
    std::string text;        // second column, CP932
    TDateMemo* memo = nullptr;
    THolidaySet* holiday = nullptr;
    const TSubstituteHoliday* substitute = nullptr;
};

struct DayRows {
    std::vector<TDataList> rows;
    // A listed rule took the date's weekday and ordinal (rule by date) or day (rule by weekday)
    // and differs from what it held before.
    bool rulesUpdated = false;
};

// Drops empty slots from both lists, then lists the national holiday of the date (its name as
// the caller gives it, CP932; empty for none), the rules of the date's month that fall on it
// (every year), the notes of exactly that date and the substitute holidays of that date.
// A listed rule keeps the fields of the date it does not use, so that the rule editor can
// switch it between "by date" and "by weekday".
DayRows buildDayRows(const ClickedDate& date, THolidayList& holidays, TDateMemoList& memos,
                     const std::vector<TSubstituteHoliday>& substitutes, const std::string& nationalDay = {});

// The caption of the day dialog: "%d月%d日の予定".
QString dayDialogCaption(const ClickedDate& date);

// A note on the date with empty caption and text, as "予定追加" starts one.
std::unique_ptr<TDateMemo> newMemoFor(const ClickedDate& date);
// A public holiday with substitute, fixed by date, on the date, with an empty name.
std::unique_ptr<THolidaySet> newHolidayFor(const ClickedDate& date);

// The question asked before a row is deleted; none for a substitute row, which deletes nothing.
std::optional<QString> deleteQuestion(const TDataList& row);

// Removes and destroys the row's record. The record is looked up by identity, so a list that
// changed since the rows were built never loses the wrong record. False when nothing was removed.
bool removeRowEntry(const TDataList& row, THolidayList& holidays, TDateMemoList& memos);

}  // namespace sorvel
