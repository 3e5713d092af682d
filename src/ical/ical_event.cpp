#include "ical/ical_event.h"

#include <libical/ical.h>

#include <memory>

namespace sorvel {

IcalEventShape icalEventShape(std::string_view ics) {
    IcalEventShape shape;
    const std::string text(ics);  // libical reads a NUL-terminated string
    std::unique_ptr<icalcomponent, void (*)(icalcomponent*)> root(icalparser_parse_string(text.c_str()),
                                                                  icalcomponent_free);
    if (!root) return shape;
    auto look = [&](icalcomponent* event) {
        if (shape.events++ == 0) {
            const char* uid = icalcomponent_get_uid(event);
            shape.uid = uid ? uid : "";
        }
        for (icalproperty_kind kind : {ICAL_RRULE_PROPERTY, ICAL_RDATE_PROPERTY, ICAL_RECURRENCEID_PROPERTY})
            if (icalcomponent_get_first_property(event, kind)) shape.repeats = true;
    };
    if (icalcomponent_isa(root.get()) == ICAL_VEVENT_COMPONENT) {
        look(root.get());
        return shape;
    }
    for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(root.get(), ICAL_VEVENT_COMPONENT))
        look(c);
    return shape;
}

}  // namespace sorvel
