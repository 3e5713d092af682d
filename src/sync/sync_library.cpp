#include "sync/sync_library.h"

#include "platform/feature_library.h"
#include "platform/messages.h"
#include "platform/ui.h"

namespace sorvel {

SyncLibrary* syncLibrary() {
    QString error;
    auto entry = reinterpret_cast<SyncLibrary* (*)()>(
        featureFunction(QString::fromLatin1(kSyncLibrary), kSyncLibraryEntry, &error));
    if (!entry) {
        showMessage(syncFeatureMissingMessage(error), errorCaption());
        return nullptr;
    }
    return entry();
}

}  // namespace sorvel
