#include "app/sync_controller.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/app_messages.h"
#include "app/calendar_document.h"
#include "platform/files.h"
#include "platform/secret_store.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "sync/sync_library.h"
#include "sync/sync_settings.h"

namespace sorvel {

namespace {
const QString kSyncCaption = programMessageCaption();
const QString kTrayTip = programName();
}  // namespace

SyncController::SyncController(CalendarDocument& document, const TSyncSet& settings, QSystemTrayIcon* tray,
                               SecretStore* secrets, Calls calls)
    : document_(document), settings_(settings), tray_(tray), secrets_(secrets), calls_(std::move(calls)) {
    if (!secrets_) {
        memorySecrets_ = std::make_unique<MemorySecretStore>();
        secrets_ = memorySecrets_.get();
    }
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &SyncController::SyncNow);
}

SyncController::~SyncController() { sync_.reset(); }

bool SyncController::syncing() const { return (sync_ && sync_->isRunning()) || passwordPending_; }

void SyncController::ApplySetting() {
    const TSyncSet& set = settings_;
    if (set.Enabled == 1 && set.Interval > 0 && !set.Url.empty())
        timer_->start(set.Interval * 60 * 1000);
    else
        timer_->stop();
}

void SyncController::Stop() {
    stopped_ = true;
    if (sync_) sync_->cancel();
    timer_->stop();
}

void SyncController::SyncNow() {
    if (stopped_ || syncing()) return;
    const TSyncSet set = settings_;
    if (set.Enabled != 1 || set.Url.empty()) {
        showMessage(syncNotSetUpMessage(), kSyncCaption);
        return;
    }
    if (!sync_) {
        SyncLibrary* library = syncLibrary();
        if (!library) return;
        sync_ = library->newSync();
    }
    // The notes go out as the data file holds them: what a kill leaves is what the next sync sees.
    calls_.saveDataFile();
    passwordPending_ = true;
    if (tray_) tray_->setToolTip(programName() + QStringLiteral(" - 同期中"));
    QPointer<SyncController> self(this);
    secrets_->read(syncSecretKey(set), [self](std::optional<QString> password) {
        if (!self || self->stopped_) return;
        self->passwordPending_ = false;
        self->start(password);
    });
}

void SyncController::start(const std::optional<QString>& password) {
    const TSyncSet& set = settings_;
    SyncConfig config{QUrl(QString::fromStdString(cp932ToUtf8(set.Url))), QString::fromStdString(cp932ToUtf8(set.User))};
    sync_->start(config, password, document_.snapshot(), document_.syncStateFile(),
                 [this](const SyncResult& result) { finished(result); });
}

void SyncController::finished(const SyncResult& result) {
    if (tray_) tray_->setToolTip(kTrayTip);
    if (stopped_ || result.status == SyncStatus::Cancelled) return;
    // A refused password is not tried again: the next sync asks for it.
    if (result.status == SyncStatus::AuthFailed && secrets_) secrets_->forget(syncSecretKey(settings_));
    if (result.status == SyncStatus::Ok) {
        int saved = 1;
        if (document_.ApplySync(result)) {
            calls_.notesChanged();
            saved = calls_.saveDataFile();
        }
        // What the server and the data file agree on, once the data file holds it.
        QString error;
        if (saved == 1 && result.stateChanged && !document_.SaveSyncState(result.state, &error))
            showMessage(saveFailedMessage(document_.syncStateFile(), error), kSyncCaption);
    }
    if (!result.message.isEmpty()) showMessage(result.message, kSyncCaption);
}

}  // namespace sorvel
