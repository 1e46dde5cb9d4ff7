// Termination requests arrive in the event loop, not in the signal handler.
#include "platform/termination_signals.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <csignal>

using namespace platform;

TEST(TerminationSignals, SignalsReachTheEventLoopInOrder)
{
    QList<int> received;
    const TerminationSignals termination([&](int signalNumber) { received.append(signalNumber); });
    ::raise(SIGTERM);
    ::raise(SIGINT);
    EXPECT_TRUE(received.isEmpty()); // nothing runs inside the handler
    const QDeadlineTimer deadline(5000);
    while (received.size() < 2 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(received, (QList<int>{SIGTERM, SIGINT}));
}

TEST(TerminationSignals, SignalNames)
{
    EXPECT_EQ(signalName(SIGTERM), QStringLiteral("SIGTERM"));
    EXPECT_EQ(signalName(SIGHUP), QStringLiteral("SIGHUP"));
}
