#include "app/window_interaction.h"

#include <cstdlib>

#include <qnamespace.h>

#include "calendar/calendar_math.h"
#include "calendar/day_number.h"
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

    const int day = dayAtCell(ym.year, ym.month, cell.weekday, cell.weekRow);
    if (day == 0) return std::nullopt;
    return clickedDateOf(static_cast<int>(ym.year), ym.month, day);
}

ClickedDate clickedDateOf(int year, int month, int day) {
    ClickedDate d;
    d.year = year;
    d.month = month;
    d.day = day;
    d.weekRow = weekRowOf(year, month, day);
    d.weekday = weekdayOf(Date{year, month, day});
    d.ordinal = weekdayOrdinal(year, month, day);
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

bool stepByCorner(CornerZone zone, TCalenderSet& cs) {
    if (zone == CornerZone::Previous) PreviousMonth(cs);
    if (zone == CornerZone::Next) NextMonth(cs);
    return zone != CornerZone::None;
}

bool stepByKey(CalendarKey command, TCalenderSet& cs) {
    switch (command) {
        case CalendarKey::PreviousMonth: PreviousMonth(cs); return true;
        case CalendarKey::NextMonth: NextMonth(cs); return true;
        // A year is twelve steps of a month, with their limits at year 0 and 9999.
        case CalendarKey::PreviousYear:
            for (int i = 0; i < 12; ++i) PreviousMonth(cs);
            return true;
        case CalendarKey::NextYear:
            for (int i = 0; i < 12; ++i) NextMonth(cs);
            return true;
        default: return false;
    }
}

void StartDisplayDate(TCalenderSet& cs, const LocalDate& today) {
    if (cs.DispDay == -1) {
        cs.DispYear = today.year;
        cs.DispMonth = today.month;
        cs.DispDay = today.day;
    }
    SanitizeDisplayDate(cs, today.month);
}

void SanitizeDisplayDate(TCalenderSet& cs, int todayMonth) {
    if (cs.DispYear < 0) cs.DispYear = 0;
    if (cs.DispYear > 9999) cs.DispYear = 9999;
    if (cs.DispMonth < 1 || cs.DispMonth > 12) cs.DispMonth = todayMonth >= 1 && todayMonth <= 12 ? todayMonth : 1;
}

}  // namespace sorvel
