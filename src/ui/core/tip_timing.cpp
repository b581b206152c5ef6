// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/core/tip_timing.h"

namespace melnix {

TipWatchState::Action TipWatchState::tick(int64_t nowMs, TipPoint p, bool buttonHeld) {
    if (!started_ || p != last_) {
        started_ = true;
        last_ = p;
        restStart_ = nowMs;
        expiredHere_ = false;
        if (!buttonHeld) suppressed_ = false;
    }
    if (tipVisible_) {
        if (nowMs - shownAt_ >= kTipLifeMs) {
            tipVisible_ = false;
            expiredHere_ = true;
            return Action::HideTip;
        }
        return Action::None;
    }
    if (!suppressed_ && !expiredHere_ && nowMs - restStart_ >= kTipRestMs) return Action::AskForTip;
    return Action::None;
}

void TipWatchState::tipShown(int64_t nowMs) {
    tipVisible_ = true;
    shownAt_ = nowMs;
}

bool TipWatchState::userInput(int64_t nowMs) {
    suppressed_ = true;
    restStart_ = nowMs;
    bool wasVisible = tipVisible_;
    tipVisible_ = false;
    return wasVisible;
}

}  // namespace melnix
