#pragma once
// The WebDAV and CalDAV XML the sync sends and reads: request bodies, and the multistatus
// answers (RFC 4918, 4791, 6578) reduced to what the sync uses.
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>

namespace sorvel {

struct DavResponse {
    std::string href;         // percent-decoded path
    int status = 0;           // the response's own status (404 of a removed member); 0 when absent
    bool hasEtag = false;
    std::string etag;
    bool hasCalendarData = false;
    std::string calendarData;
    std::string ctag;          // getctag (calendarserver.org)
    std::string syncToken;     // the sync-token property of a PROPFIND
    bool isCollection = false;
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
QByteArray syncCollectionBody(const std::string& token);  // changes since token ("" = all)
QByteArray calendarQueryBody();                          // every member's ETag
QByteArray multigetBody(const std::vector<std::string>& hrefs);

}  // namespace sorvel
