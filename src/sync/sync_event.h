#pragma once
// Notes and rules as the events the sync sends and receives, one event to a calendar object,
// mapped as the iCalendar export and import map them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/date_data.h"
#include "sync/sync_state.h"

namespace sorvel {

struct SyncSnapshot;

// A note, a rule, or (from the server) an event the mapping cannot carry both ways.
struct SyncItem {
    SyncEntryKind kind = SyncEntryKind::Unsupported;
    TDateMemo memo;
    THolidaySet rule;
    std::uint64_t hash = 0;  // syncValueHash
    std::int32_t key = 0;    // SyncEntry::key
    std::uint64_t captionHash = 0, textHash = 0;  // SyncEntry::captionHash, textHash
    std::string uid;         // from the server's event
};

// The state's entry of an item at href.
SyncEntry syncEntryOf(const SyncItem& item, const std::string& href, const std::string& etag);
// SyncEntry::textHash of an empty text.
std::uint64_t syncEmptyTextHash();

// The snapshot's notes and rules an event can carry (a date that exists and that iCalendar can
// write, a rule with a day), in their order; and the number of notes it leaves out.
std::vector<SyncItem> syncItems(const SyncSnapshot& snapshot);
std::size_t memosNotCarried(const SyncSnapshot& snapshot);

// A calendar object from the server: a single event of one note, a yearly event of one rule,
// or Unsupported (other repetitions, to-dos, journal entries, several events, damage).
SyncItem classifyEvent(std::string_view ics);

// The calendar object of a note or rule with the given UID.
std::string encodeItem(const SyncItem& item, const std::string& uid);

// The calendar object of a note edited here whose event on the server is `ics`: that object
// with only what the note changed; the note's own event when the object is one of ours, not a
// note's, or cannot be read.
std::string encodeEdit(std::string_view ics, const SyncItem& item, const std::string& uid);

// The UID of a note or rule we send first: the note's as the export gives it, a rule's from
// its value; place tells identical ones apart.
std::string syncUid(const SyncItem& item, int place);

}  // namespace sorvel
