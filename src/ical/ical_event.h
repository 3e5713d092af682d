#pragma once
// Calendar objects from a server, read by libical from the VEVENT itself: their UID, and the
// object again with the changes a note made to it.
#include <string>
#include <string_view>

#include "data/date_data.h"

namespace sorvel {

// The UID of the object's first VEVENT; empty when it has none or cannot be read.
std::string icalEventUid(std::string_view ics);

// The object `ics` (another program's event that came in as the note `before`) with only what
// the note changed to `after`: its SUMMARY, DESCRIPTION (LOCATION where the text's "場所：" line
// changed), and its date; the time stays while the caption still begins with it, else the
// note's own start and end go in. Every other property and component stays (alarms,
// categories, the zone). Empty when the object cannot be read or is one of ours (its PRODID):
// then the note's own event goes out.
std::string icalEditEvent(std::string_view ics, const TDateMemo& before, const TDateMemo& after,
                          const std::string& localZone = {});

}  // namespace sorvel
