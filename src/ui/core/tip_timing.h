// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When the help text of the thing under a resting mouse cursor is asked for
// and how long it stays: the timing of the tip watcher without any window,
// driven by the watcher's ticks and the user's clicks and keys.

#include <cstdint>

namespace melnix {

constexpr int kTipTickMs = 55;
constexpr int kTipRestMs = 300;     // the cursor must rest this long
constexpr int kTipLifeMs = 20000;   // a shown tip goes away after this

struct TipPoint {
    int x = 0;
    int y = 0;
    bool operator==(const TipPoint&) const = default;
};

class TipWatchState {
public:
    enum class Action { None, AskForTip, HideTip };

    // One tick of the watcher with the cursor at screen point p.
    Action tick(int64_t nowMs, TipPoint p, bool buttonHeld);
    // The window under the cursor answered with a text, now on show.
    void tipShown(int64_t nowMs);
    // A click or a key: no tips until the mouse moves with no button held.
    // True when a shown tip must be taken away.
    bool userInput(int64_t nowMs);

    bool tipVisible() const { return tipVisible_; }
    // When the tip on show runs out; nothing else can happen to it before
    // then but a click or a key.
    int64_t tipEndMs() const { return shownAt_ + kTipLifeMs; }
    // Nothing can happen until the cursor moves: no tip to run out, none to
    // ask for (after a click or a key, or where one ran out).
    bool idle() const { return !tipVisible_ && (suppressed_ || expiredHere_); }
    bool suppressed() const { return suppressed_; }

private:
    bool started_ = false;
    TipPoint last_;
    int64_t restStart_ = 0;
    bool suppressed_ = false;
    bool tipVisible_ = false;
    int64_t shownAt_ = 0;
    // A tip that ran out stays away until the cursor moves; asking again at
    // once would only flash the same text back.
    bool expiredHere_ = false;
};

}  // namespace melnix
