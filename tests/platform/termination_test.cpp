#include "platform/termination.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>

using namespace sorvel;

TEST(Termination, SignalsBecomeCallsOnTheEventLoop) {
    QObject context;
    int calls = 0;
    ASSERT_TRUE(installTerminationHandler(&context, [&] { ++calls; }));
    ::raise(SIGTERM);
    // Nothing runs inside the signal handler itself.
    EXPECT_EQ(calls, 0);
    QElapsedTimer t;
    t.start();
    while (calls == 0 && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(calls, 1);
    ::raise(SIGHUP);
    t.restart();
    while (calls == 1 && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(calls, 2);
    // Restore the defaults for the rest of the test run.
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
}
