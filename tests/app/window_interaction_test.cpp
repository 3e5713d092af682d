#include "app/window_interaction.h"

#include <gtest/gtest.h>
#include <utility>

#include "render/sorvel_draw.h"


using namespace sorvel;

namespace {

const ScreenExtent kScreen{0, 0, 1280, 800};

TCalenderSet oneMonth(int year, int month) {
    TCalenderSet cs;
    cs.DispYear = year;
    cs.DispMonth = month;
    return cs;
}

// Centre of the day cell in column `weekday` and week row `row` of a month block at (bx, by).
struct Point {
    int x, y;
};
Point cellCentre(int bx, int by, int bw, int bh, int weekday, int row) {
    const int cw = bw / 8, ch = bh / 9;
    return {bx + cw / 2 + weekday * cw + cw / 2, by + (row + 2) * ch + ch / 2};
}

}  // namespace

TEST(Dragging, SnapsToTheEdgesWithinTheDistanceOnly) {
    const WindowRect w{100, 300, 640, 480};
    // The left edge would land at 10: snapped to 0. At 15: not snapped.
    EXPECT_EQ(dragWindow(w, -90, 0, true, 15, kScreen), (DragPosition{0, 300}));
    EXPECT_EQ(dragWindow(w, -85, 0, true, 15, kScreen), (DragPosition{15, 300}));
    // The right edge: 1280 − (630 + 640) = 10 snaps; 1280 − (530 + 640) = 110 does not.
    EXPECT_EQ(dragWindow(w, 530, 0, true, 15, kScreen), (DragPosition{640, 300}));
    EXPECT_EQ(dragWindow(w, 430, 0, true, 15, kScreen), (DragPosition{530, 300}));
    // Top and bottom the same way.
    EXPECT_EQ(dragWindow(w, 0, -290, true, 15, kScreen), (DragPosition{100, 0}));
    EXPECT_EQ(dragWindow(w, 0, 15, true, 15, kScreen), (DragPosition{100, 320}));
    // A work area beside a panel snaps to its own edges.
    const ScreenExtent panel{64, 0, 1216, 800};
    EXPECT_EQ(dragWindow(w, -30, 0, true, 15, panel), (DragPosition{64, 300}));
}

TEST(Dragging, SnapsToTheEdgesOfTheScreenTheWindowIsOn) {
    // A second screen right of the primary one, with a panel along its top.
    const ScreenList screens{kScreen, ScreenExtent{1280, 40, 1920, 1040}};
    const WindowRect second{1500, 300, 640, 480};
    EXPECT_EQ(dragWindow(second, -210, 0, true, 15, screens), (DragPosition{1280, 300}));
    EXPECT_EQ(dragWindow(second, 1050, 0, true, 15, screens), (DragPosition{3200 - 640, 300}));
    EXPECT_EQ(dragWindow(second, 0, -255, true, 15, screens), (DragPosition{1500, 40}));
    EXPECT_EQ(dragWindow(second, 0, 290, true, 15, screens), (DragPosition{1500, 1080 - 480}));
    // Mostly on the second screen (360 of its 640 columns): that screen's edges count.
    EXPECT_EQ(dragWindow(WindowRect{1000, 300, 640, 480}, 0, -250, true, 15, screens), (DragPosition{1000, 40}));
    // On the primary screen its own edges still count.
    EXPECT_EQ(dragWindow(WindowRect{100, 300, 640, 480}, 530, 0, true, 15, screens), (DragPosition{640, 300}));
}

TEST(Dragging, WithoutSnappingTheWindowMayLeaveTheScreen) {
    const WindowRect w{100, 300, 640, 480};
    EXPECT_EQ(dragWindow(w, -90, 0, false, 15, kScreen), (DragPosition{10, 300}));
    EXPECT_EQ(dragWindow(w, -400, -500, false, 15, kScreen), (DragPosition{-300, -200}));
}

TEST(CornerZones, TopCornersOfTheButtonSize) {
    const int b = buttonSizeFor(480);
    EXPECT_EQ(b, 26);
    EXPECT_EQ(cornerZoneAt(0, 0, 640, b), CornerZone::Previous);
    EXPECT_EQ(cornerZoneAt(26, 26, 640, b), CornerZone::Previous);
    EXPECT_EQ(cornerZoneAt(27, 10, 640, b), CornerZone::None);
    EXPECT_EQ(cornerZoneAt(614, 0, 640, b), CornerZone::Next);
    EXPECT_EQ(cornerZoneAt(640, 26, 640, b), CornerZone::Next);
    EXPECT_EQ(cornerZoneAt(620, 27, 640, b), CornerZone::None);
}

TEST(MonthStepping, StopsAtYearZeroAndYear9999) {
    TCalenderSet cs = oneMonth(1, 1);
    PreviousMonth(cs);
    EXPECT_EQ(cs.DispYear, 0);
    EXPECT_EQ(cs.DispMonth, 12);
    cs.DispMonth = 1;
    PreviousMonth(cs);
    EXPECT_EQ(cs.DispYear, 0);
    EXPECT_EQ(cs.DispMonth, 1);

    cs = oneMonth(9999, 12);
    NextMonth(cs);
    EXPECT_EQ(cs.DispYear, 9999);
    EXPECT_EQ(cs.DispMonth, 1);
    cs = oneMonth(9998, 12);
    NextMonth(cs);
    EXPECT_EQ(cs.DispYear, 9999);
    EXPECT_EQ(cs.DispMonth, 1);
    cs = oneMonth(2001, 5);
    NextMonth(cs);
    PreviousMonth(cs);
    PreviousMonth(cs);
    EXPECT_EQ(cs.DispMonth, 4);

    // A damaged negative year steps back to year 0, never below.
    cs = oneMonth(-7, 1);
    PreviousMonth(cs);
    EXPECT_EQ(cs.DispYear, 0);
    EXPECT_EQ(cs.DispMonth, 12);
}

TEST(DayHitTest, OneMonthGivesTheDateWithRowWeekdayAndOrdinal) {
    // September 2001 begins on a Saturday; the 23rd is its fourth Sunday, in week row 5.
    const TCalenderSet cs = oneMonth(2001, 9);
    const Point p = cellCentre(0, 0, 640, 480, 0, 5);
    auto d = DayHitTest(cs, 640, 480, p.x, p.y);
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, (ClickedDate{2001, 9, 23, 5, 0, 4}));
    // The 1st: Saturday of row 1.
    const Point first = cellCentre(0, 0, 640, 480, 6, 1);
    EXPECT_EQ(DayHitTest(cs, 640, 480, first.x, first.y), (ClickedDate{2001, 9, 1, 1, 6, 1}));
    // Empty cells before the 1st and after the 30th, the title and the weekday names: no hit.
    const Point before = cellCentre(0, 0, 640, 480, 5, 1);
    EXPECT_FALSE(DayHitTest(cs, 640, 480, before.x, before.y));
    const Point after = cellCentre(0, 0, 640, 480, 1, 6);
    EXPECT_FALSE(DayHitTest(cs, 640, 480, after.x, after.y));
    EXPECT_FALSE(DayHitTest(cs, 640, 480, 320, 480 / 9 + 5));
    EXPECT_FALSE(DayHitTest(cs, 640, 480, 320, 2 * (480 / 9) + 5));
    // Hidden months are never hit.
    TCalenderSet hidden = cs;
    hidden.NoDayDraw = 1;
    EXPECT_FALSE(DayHitTest(hidden, 640, 480, p.x, p.y));
}

TEST(DayHitTest, WeekdayOrdinalsInAMonthStartingOnWednesday) {
    // January 2003 begins on a Wednesday.
    const TCalenderSet cs = oneMonth(2003, 1);
    const Point monday = cellCentre(0, 0, 640, 480, 1, 2);
    EXPECT_EQ(DayHitTest(cs, 640, 480, monday.x, monday.y), (ClickedDate{2003, 1, 6, 2, 1, 1}));
    const Point wednesday = cellCentre(0, 0, 640, 480, 3, 2);
    EXPECT_EQ(DayHitTest(cs, 640, 480, wednesday.x, wednesday.y), (ClickedDate{2003, 1, 8, 2, 3, 2}));
}

TEST(DayHitTest, September1752JumpsFromTheSecondToTheFourteenth) {
    const TCalenderSet cs = oneMonth(1752, 9);
    // 2 September 1752 was a Wednesday; the next cell is Thursday the 14th.
    const Point second = cellCentre(0, 0, 640, 480, 3, 1);
    ASSERT_TRUE(DayHitTest(cs, 640, 480, second.x, second.y));
    EXPECT_EQ(DayHitTest(cs, 640, 480, second.x, second.y)->day, 2);
    const Point next = cellCentre(0, 0, 640, 480, 4, 1);
    ASSERT_TRUE(DayHitTest(cs, 640, 480, next.x, next.y));
    EXPECT_EQ(DayHitTest(cs, 640, 480, next.x, next.y)->day, 14);
}

TEST(DayHitTest, FourMonthsHorizontallyLeaveEmptyCellsBesideTheFourth) {
    TCalenderSet cs = oneMonth(2001, 11);
    cs.dateSet.NumberOfMonth = 4;
    cs.dateSet.DrawStyle = 2;
    const int bw = 640 / 3, bh = 480 / 2;
    // The fourth month (February 2002, begins on a Friday) stands alone in the second row.
    const Point feb = cellCentre(0, bh, bw, bh, 5, 1);
    EXPECT_EQ(DayHitTest(cs, 640, 480, feb.x, feb.y), (ClickedDate{2002, 2, 1, 1, 5, 1}));
    const Point empty = cellCentre(bw, bh, bw, bh, 3, 3);
    EXPECT_FALSE(DayHitTest(cs, 640, 480, empty.x, empty.y));
    const Point empty2 = cellCentre(2 * bw, bh, bw, bh, 3, 3);
    EXPECT_FALSE(DayHitTest(cs, 640, 480, empty2.x, empty2.y));
    // The top row runs November, December, January 2002 (which begins on a Tuesday).
    const Point dec = cellCentre(bw, 0, bw, bh, 6, 1);
    EXPECT_EQ(DayHitTest(cs, 640, 480, dec.x, dec.y), (ClickedDate{2001, 12, 1, 1, 6, 1}));
    const Point jan = cellCentre(2 * bw, 0, bw, bh, 2, 1);
    EXPECT_EQ(DayHitTest(cs, 640, 480, jan.x, jan.y), (ClickedDate{2002, 1, 1, 1, 2, 1}));
}

TEST(DayHitTest, AgreesWithTheRendererOnEveryDrawnCell) {
    struct Case {
        int year, month, count, style, x, y, sx, sy, width, height;
        int days;  // day numbers the months hold, counted from a wall calendar
    };
    const Case cases[] = {
        {2001, 9, 1, 1, 0, 0, 100, 100, 640, 480, 30},
        {2026, 1, 12, 2, 3, 7, 94, 90, 905, 678, 365},
        {2024, 11, 5, 1, 10, 0, 90, 100, 640, 480, 30 + 31 + 31 + 28 + 31},
        {1752, 8, 4, 3, 0, 5, 100, 95, 700, 500, 31 + 19 + 31 + 30},
    };
    for (const Case& c : cases) {
        THolidayList rules;
        TDateMemoList notes;
        TSorvelDraw draw;
        TCalenderSet& cs = draw.settings();
        cs.applyDefaults();
        cs.DispYear = c.year;
        cs.DispMonth = c.month;
        cs.dateSet.NumberOfMonth = c.count;
        cs.dateSet.DrawStyle = static_cast<std::uint8_t>(c.style);
        cs.dateSet.X = static_cast<std::uint8_t>(c.x);
        cs.dateSet.Y = static_cast<std::uint8_t>(c.y);
        cs.dateSet.SX = static_cast<std::uint8_t>(c.sx);
        cs.dateSet.SY = static_cast<std::uint8_t>(c.sy);
        cs.Cl[13] = 0;  // white ground
        draw.SetExplicitSize(c.width, c.height);
        draw.Render(CalendarSources{&rules, &notes});
        ASSERT_EQ(static_cast<int>(draw.drawnDays().size()), c.days) << c.year << "-" << c.month;
        for (const TSorvelDraw::DrawnDay& d : draw.drawnDays()) {
            const BlockRect& r = d.cell;
            int inked = 0;  // the number is painted inside the cell reported for it
            for (int py = r.y; py < r.y + r.height; ++py)
                for (int px = r.x; px < r.x + r.width; ++px) inked += draw.canvas().pixel(px, py) != 0xFFFFFFFFu;
            EXPECT_GT(inked, 0) << d.year << "-" << d.month << "-" << d.day;
            const auto hit = DayHitTest(cs, draw.CanvasWidth(), draw.CanvasHeight(), r.x + r.width / 2, r.y + r.height / 2);
            ASSERT_TRUE(hit) << d.year << "-" << d.month << "-" << d.day;
            EXPECT_EQ(hit->year, d.year);
            EXPECT_EQ(hit->month, d.month);
            EXPECT_EQ(hit->day, d.day);
        }
    }
}

TEST(DayHitTest, EmptyBlocksAndStoredValuesOutOfRangeAreNoHit) {
    TCalenderSet cs = oneMonth(2001, 9);
    cs.dateSet.SX = 0;
    EXPECT_FALSE(DayHitTest(cs, 640, 480, 10, 300));
    cs.dateSet.SX = 1;
    cs.dateSet.SY = 1;
    EXPECT_FALSE(DayHitTest(cs, 640, 480, 3, 3));
    cs = oneMonth(2001, 9);
    EXPECT_FALSE(DayHitTest(cs, 0, 480, 0, 0));
    cs = oneMonth(2001, 9);
    cs.dateSet.NumberOfMonth = -1;
    cs.dateSet.DrawStyle = 9;
    const Point p = cellCentre(0, 0, 640, 480, 0, 5);
    // Read as one month drawn vertically: Sunday the 23rd stands where it does in one month.
    EXPECT_EQ(DayHitTest(cs, 640, 480, p.x, p.y), (ClickedDate{2001, 9, 23, 5, 0, 4}));
}

TEST(DisplayDate, DamagedStoredDatesComeBackIntoRange) {
    TCalenderSet cs = oneMonth(-2147483647 - 1, 13);
    SanitizeDisplayDate(cs, 9);
    EXPECT_EQ(cs.DispYear, 0);
    EXPECT_EQ(cs.DispMonth, 9);
    cs = oneMonth(123456, 0);
    SanitizeDisplayDate(cs, 4);
    EXPECT_EQ(cs.DispYear, 9999);
    EXPECT_EQ(cs.DispMonth, 4);
}

TEST(CalendarKeys, EachKeyItsCommand) {
    const std::pair<int, CalendarKey> cases[] = {
        {Qt::Key_Space, CalendarKey::Menu},           {Qt::Key_Left, CalendarKey::PreviousMonth},
        {Qt::Key_Up, CalendarKey::PreviousMonth},     {Qt::Key_PageUp, CalendarKey::PreviousYear},
        {Qt::Key_Right, CalendarKey::NextMonth},      {Qt::Key_Down, CalendarKey::NextMonth},
        {Qt::Key_PageDown, CalendarKey::NextYear},   {Qt::Key_Home, CalendarKey::ThisMonth},
        {Qt::Key_Return, CalendarKey::TodayDialog},   {Qt::Key_Enter, CalendarKey::TodayDialog},
        {Qt::Key_Escape, CalendarKey::None},          {Qt::Key_End, CalendarKey::None},
        {Qt::Key_A, CalendarKey::None},
    };
    for (const auto& [key, command] : cases) EXPECT_EQ(calendarKeyCommand(key), command) << key;
}

TEST(CalendarKeys, TodaysDateAsADoubleClickOnItsCellGivesIt) {
    // {year, month, day, week row, weekday, ordinal}. August 2001 starts on a Wednesday: the
    // Monday of week row 2 is the first Monday, its Wednesday the second. 23 September 2001
    // is the fourth Sunday. 14 September 1752, a Thursday, stands right after the 2nd.
    const ClickedDate cases[] = {{2001, 8, 1, 1, 3, 1},  {2001, 8, 6, 2, 1, 1},    {2001, 8, 8, 2, 3, 2},
                                 {2001, 9, 23, 5, 0, 4}, {1752, 9, 14, 1, 4, 1},   {1752, 9, 30, 3, 6, 3},
                                 {2001, 12, 31, 6, 1, 5}};
    for (const ClickedDate& d : cases) {
        EXPECT_EQ(clickedDateOf(d.year, d.month, d.day), d) << d.year << "-" << d.month << "-" << d.day;
        // What a double click on that cell gives.
        const TCalenderSet cs = oneMonth(d.year, d.month);
        const Point p = cellCentre(0, 0, 640, 480, d.weekday, d.weekRow);
        EXPECT_EQ(DayHitTest(cs, 640, 480, p.x, p.y), d) << d.day;
    }
}
