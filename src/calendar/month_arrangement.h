#pragma once
// Where the shown months stand: the months' area in percent of the canvas, the block size of
// one month and the position of month i for the count and arrangement (1 vertical, running
// down columns of three; 2 horizontal, along rows of three; 3 square grid), the rows and cells
// inside a month and the two month buttons. The renderer, the day hit test, the settings
// preview and the almanac line all take their geometry from here (MonthLayout).
#include <cstdint>

namespace sorvel {

inline constexpr int kStyleVertical = 1;
inline constexpr int kStyleHorizontal = 2;
inline constexpr int kStyleSquare = 3;

struct MonthArrangement {
    int count = 1;  // months shown, 1–12
    int style = kStyleVertical;
    int left = 0, top = 0, areaWidth = 0, areaHeight = 0;
    int columns = 1, rows = 1;
    int blockWidth = 0, blockHeight = 0;  // may be 0 on a tiny canvas: nothing to draw or hit
};

struct BlockRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const BlockRect&) const = default;
};

// Stored values are taken as the dialogs never write them too: a count outside 1–12 is
// clamped, an unknown style is vertical, the square style takes a grid near square for any
// count (2 × 2 for four), and an area reaching past the canvas edge is cut at the edge.
MonthArrangement arrangeMonths(int canvasWidth, int canvasHeight, std::uint8_t x, std::uint8_t y, std::uint8_t sx,
                               std::uint8_t sy, std::int32_t numberOfMonth, std::uint8_t drawStyle);

// Block of month i (0-based, 0 … count − 1).
BlockRect monthBlock(const MonthArrangement& a, int index);

// The inverse: which month block holds the point, and where in it. index −1 when the point is
// outside every block (outside the area, in an empty grid cell, or the blocks are empty).
struct BlockHit {
    int index = -1;
    int dx = 0, dy = 0;  // offset inside the block
};
BlockHit monthAt(const MonthArrangement& a, int px, int py);

// The grid inside one month block: nine rows (empty, title, weekday names, six weeks) of
// height block / 9, and seven columns of width block / 8 starting half a cell in.
struct MonthGrid {
    int cellWidth = 0, cellHeight = 0;
    int columnX(int column) const { return column * cellWidth + cellWidth / 2; }
    int rowY(int row) const { return row * cellHeight; }
};
MonthGrid monthGrid(int blockWidth, int blockHeight);

// The day cell under an offset inside a block: weekday 0–6 and week row from 1; both −1 when
// the offset is left or right of the columns, above the weeks or the cells are empty.
struct CellHit {
    int weekday = -1;
    int weekRow = -1;
};
CellHit cellAt(const MonthGrid& g, int dx, int dy);

// Side of the two month buttons in the top corners of a canvas (its height / 18).
int monthButtonSize(int canvasHeight);

// One month's block with its rows: row 0 empty, row 1 the title (the whole block width), row 2
// the weekday names, rows 3–8 the weeks. Rectangles are in canvas pixels.
struct MonthBlockLayout {
    BlockRect block;
    MonthGrid grid;
    BlockRect title() const;
    BlockRect weekdayCell(int weekday) const;
    // The cell of a weekday (0–6) in a week row (1–6).
    BlockRect dayCell(int weekday, int weekRow) const;
    // The cell under a canvas point, as cellAt.
    CellHit cellAt(int px, int py) const;
};

// Everything the canvas shows outside the wallpaper, computed once from the canvas size and the
// display-position settings.
struct MonthLayout {
    MonthArrangement arrangement;
    int buttonSize = 0;
    BlockRect previousButton, nextButton;  // (0, 0)–(s, s) and (W − s, 0)–(W, s)
    int count() const { return arrangement.count; }
    MonthBlockLayout month(int index) const;
    // The month and cell under a canvas point; index −1 outside every month.
    struct Hit {
        int index = -1;
        CellHit cell;
    };
    Hit at(int px, int py) const;
};
MonthLayout monthLayout(int canvasWidth, int canvasHeight, std::uint8_t x, std::uint8_t y, std::uint8_t sx,
                        std::uint8_t sy, std::int32_t numberOfMonth, std::uint8_t drawStyle);

// The frame around today's number, drawn as a closed outline with a pen of kTodayFramePen
// pixels: the number's box at (numberX, numberY) of numberWidth × numberHeight, two pixels out.
inline constexpr int kTodayFramePen = 3;
struct FrameOutline {
    int left = 0, top = 0, right = 0, bottom = 0;  // the lines' centres
    bool operator==(const FrameOutline&) const = default;
};
FrameOutline todayFrame(int numberX, int numberY, int numberWidth, int numberHeight);

// The room for the small almanac line under a day number. The number stands at the top of its
// cell in a font of numberHeight pixels whose digits end at its ascent; the line goes between
// the digits and the cell's foot, clear of the today frame of this cell and of every
// neighbouring cell (which may be today's), and on today's cell inside its frame. Width or
// height ≤ 0 when there is no room.
BlockRect almanacLineBox(const BlockRect& cell, int numberX, int numberWidth, int numberHeight, int ascent,
                         bool today);

}  // namespace sorvel
