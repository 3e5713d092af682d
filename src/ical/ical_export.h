#pragma once
// Notes and holiday rules as an iCalendar file (RFC 5545): a note is an all-day event on its
// date, or a timed one in the local zone when its caption begins with a time ("10:00 歯医者"),
// a rule a yearly all-day event. Japan's national holidays can be added for a range of
// years, and the almanac (六曜, 旧暦, 節気, 雑節) of a range of years.
#include <cstdint>
#include <string>
#include <vector>

#include <QString>

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

// The whole file, UTF-8 with CR LF lines. A date goes out as the same day in the proleptic
// Gregorian calendar (CALSCALE:GREGORIAN): 1 March 1600 as 16000311. Notes that cannot go out
// (icalDateGoesOut) are left out. A timed note lasts an hour, or to the end its text holds
// ("～11:30"); a line "場所：…" of its text is its LOCATION as well.
std::string exportIcal(const std::vector<const TDateMemo*>& memos, const std::vector<const THolidaySet*>& rules,
                       const IcalExportOptions& options);

// True when a note's date exists in the calendar of years 1 to 9999 and its Gregorian day has a
// year iCalendar can write (1 and 2 January of year 1 are in year 0 there).
bool icalDateGoesOut(const TDateMemo& memo);
// The message after an export that left notes out, with their number; empty when none was.
QString icalLeftOutMessage(const std::vector<const TDateMemo*>& memos);

// The UID of a note: its date, a hash of its caption and text, and its place among the
// identical notes of that date before it (0 for the first).
std::string memoUid(const TDateMemo& memo, int place);

// The current time as DTSTAMP writes it.
std::string icalStampNow();

}  // namespace sorvel
