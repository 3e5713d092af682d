#include "app/calendar_document.h"

#include <utility>

#include "platform/files.h"
#include "sync/sync_library.h"
#include "sync/sync_state.h"

namespace sorvel {

CalendarDocument::CalendarDocument(std::string& memoFileName, QString programDir)
    : memoFileName_(memoFileName), programDir_(std::move(programDir)) {}

QString CalendarDocument::dataFile() const { return dataFilePath(memoFileName_, programDir_); }

QString CalendarDocument::syncStateFile() const { return syncStatePath(dataFile()); }

void CalendarDocument::removeSaveLeftovers() {
    resolveDataFileName(memoFileName_, programDir_);
    sorvel::removeSaveLeftovers(dataFile());
    sorvel::removeSaveLeftovers(syncStateFile());
}

void CalendarDocument::Load() { LoadDataFile(memoFileName_, programDir_, rules_, memos_, &base_); }

int CalendarDocument::Save(std::size_t* merged) {
    return SaveDataFile(memoFileName_, programDir_, rules_, memos_, &base_, merged);
}

void CalendarDocument::KeepUnsavedCopy() {
    const std::string bytes = buildDataFile(memos_, rules_);
    if (readWholeFile(dataFile()) != bytes) keepUnsavedCopy(programDir_, bytes);
}

void CalendarDocument::dropEmpty() {
    dropEmptySlots(memos_);
    dropEmptySlots(rules_);
}

SyncSnapshot CalendarDocument::snapshot() {
    dropEmpty();
    SyncSnapshot s;
    s.memos.reserve(memos_.size());
    for (const auto& m : memos_) s.memos.push_back(*m);
    for (const auto& r : rules_) s.rules.push_back(*r);
    return s;
}

std::vector<const TDateMemo*> CalendarDocument::memoList() {
    dropEmpty();
    std::vector<const TDateMemo*> list;
    list.reserve(memos_.size());
    for (const auto& m : memos_) list.push_back(m.get());
    return list;
}

std::vector<const THolidaySet*> CalendarDocument::ruleList() {
    dropEmpty();
    std::vector<const THolidaySet*> list;
    for (const auto& r : rules_) list.push_back(r.get());
    return list;
}

bool CalendarDocument::ApplySync(const SyncResult& result) {
    const bool changed = !result.memosToAdd.empty() || !result.memosToRemove.empty() || !result.rulesToAdd.empty() ||
                         !result.rulesToRemove.empty();
    // A result comes from the sync library, which is loaded by then.
    if (changed) syncLibrary()->applySyncResult(result, memos_, rules_);
    return changed;
}

bool CalendarDocument::SaveSyncState(const SyncState& state, QString* error) {
    return saveSyncState(syncStateFile(), state, error);
}

}  // namespace sorvel
