#include "support/linked_features.h"

#include "ical/ical_library.h"
#include "platform/feature_library.h"
#include "sync/sync_library.h"

namespace sorvel::testing {

void provideLinkedFeatures() {
    provideFeatureFunction(QString::fromLatin1(kIcalLibrary), kIcalLibraryEntry,
                           reinterpret_cast<void*>(&sorvel_ical_library));
    provideFeatureFunction(QString::fromLatin1(kSyncLibrary), kSyncLibraryEntry,
                           reinterpret_cast<void*>(&sorvel_sync_library));
}

}  // namespace sorvel::testing
