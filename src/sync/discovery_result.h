#pragma once
// What a search for a server's calendars found: plain values, shared by the discovery and the
// settings dialog that shows them (which links no network).
#include <vector>

#include <QString>
#include <QUrl>

namespace sorvel {

struct CalendarChoice {
    QUrl url;
    QString name;  // the display name, else the last part of the address
    bool operator==(const CalendarChoice&) const = default;
};

struct DiscoveryResult {
    std::vector<CalendarChoice> calendars;
    QString error;  // empty when the server answered
};

}  // namespace sorvel
