#pragma once
// What the last sync left in agreement between the local lists and the server, kept in
// "<data file>.sync": the collection, its sync token (RFC 6578) or ctag, and for each note and
// rule its event's href, ETag and UID, a hash of the note's or rule's value and of its parts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "data/date_data.h"

namespace sorvel {

enum class SyncEntryKind : char { Memo = 'M', Rule = 'R', Unsupported = 'U' };

struct SyncEntry {
    SyncEntryKind kind = SyncEntryKind::Memo;
    std::string href;  // path on the server, as the server wrote it
    std::string etag;  // as the server sent it, quotes included; may be empty
    std::string uid;
    std::uint64_t hash = 0;  // syncValueHash of the note or rule; 0 for unsupported events
    std::int32_t key = 0;    // a note's date as yyyymmdd, a rule's month: what a change keeps
    // Hashes of a note's caption and text (a rule's name and days), never 0; 0 when unknown (a
    // state written before they were kept). An edit is paired with its event by them.
    std::uint64_t captionHash = 0, textHash = 0;

    bool operator==(const SyncEntry&) const = default;
};

struct SyncState {
    std::string collection;  // the collection's URL the entries belong to
    std::string token;       // sync-collection token; empty when none
    std::string ctag;        // getctag when the server has no sync token
    std::vector<SyncEntry> entries;

    bool operator==(const SyncState&) const = default;
};

// The file's bytes.
std::string writeSyncState(const SyncState& state);
// Empty optional when the bytes are not a whole state file.
std::optional<SyncState> readSyncState(std::string_view bytes);

// "<data file>.sync"
QString syncStatePath(const QString& dataFilePath);
// Reads the file; a missing or damaged file gives an empty state (a full sync follows).
SyncState loadSyncState(const QString& path);
// Atomic replace of the file.
bool saveSyncState(const QString& path, const SyncState& state, QString* error = nullptr);

// A hash of what a note or rule holds (FNV-1a 64 over its fields).
std::uint64_t syncValueHash(const TDateMemo& memo);
std::uint64_t syncValueHash(const THolidaySet& rule);

}  // namespace sorvel
