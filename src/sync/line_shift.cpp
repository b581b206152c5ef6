// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/line_shift.h"

#include <algorithm>

#include "sync/line_times.h"

namespace melnix {
namespace {

// Ten hours: far beyond any song, far below what the times can hold.
constexpr int32_t kLatestStart = 3600000;

}  // namespace

ShiftResult shiftBlockFrom(LyricSheet& sheet, int first, int32_t delta, int32_t songLength) {
    ShiftResult r;
    const LyricLine* head = sheet.lineAt(first);
    if (!head || delta == 0) return r;
    const LyricLine& last = *sheet.lineAt(sheet.lastIndex());
    int32_t allowed = delta;
    if (delta < 0) {
        const LyricLine* before = sheet.lineAt(first - 1);
        const int32_t earliest = before ? before->endTime() + kLineSeparation : 0;
        allowed = std::max(delta, std::min<int32_t>(0, earliest - head->startTime));
    } else {
        const int32_t latest = songLength > 0 ? songLength : kLatestStart;
        allowed = std::min(delta, std::max<int32_t>(0, latest - last.startTime));
    }
    if (allowed != 0) moveCharsFrom(sheet, first, 0, allowed);
    r.applied = allowed;
    r.limited = allowed != delta;
    return r;
}

}  // namespace melnix
