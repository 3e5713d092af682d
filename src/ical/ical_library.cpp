#include "ical/ical_library.h"

#include "platform/feature_library.h"
#include "platform/messages.h"
#include "platform/ui.h"

namespace sorvel {

IcalLibrary* icalLibrary() {
    QString error;
    auto entry = reinterpret_cast<IcalLibrary* (*)()>(
        featureFunction(QString::fromLatin1(kIcalLibrary), kIcalLibraryEntry, &error));
    if (!entry) {
        showMessage(icalFeatureMissingMessage(error), errorCaption());
        return nullptr;
    }
    return entry();
}

}  // namespace sorvel
