// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/sync_button.h"

#include <algorithm>

#include "sync/line_times.h"

namespace melnix {
namespace {

// A stretch of the time line that a too early press may shorten: the length
// of character c of a line, or (c == -1) the gap before the line.
struct Stretch {
    int line;
    int c;
};

// The line a new run starts with: the one holding t, or the next one once t
// is more than 3 cs past its end. lineCount() when there is none.
int runLineAt(const LyricSheet& sheet, int t) {
    int i = LineForDisplay(sheet, t, 1);
    if (i < 0) return 0;
    return t > sheet.lineAt(i)->endTime() + kLineSeparation ? i + 1 : i;
}

// The first character from `from` on (through the following lines) that a
// press times; not found when none is left.
CharRef firstTimedFrom(const LyricSheet& sheet, CharRef from) {
    for (int i = from.line, c = from.index; i < sheet.lineCount(); ++i, c = 0) {
        const LyricLine& l = *sheet.lineAt(i);
        for (; c < charTotal(l); ++c)
            if (isTimedChar(l.text, c)) return {i, c};
    }
    return {};
}

// How much longer the line may still grow.
int32_t growthRoom(const LyricLine& l) {
    return kMaxEditedDuration - l.duration;
}

// The earliest time the target may get: 3 cs after the character before it,
// or after the end of the line before it.
int32_t earliestFor(const LyricSheet& sheet, CharRef target) {
    if (target.index > 0) return charStart(*sheet.lineAt(target.line), target.index - 1) + kMinCharTime;
    if (target.line > 0) return sheet.lineAt(target.line - 1)->endTime() + kLineSeparation;
    return 0;
}

Stretch before(const LyricSheet& sheet, Stretch s) {
    if (s.c >= 0) return {s.line, s.c - 1};
    if (s.line == 0) return {-1, 0};
    return {s.line - 1, charTotal(*sheet.lineAt(s.line - 1)) - 1};
}

// Shortens stretches before the target, latest first, by up to `missing` in
// all, so that the character before the target starts earlier. The stretch
// right before the target is left alone: the target's own time is set next
// anyway. The walk stays after the start of `bound` (the last character
// timed) or, when there is none, within the target's line.
void pullBack(LyricSheet& sheet, CharRef target, CharRef bound, int32_t missing) {
    Stretch s = before(sheet, {target.line, target.index - 1});
    auto allowed = [&](Stretch x) {
        if (x.line < 0) return false;
        if (!bound.found()) return x.line == target.line;
        return x.line > bound.line || (x.line == bound.line && x.c >= bound.index);
    };
    for (; missing > 0 && allowed(s); s = before(sheet, s)) {
        const LyricLine& l = *sheet.lineAt(s.line);
        int32_t room;
        if (s.c >= 0)
            room = l.charTimes[static_cast<size_t>(s.c) + 1] - l.charTimes[static_cast<size_t>(s.c)] - kMinCharTime;
        else if (s.line > 0)
            room = l.startTime - sheet.lineAt(s.line - 1)->endTime() - kLineSeparation;
        else
            room = l.startTime;
        int32_t cut = std::min(room, missing);
        if (cut <= 0) continue;
        moveCharsFrom(sheet, s.line, s.c + 1, -cut);
        missing -= cut;
    }
}

}  // namespace

EditResult SyncButton::press(LyricSheet& sheet, int t) {
    bool continuing = !syncFirstPress && syncLine >= 0;
    syncFirstPress = false;

    CharRef last;
    CharRef next;
    if (continuing) {
        last = {syncLine, syncChar};
        const LyricLine* l = sheet.lineAt(syncLine);
        if (!l) {
            reset();
            return {};
        }
        next = syncChar + 1 < charTotal(*l) ? CharRef{syncLine, syncChar + 1} : CharRef{syncLine + 1, 0};
    } else {
        next = {runLineAt(sheet, t), 0};
    }
    if (next.index < 0) next.index = 0;
    CharRef target = firstTimedFrom(sheet, next);
    if (!target.found()) {
        reset();
        return {};
    }

    // Characters passed over (punctuation, Latin letters) last until the
    // button was let go after the last press.
    if (continuing && (target.line != next.line || target.index != next.index)) {
        const LyricLine& l = *sheet.lineAt(next.line);
        int32_t skippedStart = charStart(l, next.index);
        if (syncReleaseTime > skippedStart + 2) {
            int32_t change = syncReleaseTime - charStart(l, next.index + 1);
            change = std::min(change, growthRoom(l));
            moveCharsFrom(sheet, next.line, next.index + 1, change);
        }
    }

    int32_t earliest = earliestFor(sheet, target);
    if (t < earliest) {
        pullBack(sheet, target, last, earliest - t);
        earliest = earliestFor(sheet, target);
        t = std::max<int32_t>(t, earliest);
    }

    const LyricLine& l = *sheet.lineAt(target.line);
    int32_t change = t - charStart(l, target.index);
    if (target.index > 0) change = std::min(change, growthRoom(l));
    moveCharsFrom(sheet, target.line, target.index, change);

    syncLine = target.line;
    syncChar = target.index;
    const CharRef after = firstTimedFrom(sheet, {target.line, target.index + 1});
    holdFrom_ = after.found() && after.line == target.line ? -1 : charStart(l, target.index);
    EditResult r;
    r.modified = true;
    r.refresh = kRefreshAdjustArea;
    return r;
}

EditResult SyncButton::release(LyricSheet& sheet, int t) {
    syncReleaseTime = t;
    const int from = holdFrom_;
    holdFrom_ = -1;
    if (from < 0 || t - from < kHoldCs || syncLine < 0 || syncChar < 0) return {};
    const LyricLine* l = sheet.lineAt(syncLine);
    if (!l || syncChar >= charTotal(*l) || charStart(*l, syncChar) != from) return {};
    // The held character ends at the release; what follows it (untimed
    // punctuation, the line's end) comes after.
    int32_t change = t - charStart(*l, syncChar + 1);
    change = std::max(change, from + kMinCharTime - charStart(*l, syncChar + 1));
    change = std::min(change, growthRoom(*l));
    if (change == 0) return {};
    moveCharsFrom(sheet, syncLine, syncChar + 1, change);
    EditResult r;
    r.modified = true;
    r.refresh = kRefreshAdjustArea;
    return r;
}

bool SyncButton::stepBack(const LyricSheet& sheet) {
    holdFrom_ = -1;
    if (syncFirstPress || syncLine < 0 || syncChar < 0 || !sheet.lineAt(syncLine)) return false;
    // The timed character before the one timed last; the next press starts
    // right after it.
    for (int i = syncLine, c = syncChar - 1; i >= 0; --i) {
        const LyricLine& l = *sheet.lineAt(i);
        if (i != syncLine) c = charTotal(l) - 1;
        for (; c >= 0; --c) {
            if (!isTimedChar(l.text, c)) continue;
            syncLine = i;
            syncChar = c;
            return true;
        }
    }
    syncChar = -1;  // the first character of the lyric comes next
    return true;
}

}  // namespace melnix
