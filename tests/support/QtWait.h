// Waits, handling events, until a condition holds: for results that arrive
// asynchronously. Bounded, so that a test that fails does not hang.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace testsupport {

template <class F>
bool WaitFor(F&& condition, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace testsupport
