#include "platform/clock.h"

#include <ctime>

namespace sorvel {

namespace {
std::optional<LocalDate>& fixedDate() {
    static std::optional<LocalDate> d;
    return d;
}
}  // namespace

LocalDate today() {
    if (fixedDate()) return *fixedDate();
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return LocalDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

void setTodayForTesting(std::optional<LocalDate> date) { fixedDate() = date; }

}  // namespace sorvel
