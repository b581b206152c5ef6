// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/background_work.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

namespace melnix {

void prepareProgress(QProgressDialog& progress, const QString& title) {
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
}

void runBeside(QProgressDialog& progress, const std::function<void()>& work, const std::function<void()>& tick,
               int pollMs) {
    progress.show();
    std::atomic<bool> finished{false};
    QEventLoop loop;
    std::thread worker([&] {
        work();
        finished = true;
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &progress, tick);
    poll.start(pollMs);
    if (!finished.load()) loop.exec();
    worker.join();
    poll.stop();
    progress.close();
}

}  // namespace melnix
