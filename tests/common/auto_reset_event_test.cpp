// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/auto_reset_event.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace melnix {
namespace {

TEST(AutoResetEvent, ReleasesOneWaitThenResets) {
    AutoResetEvent e;
    EXPECT_FALSE(e.wait(0));
    e.set();
    EXPECT_TRUE(e.wait(0));
    EXPECT_FALSE(e.wait(10));  // reset by the first wait
    e.set();
    e.reset();
    EXPECT_FALSE(e.wait(0));
}

TEST(AutoResetEvent, WakesAWaiterOnAnotherThread) {
    AutoResetEvent e;
    std::atomic<bool> woke{false};
    std::thread t([&] { woke = e.wait(30000); });
    e.set();
    t.join();
    EXPECT_TRUE(woke);
}

}  // namespace
}  // namespace melnix
