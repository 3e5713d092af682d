#include "sync/sync_settings.h"

#include "platform/text.h"

namespace sorvel {

namespace {
constexpr const char* kSection = "SyncSetting";
}  // namespace

void TSyncSet::read(const Profile& ini) {
    const std::int32_t enabled = parseInt(ini.getString(kSection, "Enabled", "0")).value_or(0);
    Enabled = enabled != 0 ? 1 : 0;
    Url = ini.getString(kSection, "Url", "");
    User = ini.getString(kSection, "User", "");
    const std::int32_t interval = parseInt(ini.getString(kSection, "Interval", "0")).value_or(0);
    Interval = interval == 5 || interval == 15 || interval == 60 ? interval : 0;
}

void TSyncSet::write(Profile& ini) const {
    const bool defaults = Enabled == 0 && Url.empty() && User.empty() && Interval == 0;
    if (defaults && !ini.has(kSection, "Enabled")) return;
    ini.setString(kSection, "Enabled", formatInt(Enabled));
    ini.setString(kSection, "Url", Url);
    ini.setString(kSection, "User", User);
    ini.setString(kSection, "Interval", formatInt(Interval));
}

QString syncSecretKey(const TSyncSet& set) {
    return QString::fromStdString(cp932ToUtf8(set.User)) + QLatin1Char('@') + QString::fromStdString(cp932ToUtf8(set.Url));
}

}  // namespace sorvel
