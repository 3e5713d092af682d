#include "sync/sync_library.h"

#include "platform/feature_library.h"
#include "platform/messages.h"

namespace sorvel {

SyncLibrary* syncLibrary() {
    const auto entry = featureEntry<SyncLibrary* (*)()>(kSyncLibrary, kSyncLibraryEntry, syncFeatureMissingMessage);
    return entry ? entry() : nullptr;
}

}  // namespace sorvel
