// The sync engine against a real Radicale server on loopback, started here with its storage in a
// temporary folder and stopped at the end: a first sync of 10,000 notes, a sync with nothing
// changed, and the longest gap between two turns of the event loop while a sync runs (a window
// on that loop repaints within that gap). Radicale's storage is kept in memory (/dev/shm, where
// its fsync costs nothing) when there is one: the bench measures the engine and the protocol,
// not the disk.
//   build/bench/bench_sync --benchmark_counters_tabular=true
//   SORVEL_BENCH_NOTES=1000 build/bench/bench_sync
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
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
#include "sync/caldav_sync.h"

using namespace sorvel;

namespace {

// SORVEL_BENCH_NOTES sets another count (the names of the benchmarks stay).
const int kNotes = qEnvironmentVariableIsSet("SORVEL_BENCH_NOTES") ? qEnvironmentVariableIntValue("SORVEL_BENCH_NOTES") : 10000;
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
};

Radicale* server = nullptr;

SyncSnapshot notes() {
    SyncSnapshot s;
    const std::string captions[] = {sjis("会議"), sjis("歯医者の予約"), sjis("誕生日"), "Report"};
    for (int i = 0; i < kNotes; ++i) {
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
    ticks.setInterval(0);
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        out.longestGapMs = std::max(out.longestGapMs, static_cast<double>(turn.nsecsElapsed()) / 1e6);
        turn.restart();
    });
    engine.start({calendar, kUser, kSyncTimeoutMs}, kPassword, std::move(snapshot), statePath);
    turn.start();
    ticks.start();
    loop.exec();
    if (out.result.status != SyncStatus::Ok)
        std::fprintf(stderr, "bench_sync: the sync failed: %s\n", out.result.message.toStdString().c_str());
    if (out.result.stateChanged) saveSyncState(statePath, out.result.state);
    return out;
}

void BM_FirstSync10000(benchmark::State& state) {
    QNetworkAccessManager network;
    QTemporaryDir dir;
    double gap = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QUrl calendar = server->newCalendar(network);
        const QString statePath = dir.filePath(QStringLiteral("first-%1.sync").arg(server->calendars));
        SyncSnapshot snapshot = notes();
        state.ResumeTiming();
        const Outcome o = sync(network, calendar, std::move(snapshot), statePath);
        if (o.result.uploaded != static_cast<std::size_t>(kNotes)) state.SkipWithError("not every note was uploaded");
        gap = std::max(gap, o.longestGapMs);
    }
    state.counters["longest_loop_gap_ms"] = gap;
}
BENCHMARK(BM_FirstSync10000)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_NothingChanged10000(benchmark::State& state) {
    QNetworkAccessManager network;
    QTemporaryDir dir;
    const QUrl calendar = server->newCalendar(network);
    const QString statePath = dir.filePath(QStringLiteral("same.sync"));
    if (sync(network, calendar, notes(), statePath).result.uploaded != static_cast<std::size_t>(kNotes))
        state.SkipWithError("the first sync did not upload every note");
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
