// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/line_hold.h"

#include <algorithm>

#include "sync/line_times.h"

namespace melnix {

bool LineHold::begin(const LyricSheet& sheet, int currentLine) {
    holdLine = sheet.lineAt(currentLine) ? currentLine : -1;
    return holding();
}

EditResult LineHold::end(LyricSheet& sheet, int t, bool playing) {
    EditResult r;
    int held = holdLine;
    holdLine = -1;
    const LyricLine* l = sheet.lineAt(held);
    if (!playing || !l) return r;
    if (t < l->startTime) {
        int32_t earliest = held > 0 ? sheet.lineAt(held - 1)->endTime() + kLineSeparation : 0;
        t = std::max(t, earliest);
    }
    int32_t change = t - l->startTime;
    if (change == 0) return r;
    ShiftLinesFrom(sheet, held, change);
    r.modified = true;
    r.refresh = kRefreshWindow;
    return r;
}

}  // namespace melnix
