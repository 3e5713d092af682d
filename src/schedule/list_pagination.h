#pragma once
// The schedule list's printed table without a printer: where each character of a cell goes,
// and on which page and at which height each row is placed. Row heights in, page breaks out.
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvel {

// One character of a cell (one byte, or two when the first is a CP932 lead byte) and its place.
struct PlacedChar {
    int x = 0;
    int y = 0;
    std::string bytes;
    bool operator==(const PlacedChar&) const = default;
};

struct CellLayout {
    std::vector<PlacedChar> chars;
    int bottom = 0;  // the last line's y + the line height
};

// Lays a CP932 text out from (left, 0): a character that would pass limit starts a new line
// first, CR LF starts a new line and is not drawn; a new line is lineHeight + 1 further down.
// advance gives a character's width.
CellLayout layoutCell(std::string_view textCp932, int left, int limit, int lineHeight,
                      const std::function<int(std::string_view)>& advance);

// Column widths of the table on a page pw pixels wide: date, caption and text.
struct ListColumns {
    int date = 0;
    int caption = 0;
    int text = 0;
    bool operator==(const ListColumns&) const = default;
};
// The date column is as wide as its widest date needs (dateWidth, the room on either side
// included), but never below 16 % of the page nor above a quarter of it; caption and text share
// the rest equally. Where a quarter is too narrow the dates are drawn smaller to fit.
ListColumns listColumns(int pageWidth, int dateWidth);

// The printable height or width in pixels: whole inches of the size in millimetres, at dpi.
int wholeInchPixels(int millimetres, int dpi);

// One piece of a row on a page: the row's lines from `from` (pixels from the row's top) for
// `height` pixels, at y of the page. A row that fits is one piece from 0; a longer one goes on
// in further pieces, each at the top of the next page.
struct RowPiece {
    int row = 0;
    int page = 0;
    int y = 0;
    int from = 0;
    int height = 0;
    bool operator==(const RowPiece&) const = default;
};

struct ListPages {
    int pageCount = 1;
    std::vector<RowPiece> pieces;  // in the order of the rows, page after page
};

// Places rows of the given heights on pages pageHeight high. Every page with rows begins with a
// header row of headerHeight at 0 (drawn one line taller), the first row at headerHeight + 1.
// A row that does not fit under the last one starts the next page. A row that does not fit under
// the header of an empty page either is cut there after its last whole line (lines are
// linePitch apart) and goes on under the header of the next page, as often as it needs; a piece
// that goes on is at least continuedHeight high (the room for its mark), as far as the page
// allows. A page without room for one line under its header gets the row cut at its bottom.
ListPages paginateRows(int pageHeight, int headerHeight, int linePitch, int continuedHeight,
                       std::span<const int> rowHeights);

}  // namespace sorvel
