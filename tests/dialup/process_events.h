#pragma once
// Runs the event loop, so asynchronous notifications are delivered, until done() holds or
// the time is up; returns done().
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

template<typename Done>
bool processEventsUntil(Done done, int ms = 20000)
{
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return done();
}
