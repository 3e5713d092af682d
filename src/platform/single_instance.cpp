#include "platform/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>
#include <QSysInfo>
#include <QThread>

namespace sorvel {

namespace {

// What a later start sends and what the running process answers once it has acted.
constexpr char kActivate[] = "activate\n";
constexpr char kDone[] = "ok\n";
constexpr qsizetype kLongestRequest = 64;

// The socket address of a path; false when the path does not fit.
bool socketAddress(const QString& path, sockaddr_un* address) {
    const QByteArray bytes = QFile::encodeName(path);
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (bytes.isEmpty() || static_cast<std::size_t>(bytes.size()) >= sizeof address->sun_path) return false;
    std::memcpy(address->sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

// Waits up to ms for fd to become ready for `events`.
bool ready(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    int n;
    do n = ::poll(&p, 1, ms);
    while (n < 0 && errno == EINTR);
    return n == 1 && (p.revents & events);
}

// A socket file's path: the name as it is when it has a folder, else in the temporary directory.
QString socketPath(const QString& name) {
    return QDir::isAbsolutePath(name) ? name : QDir(QDir::tempPath()).filePath(name);
}

}  // namespace

SingleInstance::SingleInstance(const QString& programDir)
    : programDir_(programDir), lock_(std::make_unique<QLockFile>(lockPath(programDir))) {
    // A lock is stale only when its process has ended, never by its age: the program runs for
    // weeks.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    while (!requests_.empty()) drop(requests_.begin()->first);
    if (serverFd_ >= 0) {
        server_.reset();
        ::close(serverFd_);
        QFile::remove(socketPath_);
    }
    lock_->unlock();
}

QString SingleInstance::lockPath(const QString& programDir) {
    return QDir(programDir).filePath(QStringLiteral("sorvel.lock"));
}

QString SingleInstance::serverName(const QString& programDir) {
    QString canonical = QFileInfo(programDir).canonicalFilePath();
    if (canonical.isEmpty()) canonical = QFileInfo(programDir).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString name = QStringLiteral("sorvel-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
    // The user's own runtime directory where there is one; the temporary directory otherwise.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return QDir(runtime).filePath(name);
    return name;
}

SingleInstance::Start SingleInstance::claim(int waitMs) {
    QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (lock_->tryLock(0)) {
            listen();
            return Start::First;
        }
        bool guarded = lock_->error() == QLockFile::LockFailedError;
        qint64 pid = 0;
        QString host, app;
        // A lock written on another machine (a folder shared or synced between machines) says
        // nothing about the processes here.
        if (guarded && lock_->getLockInfo(&pid, &host, &app) && !host.isEmpty() &&
            host != QSysInfo::machineHostName())
            guarded = false;
        if (askRunningToActivate()) return Start::Running;
        if (!guarded) {
            listen();
            return Start::Unguarded;
        }
        // The holder may be starting (not listening yet) or ending (about to release the lock).
        if (deadline.hasExpired()) return Start::NoAnswer;
        QThread::msleep(100);
    }
}

bool SingleInstance::askRunningToActivate() {
    sockaddr_un address;
    if (!socketAddress(socketPath(serverName(programDir_)), &address)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    auto answered = [&] {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            if (errno != EINPROGRESS) return false;
            int failure = 0;
            socklen_t length = sizeof failure;
            if (!ready(fd, POLLOUT, 1000) || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &length) != 0 ||
                failure != 0)
                return false;
        }
        const std::size_t size = sizeof kActivate - 1;
        if (!ready(fd, POLLOUT, 1000) || ::send(fd, kActivate, size, MSG_NOSIGNAL) != static_cast<ssize_t>(size))
            return false;
        // The answer comes once the running process has acted on the request.
        QByteArray answer;
        while (!answer.contains('\n') && answer.size() <= kLongestRequest && ready(fd, POLLIN, 3000)) {
            char buffer[64];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            answer.append(buffer, static_cast<qsizetype>(n));
        }
        return answer == kDone;
    }();
    ::close(fd);
    return answered;
}

bool SingleInstance::listen() {
    const QString path = socketPath(serverName(programDir_));
    sockaddr_un address;
    if (!socketAddress(path, &address)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    auto bind = [&] { return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0; };
    // A socket file left by a process that was killed: nobody answered on it.
    if (!bind() && !(errno == EADDRINUSE && ::unlink(address.sun_path) == 0 && bind())) {
        ::close(fd);
        return false;
    }
    // Only this user may ask (before anyone can connect).
    ::chmod(address.sun_path, S_IRUSR | S_IWUSR);
    if (::listen(fd, 16) != 0) {
        ::close(fd);
        ::unlink(address.sun_path);
        return false;
    }
    serverFd_ = fd;
    socketPath_ = path;
    server_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(server_.get(), &QSocketNotifier::activated, server_.get(), [this] { accept(); });
    return true;
}

void SingleInstance::accept() {
    for (;;) {
        const int fd = ::accept4(serverFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
        requests_[fd] = Request{notifier, {}};
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this, fd] { readRequest(fd); });
    }
}

void SingleInstance::readRequest(int fd) {
    Request& request = requests_.at(fd);
    char buffer[64];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) {  // the asking start gave up
        drop(fd);
        return;
    }
    request.received.append(buffer, static_cast<qsizetype>(n));
    // Only a whole request counts; anything longer is not one.
    const qsizetype end = request.received.indexOf('\n');
    if (end < 0) {
        if (request.received.size() > kLongestRequest) drop(fd);
        return;
    }
    if (request.received.left(end + 1) == kActivate) {
        if (onActivate_) onActivate_();
        ::send(fd, kDone, sizeof kDone - 1, MSG_NOSIGNAL);
    }
    drop(fd);
}

void SingleInstance::drop(int fd) {
    const auto it = requests_.find(fd);
    if (it == requests_.end()) return;
    // The notifier may be the sender of the signal being handled.
    it->second.notifier->setEnabled(false);
    it->second.notifier->deleteLater();
    ::close(fd);
    requests_.erase(it);
}

}  // namespace sorvel
