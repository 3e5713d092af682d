#include "settings/sync_page.h"

#include <iterator>

#include <QUrl>

#include "platform/text.h"
#include "platform/ui.h"
#include "settings/settings_messages.h"

namespace sorvel {

namespace {

// The CP932 bytes of a text, or a message naming the first character they cannot hold.
std::optional<std::string> storable(const QString& text, const char* what) {
    if (auto bytes = fromQString(text)) return bytes;
    showMessage(
        unstorableSyncFieldMessage(QString::fromUtf8(what), describeCharacter(firstCharacterOutsideCp932(text))),
        messageCaption());
    return std::nullopt;
}

}  // namespace

SyncPageValues fillSyncPage(const TSyncSet& set) {
    SyncPageValues v;
    v.enabled = set.Enabled != 0;
    v.url = toQString(set.Url);
    v.user = toQString(set.User);
    for (int i = 0; i < static_cast<int>(std::size(kSyncIntervals)); ++i)
        if (kSyncIntervals[i] == set.Interval) v.interval = i;
    return v;
}

bool applySyncPage(const SyncPageValues& v, TSyncSet& set) {
    const QString url = v.url.trimmed();
    const QUrl parsed(url, QUrl::StrictMode);
    const bool web = parsed.isValid() && !parsed.host().isEmpty() &&
                     (parsed.scheme() == QLatin1String("http") || parsed.scheme() == QLatin1String("https"));
    if (v.enabled && !web) {
        showMessage(unusableServerAddressMessage(url), messageCaption());
        return false;
    }
    const auto urlBytes = storable(url, "サーバーのアドレス");
    if (!urlBytes) return false;
    const auto userBytes = storable(v.user, "ユーザー名");
    if (!userBytes) return false;
    set.Enabled = v.enabled ? 1 : 0;
    set.Url = *urlBytes;
    set.User = *userBytes;
    const bool known = v.interval >= 0 && v.interval < static_cast<int>(std::size(kSyncIntervals));
    set.Interval = kSyncIntervals[known ? v.interval : 0];
    return true;
}

std::optional<QString> askSyncPassword(const QString& key) {
    return ui().askPassword(QStringLiteral("同期に使う %1 のパスワードを入力してください。").arg(key),
                            QStringLiteral("同期のパスワード"));
}

QString syncPasswordPlaceholder() { return QStringLiteral("変えるときだけ入力"); }

}  // namespace sorvel
