#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>

using namespace sorvel;
using Start = SingleInstance::Start;

namespace {

// A later start runs on its own thread, as it would in its own process: the running one answers
// from its event loop meanwhile.
Start startAgain(const QString& dir, int waitMs = 3000) {
    auto later = std::async(std::launch::async, [&] { return SingleInstance(dir).claim(waitMs); });
    while (later.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return later.get();
}

std::string lockText(const QString& dir) {
    QFile f(SingleInstance::lockPath(dir));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
}

void writeLock(const QString& dir, qint64 pid, const QString& host) {
    QFile f(SingleInstance::lockPath(dir));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // Qt's lock files name the process by its executable: this test's, so that a live process
    // is not taken for a reused process number.
    const QByteArray exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
    f.write(QByteArray::number(pid) + "\n" + exe + "\n" + host.toUtf8() + "\n");
}

// The socket file a killed process leaves: bound, never removed, nobody listening.
void leaveSocketFile(const QString& name) {
    const QString path = QDir::isAbsolutePath(name) ? name : QDir::temp().filePath(name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    ASSERT_LT(static_cast<std::size_t>(bytes.size()), sizeof address.sun_path);
    std::copy(bytes.begin(), bytes.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

qint64 endedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

}  // namespace

TEST(SingleInstance, ALaterStartFindsTheRunningOneAndAsksItToComeToTheFront) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string ours = std::to_string(QCoreApplication::applicationPid()) + "\n";
    leaveSocketFile(SingleInstance::serverName(dir.path()));
    {
        SingleInstance first(dir.path());
        int activated = 0;
        first.setActivationHandler([&] { ++activated; });
        ASSERT_EQ(first.claim(), Start::First);
        EXPECT_EQ(lockText(dir.path()).substr(0, ours.size()), ours);

        EXPECT_EQ(startAgain(dir.path()), Start::Running);
        EXPECT_EQ(activated, 1);
        EXPECT_EQ(startAgain(dir.path()), Start::Running);
        EXPECT_EQ(activated, 2);
        // The later starts leave the lock as it was.
        EXPECT_EQ(lockText(dir.path()).substr(0, ours.size()), ours);
    }
    // Released when the first ends: the next start runs.
    EXPECT_FALSE(QFileInfo::exists(SingleInstance::lockPath(dir.path())));
    SingleInstance next(dir.path());
    EXPECT_EQ(next.claim(), Start::First);
}

TEST(SingleInstance, LocksLeftBehindAreJudgedByTheirProcess) {
    const QString here = QSysInfo::machineHostName();
    const std::string ours = std::to_string(QCoreApplication::applicationPid()) + "\n";
    struct Case {
        const char* what;
        qint64 pid;
        QString host;
        Start expected;
    } cases[] = {
        // kill -9: the process has ended, its lock is taken over.
        {"ended process", endedProcess(), here, Start::First},
        // A live process that never answers (it hangs): this start does not run beside it.
        {"live process, no answer", QCoreApplication::applicationPid(), here, Start::NoAnswer},
        // The same, its lock written by Qt itself.
        {"held by Qt, no answer", 0, here, Start::NoAnswer},
        // Written on another machine sharing the folder: runs, without the lock.
        {"other machine", QCoreApplication::applicationPid(), QStringLiteral("elsewhere.invalid"), Start::Unguarded},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        QLockFile held(SingleInstance::lockPath(dir.path()));
        if (c.pid != 0)
            writeLock(dir.path(), c.pid, c.host);
        else
            ASSERT_TRUE(held.tryLock(0));
        const std::string before = lockText(dir.path());
        SingleInstance start(dir.path());
        EXPECT_EQ(start.claim(300), c.expected) << c.what;
        // Taken over: the lock names this process. Otherwise it stays as it was.
        const std::string after = lockText(dir.path());
        if (c.expected == Start::First)
            EXPECT_EQ(after.substr(0, ours.size()), ours) << c.what;
        else
            EXPECT_EQ(after, before) << c.what;
    }
}
