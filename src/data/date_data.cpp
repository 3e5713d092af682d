#include "data/date_data.h"

#include <tuple>

namespace sorvel {

void sortMemosByDate(TDateMemoList& memos) {
    dropEmptySlots(memos);
    auto byDate = [](const auto& a, const auto& b) {
        return std::tie(a->year, a->month, a->day) < std::tie(b->year, b->month, b->day);
    };
    // Usually already in order from the last save or load.
    if (!std::is_sorted(memos.begin(), memos.end(), byDate)) std::stable_sort(memos.begin(), memos.end(), byDate);
}

}  // namespace sorvel
