#pragma once
// Time for the waits of a service start or stop. The wait sleeps between status queries;
// a test supplies a clock that only records, the window one that keeps painting.
#include <QtGlobal>

namespace app {

class WaitClock
{
public:
    virtual ~WaitClock() = default;
    virtual qint64 nowMs() = 0; // monotonic
    virtual void sleepMs(qint64 ms) = 0;
};

// Blocks the calling thread (vardoctl).
class SleepingWaitClock : public WaitClock
{
public:
    qint64 nowMs() override;
    void sleepMs(qint64 ms) override;
};

// Processes the events of the calling thread while it waits and drops user input, so a
// window keeps painting yet takes no clicks or keys, not even later.
class PaintingWaitClock : public SleepingWaitClock
{
public:
    void sleepMs(qint64 ms) override;
};

} // namespace app
