#include "app/window_interaction.h"

#include <cstdlib>

#include <qnamespace.h>

#include "calendar/calendar_math.h"
#include "calendar/month_arrangement.h"

namespace sorvel {

DragPosition dragWindow(const WindowRect& w, int dx, int dy, bool snapping, int distance, const ScreenExtent& s) {
    int left = w.left;
    int top = w.top;
    if (snapping) {
        if (dx != 0) {
            const int newLeft = left + dx;
            if (std::abs(newLeft - s.left) < distance) {
                left = s.left;
                dx = 0;
            }
            if (std::abs(s.right() - (newLeft + w.width)) < distance) {
                left = s.right() - w.width;
                dx = 0;
            }
        }
        if (dy != 0) {
            const int newTop = top + dy;
            if (std::abs(newTop - s.top) < distance) {
                top = s.top;
                dy = 0;
            }
            if (std::abs(s.bottom() - (newTop + w.height)) < distance) {
                top = s.bottom() - w.height;
                dy = 0;
            }
        }
    }
    return DragPosition{left + dx, top + dy};
}

DragPosition dragWindow(const WindowRect& w, int dx, int dy, bool snapping, int distance, const ScreenList& screens) {
    return dragWindow(w, dx, dy, snapping, distance, screenOf(w, screens));
}

int buttonSizeFor(int canvasHeight) { return monthButtonSize(canvasHeight); }

CornerZone cornerZoneAt(int x, int y, int width, int b) {
    if (y < 0 || y > b) return CornerZone::None;
    if (x >= 0 && x <= b) return CornerZone::Previous;
    if (x >= width - b && x <= width) return CornerZone::Next;
    return CornerZone::None;
}

void PreviousMonth(TCalenderSet& cs) {
    if (cs.DispMonth > 1) {
        --cs.DispMonth;
    } else if (cs.DispYear != 0) {
        cs.DispMonth = 12;
        cs.DispYear = cs.DispYear > 0 ? cs.DispYear - 1 : 0;
    }
}

void NextMonth(TCalenderSet& cs) {
    ++cs.DispMonth;
    if (cs.DispMonth > 12) {
        cs.DispMonth = 1;
        cs.DispYear = cs.DispYear >= 9998 ? 9999 : cs.DispYear + 1;
    }
}

std::optional<ClickedDate> DayHitTest(const TCalenderSet& cs, int canvasWidth, int canvasHeight, int x, int y) {
    if (cs.NoDayDraw != 0) return std::nullopt;
    const TDateSet& ds = cs.dateSet;
    const MonthLayout layout =
        monthLayout(canvasWidth, canvasHeight, ds.X, ds.Y, ds.SX, ds.SY, ds.NumberOfMonth, ds.DrawStyle);
    const MonthLayout::Hit hit = layout.at(x, y);
    if (hit.index < 0) return std::nullopt;
    const YearMonth ym = addMonths(cs.DispYear, cs.DispMonth, hit.index);
    const CellHit cell = hit.cell;
    if (cell.weekday < 0 || cell.weekRow < 1) return std::nullopt;

    const YearTables tables = ComputeYearTables(ym.year);
    const int f = tables.firstWeekday[static_cast<std::size_t>(ym.month - 1)];
    ClickedDate d;
    d.year = static_cast<std::int32_t>(ym.year);
    d.month = ym.month;
    d.weekRow = cell.weekRow;
    d.weekday = cell.weekday;
    d.ordinal = f > cell.weekday ? cell.weekRow - 1 : cell.weekRow;
    d.day = 7 * cell.weekRow + cell.weekday - 6 - f;
    if (ym.year == kReformYear && ym.month == kReformMonth && d.day > kLastJulianDay)
        d.day += kFirstGregorianDay - kLastJulianDay - 1;
    if (d.day < 1 || d.day > tables.daysInMonth[static_cast<std::size_t>(ym.month - 1)]) return std::nullopt;
    return d;
}

ClickedDate clickedDateOf(int year, int month, int day) {
    const YearTables tables = ComputeYearTables(year);
    const int f = tables.firstWeekday[static_cast<std::size_t>(month - 1)];
    // The cell of the day: September 1752 has no cells for the 3rd to the 13th.
    int cell = day;
    if (year == kReformYear && month == kReformMonth && day > kLastJulianDay)
        cell -= kFirstGregorianDay - kLastJulianDay - 1;
    const int index = f + cell - 1;
    ClickedDate d;
    d.year = year;
    d.month = month;
    d.day = day;
    d.weekRow = index / 7 + 1;
    d.weekday = index % 7;
    d.ordinal = f > d.weekday ? d.weekRow - 1 : d.weekRow;
    return d;
}

CalendarKey calendarKeyCommand(int key) {
    switch (key) {
        case Qt::Key_Space:
            return CalendarKey::Menu;
        case Qt::Key_Left:
        case Qt::Key_Up:
            return CalendarKey::PreviousMonth;
        case Qt::Key_Right:
        case Qt::Key_Down:
            return CalendarKey::NextMonth;
        case Qt::Key_PageUp:
            return CalendarKey::PreviousYear;
        case Qt::Key_PageDown:
            return CalendarKey::NextYear;
        case Qt::Key_Home:
            return CalendarKey::ThisMonth;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return CalendarKey::TodayDialog;
        default:
            return CalendarKey::None;
    }
}

void SanitizeDisplayDate(TCalenderSet& cs, int todayMonth) {
    if (cs.DispYear < 0) cs.DispYear = 0;
    if (cs.DispYear > 9999) cs.DispYear = 9999;
    if (cs.DispMonth < 1 || cs.DispMonth > 12) cs.DispMonth = todayMonth >= 1 && todayMonth <= 12 ? todayMonth : 1;
}

}  // namespace sorvel
