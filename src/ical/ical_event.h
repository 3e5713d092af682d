#pragma once
// The UID of a calendar object's event, read by libical from the VEVENT itself.
#include <string>
#include <string_view>

namespace sorvel {

// The UID of the object's first VEVENT; empty when it has none or cannot be read.
std::string icalEventUid(std::string_view ics);

}  // namespace sorvel
