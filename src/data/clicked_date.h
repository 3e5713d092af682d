#pragma once
// The date a double click hit, as the day dialog takes it.
#include <cstdint>

namespace sorvel {

struct ClickedDate {
    std::int32_t year = 0;
    std::int32_t month = 0;    // 1–12
    std::int32_t day = 0;
    std::int32_t weekRow = 0;  // row of the day in the month grid, from 1
    std::int32_t weekday = 0;  // 0 = Sunday … 6 = Saturday
    std::int32_t ordinal = 0;  // the n-th such weekday of the month, from 1
    bool operator==(const ClickedDate&) const = default;
};

}  // namespace sorvel
