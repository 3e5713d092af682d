#pragma once
// "今すぐ同期(&Y)" and the sync's timer: the data file written, then a sync of the document with
// the CalDAV server in the background, the tray icon's tooltip saying so until it ends; its
// changes joined to the document and written, then the sync state beside the data file.
#include <functional>
#include <memory>
#include <optional>

#include <QObject>

class QSystemTrayIcon;
class QTimer;

namespace sorvel {

class CalendarDocument;
class SecretStore;
class SyncRunner;
struct SyncResult;
struct TSyncSet;

class SyncController : public QObject {
    Q_OBJECT
public:
    // What the sync asks of the window that owns it.
    struct Calls {
        std::function<int()> saveDataFile;      // the data file written as the window writes it
        std::function<void()> notesChanged;     // the sync changed the lists: the views follow
    };
    // tray may be null (a desktop without one); secrets too (not owned): then the password is
    // held in memory for the run.
    SyncController(CalendarDocument& document, const TSyncSet& settings, QSystemTrayIcon* tray, SecretStore* secrets,
                   Calls calls);
    ~SyncController() override;

    // The timer set from the sync settings (every Interval minutes while Enabled).
    void ApplySetting();
    // The tray icon once the window has one (it is set up after the first paint); may be null.
    void setTray(QSystemTrayIcon* tray) { tray_ = tray; }
    // Nothing happens while a sync runs or after Stop.
    void SyncNow();
    bool syncing() const;
    // Where the password is read and, by the settings dialog, written.
    SecretStore& secrets() { return *secrets_; }
    // The window closes: a sync under way is cut short (the next one finishes it) and says
    // nothing; the timer stops.
    void Stop();

private:
    void start(const std::optional<QString>& password);
    void finished(const SyncResult& result);

    CalendarDocument& document_;
    const TSyncSet& settings_;
    QSystemTrayIcon* tray_;
    std::unique_ptr<SecretStore> memorySecrets_;
    SecretStore* secrets_;
    Calls calls_;
    QTimer* timer_ = nullptr;
    // From the sync library, loaded by the first sync.
    std::unique_ptr<SyncRunner> sync_;
    bool passwordPending_ = false;
    bool stopped_ = false;
};

}  // namespace sorvel
