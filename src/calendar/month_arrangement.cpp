#include "calendar/month_arrangement.h"

#include <algorithm>

namespace sorvel {

namespace {
int percentOf(int side, int percent) {
    return static_cast<int>(static_cast<std::int64_t>(side) * percent / 100);
}
}  // namespace

MonthArrangement arrangeMonths(int canvasWidth, int canvasHeight, std::uint8_t x, std::uint8_t y, std::uint8_t sx,
                               std::uint8_t sy, std::int32_t numberOfMonth, std::uint8_t drawStyle) {
    MonthArrangement a;
    a.count = std::clamp<std::int32_t>(numberOfMonth, 1, 12);
    a.style = drawStyle >= kStyleVertical && drawStyle <= kStyleSquare ? drawStyle : kStyleVertical;
    canvasWidth = std::max(canvasWidth, 0);
    canvasHeight = std::max(canvasHeight, 0);
    const int px = std::min<int>(x, 100), py = std::min<int>(y, 100);
    const int pw = std::min<int>(sx, 100 - px), ph = std::min<int>(sy, 100 - py);
    a.left = percentOf(canvasWidth, px);
    a.top = percentOf(canvasHeight, py);
    a.areaWidth = percentOf(canvasWidth, pw);
    a.areaHeight = percentOf(canvasHeight, ph);

    const int n = a.count;
    if (n == 1) {
        a.columns = a.rows = 1;
    } else if (a.style == kStyleVertical) {
        a.rows = std::min(n, 3);
        a.columns = (n - 1) / 3 + 1;
    } else if (a.style == kStyleHorizontal) {
        a.columns = std::min(n, 3);
        a.rows = (n - 1) / 3 + 1;
    } else {
        a.columns = 1;
        while (a.columns * a.columns < n) ++a.columns;
        a.rows = (n + a.columns - 1) / a.columns;
    }
    a.blockWidth = a.areaWidth / a.columns;
    a.blockHeight = a.areaHeight / a.rows;
    return a;
}

namespace {
struct GridPos {
    int column, row;
};
GridPos gridPos(const MonthArrangement& a, int index) {
    if (a.style == kStyleVertical) return {index / 3, index % 3};
    if (a.style == kStyleHorizontal) return {index % 3, index / 3};
    return {index % a.columns, index / a.columns};
}
}  // namespace

BlockRect monthBlock(const MonthArrangement& a, int index) {
    const GridPos p = gridPos(a, index);
    return BlockRect{a.left + p.column * a.blockWidth, a.top + p.row * a.blockHeight, a.blockWidth, a.blockHeight};
}

BlockHit monthAt(const MonthArrangement& a, int px, int py) {
    BlockHit hit;
    if (a.blockWidth <= 0 || a.blockHeight <= 0) return hit;
    const int x = px - a.left, y = py - a.top;
    if (x < 0 || y < 0) return hit;
    const int column = x / a.blockWidth, row = y / a.blockHeight;
    if (column >= a.columns || row >= a.rows) return hit;
    int index = 0;
    if (a.style == kStyleVertical)
        index = column * 3 + row;
    else if (a.style == kStyleHorizontal)
        index = row * 3 + column;
    else
        index = row * a.columns + column;
    if (index >= a.count) return hit;
    hit.index = index;
    hit.dx = x - column * a.blockWidth;
    hit.dy = y - row * a.blockHeight;
    return hit;
}

MonthGrid monthGrid(int blockWidth, int blockHeight) {
    return MonthGrid{std::max(blockWidth, 0) / 8, std::max(blockHeight, 0) / 9};
}

CellHit cellAt(const MonthGrid& g, int dx, int dy) {
    if (g.cellWidth <= 0 || g.cellHeight <= 0) return {};
    const int rel = dx - g.cellWidth / 2;
    if (rel < 0 || dy < 0) return {};
    const int weekday = rel / g.cellWidth;
    const int weekRow = dy / g.cellHeight - 2;
    if (weekday > 6 || weekRow < 1 || weekRow > 6) return {};
    return CellHit{weekday, weekRow};
}

int monthButtonSize(int canvasHeight) { return canvasHeight / 18; }

BlockRect MonthBlockLayout::title() const {
    return BlockRect{block.x, block.y + grid.rowY(1), block.width, grid.cellHeight};
}

BlockRect MonthBlockLayout::weekdayCell(int weekday) const {
    return BlockRect{block.x + grid.columnX(weekday), block.y + grid.rowY(2), grid.cellWidth, grid.cellHeight};
}

BlockRect MonthBlockLayout::dayCell(int weekday, int weekRow) const {
    return BlockRect{block.x + grid.columnX(weekday), block.y + grid.rowY(weekRow + 2), grid.cellWidth,
                     grid.cellHeight};
}

CellHit MonthBlockLayout::cellAt(int px, int py) const {
    const int dx = px - block.x, dy = py - block.y;
    if (dx < 0 || dy < 0 || dx >= block.width || dy >= block.height) return {};
    return sorvel::cellAt(grid, dx, dy);
}

MonthBlockLayout MonthLayout::month(int index) const {
    const BlockRect b = monthBlock(arrangement, index);
    return MonthBlockLayout{b, monthGrid(b.width, b.height)};
}

MonthLayout::Hit MonthLayout::at(int px, int py) const {
    const BlockHit block = monthAt(arrangement, px, py);
    if (block.index < 0) return {};
    return Hit{block.index, sorvel::cellAt(monthGrid(arrangement.blockWidth, arrangement.blockHeight), block.dx,
                                           block.dy)};
}

MonthLayout monthLayout(int canvasWidth, int canvasHeight, std::uint8_t x, std::uint8_t y, std::uint8_t sx,
                        std::uint8_t sy, std::int32_t numberOfMonth, std::uint8_t drawStyle) {
    MonthLayout l;
    l.arrangement = arrangeMonths(canvasWidth, canvasHeight, x, y, sx, sy, numberOfMonth, drawStyle);
    const int s = monthButtonSize(canvasHeight);
    l.buttonSize = s;
    l.previousButton = BlockRect{0, 0, s, s};
    l.nextButton = BlockRect{canvasWidth - s, 0, s, s};
    return l;
}

FrameOutline todayFrame(int numberX, int numberY, int numberWidth, int numberHeight) {
    return FrameOutline{numberX - 2, numberY - 2, numberX + numberWidth + 1, numberY + numberHeight + 1};
}

BlockRect almanacLineBox(const BlockRect& cell, int numberX, int numberWidth, int numberHeight, int ascent,
                         bool today) {
    constexpr int half = kTodayFramePen / 2;  // a line's pixels either side of its centre
    const FrameOutline own = todayFrame(numberX, cell.y, numberWidth, numberHeight);
    // Below the digits; above this cell's frame and the frame of the number one row down,
    // whose top line lies two pixels above that cell.
    const int top = cell.y + ascent + 1;
    const int bottom = std::min(own.bottom - half, cell.y + cell.height - 2 - half);
    // A neighbour's frame reaches at most two pixels into this cell on the left (its number is
    // narrower than a cell) and begins two pixels before the next cell on the right.
    int left = cell.x + 2;
    int right = cell.x + cell.width - 2 - half;
    if (today) {
        left = std::max(left, own.left + half + 1);
        right = std::min(right, own.right - half);
    }
    return BlockRect{left, top, right - left, bottom - top};
}

}  // namespace sorvel
