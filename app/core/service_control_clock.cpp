#include "app/core/service_control_clock.h"

#include "suite/user_input_guard.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>

namespace app {
namespace {

// A steady time base shared by all clocks of the process.
const QElapsedTimer &processTimer()
{
    static const QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}

} // namespace

qint64 SleepingWaitClock::nowMs()
{
    return processTimer().elapsed();
}

void SleepingWaitClock::sleepMs(qint64 ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void PaintingWaitClock::sleepMs(qint64 ms)
{
    const suite::UserInputGuard noInput;
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(qMax<qint64>(1, deadline.remainingTime())));
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(10, qMax<qint64>(0, deadline.remainingTime()))));
    }
}

} // namespace app
