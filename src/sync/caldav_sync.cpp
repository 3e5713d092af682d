#include "sync/caldav_sync.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

#include <QElapsedTimer>
#include <QFuture>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>

#include "ical/ical_export.h"
#include "platform/files.h"
#include "sync/caldav_xml.h"
#include "sync/sync_plan.h"
#include "sync/sync_event.h"

namespace sorvel {

namespace {

constexpr std::size_t kMultigetBatch = 200;
constexpr std::size_t kParallelRequests = 6;
constexpr qint64 kStateEveryMs = 1000;  // the longest time between two saves of the state file
constexpr int kNewNameTries = 4;

// The sync's status of each failure of the client.
constexpr std::pair<DavFailure, SyncStatus> kStatusOf[] = {
    {DavFailure::None, SyncStatus::Ok},
    {DavFailure::AuthFailed, SyncStatus::AuthFailed},
    {DavFailure::NoPassword, SyncStatus::Cancelled},  // the password box was cancelled
    {DavFailure::TlsFailed, SyncStatus::TlsFailed},
    {DavFailure::Timeout, SyncStatus::Timeout},
    {DavFailure::Unreachable, SyncStatus::Unreachable},
    {DavFailure::ServerError, SyncStatus::ServerError},
    {DavFailure::BadResponse, SyncStatus::BadResponse},
    {DavFailure::TooLarge, SyncStatus::TooLarge},
};

SyncStatus statusOf(DavFailure failure) {
    for (const auto& [f, status] : kStatusOf)
        if (f == failure) return status;
    return SyncStatus::ServerError;
}

std::string etagOf(const DavAnswer& a) { return a.header("ETag").toStdString(); }

QString conflictLine(const std::vector<SyncConflictDate>& dates) {
    QStringList days;
    for (const SyncConflictDate& d : dates) {
        const QString day = QStringLiteral("%1年%2月%3日").arg(d.year).arg(d.month).arg(d.day);
        if (!days.contains(day)) days << day;
    }
    return QStringLiteral("こちらとサーバーの両方で変更された予定があったため、両方を残しました：%1")
        .arg(days.join(QStringLiteral("、")));
}

}  // namespace

QString syncFailureMessage(SyncStatus status, const QUrl& server, int httpStatus) {
    if (status == SyncStatus::NotCalendar)
        return QStringLiteral("このアドレスはカレンダーではありません。「カレンダーを探す」で選んでください。");
    // The client's message of the failure (none for Ok and Cancelled).
    for (const auto& [failure, s] : kStatusOf)
        if (s == status) return davFailureMessage(failure, server, httpStatus);
    return {};
}

// One sync from start to finish.
struct CalDavSync::Run {
    CalDavSync* owner = nullptr;
    std::weak_ptr<Run> self;
    DavClient* client = nullptr;
    SyncConfig config;
    QString statePath;
    SyncState old;     // as read
    SyncState durable;  // old, with the server changes made so far: what a kill leaves true
    std::unordered_map<std::string, std::size_t> durableAt;  // href -> its place in durable.entries
    QElapsedTimer sinceSave;
    std::string collectionPath;
    SyncResult result;
    bool done = false;
    QString saveError;  // why the last save of the state file failed; empty when it did not

    // The local side.
    std::vector<SyncItem> local;

    // The server side.
    SyncServerSide server;
    std::map<std::string, std::pair<std::string, std::string>> fetched;  // href -> etag, data
    std::string newToken, newCtag;
    bool keepOldToken = false;
    bool listedInFull = false;  // the full listing was asked for once in this sync
    bool madeAgain = false;     // the server's calendar was emptied or made again: a first sync

    // The outcome.
    std::vector<SyncEntry> entries;
    std::set<std::string> usedHrefs;
    std::deque<SyncOp> ops;
    std::size_t opsTotal = 0, opsDone = 0, inFlight = 0;
    std::size_t unsupportedBefore = 0;
    std::size_t notCarried = 0;  // our notes on dates no event can hold

    QUrl urlOf(const std::string& href) const {
        QUrl u = config.collection;
        u.setPath(QString::fromStdString(href), QUrl::DecodedMode);
        u.setQuery(QString());
        return u;
    }

    // Work that may take longer than a frame (reading a long listing, deciding over thousands of
    // notes, writing the state file) runs on a pool thread while the loop goes on; `then` follows
    // on the loop unless the run has ended meanwhile. Work on the run's data is sent only while
    // no request is under way, so that nothing on the loop touches that data meanwhile; the state
    // file is written from a copy.
    QFuture<void> offLoop(std::function<void()> work, std::function<void()> then) {
        auto promise = std::make_shared<QPromise<void>>();
        auto* watcher = new QFutureWatcher<void>(owner);
        QObject::connect(watcher, &QFutureWatcherBase::finished, owner,
                         [keep = self.lock(), watcher, then = std::move(then)] {
                             watcher->deleteLater();
                             if (!keep->done) then();
                         });
        // Started here, not on the pool thread: a wait for the future that comes before the pool
        // has begun the work (a run ending while a checkpoint is queued) must wait for the work,
        // not take a future nobody started yet for a finished one.
        promise->start();
        QFuture<void> future = promise->future();
        watcher->setFuture(future);
        QThreadPool::globalInstance()->start([keep = self.lock(), promise, work = std::move(work)] {
            work();
            promise->finish();
        });
        return future;
    }

    // ---- requests -------------------------------------------------------------------------
    using Answer = DavAnswer;

    // A failure ends the sync; with anyStatus a 5xx answer goes to `then` as well.
    void send(const DavRequest& request, std::function<void(Answer&)> then, bool anyStatus = false) {
        client->send(request, [this, anyStatus, then = std::move(then)](Answer& a) {
            if (done) return;
            if (a.failure == DavFailure::ServerError && anyStatus) a.failure = DavFailure::None;
            if (a.failure != DavFailure::None) return fail(statusOf(a.failure), a.status);
            then(a);
        });
    }

    DavHeaders xml() const { return {{"Content-Type", davXmlType()}}; }

    void fail(SyncStatus status, int httpStatus = 0) {
        SyncResult r;
        r.status = status;
        r.message = syncFailureMessage(status, config.collection, httpStatus);
        r.state = durableState();
        r.stateChanged = false;
        finish(std::move(r));
    }

    void finish(SyncResult r) {
        if (done) return;
        done = true;
        waitForCheckpoint();
        client->abortAll();
        if (!saveError.isEmpty()) {
            if (!r.message.isEmpty()) r.message += QLatin1Char('\n');
            r.message += saveFailedMessage(statePath, saveError);
        }
        owner->finishRun(std::move(r));
    }

    // ---- the server's list -------------------------------------------------------------------
    void begin() {
        if (!old.token.empty())
            syncReport(old.token);
        else
            propfind();
    }

    // Changes since token, or every event when it is empty. A server that refuses the report in
    // any way (a token it no longer takes, 500 for one it never knew) is asked for the full
    // listing instead, once in a sync.
    void syncReport(const std::string& token) {
        send(
            {"REPORT", config.collection, syncCollectionBody(token), xml(), 0},
            [this, token](Answer& a) {
                if (a.status != 207) {
                    if (listedInFull) return fail(SyncStatus::ServerError, a.status);
                    listedInFull = true;
                    return token.empty() ? calendarQuery() : propfind();
                }
                readListing(std::move(a.body), [this, token](const DavMultistatus& ms) {
                    server.complete = token.empty();
                    for (const DavResponse& r : ms.responses) {
                        if (r.href.empty() || r.href.back() == '/' || r.href == collectionPath) continue;
                        if (r.status == 404)
                            server.removed.insert(r.href);
                        else if (r.hasEtag)
                            server.listed[r.href] = r.etag;
                    }
                    newToken = ms.syncToken;
                });
            },
            true);
    }

    // The collection's own properties: what it is, its token or ctag.
    void propfind() {
        send({"PROPFIND", config.collection, propfindCollectionBody(), xml(), 0}, [this](Answer& a) {
            if (a.status != 207) return fail(SyncStatus::ServerError, a.status);
            const auto ms = parseMultistatus(a.body);
            if (!ms) return fail(SyncStatus::BadResponse);
            std::string token, ctag;
            for (const DavResponse& r : ms->responses) {
                if (!r.syncToken.empty()) token = r.syncToken;
                if (!r.ctag.empty()) ctag = r.ctag;
            }
            noteWhatItIs(ms);
            newCtag = ctag;
            if (!token.empty() && !listedInFull) return syncReport({});
            if (!ctag.empty() && ctag == old.ctag && old.token.empty()) {
                // Nothing changed there since the last sync.
                for (const SyncEntry& e : old.entries) server.listed[e.href] = e.etag;
                server.complete = true;
                return fetchChanged();
            }
            calendarQuery();
        });
    }

    void calendarQuery() {
        send({"REPORT", config.collection, calendarQueryBody(), xml(), 1},
             [this](Answer& a) {
                 if (a.status != 207) return fail(SyncStatus::ServerError, a.status);
                 readListing(std::move(a.body), [this](const DavMultistatus& ms) {
                     server.complete = true;
                     for (const DavResponse& r : ms.responses) {
                         if (r.href.empty() || r.href.back() == '/' || r.href == collectionPath || r.status == 404)
                             continue;
                         server.listed[r.href] = r.hasEtag ? r.etag : std::string();
                     }
                 });
             });
    }

    // Whether the address is a calendar that holds events, from a PROPFIND answer of its own.
    std::optional<bool> eventCalendar;
    void noteWhatItIs(const std::optional<DavMultistatus>& ms) {
        eventCalendar =
            ms && !ms->responses.empty() && ms->responses.front().isCalendar && ms->responses.front().holdsEvents;
    }

    // Before the first write: nothing goes into an address that is not a calendar of events.
    void checkCalendarThen(std::function<void()> then) {
        if (eventCalendar) return *eventCalendar ? then() : fail(SyncStatus::NotCalendar);
        send({"PROPFIND", config.collection, propfindCollectionBody(), xml(), 0},
             [this, then = std::move(then)](Answer& a) {
                 if (a.status != 207) return fail(SyncStatus::NotCalendar);
                 noteWhatItIs(parseMultistatus(a.body));
                 *eventCalendar ? then() : fail(SyncStatus::NotCalendar);
             });
    }

    // Reads the server's list off the loop and has `take` note what it holds, then fetches what
    // changed; a list that cannot be read ends the sync.
    void readListing(QByteArray body, std::function<void(const DavMultistatus&)> take) {
        auto readable = std::make_shared<bool>(false);
        offLoop(
            [body = std::move(body), take = std::move(take), readable] {
                const auto ms = parseMultistatus(body);
                if (!ms) return;
                *readable = true;
                take(*ms);
            },
            [this, readable] { *readable ? fetchChanged() : fail(SyncStatus::BadResponse); });
    }

    // ---- the server's new and changed events ---------------------------------------------------
    std::vector<std::vector<std::string>> batches;
    std::size_t batchesLeft = 0;

    void fetchChanged() {
        if (calendarMadeAgain(old, server)) {
            // Emptied or made again: nothing here is deleted for it, everything goes up again.
            madeAgain = true;
            old.entries.clear();
            durable.entries.clear();
            durableAt.clear();
        }
        const std::vector<std::string> want = hrefsToFetch(old, server);
        for (std::size_t i = 0; i < want.size(); i += kMultigetBatch)
            batches.emplace_back(want.begin() + static_cast<std::ptrdiff_t>(i),
                                 want.begin() + static_cast<std::ptrdiff_t>(std::min(want.size(), i + kMultigetBatch)));
        batchesLeft = batches.size();
        if (batches.empty()) return decide();
        for (std::size_t i = 0; i < std::min(batches.size(), std::size_t{3}); ++i) nextBatch();
    }

    std::size_t batchSent = 0;
    void nextBatch() {
        if (batchSent >= batches.size()) return;
        const std::vector<std::string>& hrefs = batches[batchSent++];
        send({"REPORT", config.collection, multigetBody(hrefs), xml(), 1}, [this](Answer& a) {
            if (a.status != 207) return fail(SyncStatus::ServerError, a.status);
            auto ms = parseMultistatus(a.body);
            if (!ms) return fail(SyncStatus::BadResponse);
            for (DavResponse& r : ms->responses) {
                if (r.hasCalendarData)
                    fetched[r.href] = {r.hasEtag ? r.etag : server.listed[r.href], std::move(r.calendarData)};
                else if (r.status == 404)
                    server.removed.insert(r.href);
            }
            emit owner->progress(static_cast<int>(batches.size() - batchesLeft + 1), static_cast<int>(batches.size()));
            if (--batchesLeft == 0) return decide();
            nextBatch();
        });
    }

    // ---- deciding ------------------------------------------------------------------------------
    // The server's version of an event kept here (a conflict found while uploading).
    void keepServerVersion(const std::string& href, const std::string& etag, const SyncItem& v) {
        entries.push_back(syncEntryOf(v, href, etag));
        if (v.kind == SyncEntryKind::Unsupported) return;
        if (v.kind == SyncEntryKind::Memo)
            result.memosToAdd.push_back(v.memo);
        else
            result.rulesToAdd.push_back(v.rule);
        ++result.downloaded;
    }

    void conflictAt(const SyncItem& ours, const SyncItem& theirs) {
        for (const SyncItem* it : {&theirs, &ours})
            if (it->kind == SyncEntryKind::Memo) result.conflicts.push_back({it->memo.year, it->memo.month, it->memo.day});
    }

    // What to do, decided off the loop (thousands of events are read and compared), then done.
    void decide() {
        offLoop(
            [this] {
                for (auto& [href, value] : fetched) server.fetched[href] = {value.first, classifyEvent(value.second)};
                SyncPlan plan = planSync(old, local, server);
                entries = std::move(plan.entries);
                ops.assign(std::make_move_iterator(plan.ops.begin()), std::make_move_iterator(plan.ops.end()));
                usedHrefs = std::move(plan.usedHrefs);
                result.memosToAdd = std::move(plan.memosToAdd);
                result.memosToRemove = std::move(plan.memosToRemove);
                result.rulesToAdd = std::move(plan.rulesToAdd);
                result.rulesToRemove = std::move(plan.rulesToRemove);
                result.conflicts = std::move(plan.conflicts);
                result.downloaded = plan.downloaded;
                keepOldToken = plan.keepOldToken;
            },
            [this] {
                opsTotal = ops.size();
                if (ops.empty()) return complete();
                checkCalendarThen([this] {
                    sinceSave.start();
                    for (std::size_t i = 0; i < kParallelRequests; ++i) nextOp();
                });
            });
    }

    // ---- uploading -----------------------------------------------------------------------------
    void nextOp() {
        if (ops.empty() || done) return;
        SyncOp op = std::move(ops.front());
        ops.pop_front();
        ++inFlight;
        if (op.kind == SyncOp::Delete) {
            send({"DELETE", urlOf(op.href), {}, {{"If-Match", QByteArray::fromStdString(op.etag)}}},
                 [this, op](Answer& a) { deleted(op, a); });
            return;
        }
        if (!op.edit) return sendPut(op, encodeItem(op.item, op.uid));
        // An edit keeps the server's event: what it holds now is changed where the note changed.
        send({"GET", urlOf(op.href), {}, {}}, [this, op](Answer& g) {
            sendPut(op, g.status == 200 ? encodeEdit(g.body.toStdString(), op.item, op.uid) : encodeItem(op.item, op.uid));
        });
    }

    void sendPut(const SyncOp& op, const std::string& bytes) {
        DavHeaders headers{{"Content-Type", "text/calendar; charset=utf-8"}};
        if (op.etag.empty())
            headers.push_back({"If-None-Match", "*"});
        else
            headers.push_back({"If-Match", QByteArray::fromStdString(op.etag)});
        send({"PUT", urlOf(op.href), QByteArray::fromStdString(bytes), std::move(headers)},
             [this, op](Answer& a) { put(op, a); });
    }

    void opDone() {
        --inFlight;
        ++opsDone;
        emit owner->progress(static_cast<int>(opsDone), static_cast<int>(opsTotal));
        if (sinceSave.elapsed() >= kStateEveryMs) {
            saveCheckpoint();
            sinceSave.start();
        }
        if (ops.empty() && inFlight == 0) return complete();
        nextOp();
    }

    void saveDurable() {
        waitForCheckpoint();
        if (statePath.isEmpty()) return;
        saveError.clear();
        saveSyncState(statePath, durableState(), &saveError);
    }

    // While events go up, the state file is saved on a pool thread from a copy, so that the loop
    // never waits for the disk: one save at a time (a checkpoint due while one is written is left
    // to the next), and none still being written once the run has ended, so that no later save
    // is overwritten by it.
    QFuture<void> checkpoint;
    void saveCheckpoint() {
        if (statePath.isEmpty() || (checkpoint.isValid() && !checkpoint.isFinished())) return;
        // saveError is written there and read on the loop only once the save has finished.
        checkpoint = offLoop(
            [this, bytes = writeSyncState(durableState())] {
                QString error;
                atomicReplace(statePath, bytes, &error);
                saveError = error;
            },
            [] {});
    }
    void waitForCheckpoint() {
        if (checkpoint.isValid()) checkpoint.waitForFinished();
    }

    // durable without the places of entries taken away.
    SyncState durableState() const {
        SyncState s = durable;
        s.entries.erase(std::remove_if(s.entries.begin(), s.entries.end(), [](const SyncEntry& e) { return e.href.empty(); }),
                        s.entries.end());
        return s;
    }

    void setDurable(const std::string& href, const SyncEntry* entry) {
        const auto at = durableAt.find(href);
        if (at == durableAt.end()) {
            if (!entry) return;
            durableAt.emplace(href, durable.entries.size());
            durable.entries.push_back(*entry);
        } else if (entry) {
            durable.entries[at->second] = *entry;
        } else {
            durable.entries[at->second].href.clear();  // left out when saved
            durableAt.erase(at);
        }
    }

    void put(const SyncOp& op, Answer& a) {
        if (a.status >= 200 && a.status < 300) {
            SyncEntry entry = syncEntryOf(op.item, op.href, etagOf(a));
            entry.uid = op.uid;
            entries.push_back(entry);
            setDurable(op.href, &entry);
            ++result.uploaded;
            return opDone();
        }
        if (a.status == 412) {
            // Changed there since we looked, or a name already taken: see what is there.
            return send({"GET", urlOf(op.href), {}, {}}, [this, op](Answer& g) {
                if (g.status == 200) {
                    const SyncItem v = classifyEvent(g.body.toStdString());
                    if (v.kind == op.item.kind && v.hash == op.item.hash) {
                        const SyncEntry entry = syncEntryOf(v, op.href, etagOf(g));
                        entries.push_back(entry);
                        setDurable(op.href, &entry);
                        return opDone();
                    }
                    if (!op.etag.empty()) {  // ours changed, theirs changed: both kept
                        keepServerVersion(op.href, etagOf(g), v);
                        conflictAt(op.item, v);
                    }
                } else if (g.status != 404) {
                    return fail(SyncStatus::ServerError, g.status);
                }
                if (op.tries >= kNewNameTries) return fail(SyncStatus::ServerError, 412);
                SyncOp again = op;
                again.etag.clear();
                again.edit = false;
                again.tries = op.tries + 1;
                if (g.status != 404 || !op.etag.empty())
                    again.href = newSyncHref(usedHrefs, collectionPath, op.item, op.tries + 1, &again.uid);
                ops.push_front(std::move(again));
                ++opsTotal;
                opDone();
            });
        }
        fail(SyncStatus::ServerError, a.status);
    }

    void deleted(const SyncOp& op, Answer& a) {
        if ((a.status >= 200 && a.status < 300) || a.status == 404) {
            setDurable(op.href, nullptr);
            ++result.deletedOnServer;
            return opDone();
        }
        if (a.status == 412) {  // deleted here, changed there: the change is kept
            return send({"GET", urlOf(op.href), {}, {}}, [this, op](Answer& g) {
                if (g.status == 200)
                    keepServerVersion(op.href, etagOf(g), classifyEvent(g.body.toStdString()));
                else if (g.status != 404)
                    return fail(SyncStatus::ServerError, g.status);
                opDone();
            });
        }
        fail(SyncStatus::ServerError, a.status);
    }

    // ---- the end ----------------------------------------------------------------------------------
    void complete() {
        if (done) return;
        result.status = SyncStatus::Ok;
        result.state.collection = old.collection;
        result.state.token = keepOldToken ? old.token : newToken;
        result.state.ctag = keepOldToken ? old.ctag : newCtag;
        result.state.entries = std::move(entries);
        result.unsupported = 0;
        for (const SyncEntry& e : result.state.entries)
            if (e.kind == SyncEntryKind::Unsupported) ++result.unsupported;
        result.stateChanged = !(result.state == old);
        QStringList lines;
        if (!result.conflicts.empty()) lines << conflictLine(result.conflicts);
        if (result.unsupported > unsupportedBefore)
            lines << QStringLiteral("%1件の繰り返し予定は同期の対象外です").arg(result.unsupported);
        if (notCarried > 0)
            lines << QStringLiteral("%1件の予定は日付が暦にないか、iCalendarの日付（グレゴリオ暦の1年から9999年）で"
                                    "表せないため同期の対象外です")
                         .arg(notCarried);
        if (madeAgain)
            lines.prepend(QStringLiteral("サーバーのカレンダーが空になったか作り直されていたため、こちらの予定は消さずに"
                                         "すべてサーバーへ送りました"));
        result.message = lines.join(QLatin1Char('\n'));
        if (opsTotal > 0) saveDurable();
        finish(std::move(result));
    }
};

CalDavSync::CalDavSync(QNetworkAccessManager* network, QObject* parent)
    : QObject(parent), client_(new DavClient(network, this)) {}

CalDavSync::~CalDavSync() {
    if (run_) {
        run_->done = true;
        run_->waitForCheckpoint();
    }
    client_->abortAll();
}

void CalDavSync::start(const SyncConfig& config, const std::optional<QString>& password, SyncSnapshot snapshot,
                       const QString& statePath) {
    if (run_) return;
    run_ = std::make_shared<Run>();
    run_->self = run_;
    Run& r = *run_;
    r.owner = this;
    r.client = client_;
    r.config = config;
    client_->setCredentials(config.user, password, config.collection);
    client_->setTimeout(config.timeoutMs);
    QString path = config.collection.path();
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    r.config.collection.setPath(path);
    r.collectionPath = r.config.collection.path(QUrl::FullyDecoded).toStdString();
    r.server.collectionPath = r.collectionPath;
    r.statePath = statePath;
    // Without user and password: the state file never holds a secret.
    const std::string collection = r.config.collection.toString(QUrl::RemoveUserInfo).toStdString();
    if (!statePath.isEmpty()) r.old = loadSyncState(statePath);
    if (r.old.collection != collection) r.old = SyncState{};  // another calendar: all from the start
    r.old.collection = collection;
    r.durable = r.old;
    for (std::size_t i = 0; i < r.durable.entries.size(); ++i) r.durableAt.emplace(r.durable.entries[i].href, i);
    r.unsupportedBefore = static_cast<std::size_t>(std::count_if(
        r.old.entries.begin(), r.old.entries.end(), [](const SyncEntry& e) { return e.kind == SyncEntryKind::Unsupported; }));
    r.local = syncItems(snapshot);
    r.notCarried = memosNotCarried(snapshot);
    QTimer::singleShot(0, this, [this] {
        if (run_ && !run_->done) run_->begin();
    });
}

void CalDavSync::finishRun(SyncResult result) {
    // The run ends before the signal: a slot may start the next sync.
    std::shared_ptr<Run> ended = std::move(run_);
    QTimer::singleShot(0, this, [ended] {});
    emit finished(result);
}

void CalDavSync::cancel() {
    if (!run_ || run_->done) return;
    SyncResult r;
    r.status = SyncStatus::Cancelled;
    r.state = run_->durableState();
    run_->finish(std::move(r));
}

bool CalDavSync::isRunning() const { return run_ != nullptr; }

void applySyncResult(const SyncResult& result, TDateMemoList& memos, THolidayList& rules) {
    for (const TDateMemo& gone : result.memosToRemove) {
        const auto it = std::find_if(memos.begin(), memos.end(), [&](const std::unique_ptr<TDateMemo>& m) {
            return m && syncValueHash(*m) == syncValueHash(gone);
        });
        if (it != memos.end()) memos.erase(it);
    }
    for (const THolidaySet& gone : result.rulesToRemove) {
        const auto it = std::find_if(rules.begin(), rules.end(), [&](const std::unique_ptr<THolidaySet>& h) {
            return h && syncValueHash(*h) == syncValueHash(gone);
        });
        if (it != rules.end()) rules.erase(it);
    }
    for (const TDateMemo& m : result.memosToAdd) memos.push_back(std::make_unique<TDateMemo>(m));
    for (const THolidaySet& h : result.rulesToAdd) rules.push_back(std::make_unique<THolidaySet>(h));
}

}  // namespace sorvel
