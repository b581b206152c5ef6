// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/core/show_schedule.h"

#include <algorithm>

#include "sync/line_times.h"

namespace melnix {

ShowSchedule::Step ShowSchedule::advance(const LyricSheet& sheet, int32_t positionCs, int64_t sinceChangeMs,
                                         bool holdPictures) {
    Step step;
    const int last = sheet.lineCount() - 1;
    const int cur = std::min(CurrentLine(sheet, positionCs, 1), last + 1);
    if (cur != shownLine_ || (cur > last && sinceChangeMs >= kClosingIntervalMs)) {
        planned_ = {};
        if (cur <= last) {
            const int32_t start = sheet.lineAt(cur)->startTime;
            if (positionCs < start) planned_ = planPictureChanges((start - positionCs) * 10);
            step.line = cur;
        } else {
            step.closing = closingIndex_;
            closingIndex_ = (closingIndex_ + 1) % kClosingTextCount;
        }
        step.newText = true;
        step.changePicture = true;
        shownLine_ = cur;
    } else if (cur <= last && planned_.count > 0 && sinceChangeMs > planned_.intervalMs && !holdPictures) {
        step.changePicture = true;
        --planned_.count;
    }
    return step;
}

}  // namespace melnix
