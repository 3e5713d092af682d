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

}  // namespace sorvel
