// Waiting in Qt tests for something another thread or the event loop brings.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <functional>

namespace utm::test {

/// Runs the event loop until `done` holds or `ms` have passed; whether it held.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 5000) {
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(5);
    }
    return true;
}

}  // namespace utm::test
