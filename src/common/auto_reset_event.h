// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An event that releases one waiter and then resets itself, with bounded
// waits; threads that the engines run are coordinated with these and atomics.

#include <condition_variable>
#include <mutex>

namespace melnix {

class AutoResetEvent {
public:
    void set();
    void reset();
    // Waits until the event is set or timeoutMs pass; a negative timeout waits
    // without limit. True when the event was set (and is now reset again).
    bool wait(int timeoutMs = -1);

private:
    std::mutex mutex_;
    std::condition_variable cond_;
    bool signalled_ = false;
};

}  // namespace melnix
