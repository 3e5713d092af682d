#include "sync/sync_state.h"

#include "platform/files.h"

namespace sorvel {

std::string writeSyncState(const SyncState&) { return {}; }
std::optional<SyncState> readSyncState(std::string_view) { return std::nullopt; }
QString syncStatePath(const QString& dataFilePath) { return dataFilePath + QStringLiteral(".sync"); }
SyncState loadSyncState(const QString& path) {
    const auto bytes = readWholeFile(path);
    if (!bytes) return {};
    return readSyncState(*bytes).value_or(SyncState{});
}
bool saveSyncState(const QString& path, const SyncState& state, QString* error) {
    return atomicReplace(path, writeSyncState(state), error);
}
std::uint64_t syncValueHash(const TDateMemo&) { return 0; }
std::uint64_t syncValueHash(const THolidaySet&) { return 0; }

}  // namespace sorvel
