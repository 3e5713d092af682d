#pragma once
// One running copy per program directory. A lock file beside the program's files names the
// process that runs there; that process listens on a local (AF_UNIX) socket named after the
// directory, and a later start asks it to come to the front instead of running a second time.
#include <functional>
#include <map>
#include <memory>

#include <QByteArray>
#include <QString>

class QLockFile;
class QSocketNotifier;

namespace sorvel {

class SingleInstance {
public:
    explicit SingleInstance(const QString& programDir);
    // Releases the lock and stops listening.
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Start {
        First,      // this process holds the lock and listens: it runs
        Running,    // another process runs here and was asked to come to the front
        NoAnswer,   // another live process holds the lock but did not answer within the wait
        Unguarded,  // the lock cannot be taken here (no permission, or held by another machine
                    // sharing the folder); this process runs and listens all the same
    };
    // Takes the lock (one left by a process that has ended is taken over) or finds the
    // process holding it. Writes nothing but the lock file, and only when it is taken.
    Start claim(int waitMs = 5000);

    // Runs on the event loop of the first process for each later start.
    void setActivationHandler(std::function<void()> handler) { onActivate_ = std::move(handler); }

    // "sorvel.lock" in the program directory.
    static QString lockPath(const QString& programDir);
    // The local socket of a program directory: per user, from the directory's canonical path,
    // in the user's runtime directory (else the temporary directory).
    static QString serverName(const QString& programDir);

private:
    bool askRunningToActivate();
    bool listen();
    void accept();
    void readRequest(int fd);
    void drop(int fd);

    QString programDir_;
    std::unique_ptr<QLockFile> lock_;
    int serverFd_ = -1;
    QString socketPath_;  // the socket file this process made, removed when it ends
    std::unique_ptr<QSocketNotifier> server_;
    struct Request {
        QSocketNotifier* notifier;
        QByteArray received;
    };
    std::map<int, Request> requests_;  // by descriptor
    std::function<void()> onActivate_;
};

}  // namespace sorvel
