#include "data/date_data.h"

#include <tuple>

namespace sorvel {

void sortMemosByDate(TDateMemoList& memos) {
    dropEmptySlots(memos);
    std::stable_sort(memos.begin(), memos.end(), [](const auto& a, const auto& b) {
        return std::tie(a->year, a->month, a->day) < std::tie(b->year, b->month, b->day);
    });
}

}  // namespace sorvel
