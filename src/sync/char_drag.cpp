// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/char_drag.h"

#include <algorithm>
#include <cstdlib>

#include "common/mul_div.h"
#include "sync/line_times.h"

namespace melnix {
namespace {

// The replay starts half a second (of song time at normal speed) before the
// character.
constexpr int kReplayLeadCs = 50;
constexpr int kMidiReplayExtraUnits = 20;
// A dragged line's start may come this close to the line before it.
constexpr int kDragLineGap = 2;
// Releasing this close to the right end turns the view on by a third.
constexpr int kRightEndReach = 100;
constexpr int kMaxScrollStep = 4;
constexpr int kScrollStepDistance = 25;  // pixels outside for each further unit a step

}  // namespace

bool CharDrag::begin(const LyricSheet& sheet, int u, int timeScale, int viewOrigin, int speedPercent) {
    active_ = false;
    changed_ = false;
    CharRef at = charBoxAt(sheet, u, timeScale);
    if (!at.found()) return false;
    active_ = true;
    line_ = at.line;
    char_ = at.index;
    timeScale_ = timeScale;
    lastU_ = u;
    pointerU_ = u;
    int lead = kReplayLeadCs * timeScale;
    if (speedPercent > 0 && speedPercent != 100) lead = MulDiv(lead, 100, speedPercent);
    replayPoint_ = std::max(u - lead, viewOrigin + 1);
    return true;
}

int32_t CharDrag::limitedMove(const LyricSheet& sheet, int32_t d) const {
    const LyricLine& l = *sheet.lineAt(line_);
    if (char_ > 0) {
        if (d > 0) return std::min(d, kMaxEditedDuration - l.duration);
        int32_t room = l.charTimes[static_cast<size_t>(char_)] - l.charTimes[static_cast<size_t>(char_) - 1] - kMinCharTime;
        return std::max(d, -std::max(room, 0));
    }
    if (d > 0) return d;
    int32_t floor = line_ > 0 ? sheet.lineAt(line_ - 1)->endTime() + kDragLineGap : kDragLineGap;
    return std::max(d, -std::max(l.startTime - floor, 0));
}

bool CharDrag::moveTo(LyricSheet& sheet, int u) {
    if (!active_ || !sheet.lineAt(line_)) return false;
    pointerU_ = u;
    int32_t d = (u - lastU_) / timeScale_;
    if (d == 0) return false;
    // Half units of a double time scale wait for the next move.
    lastU_ += d * timeScale_;
    d = limitedMove(sheet, d);
    if (d == 0) return false;
    moveCharsFrom(sheet, line_, char_, d);
    changed_ = true;
    return true;
}

bool CharDrag::autoScroll(LyricSheet& sheet, int outside, int& viewOrigin, int width) {
    if (!active_ || outside == 0) return false;
    int step = std::min(kMaxScrollStep, 1 + std::abs(outside) / kScrollStepDistance);
    int before = viewOrigin;
    viewOrigin = outside > 0 ? viewOrigin + step : std::max(0, viewOrigin - step);
    int moved = viewOrigin - before;
    replayPoint_ = std::clamp(replayPoint_ + moved, viewOrigin + 1, viewOrigin + 3 * width / 2);
    return moved != 0 && moveTo(sheet, pointerU_ + moved);
}

EditResult CharDrag::end(int x, int viewOrigin, int width, int songLengthCs, bool midiSong, bool slowReplayAllowed) {
    EditResult r;
    bool changed = active_ && changed_;
    active_ = false;
    if (!changed) {
        r.seekUnits = viewOrigin + x;
        r.transport = TransportAction::Pause;
        return r;
    }
    if (x >= width - kRightEndReach) {
        int last = std::max(viewOrigin, songLengthCs * timeScale_ - width);
        viewOrigin = std::min(viewOrigin + width / 3, last);
        r.viewOrigin = viewOrigin;
        r.refresh = kRefreshWindow;
    }
    r.modified = true;
    int replay = replayPoint_ - (midiSong ? kMidiReplayExtraUnits : 0);
    r.seekUnits = std::max(replay, viewOrigin + 1);
    r.transport = TransportAction::Play;
    r.slowReplay = slowReplayAllowed;
    return r;
}

}  // namespace melnix
