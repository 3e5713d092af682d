#include "platform/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>

namespace sorvel {

namespace {

// What a later start sends and what the running process answers once it has acted.
constexpr char kActivate[] = "activate\n";
constexpr char kDone[] = "ok\n";

}  // namespace

SingleInstance::SingleInstance(const QString& programDir)
    : programDir_(programDir), lock_(std::make_unique<QLockFile>(lockPath(programDir))) {
    // A lock is stale only when its process has ended, never by its age: the program runs for
    // weeks.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
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
    // The user's own runtime directory where there is one; Qt's default (the temporary
    // directory) otherwise.
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
    QLocalSocket socket;
    socket.connectToServer(serverName(programDir_));
    if (!socket.waitForConnected(1000)) return false;
    socket.write(kActivate);
    if (!socket.waitForBytesWritten(1000)) return false;
    // The answer comes once the running process has acted on the request.
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(3000)) answer += socket.readAll();
    return answer == kDone;
}

bool SingleInstance::listen() {
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(programDir_);
    if (!server_->listen(name)) {
        // A socket file left by a process that was killed: nobody answered on it.
        QLocalServer::removeServer(name);
        if (!server_->listen(name)) return false;
    }
    QLocalServer* server = server_.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [this, server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                // Only a whole request counts; anything longer is not one.
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > 64) socket->abort();
                    return;
                }
                if (socket->readLine(64) != kActivate) {
                    socket->abort();
                    return;
                }
                if (onActivate_) onActivate_();
                socket->write(kDone);
                socket->flush();
            });
        }
    });
    return true;
}

}  // namespace sorvel
