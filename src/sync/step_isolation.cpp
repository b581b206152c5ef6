// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/step_isolation.h"

#include <algorithm>

namespace melnix {
namespace {

bool sameLine(const LyricLine& a, const LyricLine& b) {
    return a.startTime == b.startTime && a.flags == b.flags && a.text == b.text && a.charTimes == b.charTimes;
}

int firstDifference(const LyricSheet& before, const LyricSheet& after) {
    const int n = std::min(before.lineCount(), after.lineCount());
    for (int i = 0; i < n; ++i)
        if (!sameLine(*before.lineAt(i), *after.lineAt(i))) return i;
    return n;
}

// Keeps line t 3 cs clear of the lines around it: a change of its end is
// taken back from the first character that moved, a change of its start by
// moving it back. True when it had to.
bool fitBetween(const LyricSheet& after, LyricLine& t, const LyricLine* was, int index) {
    bool limited = false;
    if (const LyricLine* next = after.lineAt(index + 1)) {
        int32_t excess = t.endTime() + kLineSeparation - next->startTime;
        if (excess > 0 && was && t.charTimes.size() == was->charTimes.size()) {
            // Characters that moved within the line give back first.
            size_t j = 1;
            while (j < t.charTimes.size() && t.charTimes[j] == was->charTimes[j]) ++j;
            for (; excess > 0 && j < t.charTimes.size(); ) {
                const int32_t room = t.charTimes[j] - t.charTimes[j - 1] - kMinCharTime;
                const int32_t cut = std::min(room, excess);
                if (cut > 0) {
                    for (size_t m = j; m < t.charTimes.size(); ++m) t.charTimes[m] = static_cast<uint16_t>(t.charTimes[m] - cut);
                    excess -= cut;
                }
                ++j;
            }
            t.duration = t.charTimes.back();
            limited = true;
        }
        excess = t.endTime() + kLineSeparation - next->startTime;
        if (excess > 0) {
            t.startTime -= excess;
            limited = true;
        }
    }
    if (const LyricLine* prev = after.lineAt(index - 1)) {
        const int32_t short_ = prev->endTime() + kLineSeparation - t.startTime;
        if (short_ > 0) {
            t.startTime += short_;
            limited = true;
        }
    } else if (t.startTime < 0) {
        t.startTime = 0;
        limited = true;
    }
    return limited;
}

}  // namespace

bool keepOtherLines(const LyricSheet& before, LyricSheet& after, int touched) {
    const int delta = after.lineCount() - before.lineCount();
    if (delta < -1 || delta > 1) return false;
    if (touched < 0 || delta != 0) touched = firstDifference(before, after);
    // Lines after the touched one are the same lines, one place later for an
    // added line and one earlier for a deleted one.
    auto beforeOf = [&](int i) { return i < touched ? i : (delta > 0 ? i - 1 : i - delta); };
    for (int i = 0; i < after.lineCount(); ++i) {
        if (delta >= 0 && i == touched) continue;
        if (const LyricLine* b = before.lineAt(beforeOf(i))) {
            LyricLine& a = *after.lineAt(i);
            a.startTime = b->startTime;
            if (a.text == b->text) {
                a.charTimes = b->charTimes;
                a.duration = b->duration;
            }
        }
    }
    if (delta < 0) return false;
    LyricLine* t = after.lineAt(touched);
    if (!t) return false;
    return fitBetween(after, *t, delta == 0 ? before.lineAt(touched) : nullptr, touched);
}

}  // namespace melnix
