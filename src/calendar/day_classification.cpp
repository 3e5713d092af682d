#include "calendar/day_classification.h"

#include "calendar/calendar_math.h"
#include "calendar/day_number.h"
#include "calendar/national_holidays.h"

namespace sorvel {

namespace {

// How far back a chain of holidays is followed: a carry can only cross a whole month when
// every one of its days is a Sunday or a public holiday, which no real rule set does.
constexpr int kCarryLookBack = 12;

std::size_t at(int day) { return static_cast<std::size_t>(day - 1); }

// A substitute still owed moves on past these days.
constexpr std::uint8_t kPassedOver = kDayHolidayWithSubstitute | kDaySunday | kDayNational;

// A rule's public holiday on a Sunday owes a substitute, unless the law already gave one.
bool owesSubstitute(std::uint8_t flags) {
    return (flags & kDayHolidayWithSubstitute) && (flags & kDaySunday) && !(flags & kDayNational);
}

// The day a rule falls on in this month, 0 when none.
int ruleDay(const THolidaySet& rule, std::int64_t year, int month, const YearTables& t) {
    if (rule.ruleKind == 0) return dayExists(year, month, rule.day, t) ? rule.day : 0;
    if (rule.ruleKind != 1 || rule.weekday < 0 || rule.weekday > 6 || rule.ordinal < 1 || rule.ordinal > 5) return 0;
    return nthWeekday(year, month, rule.weekday, rule.ordinal);
}

// Weekday colours and flags, then the holiday rules.
void markWeekdaysAndRules(const DayClassInput& in, const YearTables& t, DayClasses& out) {
    const int last = t.daysInMonth[at(in.month)];
    int weekday = t.firstWeekday[at(in.month)];
    for (int d = 1; d <= last; d = nextShownDay(in.year, in.month, d), weekday = (weekday + 1) % 7) {
        if (weekday == 0) {
            out.slot[at(d)] = kSlotSunday;
            out.flags[at(d)] |= kDaySunday;
        } else if (weekday == 6) {
            out.slot[at(d)] = kSlotSaturday;
        } else {
            out.slot[at(d)] = static_cast<std::uint8_t>(kSlotMonday + weekday - 1);
        }
    }
    if (!in.holidayColoring) return;
    if (in.holidays) {
        for (const auto& rule : *in.holidays) {
            if (!rule || rule->month != in.month) continue;
            const int d = ruleDay(*rule, in.year, in.month, t);
            if (d == 0) continue;
            out.slot[at(d)] = rule->dayOffKind != 0 ? kSlotDayOff : kSlotNamedDay;
            if (rule->dayOffKind == 1) out.flags[at(d)] |= kDayHolidayWithSubstitute;
        }
    }
    if (in.nationalHolidays) {
        const std::uint32_t national = nationalDayMask(in.year, in.month);
        for (int d = 1; d <= last; ++d) {
            if (!(national >> (d - 1) & 1u)) continue;
            out.slot[at(d)] = kSlotDayOff;
            out.flags[at(d)] |= kDayNational;
        }
    }
}

// Walks the days with the carry marker; returns the marker after the last day. With out set,
// the substitutes found are marked and listed.
bool walkSubstitutes(const DayClassInput& in, const YearTables& t, bool carry, DayClasses& days, bool mark) {
    const int last = t.daysInMonth[at(in.month)];
    for (int d = 1; d <= last; d = nextShownDay(in.year, in.month, d)) {
        std::uint8_t& flags = days.flags[at(d)];
        if (carry) {
            carry = false;
            if (flags & kPassedOver) {
                carry = true;
            } else if (mark) {
                flags |= kDaySubstitute;
                days.slot[at(d)] = kSlotDayOff;
                days.substitutes.push_back(TSubstituteHoliday{static_cast<std::int32_t>(in.year), in.month, d});
            }
        }
        if (owesSubstitute(flags)) carry = true;
    }
    return carry;
}

// Whether a substitute is still owed when the month before (year, month) ends; tables are
// those of in.year.
bool carryInto(const DayClassInput& in, const YearTables& tables, int depth) {
    if (depth >= kCarryLookBack) return false;
    const YearMonth prev = addMonths(in.year, in.month, -1);
    DayClassInput p = in;
    p.year = prev.year;
    p.month = prev.month;
    const YearTables t = prev.year == in.year ? tables : ComputeYearTables(prev.year);
    DayClasses days;
    markWeekdaysAndRules(p, t, days);
    // A carry coming into that month only passes through it when none of its days can take it.
    bool passesThrough = true;
    const int last = t.daysInMonth[at(p.month)];
    for (int d = 1; d <= last && passesThrough; d = nextShownDay(p.year, p.month, d))
        passesThrough = (days.flags[at(d)] & kPassedOver) != 0;
    return walkSubstitutes(p, t, passesThrough && carryInto(p, t, depth + 1), days, false);
}

}  // namespace

DayClasses ClassifyDays(const DayClassInput& in) {
    DayClasses out;
    if (in.month < 1 || in.month > 12) return out;
    const YearTables t = ComputeYearTables(in.year);
    markWeekdaysAndRules(in, t, out);
    if (in.holidayColoring && in.holidays) walkSubstitutes(in, t, carryInto(in, t, 0), out, true);
    if (in.memoColoring && in.memos) {
        for (const auto& memo : *in.memos) {
            if (memo && memo->year == in.year && memo->month == in.month && dayExists(in.year, in.month, memo->day, t))
                out.slot[at(memo->day)] = kSlotMemoDay;
        }
    }
    return out;
}

}  // namespace sorvel
