// The hand-over of asynchronous notifications from a notifier thread to the component's
// thread: every notification exactly once and in order, and a notifier that never waits
// for ever on a component that is gone. Runs under ThreadSanitizer in CI.
#include "dialup/tdialup.h"

#include "platform/ras_simulated_phonebook.h"

#include "process_events.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <future>
#include <memory>

using namespace dialup;
using namespace platform::ras;

namespace {

// Dials a connection that connects at once, so the component is the one receiving
// notifications; returns when the dial's own notifications have all been delivered.
void becomeDialingComponent(TDialUp &dialUp, QList<int> &states)
{
    qputenv("TELLVARA_RAS_BACKEND", "simulated");
    SimulatedEntry entry;
    entry.name = QStringLiteral("Direkt");
    entry.states = {OpeningPort};
    entry.stepDelayMs = 0;
    writeSimulatedEntry(entry);
    dialUp.SetEntry(entry.name);
    dialUp.OnAsyncEvent = [&states](TDialUp &, int state, int, const QString &) { states << state; };
    ASSERT_EQ(dialUp.Dial(), 0);
    ASSERT_TRUE(processEventsUntil([&] { return states.size() == 2; }));
    states.clear();
}

TEST(AsyncHandover, RapidNotificationsArriveOnceAndInOrder)
{
    TDialUp dialUp;
    QList<int> states;
    becomeDialingComponent(dialUp, states);
    constexpr int Count = 500;
    std::thread notifier([] {
        for (int i = 0; i < Count; ++i)
            RasDialNotifier(DialEventMessage, Dword(i), 0);
    });
    const bool all = processEventsUntil([&] { return states.size() >= Count; });
    notifier.join();
    QCoreApplication::processEvents();
    ASSERT_TRUE(all);
    ASSERT_EQ(states.size(), Count);
    for (int i = 0; i < Count; ++i)
        ASSERT_EQ(states[i], i);
    dialUp.HangUp();
}

TEST(AsyncHandover, TwoNotifiersNeverLoseOne)
{
    TDialUp dialUp;
    QList<int> states;
    becomeDialingComponent(dialUp, states);
    constexpr int PerThread = 200;
    auto send = [](int base) {
        for (int i = 0; i < PerThread; ++i)
            RasDialNotifier(DialEventMessage, Dword(base + i), 0);
    };
    std::thread first(send, 0);
    std::thread second(send, 1000);
    const bool all = processEventsUntil([&] { return states.size() >= 2 * PerThread; });
    first.join();
    second.join();
    ASSERT_TRUE(all);
    // Each thread's notifications keep their order.
    QList<int> fromFirst;
    QList<int> fromSecond;
    for (int s : states)
        (s < 1000 ? fromFirst : fromSecond) << s;
    ASSERT_EQ(fromFirst.size(), PerThread);
    ASSERT_EQ(fromSecond.size(), PerThread);
    for (int i = 0; i < PerThread; ++i) {
        EXPECT_EQ(fromFirst[i], i);
        EXPECT_EQ(fromSecond[i], 1000 + i);
    }
    dialUp.HangUp();
}

TEST(AsyncHandover, WaitingNotifierGivesUpWhenTheComponentIsDestroyed)
{
    auto dialUp = std::make_unique<TDialUp>();
    QList<int> states;
    becomeDialingComponent(*dialUp, states);
    dialUp->HangUp();
    // The first notification waits undelivered, so the second keeps the notifier waiting.
    auto notifier = std::async(std::launch::async, [] {
        RasDialNotifier(DialEventMessage, 1, 0);
        RasDialNotifier(DialEventMessage, 2, 0);
    });
    EXPECT_EQ(notifier.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    dialUp.reset();
    EXPECT_EQ(notifier.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    // The queued timer start went with the component: nothing runs on freed memory.
    QCoreApplication::processEvents();
    EXPECT_TRUE(states.isEmpty());
}

} // namespace
