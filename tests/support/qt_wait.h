// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Waits that keep the event loop turning, bounded so that a slow machine
// fails a test instead of hanging it.

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

namespace melnix::test {

template <typename Pred>
bool waitUntil(Pred p, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!p() && t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return p();
}

// Lets the event loop run for a while (for checking that something does not happen).
inline void pumpFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
}

}  // namespace melnix::test
