#include "platform/termination.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace sorvel {

namespace {

int g_pipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    // Only async-signal-safe work here: one byte into the pipe.
    [[maybe_unused]] ssize_t n = ::write(g_pipe[0], &c, 1);
}

}  // namespace

bool installTerminationHandler(QObject* context, std::function<void()> onTerminate) {
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return false;
    ::fcntl(g_pipe[0], F_SETFL, O_NONBLOCK);
    auto* notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [onTerminate = std::move(onTerminate)] {
        char buf[16];
        while (::read(g_pipe[1], buf, sizeof buf) > 0) {
        }
        onTerminate();
    });
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        if (::sigaction(sig, &sa, nullptr) != 0) return false;
    return true;
}

}  // namespace sorvel
