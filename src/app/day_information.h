#pragma once
// What the calendar tells of one day when the mouse rests on it, and the almanac line of its day
// dialog: the date with its weekday, the year in the Japanese era, the national holiday and the
// user's holiday rules that fall on it, the almanac and the captions of its notes.
#include <string>

#include <QString>
#include <QStringList>

#include "data/clicked_date.h"
#include "data/date_data.h"

namespace sorvel {

// The lines of the day's tooltip, in the order above. nationalHolidays: the calendar shows
// Japan's national holidays.
// almanac: the almanac lines too. The notes stop after kToolTipNotes captions with a line
// "ほか n件", so that a day of many notes keeps its tooltip on the screen.
inline constexpr int kToolTipNotes = 20;
QStringList dayInformation(const ClickedDate& date, const THolidayList& holidays, const TDateMemoList& memos,
                           bool nationalHolidays, bool almanac);
QString dayToolTip(const ClickedDate& date, const THolidayList& holidays, const TDateMemoList& memos,
                   bool nationalHolidays, bool almanac);

// The day dialog's one line: the date, its era year and the almanac, on one line. Its list
// already names the holidays and the notes.
QString dayAlmanacLine(const ClickedDate& date);
// The national holiday the day dialog lists for a date (CP932), when the calendar shows them.
std::string dayDialogNationalDay(const ClickedDate& date, bool nationalHolidays);

}  // namespace sorvel
