#pragma once
// Schedule notes and holiday rules, and the lists that own them.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sorvel {

// A schedule note: a caption and a text on a date.
struct TDateMemo {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::string text;     // "内容", CP932
    std::string caption;  // "見だし", CP932
};

// A holiday rule; it carries no year and applies to every year.
struct THolidaySet {
    std::uint8_t dayOffKind = 0;  // 0 named day, 1 public holiday with substitute, 2 day off
    std::uint8_t ruleKind = 0;    // 0 by month and day, 1 by month, weekday and ordinal
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t weekRow = 0;
    std::int32_t weekday = 0;  // 0 = Sunday … 6 = Saturday
    std::int32_t ordinal = 0;  // 1 = the first such weekday of the month
    std::string name;          // CP932
};

// A substitute holiday found by the day classification.
struct TSubstituteHoliday {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
};

// Owning lists; a null entry is an empty slot that every walk drops first.
using TDateMemoList = std::vector<std::unique_ptr<TDateMemo>>;
using THolidayList = std::vector<std::unique_ptr<THolidaySet>>;

template <typename T>
void dropEmptySlots(std::vector<std::unique_ptr<T>>& list) {
    list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
}

// Sorts notes by year, month and day; notes of one date keep their order.
void sortMemosByDate(TDateMemoList& memos);

}  // namespace sorvel
