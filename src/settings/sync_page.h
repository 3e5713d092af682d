#pragma once
// The settings dialog's page "同期": its values and how they go into the sync settings.
#include <cstdint>
#include <optional>
#include <string>

#include <QString>

#include "sync/sync_settings.h"

namespace sorvel {

// The choices of the interval list, in minutes: "手動", 5, 15 and 60.
inline constexpr std::int32_t kSyncIntervals[] = {0, 5, 15, 60};

struct SyncPageValues {
    bool enabled = false;
    QString url;
    QString user;
    int interval = 0;  // an index into kSyncIntervals
    bool operator==(const SyncPageValues&) const = default;
};

SyncPageValues fillSyncPage(const TSyncSet& set);

// Writes the page's values into the settings. Refused with a message, the settings left as they
// were: syncing switched on with an address that is not http:// or https://, an address or user
// name with a character the settings file cannot hold. Returns whether they were taken.
bool applySyncPage(const SyncPageValues& v, TSyncSet& set);

// Asks for the password of a secret store key ("user@address") where the secret service has
// none or does not answer; an empty optional when declined.
std::optional<QString> askSyncPassword(const QString& key);

// What the password field shows when it is empty: a password typed there replaces the kept one.
QString syncPasswordPlaceholder();

}  // namespace sorvel
