#pragma once
// The WebDAV and CalDAV XML the sync and the calendar discovery send and read: request bodies,
// and the one reader of multistatus answers (RFC 4918, 4791, 6578), reduced to what they use.
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>

namespace sorvel {

// One response of a multistatus, with the properties of its propstats whose status is 200.
struct DavResponse {
    std::string href;         // percent-decoded path
    std::string hrefText;     // as written (a path or a whole address), to resolve against the request's
    int status = 0;           // the response's own status (404 of a removed member); 0 when absent
    bool hasEtag = false;
    std::string etag;
    bool hasCalendarData = false;
    std::string calendarData;
    std::string ctag;          // getctag (calendarserver.org)
    std::string syncToken;     // the sync-token property of a PROPFIND
    bool isCollection = false;
    bool isCalendar = false;   // a calendar collection (resourcetype)
    bool holdsEvents = true;   // VEVENT among supported-calendar-component-set, or none stated
    std::string displayName;   // UTF-8
    std::string principal;     // current-user-principal's href as written; empty when none
    std::string calendarHome;  // calendar-home-set's href as written; empty when none
};

struct DavMultistatus {
    std::vector<DavResponse> responses;
    std::string syncToken;  // the report's sync-token (sync-collection)
};

// Empty optional when the bytes are not a well-formed multistatus document.
std::optional<DavMultistatus> parseMultistatus(const QByteArray& xml);

// A path as it goes on the wire: percent-decoded hrefs (or whole URLs) to one form.
std::string normalizeHref(const QByteArray& href);

QByteArray propfindCollectionBody();                     // sync-token, getctag
QByteArray discoveryPropfindBody();                      // what a resource is, its name, principal and calendar home
QByteArray syncCollectionBody(const std::string& token);  // changes since token ("" = all)
QByteArray calendarQueryBody();                          // every member's ETag
QByteArray multigetBody(const std::vector<std::string>& hrefs);

}  // namespace sorvel
