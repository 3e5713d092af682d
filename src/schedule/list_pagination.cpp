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

ListPages paginateRows(int pageHeight, int headerHeight, std::span<const int> rowHeights) {
    ListPages pages;
    pages.rows.reserve(rowHeights.size());
    const int top = 1 + headerHeight;  // under the header
    int page = 0;
    int y = top;
    bool pageEmpty = true;
    for (const int h : rowHeights) {
        if (!pageEmpty && y + h > pageHeight) {
            ++page;
            y = top;
            pageEmpty = true;
        }
        const int shown = std::clamp(pageHeight - y, 0, h);
        pages.rows.push_back(RowPlace{page, y, shown});
        y += h;
        pageEmpty = false;
    }
    pages.pageCount = page + 1;
    return pages;
}

}  // namespace sorvel
