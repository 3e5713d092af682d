// The sync engine against a real Radicale server on loopback, started here with its storage in a
// temporary folder and stopped at the end, and against the tests' scripted server on a thread of
// its own (the engine's own cost, with next to none of a server's):
//   - a first sync uploading every note: to Radicale (SORVEL_BENCH_UPLOADS notes, 1,000 unless
//     set: Radicale looks through the whole collection for each new event, so each upload costs
//     more than the one before) and to the scripted server (10,000);
//   - a first sync where both sides already hold the same 10,000 (Radicale's storage is filled
//     directly with the events the engine would send): every event is fetched and linked;
//   - a sync with nothing changed, 10,000 notes;
// each with the longest gap between two turns of the event loop while the sync runs, measured
// from before the sync is started (a window on that loop repaints within that gap; the meter
// ticks every millisecond, so a gap is at most 1 ms longer than the engine's longest step).
// Radicale's storage is kept in memory (/dev/shm, where its fsync costs nothing) when there is
// one: the bench measures the engine and the protocol, not the disk.
//   build/bench/bench_sync --benchmark_counters_tabular=true
//   SORVEL_BENCH_NOTES=1000 SORVEL_BENCH_UPLOADS=200 build/bench/bench_sync
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <future>
#include <memory>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "platform/text.h"
#include "support/caldav_stub.h"
#include "sync/caldav_sync.h"
#include "sync/sync_event.h"

using namespace sorvel;

namespace {

// SORVEL_BENCH_NOTES and SORVEL_BENCH_UPLOADS set other counts (the names of the benchmarks stay).
int countFrom(const char* name, int fallback) {
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : fallback;
}
const int kNotes = countFrom("SORVEL_BENCH_NOTES", 10000);
const int kRadicaleUploads = countFrom("SORVEL_BENCH_UPLOADS", 1000);
const QString kUser = QStringLiteral("bench");
const QString kPassword = QStringLiteral("bench-password");

QString storageTemplate() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? QStringLiteral("/dev/shm/bench_sync-XXXXXX") : QString();
}

struct Radicale {
    QTemporaryDir dir = storageTemplate().isEmpty() ? QTemporaryDir() : QTemporaryDir(storageTemplate());
    QProcess process;
    QUrl base;
    int calendars = 0;

    ~Radicale() {
        process.terminate();
        if (!process.waitForFinished(5000)) process.kill();
        process.waitForFinished(2000);
    }

    bool start() {
        QProcess probe;
        probe.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import radicale")});
        if (!probe.waitForFinished(20000) || probe.exitCode() != 0) {
            std::fprintf(stderr, "bench_sync: radicale is missing (scripts/install-deps.sh installs it)\n");
            return false;
        }
        QFile users(dir.filePath(QStringLiteral("users")));
        if (!users.open(QIODevice::WriteOnly)) return false;
        users.write((kUser + QLatin1Char(':') + kPassword + QLatin1Char('\n')).toUtf8());
        users.close();
        QTcpServer free;
        free.listen(QHostAddress::LocalHost, 0);
        const quint16 port = free.serverPort();
        free.close();
        QFile config(dir.filePath(QStringLiteral("config")));
        if (!config.open(QIODevice::WriteOnly)) return false;
        config.write(QStringLiteral("[server]\nhosts = 127.0.0.1:%1\nmax_content_length = 100000000\ntimeout = 60\n"
                                    "[auth]\ntype = htpasswd\nhtpasswd_filename = %2\nhtpasswd_encryption = plain\n"
                                    "[storage]\nfilesystem_folder = %3\n"
                                    "[rights]\ntype = owner_only\n[logging]\nlevel = warning\n")
                         .arg(port)
                         .arg(users.fileName(), dir.filePath(QStringLiteral("storage")))
                         .toUtf8());
        config.close();
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral("-m"), QStringLiteral("radicale"), QStringLiteral("--config"), config.fileName()});
        for (int i = 0; i < 200; ++i) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, port);
            if (s.waitForConnected(100)) {
                base = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
                return true;
            }
            if (process.state() == QProcess::NotRunning) break;
            QThread::msleep(50);
        }
        std::fprintf(stderr, "bench_sync: Radicale did not start on port %u\n", port);
        return false;
    }

    // A new empty calendar collection.
    QUrl newCalendar(QNetworkAccessManager& network) {
        QUrl url = base;
        url.setPath(QStringLiteral("/%1/calendar-%2/").arg(kUser).arg(++calendars));
        QNetworkRequest req(url);
        req.setRawHeader("Authorization", "Basic " + (kUser + QLatin1Char(':') + kPassword).toUtf8().toBase64());
        QNetworkReply* reply = network.sendCustomRequest(req, "MKCALENDAR");
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        reply->deleteLater();
        if (status != 201) std::fprintf(stderr, "bench_sync: MKCALENDAR answered %d\n", status);
        return url;
    }

    // Puts events straight into a calendar's folder, as files of Radicale's storage.
    bool seed(const QUrl& calendar, const std::vector<std::pair<std::string, std::string>>& events) {
        const QString folder = dir.filePath(QStringLiteral("storage/collection-root") + calendar.path());
        for (const auto& [name, data] : events) {
            QFile f(folder + QString::fromStdString(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(data.data(), static_cast<qint64>(data.size())) != static_cast<qint64>(data.size()))
                return false;
        }
        return true;
    }
};

// The tests' scripted server, serving on a thread of its own until destroyed.
struct StubServer {
    std::unique_ptr<QThread> thread;
    QUrl url;

    StubServer() {
        std::promise<QString> ready;
        std::future<QString> started = ready.get_future();
        thread.reset(QThread::create([&ready] {
            CalDavStub stub;
            stub.user = kUser.toStdString();
            stub.password = kPassword.toStdString();
            ready.set_value(stub.url());
            QEventLoop loop;
            loop.exec();
        }));
        thread->start();
        url = QUrl(started.get());
    }
    ~StubServer() {
        thread->quit();
        thread->wait();
    }
};

Radicale* server = nullptr;

SyncSnapshot notes(int count = kNotes) {
    SyncSnapshot s;
    const std::string captions[] = {sjis("会議"), sjis("歯医者の予約"), sjis("誕生日"), "Report"};
    for (int i = 0; i < count; ++i) {
        TDateMemo m;
        m.year = 2000 + i % 30;
        m.month = 1 + (i / 30) % 12;
        m.day = 1 + (i / 360) % 28;
        m.caption = captions[i % 4];
        m.text = sjis("午前十時から会議室で打ち合わせ。") + std::to_string(i);
        s.memos.push_back(std::move(m));
    }
    return s;
}

struct Outcome {
    SyncResult result;
    double longestGapMs = 0;
};

// One sync on this thread's event loop; a zero timer notes the longest gap between its turns.
Outcome sync(QNetworkAccessManager& network, const QUrl& calendar, SyncSnapshot snapshot, const QString& statePath) {
    CalDavSync engine(&network);
    Outcome out;
    QEventLoop loop;
    QObject::connect(&engine, &CalDavSync::finished, &loop, [&](const SyncResult& r) {
        out.result = r;
        loop.quit();
    });
    QElapsedTimer turn;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        out.longestGapMs = std::max(out.longestGapMs, static_cast<double>(turn.nsecsElapsed()) / 1e6);
        turn.restart();
    });
    // The meter runs from before the start: what start() does on the caller's loop counts too.
    turn.start();
    ticks.start();
    engine.start({calendar, kUser, kDavTimeoutMs}, kPassword, std::move(snapshot), statePath);
    loop.exec();
    out.longestGapMs = std::max(out.longestGapMs, static_cast<double>(turn.nsecsElapsed()) / 1e6);
    if (out.result.status != SyncStatus::Ok)
        std::fprintf(stderr, "bench_sync: the sync failed: %s\n", out.result.message.toStdString().c_str());
    if (out.result.stateChanged) saveSyncState(statePath, out.result.state);
    return out;
}

// A first sync that uploads `count` notes to a new, empty calendar.
void firstUpload(benchmark::State& state, QNetworkAccessManager& network, const std::function<QUrl()>& newCalendar,
                 int count) {
    QTemporaryDir dir;
    double gap = 0;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QUrl calendar = newCalendar();
        const QString statePath = dir.filePath(QStringLiteral("first-%1.sync").arg(++run));
        SyncSnapshot snapshot = notes(count);
        state.ResumeTiming();
        const Outcome o = sync(network, calendar, std::move(snapshot), statePath);
        if (o.result.uploaded != static_cast<std::size_t>(count)) state.SkipWithError("not every note was uploaded");
        gap = std::max(gap, o.longestGapMs);
    }
    state.counters["notes"] = count;
    state.counters["longest_loop_gap_ms"] = gap;
}

void BM_FirstSyncUploadRadicale(benchmark::State& state) {
    QNetworkAccessManager network;
    firstUpload(state, network, [&] { return server->newCalendar(network); }, kRadicaleUploads);
}
BENCHMARK(BM_FirstSyncUploadRadicale)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_FirstSyncUploadStub10000(benchmark::State& state) {
    QNetworkAccessManager network;
    std::unique_ptr<StubServer> stub;
    firstUpload(state, network, [&] {
        // Each run a server of its own: the scripted one keeps a single calendar.
        stub = std::make_unique<StubServer>();
        return stub->url;
    }, kNotes);
}
BENCHMARK(BM_FirstSyncUploadStub10000)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// A Radicale calendar already holding every note, as the engine sends them.
QUrl seededCalendar(QNetworkAccessManager& network) {
    const QUrl calendar = server->newCalendar(network);
    std::vector<std::pair<std::string, std::string>> events;
    for (const SyncItem& item : syncItems(notes())) {
        const std::string uid = syncUid(item, 0);
        events.emplace_back(uid + ".ics", encodeItem(item, uid));
    }
    if (!server->seed(calendar, events)) std::fprintf(stderr, "bench_sync: the calendar could not be filled\n");
    return calendar;
}

void BM_FirstSyncLink10000(benchmark::State& state) {
    QNetworkAccessManager network;
    QTemporaryDir dir;
    double gap = 0;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QUrl calendar = seededCalendar(network);
        const QString statePath = dir.filePath(QStringLiteral("link-%1.sync").arg(++run));
        SyncSnapshot snapshot = notes();
        state.ResumeTiming();
        const Outcome o = sync(network, calendar, std::move(snapshot), statePath);
        if (o.result.uploaded + o.result.downloaded != 0 || o.result.state.entries.size() != static_cast<std::size_t>(kNotes))
            state.SkipWithError("the same notes on both sides were not linked one to one");
        gap = std::max(gap, o.longestGapMs);
    }
    state.counters["longest_loop_gap_ms"] = gap;
}
BENCHMARK(BM_FirstSyncLink10000)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_NothingChanged10000(benchmark::State& state) {
    QNetworkAccessManager network;
    QTemporaryDir dir;
    const QUrl calendar = seededCalendar(network);
    const QString statePath = dir.filePath(QStringLiteral("same.sync"));
    if (sync(network, calendar, notes(), statePath).result.state.entries.size() != static_cast<std::size_t>(kNotes))
        state.SkipWithError("the first sync did not link every note");
    double gap = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SyncSnapshot snapshot = notes();
        state.ResumeTiming();
        const Outcome o = sync(network, calendar, std::move(snapshot), statePath);
        if (o.result.uploaded + o.result.downloaded + o.result.deletedOnServer != 0)
            state.SkipWithError("a sync with nothing changed changed something");
        gap = std::max(gap, o.longestGapMs);
    }
    state.counters["longest_loop_gap_ms"] = gap;
}
BENCHMARK(BM_NothingChanged10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    auto radicale = std::make_unique<Radicale>();
    if (!radicale->start()) return 1;
    server = radicale.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    server = nullptr;
    return 0;
}
