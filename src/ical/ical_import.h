#pragma once
// Events of an iCalendar file (RFC 5545) as notes and holiday rules. libical parses the
// components one at a time, resolves time zones and expands recurrences; what the program
// cannot hold is left out and counted.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <QString>

#include "data/date_data.h"

namespace sorvel {

// Limits that keep a hostile file within time and memory.
inline constexpr std::int64_t kIcalMaxFileBytes = 64ll * 1024 * 1024;
inline constexpr std::size_t kIcalMaxOccurrences = 10000;   // notes from repeating events, in all
inline constexpr std::size_t kIcalMaxTextBytes = 64 * 1024; // CP932 bytes of one caption or text
inline constexpr std::size_t kIcalMaxEntries = 200000;      // notes and rules of one import

struct IcalImportOptions {
    int fromYear = 1;  // repeating events give notes on the days of these years
    int toYear = 9999;
    std::string localZone;  // time zone of the notes' dates (tz database name); empty: the system's
    // Called now and then with the bytes read so far; false cancels the import.
    std::function<bool(std::size_t done, std::size_t total)> progress;
};

enum class IcalImportStatus { Ok, NotICalendar, Cancelled };

struct IcalImport {
    IcalImportStatus status = IcalImportStatus::Ok;
    TDateMemoList memos;
    THolidayList rules;
    int fromYear = 1, toYear = 9999;   // the range repeating events were read onto
    std::size_t national = 0;          // national holidays and almanac days of our own export: every calendar has them
    std::size_t beyondRange = 0;       // repeating events with days outside the range
    std::size_t cancelled = 0;         // cancelled events, and cancelled days of repeating ones
    std::size_t repeating = 0;         // repeating events and the events that replace one of their days
    std::size_t overLimit = 0;         // occurrences and events beyond the limits
    std::size_t yearOutside = 0;       // events before year 1 or after 9999
    std::size_t otherComponents = 0;   // to-dos, journal entries, alarms and the like
    std::size_t damaged = 0;           // events without a readable start
    std::size_t shortened = 0;         // captions and texts cut at kIcalMaxTextBytes
    std::size_t replacedCharacters = 0;  // characters CP932 cannot hold, now "？"
    bool readAsCp932 = false;            // the file was no UTF-8 and was read as CP932
};

// Reads the whole file's bytes. The lists of the result are new; nothing else is touched.
IcalImport importIcal(std::string_view bytes, const IcalImportOptions& options);

struct IcalMerge {
    std::size_t memosAdded = 0;
    std::size_t rulesAdded = 0;
    std::size_t alreadyThere = 0;
};

// Appends what the import found to the lists, leaving out notes identical to one already on
// the same date (caption and text byte-equal) and rules identical to one already there.
IcalMerge mergeIcalImport(IcalImport& import, TDateMemoList& memos, THolidayList& rules);

// The message after an import, one line per kind of count.
QString icalImportMessage(const IcalImport& import, const IcalMerge& merge);

// Refusals (caption "メッセージ").
QString icalNotICalendarMessage();
QString icalTooLargeMessage();

}  // namespace sorvel
