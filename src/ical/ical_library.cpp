#include "ical/ical_library.h"

#include "platform/feature_library.h"
#include "platform/messages.h"

namespace sorvel {

IcalLibrary* icalLibrary() {
    const auto entry = featureEntry<IcalLibrary* (*)()>(kIcalLibrary, kIcalLibraryEntry, icalFeatureMissingMessage);
    return entry ? entry() : nullptr;
}

}  // namespace sorvel
