#include "ical/ical_event.h"

#include <libical/ical.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "calendar/day_number.h"
#include "ical/ical_export.h"
#include "ical/ical_text.h"

namespace sorvel {

namespace {

using Component = std::unique_ptr<icalcomponent, void (*)(icalcomponent*)>;

Component parse(std::string_view ics) {
    const std::string text(ics);  // libical reads a NUL-terminated string
    return Component(icalparser_parse_string(text.c_str()), icalcomponent_free);
}

icalcomponent* firstEvent(icalcomponent* root) {
    if (!root) return nullptr;
    return icalcomponent_isa(root) == ICAL_VEVENT_COMPONENT ? root
                                                            : icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT);
}

bool named(icalproperty* p, const std::string& name) {
    const char* n = icalproperty_get_property_name(p);
    return n && (name == n || ("X-SORVEL-CP932-" + name) == n);
}

// The event's properties `name` (with the bytes our import keeps beside them) replaced by those of
// `from`; none when `from` has none.
void takeProperty(icalcomponent* event, icalcomponent* from, const std::string& name) {
    std::vector<icalproperty*> gone;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY))
        if (named(p, name)) gone.push_back(p);
    for (icalproperty* p : gone) {
        icalcomponent_remove_property(event, p);
        icalproperty_free(p);
    }
    for (icalproperty* p = icalcomponent_get_first_property(from, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(from, ICAL_ANY_PROPERTY))
        if (named(p, name)) icalcomponent_add_property(event, icalproperty_new_clone(p));
}

// DTSTART and DTEND moved by whole days; their zone and form stay.
void moveDays(icalcomponent* event, int days) {
    for (icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY}) {
        icalproperty* p = icalcomponent_get_first_property(event, kind);
        icalvalue* v = p ? icalproperty_get_value(p) : nullptr;
        if (!v) continue;
        icaltimetype t = icalvalue_get_datetime(v);
        icaltime_adjust(&t, days, 0, 0, 0);
        icalvalue_set_datetime(v, t);
    }
}

// The zones `from` names that root lacks, added to it.
void addZones(icalcomponent* root, icalcomponent* from) {
    for (icalcomponent* z = icalcomponent_get_first_component(from, ICAL_VTIMEZONE_COMPONENT); z;
         z = icalcomponent_get_next_component(from, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* id = icalcomponent_get_first_property(z, ICAL_TZID_PROPERTY);
        if (!id || icalcomponent_get_timezone(root, icalproperty_get_tzid(id))) continue;
        icalcomponent_add_component(root, icalcomponent_new_clone(z));
    }
}

bool sameTime(const TDateMemo& a, const TDateMemo& b) {
    int ha = -1, ma = -1, hb = -1, mb = -1;
    captionTime(a.caption, &ha, &ma);
    captionTime(b.caption, &hb, &mb);
    return ha == hb && ma == mb;
}

bool ours(icalcomponent* root) {
    icalproperty* p = icalcomponent_get_first_property(root, ICAL_PRODID_PROPERTY);
    const char* id = p ? icalproperty_get_prodid(p) : nullptr;
    return id && std::strstr(id, "//Sorvel//");
}

}  // namespace

std::string icalEventUid(std::string_view ics) {
    const Component root = parse(ics);
    icalcomponent* event = firstEvent(root.get());
    const char* uid = event ? icalcomponent_get_uid(event) : nullptr;
    return uid ? uid : "";
}

std::string icalEditEvent(std::string_view ics, const TDateMemo& before, const TDateMemo& after,
                          const std::string& localZone) {
    const Component root = parse(ics);
    icalcomponent* event = firstEvent(root.get());
    if (!event || icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT || ours(root.get())) return {};
    IcalExportOptions options;
    options.stamp = icalStampNow();
    options.localZone = localZone;
    const Component mine = parse(exportIcal({&after}, {}, options));
    icalcomponent* note = firstEvent(mine.get());
    if (!note) return {};
    if (before.caption != after.caption) takeProperty(event, note, "SUMMARY");
    if (before.text != after.text) takeProperty(event, note, "DESCRIPTION");
    if (textLocation(before.text) != textLocation(after.text)) takeProperty(event, note, "LOCATION");
    if (!sameTime(before, after)) {
        for (const char* name : {"DTSTART", "DTEND", "DURATION"}) takeProperty(event, note, name);
        addZones(root.get(), mine.get());
    } else if (const std::int64_t days = dayNumber(after.year, after.month, after.day) -
                                         dayNumber(before.year, before.month, before.day)) {
        moveDays(event, static_cast<int>(days));
    }
    takeProperty(event, note, "DTSTAMP");
    icalcomponent_set_sequence(event, icalcomponent_get_sequence(event) + 1);
    char* text = icalcomponent_as_ical_string_r(root.get());
    std::string out = text ? text : "";
    std::free(text);
    return out;
}

}  // namespace sorvel
