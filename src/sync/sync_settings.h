#pragma once
// The CalDAV sync settings, section "SyncSetting" of sorvel.ini. The password is never kept
// here: it lives in the desktop's secret service (or, where none answers, in memory for the run).
#include <cstdint>
#include <string>

#include <QString>

#include "platform/profile.h"

namespace sorvel {

struct TSyncSet {
    std::uint8_t Enabled = 0;
    std::string Url;            // a calendar collection, or a server to discover it from; CP932
    std::string User;           // CP932
    std::int32_t Interval = 0;  // minutes: 0 = 手動, 5, 15, 60

    // A value that is not a number, or an interval other than 0, 5, 15 and 60, keeps its default.
    void read(const Profile& ini);
    // Writes the section when a key differs from its default or the section is there already,
    // so the file of a user who never synced keeps its sections as they were.
    void write(Profile& ini) const;
};

// The key of the sync's password in the secret store: the user and the address.
QString syncSecretKey(const TSyncSet& set);

}  // namespace sorvel
