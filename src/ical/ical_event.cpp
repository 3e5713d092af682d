#include "ical/ical_event.h"

#include <libical/ical.h>

#include <memory>

namespace sorvel {

std::string icalEventUid(std::string_view ics) {
    const std::string text(ics);  // libical reads a NUL-terminated string
    std::unique_ptr<icalcomponent, void (*)(icalcomponent*)> root(icalparser_parse_string(text.c_str()),
                                                                  icalcomponent_free);
    if (!root) return {};
    icalcomponent* event = icalcomponent_isa(root.get()) == ICAL_VEVENT_COMPONENT
                               ? root.get()
                               : icalcomponent_get_first_component(root.get(), ICAL_VEVENT_COMPONENT);
    const char* uid = event ? icalcomponent_get_uid(event) : nullptr;
    return uid ? uid : "";
}

}  // namespace sorvel
