#pragma once
// Two-way sync of notes and holiday rules with one CalDAV calendar collection (RFC 4791).
// A plain QObject on the caller's event loop: every request is asynchronous through the
// QNetworkAccessManager it is given, so a window using it never waits.
//
// It works on a snapshot of the notes and rules and never touches the program's lists: when it
// has finished, the result names the notes and rules to add and to remove (by value), which the
// caller applies to its current lists (so edits made meanwhile stay), saves the data file, and
// then saves result.state with saveSyncState().
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>
#include <QUrl>

#include "data/date_data.h"
#include "sync/dav_client.h"
#include "sync/sync_plan.h"
#include "sync/sync_state.h"

class QNetworkAccessManager;

namespace sorvel {

struct SyncConfig {
    QUrl collection;  // the calendar collection
    QString user;
    int timeoutMs = kDavTimeoutMs;  // a request with nothing coming for this long fails
};

struct SyncSnapshot {
    std::vector<TDateMemo> memos;
    std::vector<THolidaySet> rules;
};

enum class SyncStatus {
    Ok,
    AuthFailed,   // 認証に失敗しました
    TlsFailed,    // the server's certificate was not accepted
    Timeout,      // nothing came for 30 s
    Unreachable,  // no connection
    ServerError,  // a 5xx answer, or another status the sync cannot go on from
    BadResponse,  // XML that cannot be read, a response cut short
    TooLarge,     // a response beyond kDavMaxResponseBytes
    NotCalendar,  // the address is no calendar of events: nothing was written
    Cancelled,    // cancel(): no message
};

struct SyncResult {
    SyncStatus status = SyncStatus::Ok;
    QString message;  // for the person; empty when nothing is worth saying. A state file that
                      // could not be saved while the sync ran is said here too, on any status.

    // Changes to the local lists; empty unless status is Ok.
    std::vector<TDateMemo> memosToAdd, memosToRemove;
    std::vector<THolidaySet> rulesToAdd, rulesToRemove;
    // What to save beside the data file once it holds the changes above.
    SyncState state;
    bool stateChanged = false;

    std::size_t uploaded = 0;     // new or changed events sent
    std::size_t deletedOnServer = 0;
    std::size_t downloaded = 0;   // new or changed events taken
    std::size_t unsupported = 0;  // events on the server the sync leaves alone
    std::vector<SyncConflictDate> conflicts;
};

class CalDavSync : public QObject {
    Q_OBJECT
public:
    explicit CalDavSync(QNetworkAccessManager* network, QObject* parent = nullptr);
    ~CalDavSync() override;

    // Starts a sync; finished() follows exactly once (never from inside start()). The state
    // file is read here and, while events are uploaded, rewritten after each batch so that a
    // sync ended in the middle is finished by the next one.
    // Without a password (the person cancelled the box) a server that asks for one ends the sync
    // with status Cancelled.
    void start(const SyncConfig& config, const std::optional<QString>& password, SyncSnapshot snapshot,
               const QString& statePath);
    // Ends a running sync: requests are aborted and finished() comes with status Cancelled.
    void cancel();
    bool isRunning() const;

signals:
    void progress(int done, int total);
    void finished(const sorvel::SyncResult& result);

private:
    struct Run;
    void finishRun(SyncResult result);
    DavClient* client_;         // a child: it outlives every run
    std::shared_ptr<Run> run_;  // shared with work it has running on a pool thread
};

// The message of a failed sync (caption "メッセージ from Sorvel"); empty for Ok and Cancelled.
QString syncFailureMessage(SyncStatus status, const QUrl& server, int httpStatus = 0);

// Applies a result's changes to the lists: each note and rule to remove takes away the first one
// equal to it (none when the person changed it meanwhile), those to add are appended.
void applySyncResult(const SyncResult& result, TDateMemoList& memos, THolidayList& rules);

}  // namespace sorvel
