// Month blocks and their inverse, checked with tables.
#include <gtest/gtest.h>

#include "calendar/month_arrangement.h"

namespace sorvel {
namespace {

MonthArrangement arrange(int n, int style, int x = 0, int y = 0, int sx = 100, int sy = 100, int w = 640,
                         int h = 480) {
    return arrangeMonths(w, h, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(sx),
                         static_cast<std::uint8_t>(sy), n, static_cast<std::uint8_t>(style));
}

TEST(MonthArrangement, OneMonthFillsThePercentageRectangleInEveryStyle) {
    for (int style : {1, 2, 3, 0, 9}) {
        const MonthArrangement a = arrange(1, style, 10, 20, 50, 60);
        EXPECT_EQ(monthBlock(a, 0), (BlockRect{64, 96, 320, 288})) << style;
    }
}

TEST(MonthArrangement, BlocksOfEveryCountAndStyle) {
    struct Case {
        int n, style, index;
        BlockRect block;
    };
    // 600 × 450 area: vertical fills columns of three, horizontal rows of three, square 2 × 2.
    const Case cases[] = {
        {2, 1, 1, {0, 225, 600, 225}},   {5, 1, 0, {0, 0, 300, 150}},    {5, 1, 2, {0, 300, 300, 150}},
        {5, 1, 3, {300, 0, 300, 150}},   {5, 1, 4, {300, 150, 300, 150}}, {12, 1, 11, {450, 300, 150, 150}},
        {2, 2, 1, {300, 0, 300, 450}},   {5, 2, 4, {200, 225, 200, 225}}, {3, 2, 2, {400, 0, 200, 450}},
        {12, 2, 11, {400, 336, 200, 112}}, {4, 3, 3, {300, 225, 300, 225}}, {4, 3, 1, {300, 0, 300, 225}},
    };
    for (const Case& c : cases) {
        const MonthArrangement a = arrange(c.n, c.style, 0, 0, 100, 100, 600, 450);
        EXPECT_EQ(monthBlock(a, c.index), c.block) << c.n << " style " << c.style << " month " << c.index;
    }
}

TEST(MonthArrangement, StoredValuesTheDialogsNeverWrite) {
    EXPECT_EQ(arrange(0, 1).count, 1);
    EXPECT_EQ(arrange(-7, 2).count, 1);
    EXPECT_EQ(arrange(13, 1).count, 12);
    EXPECT_EQ(arrange(260, 2).count, 12);
    EXPECT_EQ(arrange(5, 0).style, kStyleVertical);
    EXPECT_EQ(arrange(5, 200).style, kStyleVertical);
    // X + SX past 100: the area ends at the canvas edge.
    const MonthArrangement wide = arrange(1, 1, 80, 90, 100, 255);
    EXPECT_EQ(wide.left + wide.areaWidth, 640);
    EXPECT_EQ(wide.top + wide.areaHeight, 480);
    const MonthArrangement off = arrange(1, 1, 250, 0, 100, 100);
    EXPECT_EQ(off.areaWidth, 0);
    EXPECT_EQ(monthAt(off, 639, 10).index, -1);
}

TEST(MonthArrangement, SquareStyleTakesAGridForAnyCount) {
    for (int n = 1; n <= 12; ++n) {
        const MonthArrangement a = arrange(n, 3, 0, 0, 100, 100, 1200, 1200);
        ASSERT_GE(a.columns * a.rows, n);
        ASSERT_LT(a.columns * (a.rows - 1), n) << "an empty row of blocks for " << n;
        for (int i = 0; i < n; ++i) {
            const BlockRect b = monthBlock(a, i);
            EXPECT_LE(b.x + b.width, 1200);
            EXPECT_LE(b.y + b.height, 1200);
            for (int j = 0; j < i; ++j) EXPECT_NE(monthBlock(a, j), b);
        }
    }
    EXPECT_EQ(arrange(4, 3).columns, 2);
    EXPECT_EQ(arrange(4, 3).rows, 2);
}

TEST(MonthArrangement, MonthAtIsTheInverseOfMonthBlock) {
    for (int style = 1; style <= 3; ++style) {
        for (int n = 1; n <= 12; ++n) {
            const MonthArrangement a = arrange(n, style, 5, 10, 90, 80, 905, 678);
            for (int i = 0; i < n; ++i) {
                const BlockRect b = monthBlock(a, i);
                for (auto [dx, dy] : {std::pair{0, 0}, std::pair{b.width - 1, b.height - 1}, std::pair{b.width / 2, 3}}) {
                    const BlockHit hit = monthAt(a, b.x + dx, b.y + dy);
                    ASSERT_EQ(hit.index, i) << "style " << style << " n " << n;
                    EXPECT_EQ(hit.dx, dx);
                    EXPECT_EQ(hit.dy, dy);
                }
            }
        }
    }
}

TEST(MonthArrangement, MonthAtMissesOutsideAndInEmptyCells) {
    const MonthArrangement a = arrange(4, 1, 10, 10, 80, 80);  // 2 columns of 3, the last 2 empty
    EXPECT_EQ(monthAt(a, 63, 100).index, -1);
    EXPECT_EQ(monthAt(a, 100, 47).index, -1);
    const BlockRect last = monthBlock(a, 3);
    EXPECT_EQ(monthAt(a, last.x + 1, last.y + last.height + 1).index, -1);
    EXPECT_EQ(monthAt(a, 64 + a.areaWidth + 1, 100).index, -1);
}

TEST(MonthArrangement, GridCellsAndTheirInverse) {
    const MonthGrid g = monthGrid(320, 270);  // cells 40 × 30
    EXPECT_EQ(g.columnX(0), 20);
    EXPECT_EQ(g.columnX(6), 260);
    EXPECT_EQ(cellAt(g, 19, 95).weekday, -1);  // left of the columns
    EXPECT_EQ(cellAt(g, 20, 90).weekday, 0);
    EXPECT_EQ(cellAt(g, 20, 90).weekRow, 1);
    EXPECT_EQ(cellAt(g, 299, 269).weekday, 6);
    EXPECT_EQ(cellAt(g, 299, 269).weekRow, 6);
    EXPECT_EQ(cellAt(g, 300, 100).weekday, -1);  // right of Saturday
    EXPECT_EQ(cellAt(g, 100, 89).weekRow, -1);   // the weekday names' row
    const MonthGrid empty = monthGrid(7, 8);
    EXPECT_EQ(empty.cellWidth, 0);
    EXPECT_EQ(cellAt(empty, 3, 3).weekday, -1);
}

TEST(MonthLayout, RowsCellsAndButtonsOfAMonth) {
    // 905 × 678, two months side by side from 10 % / 10 %: blocks of 362 × 474 at (90, 67) and
    // (452, 67), cells of 45 × 52, buttons of 678 / 18 = 37.
    const MonthLayout l = monthLayout(905, 678, 10, 10, 80, 70, 2, kStyleHorizontal);
    EXPECT_EQ(l.previousButton, (BlockRect{0, 0, 37, 37}));
    EXPECT_EQ(l.nextButton, (BlockRect{868, 0, 37, 37}));
    const MonthBlockLayout m = l.month(1);
    EXPECT_EQ(m.block, (BlockRect{452, 67, 362, 474}));
    EXPECT_EQ(m.title(), (BlockRect{452, 119, 362, 52}));
    EXPECT_EQ(m.weekdayCell(6), (BlockRect{452 + 22 + 270, 171, 45, 52}));
    EXPECT_EQ(m.dayCell(0, 1), (BlockRect{474, 223, 45, 52}));
    EXPECT_EQ(m.dayCell(3, 6), (BlockRect{474 + 135, 67 + 8 * 52, 45, 52}));
    EXPECT_EQ(m.cellAt(474 + 135, 67 + 8 * 52).weekday, 3);
    EXPECT_EQ(m.cellAt(474 + 135, 67 + 8 * 52).weekRow, 6);
    EXPECT_EQ(m.cellAt(451, 300).weekday, -1);  // left of the block
    const MonthLayout::Hit hit = l.at(474 + 135 + 44, 67 + 8 * 52 + 51);
    EXPECT_EQ(hit.index, 1);
    EXPECT_EQ(hit.cell.weekday, 3);
    EXPECT_EQ(hit.cell.weekRow, 6);
}

}  // namespace
}  // namespace sorvel
