// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/subtitle_sweep.h"

#include <algorithm>

#include "sync/line_times.h"

namespace melnix {
namespace {

// The hand starts a sweep a little after the singer: the first time is set
// back by this much.
constexpr int kFirstMoveLeadCs = 20;
constexpr int kMaxSweepOffset = 65000;
// A failed sweep replays from this far before the first swept character.
constexpr int kRetryLeadCs = 100;
constexpr int kMaxSweepChars = 80;

int32_t earliestStart(const LyricSheet& sheet, int line) {
    return line > 0 ? sheet.lineAt(line - 1)->endTime() + kLineSeparation : 0;
}

}  // namespace

void SubtitleSweep::begin(int line) {
    active_ = true;
    sweepStarted = false;
    line_ = line;
}

void SubtitleSweep::move(const LyricSheet& sheet, int t, int charIndex) {
    const LyricLine* l = sheet.lineAt(line_);
    if (!active_ || !l) return;
    if (!sweepStarted) {
        sweepTimes.assign(static_cast<size_t>(std::min(charTotal(*l), kMaxSweepChars)), kNotSwept);
        sweepStarted = true;
        t = std::max(t - kFirstMoveLeadCs, earliestStart(sheet, line_));
    }
    if (charIndex < 0 || charIndex >= static_cast<int>(sweepTimes.size())) return;
    int& slot = sweepTimes[static_cast<size_t>(charIndex)];
    if (slot == kNotSwept || slot > t) slot = t;
}

int SubtitleSweep::earliestSwept() const {
    int earliest = kNotSwept;
    for (int v : sweepTimes)
        if (v != kNotSwept && (earliest == kNotSwept || v < earliest)) earliest = v;
    return earliest;
}

bool SubtitleSweep::apply(LyricSheet& sheet, int end) {
    LyricLine* l = sheet.lineAt(line_);
    if (!l || sweepTimes.empty() || charTotal(*l) != static_cast<int>(sweepTimes.size())) return false;
    // The line may not start before 3 cs after the line before it, whenever
    // the pointer reached its first character.
    if (sweepTimes[0] == kNotSwept) return false;
    int base = std::max(sweepTimes[0], earliestStart(sheet, line_));

    size_t n = sweepTimes.size();
    std::vector<int> offsets(n);
    for (size_t i = 0; i < n; ++i) {
        int v = sweepTimes[i];
        offsets[i] = v == kNotSwept || v <= base ? 0 : std::min(v - base, kMaxSweepOffset);
    }
    for (size_t i = 1; i < n; ++i)
        if (offsets[i] <= offsets[i - 1]) return false;
    for (size_t i = 1; i < n; ++i) offsets[i] = std::max(offsets[i], offsets[i - 1] + kMinCharTime);
    int length = end - base;
    if (length < offsets[n - 1] + kMinCharTime || length > kMaxEditedDuration) return false;

    l->startTime = base;
    l->charTimes.assign(offsets.begin(), offsets.end());
    l->charTimes.push_back(static_cast<uint16_t>(length));
    l->duration = static_cast<uint16_t>(length);
    if (const LyricLine* next = sheet.lineAt(line_ + 1)) {
        int32_t shortfall = l->endTime() + kLineSeparation - next->startTime;
        if (shortfall > 0) ShiftLinesFrom(sheet, line_ + 1, shortfall);
    }
    return true;
}

EditResult SubtitleSweep::end(LyricSheet& sheet, int t, bool reachedEnd, bool playing, int timeScale) {
    EditResult r;
    bool moved = sweepStarted;
    active_ = false;
    sweepStarted = false;
    if (!moved) {
        if (!playing) r.transport = TransportAction::Play;
        return r;
    }
    const LyricLine* l = sheet.lineAt(line_);
    if (!playing || !l) return r;

    int32_t seek;
    if (reachedEnd && apply(sheet, t)) {
        r.modified = true;
        r.refresh = kRefreshWindow;
        seek = sheet.lineAt(line_)->startTime;
    } else {
        int earliest = earliestSwept();
        if (line_ > 0) {
            seek = sheet.lineAt(line_ - 1)->endTime();
            if (reachedEnd && earliest != kNotSwept) seek = std::max(seek, earliest - kRetryLeadCs);
        } else {
            // No line before the first one: replay from a second before where
            // the sweep began, so the intro is not heard again.
            int from = earliest != kNotSwept ? earliest : l->startTime;
            seek = std::max(0, from - kRetryLeadCs);
        }
    }
    r.seekUnits = seek * timeScale;
    r.viewOrigin = r.seekUnits;
    r.transport = TransportAction::PauseThenResume;
    return r;
}

}  // namespace melnix
