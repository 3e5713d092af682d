#pragma once
// What a screen reader sees of the calendar window: its name says the months shown and today
// with its notes, and every day drawn is a cell of its own that names the day, its holidays
// and its notes.
#include <QString>

namespace sorvel {

class TMainForm;

// Makes the calendar window answer for itself (once per process; later calls do nothing).
void installCalendarAccessibility();

// The calendar's accessible name: "2026年12月、今日は12月9日（水）、予定 2件"; several months
// shown: "2026年12月～2027年2月、…".
QString calendarAccessibleName(const TMainForm& form);

// Tells the screen reader that the months or today changed.
void calendarAccessibleChanged(TMainForm& form);

}  // namespace sorvel
