#include "sync/sync_library.h"

#include "platform/feature_library.h"
#include "platform/ui.h"

namespace sorvel {

SyncLibrary* syncLibrary() {
    QString error;
    auto entry = reinterpret_cast<SyncLibrary* (*)()>(
        featureFunction(QString::fromLatin1(kSyncLibrary), kSyncLibraryEntry, &error));
    if (!entry) {
        showMessage(QStringLiteral("同期の機能を読み込めませんでした。\n") + error, QStringLiteral("エラー"));
        return nullptr;
    }
    return entry();
}

}  // namespace sorvel
