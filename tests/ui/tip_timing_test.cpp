// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/core/tip_timing.h"

#include <gtest/gtest.h>

namespace melnix {
namespace {

using Action = TipWatchState::Action;

constexpr TipPoint kHere{100, 100};
constexpr TipPoint kThere{140, 100};

// Ticks every 55 ms from `from` while the cursor stays at p; returns the
// time of the first tick that gives `wanted`, or -1 when none does up to `to`.
int64_t firstTickWith(TipWatchState& s, Action wanted, TipPoint p, int64_t from, int64_t to) {
    for (int64_t t = from; t <= to; t += kTipTickMs)
        if (s.tick(t, p, false) == wanted) return t;
    return -1;
}

TEST(TipWatch, AsksAfterTheCursorRestedThreeHundredMs) {
    TipWatchState s;
    EXPECT_EQ(s.tick(0, kHere, false), Action::None);
    EXPECT_EQ(s.tick(299, kHere, false), Action::None);
    EXPECT_EQ(s.tick(300, kHere, false), Action::AskForTip);
    // Nobody answered: it asks again on the next tick.
    EXPECT_EQ(s.tick(355, kHere, false), Action::AskForTip);
}

TEST(TipWatch, MovingRestartsTheRest) {
    TipWatchState s;
    s.tick(0, kHere, false);
    s.tick(250, kHere, false);
    EXPECT_EQ(s.tick(280, kThere, false), Action::None);
    EXPECT_EQ(s.tick(300, kThere, false), Action::None);
    EXPECT_EQ(s.tick(579, kThere, false), Action::None);
    EXPECT_EQ(s.tick(580, kThere, false), Action::AskForTip);
}

TEST(TipWatch, ShownTipGoesAfterTwentySecondsAndStaysAwayUntilTheMouseMoves) {
    TipWatchState s;
    s.tick(0, kHere, false);
    ASSERT_EQ(s.tick(300, kHere, false), Action::AskForTip);
    s.tipShown(300);
    EXPECT_TRUE(s.tipVisible());
    EXPECT_FALSE(s.idle());  // the tip is to run out
    EXPECT_EQ(s.tick(355, kHere, false), Action::None);  // no asking while one is shown
    EXPECT_EQ(s.tick(300 + 19999, kHere, false), Action::None);
    EXPECT_EQ(s.tick(300 + 20000, kHere, false), Action::HideTip);
    EXPECT_FALSE(s.tipVisible());
    EXPECT_TRUE(s.idle());
    EXPECT_EQ(firstTickWith(s, Action::AskForTip, kHere, 20355, 60000), -1);
    s.tick(60100, kThere, false);
    EXPECT_EQ(s.tick(60400, kThere, false), Action::AskForTip);
}

TEST(TipWatch, ShownTipStaysWhileTheMouseMoves) {
    TipWatchState s;
    s.tick(0, kHere, false);
    s.tick(300, kHere, false);
    s.tipShown(300);
    EXPECT_EQ(s.tick(400, kThere, false), Action::None);
    EXPECT_EQ(s.tick(1000, kThere, false), Action::None);
    EXPECT_TRUE(s.tipVisible());
    EXPECT_EQ(s.tick(20300, kThere, false), Action::HideTip);
}

TEST(TipWatch, ClickOrKeyHidesTheTipAndSuppressesUntilAFreeMove) {
    TipWatchState s;
    s.tick(0, kHere, false);
    s.tick(300, kHere, false);
    s.tipShown(300);
    EXPECT_TRUE(s.userInput(500));
    EXPECT_FALSE(s.tipVisible());
    EXPECT_TRUE(s.suppressed());
    EXPECT_TRUE(s.idle());  // nothing to do until the mouse moves
    EXPECT_EQ(firstTickWith(s, Action::AskForTip, kHere, 555, 5000), -1);
    // Moving with a button held (dragging) does not end the suppression.
    EXPECT_EQ(s.tick(5100, kThere, true), Action::None);
    EXPECT_EQ(firstTickWith(s, Action::AskForTip, kThere, 5155, 9000), -1);
    // A move with the buttons up does, and the rest counts from it.
    s.tick(9100, kHere, false);
    EXPECT_FALSE(s.suppressed());
    EXPECT_FALSE(s.idle());
    EXPECT_EQ(firstTickWith(s, Action::AskForTip, kHere, 9155, 12000), 9100 + 6 * kTipTickMs);
}

TEST(TipWatch, InputWithoutATipHidesNothing) {
    TipWatchState s;
    s.tick(0, kHere, false);
    EXPECT_FALSE(s.userInput(100));
    EXPECT_TRUE(s.suppressed());
}

}  // namespace
}  // namespace melnix
