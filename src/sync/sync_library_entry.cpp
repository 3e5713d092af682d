// The implementation libsorvel-sync.so hands out: CalDavSync and CalDavDiscovery, each on a
// network of its own.
#include "sync/sync_library.h"

#include <QNetworkAccessManager>

#include "sync/caldav_discovery.h"

namespace sorvel {
namespace {

class NetworkSync final : public SyncRunner {
  public:
    NetworkSync() : sync_(&network_) {
        QObject::connect(&sync_, &CalDavSync::finished, &sync_, [this](const SyncResult& result) {
            if (finished_) finished_(result);
        });
    }
    void start(const SyncConfig& config, const std::optional<QString>& password, SyncSnapshot snapshot,
               const QString& statePath, std::function<void(const SyncResult&)> finished) override {
        finished_ = std::move(finished);
        sync_.start(config, password, std::move(snapshot), statePath);
    }
    void cancel() override { sync_.cancel(); }
    bool isRunning() const override { return sync_.isRunning(); }

  private:
    std::function<void(const SyncResult&)> finished_;
    // The sync's replies go before the network they came from.
    QNetworkAccessManager network_;
    CalDavSync sync_;
};

class NetworkFinder final : public CalendarFinder {
  public:
    NetworkFinder() : discovery_(&network_) {}
    void start(const QUrl& address, const QString& user, const QString& password,
               std::function<void(DiscoveryResult)> done) override {
        discovery_.start(address, user, password, std::move(done));
    }
    void cancel() override { discovery_.cancel(); }

  private:
    QNetworkAccessManager network_;
    CalDavDiscovery discovery_;
};

class NetworkSyncLibrary final : public SyncLibrary {
  public:
    std::unique_ptr<SyncRunner> newSync() override { return std::make_unique<NetworkSync>(); }
    std::unique_ptr<CalendarFinder> newFinder() override { return std::make_unique<NetworkFinder>(); }
    void applySyncResult(const SyncResult& result, TDateMemoList& memos, THolidayList& rules) override {
        sorvel::applySyncResult(result, memos, rules);
    }
};

}  // namespace
}  // namespace sorvel

extern "C" __attribute__((visibility("default"))) sorvel::SyncLibrary* sorvel_sync_library() {
    static sorvel::NetworkSyncLibrary library;
    return &library;
}
