#include "sync/caldav_sync.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <unordered_map>

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QAuthenticator>
#include <QElapsedTimer>
#include <QFuture>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>

#include "ical/ical_export.h"
#include "platform/files.h"
#include "sync/caldav_xml.h"
#include "sync/sync_event.h"

namespace sorvel {

namespace {

constexpr std::size_t kMultigetBatch = 200;
constexpr std::size_t kParallelRequests = 6;
constexpr qint64 kStateEveryMs = 1000;  // the longest time between two saves of the state file
constexpr int kNewNameTries = 4;

QString host(const QUrl& url) { return url.host().isEmpty() ? url.toString() : url.host(); }

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
    const QString h = host(server);
    switch (status) {
    case SyncStatus::Ok:
    case SyncStatus::Cancelled: return {};
    case SyncStatus::AuthFailed: return QStringLiteral("認証に失敗しました");
    case SyncStatus::TlsFailed:
        return QStringLiteral("サーバー %1 の証明書を確認できなかったため、接続しませんでした").arg(h);
    case SyncStatus::Timeout: return QStringLiteral("サーバー %1 から30秒間応答がありませんでした").arg(h);
    case SyncStatus::Unreachable: return QStringLiteral("サーバー %1 に接続できませんでした").arg(h);
    case SyncStatus::ServerError:
        return QStringLiteral("サーバー %1 がエラーを返しました（%2）").arg(h).arg(httpStatus);
    case SyncStatus::BadResponse: return QStringLiteral("サーバー %1 の応答を読み取れませんでした").arg(h);
    case SyncStatus::TooLarge: return QStringLiteral("サーバー %1 の応答が大きすぎます（64MBまで）").arg(h);
    }
    return {};
}

// One sync from start to finish.
struct CalDavSync::Run {
    CalDavSync* owner = nullptr;
    std::weak_ptr<Run> self;
    QNetworkAccessManager* network = nullptr;
    SyncConfig config;
    QString password;
    QString statePath;
    SyncState old;     // as read
    SyncState durable;  // old, with the server changes made so far: what a kill leaves true
    std::unordered_map<std::string, std::size_t> durableAt;  // href -> its place in durable.entries
    QElapsedTimer sinceSave;
    std::string collectionPath;
    SyncResult result;
    bool done = false;
    std::set<QNetworkReply*> replies;

    // The local side.
    std::vector<SyncItem> local;
    std::vector<int> entryLocal;     // per old entry: its local item, -1 when gone locally
    std::vector<bool> localTaken;    // per local item: matched or linked

    // The server side.
    bool fullListing = false;
    std::map<std::string, std::string> listed;  // href -> etag
    std::set<std::string> removed;              // hrefs the server reported removed
    std::map<std::string, std::pair<std::string, std::string>> fetched;  // href -> etag, data
    std::string newToken, newCtag;
    bool keepOldToken = false;

    // The outcome.
    std::vector<SyncEntry> entries;
    std::set<std::string> usedHrefs;
    struct Op {
        enum Kind { Put, Delete } kind = Put;
        std::string href, etag;  // etag: If-Match; empty for a new event
        SyncItem item;
        std::string uid;
        int tries = 0;
        bool conflict = false;  // ours of a conflict: the server's version is kept beside it
    };
    std::deque<Op> ops;
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
        QFuture<void> future = promise->future();
        watcher->setFuture(future);
        QThreadPool::globalInstance()->start([keep = self.lock(), promise, work = std::move(work)] {
            promise->start();
            work();
            promise->finish();
        });
        return future;
    }

    // ---- requests -------------------------------------------------------------------------
    struct Answer {
        int status = 0;
        QByteArray body;
        std::string etag;
    };

    void send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
              std::vector<std::pair<QByteArray, QByteArray>> headers, std::function<void(Answer&)> then) {
        QNetworkRequest req(url);
        req.setTransferTimeout(config.timeoutMs);
        req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        for (auto& [name, value] : headers) req.setRawHeader(name, value);
        QNetworkReply* reply = network->sendCustomRequest(req, verb, body);
        replies.insert(reply);
        reply->setProperty("sorvelSync", QVariant::fromValue(static_cast<void*>(this)));
        QObject::connect(reply, &QNetworkReply::downloadProgress, owner, [reply](qint64 got, qint64 total) {
            if (got > kSyncMaxResponseBytes || total > kSyncMaxResponseBytes) {
                reply->setProperty("sorvelTooLarge", true);
                reply->abort();
            }
        });
        QObject::connect(reply, &QNetworkReply::metaDataChanged, owner, [reply] {
            if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kSyncMaxResponseBytes) {
                reply->setProperty("sorvelTooLarge", true);
                reply->abort();
            }
        });
        QObject::connect(reply, &QNetworkReply::sslErrors, owner,
                         [reply](const QList<QSslError>&) { reply->setProperty("sorvelTls", true); });
        QObject::connect(reply, &QNetworkReply::finished, owner, [this, reply, then = std::move(then)] {
            replies.erase(reply);
            reply->deleteLater();
            if (done) return;
            Answer a;
            a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            const QNetworkReply::NetworkError error = reply->error();
            if (reply->property("sorvelTooLarge").toBool()) return fail(SyncStatus::TooLarge);
            if (error == QNetworkReply::AuthenticationRequiredError || a.status == 401)
                return fail(SyncStatus::AuthFailed);
            if (reply->property("sorvelTls").toBool() || error == QNetworkReply::SslHandshakeFailedError)
                return fail(SyncStatus::TlsFailed);
            if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError)
                return fail(SyncStatus::Timeout);
            if (a.status >= 500) return fail(SyncStatus::ServerError, a.status);
            if (error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied) {
                // A transport failure: none before an answer, a cut one after.
                return fail(a.status == 0 && reply->bytesAvailable() == 0 ? SyncStatus::Unreachable
                                                                          : SyncStatus::BadResponse);
            }
            if (a.status == 0) return fail(SyncStatus::Unreachable);
            a.body = reply->readAll();
            a.etag = reply->rawHeader("ETag").toStdString();
            then(a);
        });
    }

    QByteArray xmlType() const { return QByteArrayLiteral("application/xml; charset=utf-8"); }

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
        for (QNetworkReply* reply : std::set<QNetworkReply*>(replies)) reply->abort();
        replies.clear();
        owner->finishRun(std::move(r));
    }

    // ---- the server's list -------------------------------------------------------------------
    void begin() {
        if (!old.token.empty())
            syncReport(old.token);
        else
            propfind();
    }

    void syncReport(const std::string& token) {
        send("REPORT", config.collection, syncCollectionBody(token),
             {{"Content-Type", xmlType()}, {"Depth", "0"}}, [this, token](Answer& a) {
                 if (a.status != 207) {
                     if (!token.empty()) return propfind();  // the token is no longer taken: all again
                     return calendarQuery();
                 }
                 readListing(std::move(a.body), [this, token](const DavMultistatus& ms) {
                     fullListing = token.empty();
                     for (const DavResponse& r : ms.responses) {
                         if (r.href.empty() || r.href.back() == '/' || r.href == collectionPath) continue;
                         if (r.status == 404)
                             removed.insert(r.href);
                         else if (r.hasEtag)
                             listed[r.href] = r.etag;
                     }
                     newToken = ms.syncToken;
                 });
             });
    }

    void propfind() {
        send("PROPFIND", config.collection, propfindCollectionBody(), {{"Content-Type", xmlType()}, {"Depth", "0"}},
             [this](Answer& a) {
                 if (a.status != 207) return fail(SyncStatus::ServerError, a.status);
                 const auto ms = parseMultistatus(a.body);
                 if (!ms) return fail(SyncStatus::BadResponse);
                 std::string token, ctag;
                 for (const DavResponse& r : ms->responses) {
                     if (!r.syncToken.empty()) token = r.syncToken;
                     if (!r.ctag.empty()) ctag = r.ctag;
                 }
                 newCtag = ctag;
                 if (!token.empty()) return syncReport({});
                 if (!ctag.empty() && ctag == old.ctag && old.token.empty()) {
                     // Nothing changed there since the last sync.
                     for (const SyncEntry& e : old.entries) listed[e.href] = e.etag;
                     fullListing = true;
                     return fetchChanged();
                 }
                 calendarQuery();
             });
    }

    void calendarQuery() {
        send("REPORT", config.collection, calendarQueryBody(), {{"Content-Type", xmlType()}, {"Depth", "1"}},
             [this](Answer& a) {
                 if (a.status != 207) return fail(SyncStatus::ServerError, a.status);
                 readListing(std::move(a.body), [this](const DavMultistatus& ms) {
                     fullListing = true;
                     for (const DavResponse& r : ms.responses) {
                         if (r.href.empty() || r.href.back() == '/' || r.href == collectionPath || r.status == 404)
                             continue;
                         listed[r.href] = r.hasEtag ? r.etag : std::string();
                     }
                 });
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
        std::unordered_map<std::string, const SyncEntry*> byHref;
        for (const SyncEntry& e : old.entries) byHref[e.href] = &e;
        std::vector<std::string> want;
        for (const auto& [href, etag] : listed) {
            const auto it = byHref.find(href);
            if (it == byHref.end() || etag.empty() || it->second->etag != etag) want.push_back(href);
        }
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
        send("REPORT", config.collection, multigetBody(hrefs), {{"Content-Type", xmlType()}, {"Depth", "1"}},
             [this](Answer& a) {
                 if (a.status != 207) return fail(SyncStatus::ServerError, a.status);
                 auto ms = parseMultistatus(a.body);
                 if (!ms) return fail(SyncStatus::BadResponse);
                 for (DavResponse& r : ms->responses) {
                     if (r.hasCalendarData)
                         fetched[r.href] = {r.hasEtag ? r.etag : listed[r.href], std::move(r.calendarData)};
                     else if (r.status == 404)
                         removed.insert(r.href);
                 }
                 emit owner->progress(static_cast<int>(batches.size() - batchesLeft + 1), static_cast<int>(batches.size()));
                 if (--batchesLeft == 0) return decide();
                 nextBatch();
             });
    }

    // ---- deciding ------------------------------------------------------------------------------
    // A local item not matched yet whose value equals v, or -1.
    std::unordered_map<std::uint64_t, std::vector<int>> freshByHash;
    int takeFresh(const SyncItem& v) {
        auto it = freshByHash.find(v.hash);
        if (it == freshByHash.end()) return -1;
        for (int i : it->second)
            if (!localTaken[static_cast<std::size_t>(i)] && local[static_cast<std::size_t>(i)].kind == v.kind) {
                localTaken[static_cast<std::size_t>(i)] = true;
                return i;
            }
        return -1;
    }

    void keepServerVersion(const std::string& href, const std::string& etag, const SyncItem& v) {
        if (v.kind == SyncEntryKind::Unsupported) {
            entries.push_back({SyncEntryKind::Unsupported, href, etag, v.uid, 0, 0});
            return;
        }
        if (takeFresh(v) < 0) {
            if (v.kind == SyncEntryKind::Memo)
                result.memosToAdd.push_back(v.memo);
            else
                result.rulesToAdd.push_back(v.rule);
            ++result.downloaded;
        }
        entries.push_back({v.kind, href, etag, v.uid, v.hash, v.key});
    }

    void removeLocal(const SyncItem& item) {
        if (item.kind == SyncEntryKind::Memo)
            result.memosToRemove.push_back(item.memo);
        else if (item.kind == SyncEntryKind::Rule)
            result.rulesToRemove.push_back(item.rule);
    }

    std::string newHref(const SyncItem& item, int place, std::string* uid) {
        for (;; ++place) {
            *uid = syncUid(item, place);
            const std::string href = collectionPath + *uid + ".ics";
            if (usedHrefs.insert(href).second) return href;
        }
    }

    void upload(const SyncItem& item, int place, bool conflict) {
        Op op;
        op.kind = Op::Put;
        op.item = item;
        op.conflict = conflict;
        op.href = newHref(item, place, &op.uid);
        ops.push_back(std::move(op));
    }

    // What to do, decided off the loop (thousands of events are read and compared), then done.
    void decide() {
        offLoop([this] { reconcile(); }, [this] {
            opsTotal = ops.size();
            if (ops.empty()) return complete();
            sinceSave.start();
            for (std::size_t i = 0; i < kParallelRequests; ++i) nextOp();
        });
    }

    void reconcile() {
        entryLocal.assign(old.entries.size(), -1);
        localTaken.assign(local.size(), false);
        std::unordered_map<std::uint64_t, std::vector<int>> byHash;
        for (std::size_t i = 0; i < local.size(); ++i) byHash[local[i].hash].push_back(static_cast<int>(i));
        for (const SyncEntry& e : old.entries) usedHrefs.insert(e.href);
        for (const auto& [href, etag] : listed) usedHrefs.insert(href);
        // Each entry takes a local item of its value.
        for (std::size_t e = 0; e < old.entries.size(); ++e) {
            const SyncEntry& entry = old.entries[e];
            if (entry.kind == SyncEntryKind::Unsupported) continue;
            auto it = byHash.find(entry.hash);
            if (it == byHash.end()) continue;
            for (int i : it->second)
                if (!localTaken[static_cast<std::size_t>(i)] && local[static_cast<std::size_t>(i)].kind == entry.kind) {
                    localTaken[static_cast<std::size_t>(i)] = true;
                    entryLocal[e] = i;
                    break;
                }
        }
        for (std::size_t i = 0; i < local.size(); ++i)
            if (!localTaken[i]) freshByHash[local[i].hash].push_back(static_cast<int>(i));

        enum class Server { Same, Changed, Gone };
        std::vector<Server> server(old.entries.size(), Server::Same);
        std::vector<SyncItem> serverValue(old.entries.size());
        std::vector<std::string> serverEtag(old.entries.size());
        std::set<std::string> known;
        for (std::size_t e = 0; e < old.entries.size(); ++e) {
            const SyncEntry& entry = old.entries[e];
            known.insert(entry.href);
            serverEtag[e] = entry.etag;
            const auto l = listed.find(entry.href);
            const bool gone = removed.count(entry.href) || (fullListing && l == listed.end());
            if (gone) {
                server[e] = Server::Gone;
                continue;
            }
            if (l == listed.end() || (!l->second.empty() && l->second == entry.etag)) continue;
            const auto f = fetched.find(entry.href);
            if (f == fetched.end()) {  // listed as changed but not fetched: again next time
                keepOldToken = true;
                continue;
            }
            serverEtag[e] = f->second.first;
            serverValue[e] = classifyEvent(f->second.second);
            if (serverValue[e].kind == entry.kind && serverValue[e].hash == entry.hash) continue;  // same value
            server[e] = Server::Changed;
        }
        for (const auto& [href, etag] : listed)
            if (!known.count(href) && !fetched.count(href)) keepOldToken = true;
        unsupportedBefore = static_cast<std::size_t>(
            std::count_if(old.entries.begin(), old.entries.end(),
                          [](const SyncEntry& e) { return e.kind == SyncEntryKind::Unsupported; }));

        // Changes there that a local item already equals are linked to it first.
        std::vector<bool> handled(old.entries.size(), false);
        for (std::size_t e = 0; e < old.entries.size(); ++e) {
            if (server[e] != Server::Changed || serverValue[e].kind == SyncEntryKind::Unsupported) continue;
            const int i = takeFresh(serverValue[e]);
            if (i < 0) continue;
            handled[e] = true;
            if (entryLocal[e] >= 0) removeLocal(local[static_cast<std::size_t>(entryLocal[e])]);
            const SyncItem& v = serverValue[e];
            entries.push_back({v.kind, old.entries[e].href, serverEtag[e], v.uid, v.hash, v.key});
        }
        // New events there.
        for (const auto& [href, data] : fetched) {
            if (known.count(href)) continue;
            keepServerVersion(href, data.first, classifyEvent(data.second));
        }
        // A local item gone with a new one of the same date (or month, for rules): changed here.
        std::vector<int> changedTo(old.entries.size(), -1);
        std::map<std::pair<char, std::int32_t>, std::deque<int>> freshByKey;
        for (std::size_t i = 0; i < local.size(); ++i)
            if (!localTaken[i]) freshByKey[{static_cast<char>(local[i].kind), local[i].key}].push_back(static_cast<int>(i));
        for (std::size_t e = 0; e < old.entries.size(); ++e) {
            const SyncEntry& entry = old.entries[e];
            if (handled[e] || entryLocal[e] >= 0 || entry.kind == SyncEntryKind::Unsupported) continue;
            auto& q = freshByKey[{static_cast<char>(entry.kind), entry.key}];
            while (!q.empty() && localTaken[static_cast<std::size_t>(q.front())]) q.pop_front();
            if (q.empty()) continue;
            changedTo[e] = q.front();
            localTaken[static_cast<std::size_t>(q.front())] = true;
            q.pop_front();
        }

        for (std::size_t e = 0; e < old.entries.size(); ++e) {
            if (handled[e]) continue;
            const SyncEntry& entry = old.entries[e];
            const SyncItem& v = serverValue[e];
            if (entry.kind == SyncEntryKind::Unsupported) {
                if (server[e] == Server::Same) entries.push_back(entry);
                else if (server[e] == Server::Changed) keepServerVersion(entry.href, serverEtag[e], v);
                continue;
            }
            const bool here = entryLocal[e] >= 0;
            const int to = changedTo[e];
            switch (server[e]) {
            case Server::Same:
                if (here) {
                    SyncEntry kept = entry;
                    kept.etag = serverEtag[e];
                    entries.push_back(kept);
                } else if (to >= 0) {
                    Op op;
                    op.kind = Op::Put;
                    op.href = entry.href;
                    op.etag = entry.etag;
                    op.uid = entry.uid;
                    op.item = local[static_cast<std::size_t>(to)];
                    ops.push_back(std::move(op));
                } else {
                    Op op;
                    op.kind = Op::Delete;
                    op.href = entry.href;
                    op.etag = entry.etag;
                    ops.push_back(std::move(op));
                }
                break;
            case Server::Changed:
                if (here) removeLocal(local[static_cast<std::size_t>(entryLocal[e])]);
                keepServerVersion(entry.href, serverEtag[e], v);
                if (to >= 0) {  // changed on both sides: both kept
                    conflictAt(local[static_cast<std::size_t>(to)], &v);
                    upload(local[static_cast<std::size_t>(to)], 0, true);
                }
                break;
            case Server::Gone:
                if (here) removeLocal(local[static_cast<std::size_t>(entryLocal[e])]);
                if (to >= 0) upload(local[static_cast<std::size_t>(to)], 0, false);  // the change is kept
                break;
            }
        }
        // New here.
        std::unordered_map<std::uint64_t, int> places;
        for (std::size_t i = 0; i < local.size(); ++i) {
            const int place = places[local[i].hash]++;
            if (!localTaken[i]) upload(local[i], place, false);
        }
    }

    void conflictAt(const SyncItem& ours, const SyncItem* theirs) {
        auto add = [this](const SyncItem& it) {
            if (it.kind != SyncEntryKind::Memo) return;
            result.conflicts.push_back({it.memo.year, it.memo.month, it.memo.day});
        };
        if (theirs) add(*theirs);
        add(ours);
        if (ours.kind == SyncEntryKind::Rule && result.conflicts.empty()) result.conflicts.push_back({0, ours.rule.month, ours.rule.day});
    }

    // ---- uploading -----------------------------------------------------------------------------
    void nextOp() {
        if (ops.empty() || done) return;
        Op op = std::move(ops.front());
        ops.pop_front();
        ++inFlight;
        if (op.kind == Op::Delete) {
            send("DELETE", urlOf(op.href), {}, {{"If-Match", QByteArray::fromStdString(op.etag)}},
                 [this, op](Answer& a) { deleted(op, a); });
            return;
        }
        std::vector<std::pair<QByteArray, QByteArray>> headers{{"Content-Type", "text/calendar; charset=utf-8"}};
        if (op.etag.empty())
            headers.push_back({"If-None-Match", "*"});
        else
            headers.push_back({"If-Match", QByteArray::fromStdString(op.etag)});
        const std::string bytes = encodeItem(op.item, op.uid);
        send("PUT", urlOf(op.href), QByteArray::fromStdString(bytes), std::move(headers),
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
        if (!statePath.isEmpty()) saveSyncState(statePath, durableState());
    }

    // While events go up, the state file is saved on a pool thread from a copy, so that the loop
    // never waits for the disk: one save at a time (a checkpoint due while one is written is left
    // to the next), and none still being written once the run has ended, so that no later save
    // is overwritten by it.
    QFuture<void> checkpoint;
    void saveCheckpoint() {
        if (statePath.isEmpty() || (checkpoint.isValid() && !checkpoint.isFinished())) return;
        checkpoint = offLoop([path = statePath, bytes = writeSyncState(durableState())] { atomicReplace(path, bytes); },
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

    void put(const Op& op, Answer& a) {
        if (a.status >= 200 && a.status < 300) {
            const SyncEntry entry{op.item.kind, op.href, a.etag, op.uid, op.item.hash, op.item.key};
            entries.push_back(entry);
            setDurable(op.href, &entry);
            ++result.uploaded;
            return opDone();
        }
        if (a.status == 412) {
            // Changed there since we looked, or a name already taken: see what is there.
            return send("GET", urlOf(op.href), {}, {}, [this, op](Answer& g) {
                if (g.status == 200) {
                    const SyncItem v = classifyEvent(g.body.toStdString());
                    if (v.kind == op.item.kind && v.hash == op.item.hash) {
                        const SyncEntry entry{v.kind, op.href, g.etag, v.uid, v.hash, v.key};
                        entries.push_back(entry);
                        setDurable(op.href, &entry);
                        return opDone();
                    }
                    if (!op.etag.empty()) {  // ours changed, theirs changed: both kept
                        keepServerVersion(op.href, g.etag, v);
                        conflictAt(op.item, &v);
                    }
                } else if (g.status != 404) {
                    return fail(SyncStatus::ServerError, g.status);
                }
                if (op.tries >= kNewNameTries) return fail(SyncStatus::ServerError, 412);
                Op again = op;
                again.etag.clear();
                again.tries = op.tries + 1;
                if (g.status != 404 || !op.etag.empty()) again.href = newHref(op.item, op.tries + 1, &again.uid);
                ops.push_front(std::move(again));
                ++opsTotal;
                opDone();
            });
        }
        fail(SyncStatus::ServerError, a.status);
    }

    void deleted(const Op& op, Answer& a) {
        if ((a.status >= 200 && a.status < 300) || a.status == 404) {
            setDurable(op.href, nullptr);
            ++result.deletedOnServer;
            return opDone();
        }
        if (a.status == 412) {  // deleted here, changed there: the change is kept
            return send("GET", urlOf(op.href), {}, {}, [this, op](Answer& g) {
                if (g.status == 200) keepServerVersion(op.href, g.etag, classifyEvent(g.body.toStdString()));
                else if (g.status != 404) return fail(SyncStatus::ServerError, g.status);
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
        result.message = lines.join(QLatin1Char('\n'));
        if (opsTotal > 0) saveDurable();
        finish(std::move(result));
    }
};

CalDavSync::CalDavSync(QNetworkAccessManager* network, QObject* parent) : QObject(parent), network_(network) {
    connect(network_, &QNetworkAccessManager::authenticationRequired, this,
            [this](QNetworkReply* reply, QAuthenticator* auth) {
                if (!run_ || reply->property("sorvelSync").value<void*>() != run_.get()) return;
                // The challenge is answered once; a second one means the password is wrong.
                if (reply->property("sorvelAuthTried").toBool()) return;
                reply->setProperty("sorvelAuthTried", true);
                auth->setUser(run_->config.user);
                auth->setPassword(run_->password);
            });
}

CalDavSync::~CalDavSync() {
    if (run_) {
        run_->done = true;
        run_->waitForCheckpoint();
        for (QNetworkReply* reply : std::set<QNetworkReply*>(run_->replies)) reply->abort();
    }
}

void CalDavSync::start(const SyncConfig& config, const QString& password, SyncSnapshot snapshot,
                       const QString& statePath) {
    if (run_) return;
    run_ = std::make_shared<Run>();
    run_->self = run_;
    Run& r = *run_;
    r.owner = this;
    r.network = network_;
    r.config = config;
    QString path = config.collection.path();
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    r.config.collection.setPath(path);
    r.collectionPath = r.config.collection.path(QUrl::FullyDecoded).toStdString();
    r.password = password;
    r.statePath = statePath;
    // Without user and password: the state file never holds a secret.
    const std::string collection = r.config.collection.toString(QUrl::RemoveUserInfo).toStdString();
    if (!statePath.isEmpty()) r.old = loadSyncState(statePath);
    if (r.old.collection != collection) r.old = SyncState{};  // another calendar: all from the start
    r.old.collection = collection;
    r.durable = r.old;
    for (std::size_t i = 0; i < r.durable.entries.size(); ++i) r.durableAt.emplace(r.durable.entries[i].href, i);
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
