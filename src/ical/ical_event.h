#pragma once
// What one calendar object of a server holds, read by libical from its VEVENT alone (a
// VTIMEZONE beside it, with its own RRULEs for summer time, says nothing of the event).
#include <string>
#include <string_view>

namespace sorvel {

struct IcalEventShape {
    int events = 0;        // VEVENTs in the object
    std::string uid;       // of the first one
    bool repeats = false;  // any VEVENT has RRULE, RDATE or RECURRENCE-ID
};
IcalEventShape icalEventShape(std::string_view ics);

}  // namespace sorvel
