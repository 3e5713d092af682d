#pragma once
// The sync and the search for a server's calendars as the feature library libsorvel-sync.so
// (Qt Network and, for the events, libical), loaded by the first sync or search: the engine of
// caldav_sync.h and the discovery of caldav_discovery.h behind interfaces of plain values, each
// with a network of its own, so that the program itself links neither.
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QUrl>

#include "data/date_data.h"
#include "sync/caldav_sync.h"
#include "sync/discovery_result.h"

namespace sorvel {

// One sync at a time (CalDavSync): `finished` follows each start exactly once, never from inside
// start(). Destroying it ends a running sync without a word.
class SyncRunner {
  public:
    virtual ~SyncRunner() = default;
    virtual void start(const SyncConfig& config, const std::optional<QString>& password, SyncSnapshot snapshot,
                       const QString& statePath, std::function<void(const SyncResult&)> finished) = 0;
    virtual void cancel() = 0;
    virtual bool isRunning() const = 0;
};

// A search at a time (CalDavDiscovery): `done` comes once, later, unless cancelled.
class CalendarFinder {
  public:
    virtual ~CalendarFinder() = default;
    virtual void start(const QUrl& address, const QString& user, const QString& password,
                       std::function<void(DiscoveryResult)> done) = 0;
    virtual void cancel() = 0;
};

class SyncLibrary {
  public:
    virtual ~SyncLibrary() = default;
    virtual std::unique_ptr<SyncRunner> newSync() = 0;
    virtual std::unique_ptr<CalendarFinder> newFinder() = 0;
    virtual void applySyncResult(const SyncResult& result, TDateMemoList& memos, THolidayList& rules) = 0;
};

// The library, loaded on the first call and kept; nullptr, after the message "同期の機能を読み込め
// ませんでした。" with the reason, when it cannot be loaded.
SyncLibrary* syncLibrary();

inline constexpr char kSyncLibrary[] = "libsorvel-sync.so";
inline constexpr char kSyncLibraryEntry[] = "sorvel_sync_library";

}  // namespace sorvel

// The library's one entry point: its implementation, which lives as long as the process.
extern "C" sorvel::SyncLibrary* sorvel_sync_library();
