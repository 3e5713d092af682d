#pragma once
// What the calendar window does with the mouse and the keys, as pure functions: dragging with
// snapping to the work area's edges, the corner zones that step the months, the day hit test
// and what each key does.
#include <optional>

#include "app/window_geometry.h"
#include "data/clicked_date.h"
#include "platform/clock.h"
#include "settings/calender_set.h"

namespace sorvel {

// New top-left of a dragged window. dx, dy: cursor offset from the press position. With
// snapping on, an edge that would land closer than `distance` to the work area's edge is put
// on that edge.
struct DragPosition {
    int left = 0;
    int top = 0;
    bool operator==(const DragPosition&) const = default;
};
DragPosition dragWindow(const WindowRect& w, int dx, int dy, bool snapping, int distance, const ScreenExtent& s);
// With several screens the window snaps to the edges of the screen it is on (screenOf).
DragPosition dragWindow(const WindowRect& w, int dx, int dy, bool snapping, int distance, const ScreenList& screens);

// The corner zones: a square of the button size in each top corner.
enum class CornerZone { None, Previous, Next };
CornerZone cornerZoneAt(int x, int y, int width, int buttonSize);
// Button size of a canvas (its height / 18).
int buttonSizeFor(int canvasHeight);
// The month step of a press in a zone; false outside the zones.
bool stepByCorner(CornerZone zone, TCalenderSet& cs);

// Month stepping with the year limits 0 and 9999.
void PreviousMonth(TCalenderSet& cs);
void NextMonth(TCalenderSet& cs);

// The date under a point of the canvas, or nothing: the months hidden, outside the months'
// area, an empty cell of the arrangement, the heading, or a cell without a day.
std::optional<ClickedDate> DayHitTest(const TCalenderSet& cs, int canvasWidth, int canvasHeight, int x, int y);

// The clicked date of a day of a month, as a double click on its cell would give it (September
// 1752 counted as drawn: the 14th follows the 2nd).
ClickedDate clickedDateOf(int year, int month, int day);

// What a key (a Qt::Key) does on the calendar window: Space opens the menu; Left, Up and Page
// Up step back a month, Right, Down and Page Down forward; Home shows this month; Enter opens
// the day dialog of today.
enum class CalendarKey { None, Menu, PreviousMonth, NextMonth, PreviousYear, NextYear, ThisMonth, TodayDialog };
CalendarKey calendarKeyCommand(int key);
// The month steps of a key's command: a month, or twelve months for a year (with the same
// limits). False for a command that steps nothing.
bool stepByKey(CalendarKey command, TCalenderSet& cs);

// A stored display date brought into the range the window steps through: year 0–9999, month
// 1–12 (an impossible month becomes today's).
void SanitizeDisplayDate(TCalenderSet& cs, int todayMonth);
// The display date the start shows: a stored day of −1 means today's month, then sanitized.
void StartDisplayDate(TCalenderSet& cs, const LocalDate& today);

}  // namespace sorvel
