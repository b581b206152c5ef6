// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/auto_reset_event.h"

#include <chrono>

namespace melnix {

void AutoResetEvent::set() {
    // Notify under the lock: once the waiter sees the flag it may return and
    // destroy the event, so set() must be done with it by then.
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = true;
    cond_.notify_one();
}

void AutoResetEvent::reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = false;
}

bool AutoResetEvent::wait(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    auto ready = [this] { return signalled_; };
    if (timeoutMs == 0) {
        // A look, not a wait: no sleep on the condition, which would cost a
        // system call every time (the wave engine looks once per MP3 frame).
        if (!signalled_) return false;
    } else if (timeoutMs < 0) {
        cond_.wait(lock, ready);
    } else if (!cond_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
        return false;
    }
    signalled_ = false;
    return true;
}

}  // namespace melnix
