#pragma once
// The decision of a sync: from what both sides held at the last sync (the state), the notes and
// rules here and what the server listed and sent, what to take in, what to send and what to
// delete on either side. A pure function; the engine only carries its plan out.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data/date_data.h"
#include "sync/sync_event.h"
#include "sync/sync_state.h"

namespace sorvel {

struct SyncConflictDate {
    std::int32_t year = 0, month = 0, day = 0;  // the server's version's date
};

// What the server said about its events in this sync.
struct SyncServerSide {
    std::string collectionPath;  // where new events go ("/cal/")
    bool complete = false;       // the listing names every event: one it leaves out is gone
    std::map<std::string, std::string> listed;  // href -> ETag ("" when the server gave none)
    std::set<std::string> removed;              // hrefs reported removed (sync-collection)
    std::map<std::string, std::pair<std::string, SyncItem>> fetched;  // href -> ETag, its event
};

struct SyncOp {
    enum Kind { Put, Delete } kind = Put;
    std::string href, etag;  // etag: If-Match; empty for a new event (If-None-Match: *)
    SyncItem item;           // what a Put sends
    std::string uid;
    bool edit = false;  // a Put over the server's event this note came from: its other properties stay
    int tries = 0;
};

struct SyncPlan {
    std::vector<SyncEntry> entries;  // what both sides agree on already; each done op adds its own
    std::vector<SyncOp> ops;
    std::vector<TDateMemo> memosToAdd, memosToRemove;
    std::vector<THolidaySet> rulesToAdd, rulesToRemove;
    std::vector<SyncConflictDate> conflicts;
    std::size_t downloaded = 0;
    bool keepOldToken = false;        // a change listed there was not fetched: ask again next time
    std::set<std::string> usedHrefs;  // every name on the server and in the plan
};

// True when the server's calendar was emptied or made again since the last sync: of the events
// the state says it held, it holds none, or under half and more than ten fewer.
bool calendarMadeAgain(const SyncState& last, const SyncServerSide& server);

// The listed events whose value the plan needs: new ones and those whose ETag changed.
std::vector<std::string> hrefsToFetch(const SyncState& last, const SyncServerSide& server);

SyncPlan planSync(const SyncState& last, const std::vector<SyncItem>& local, const SyncServerSide& server);

// A name for a new event of the item not yet used in the collection; uid gets its UID.
std::string newSyncHref(std::set<std::string>& used, const std::string& collectionPath, const SyncItem& item,
                        int place, std::string* uid);

}  // namespace sorvel
