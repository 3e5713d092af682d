#include "schedule/list_pagination.h"

#include <algorithm>

#include "platform/text.h"

namespace sorvel {

CellLayout layoutCell(std::string_view text, int left, int limit, int lineHeight,
                      const std::function<int(std::string_view)>& advance) {
    CellLayout cell;
    int x = left;
    int y = 0;
    auto newLine = [&] {
        y += lineHeight + 1;
        x = left;
    };
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            newLine();
            i += 2;
            continue;
        }
        const std::size_t n = isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        const std::string_view ch = text.substr(i, n);
        const int w = advance(ch);
        if (x + w > limit) newLine();
        cell.chars.push_back(PlacedChar{x, y, std::string(ch)});
        x += w;
        i += n;
    }
    cell.bottom = y + lineHeight;
    return cell;
}

ListColumns listColumns(int pageWidth, int dateWidth) {
    // Truncated products, as the integer geometry everywhere else.
    const int least = static_cast<int>(pageWidth * 0.16);
    const int most = std::max(least, pageWidth / 4);
    const int date = std::clamp(dateWidth, least, most);
    const int rest = (pageWidth - date) / 2;
    return ListColumns{date, rest, rest};
}

int wholeInchPixels(int millimetres, int dpi) {
    if (millimetres <= 0 || dpi <= 0) return 0;
    return static_cast<int>(millimetres / 25.4) * dpi;
}

ListPages paginateRows(int pageHeight, int headerHeight, int linePitch, int continuedHeight,
                       std::span<const int> rowHeights) {
    ListPages pages;
    pages.pieces.reserve(rowHeights.size());
    const int top = 1 + headerHeight;  // under the header
    // The lines of a row that a page holds under its header.
    const int pageLines = linePitch > 0 ? std::max(0, pageHeight - top) / linePitch : 0;
    int page = 0;
    int y = top;
    bool pageEmpty = true;
    for (std::size_t i = 0; i < rowHeights.size(); ++i) {
        const int row = static_cast<int>(i);
        const int h = rowHeights[i];
        if (!pageEmpty && y + h > pageHeight) {
            ++page;
            y = top;
        }
        pageEmpty = false;
        if (y + h <= pageHeight || pageLines == 0) {
            pages.pieces.push_back(RowPiece{row, page, y, 0, std::clamp(pageHeight - y, 0, h)});
            y += h;
            continue;
        }
        // Whole lines on this page and on as many pages after it as the rest needs.
        const int room = pageLines * linePitch;
        int from = 0;
        while (true) {
            const int rest = h - from;
            const int shown = std::min(rest, room);
            const int height = from > 0 ? std::min(std::max(shown, continuedHeight), room) : shown;
            pages.pieces.push_back(RowPiece{row, page, y, from, height});
            y += height;
            from += shown;
            if (from >= h) break;
            ++page;
            y = top;
        }
    }
    pages.pageCount = page + 1;
    return pages;
}

}  // namespace sorvel
