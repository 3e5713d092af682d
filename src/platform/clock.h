#pragma once
// Today's local date, replaceable in tests.
#include <optional>

namespace sorvel {

struct LocalDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const LocalDate&) const = default;
};

LocalDate today();
// A fixed date for tests; std::nullopt returns to the system clock.
void setTodayForTesting(std::optional<LocalDate> date);

}  // namespace sorvel
