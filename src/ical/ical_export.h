#pragma once
// Notes and holiday rules as an iCalendar file (RFC 5545): a note is an all-day event on its
// date, or a timed one in the local zone when its caption begins with a time ("10:00 歯医者"),
// a rule a yearly all-day event. Japan's national holidays can be added for a range of
// years, and the almanac (六曜, 旧暦, 節気, 雑節) of a range of years.
#include <cstdint>
#include <string>
#include <vector>

#include "data/date_data.h"

namespace sorvel {

struct IcalExportOptions {
    std::string stamp;        // DTSTAMP of every event, UTC ("20261208T134000Z")
    int nationalFrom = 0;     // national holidays of these years when nationalFrom <= nationalTo
    int nationalTo = -1;
    int almanacFrom = 0;      // the almanac of these years when almanacFrom <= almanacTo
    int almanacTo = -1;
    std::string localZone{};  // time zone of timed notes (tz database name); empty: the system's
};

// The whole file, UTF-8 with CR LF lines. Notes whose date does not exist are left out. A timed
// note lasts an hour, or to the end its text holds ("～11:30"); a line "場所：…" of its text is
// its LOCATION as well.
std::string exportIcal(const std::vector<const TDateMemo*>& memos, const std::vector<const THolidaySet*>& rules,
                       const IcalExportOptions& options);

// The UID of a note: its date, a hash of its caption and text, and its place among the
// identical notes of that date before it (0 for the first).
std::string memoUid(const TDateMemo& memo, int place);

// The current time as DTSTAMP writes it.
std::string icalStampNow();

}  // namespace sorvel
