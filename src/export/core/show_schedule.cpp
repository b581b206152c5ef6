// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/show_schedule.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace melnix {
namespace {
// The show moves on to the next line this long before a line ends (1/100 s).
constexpr int32_t kLineLeadCs = 10;
}  // namespace

int currentLineAt(const std::vector<LineSpan>& lines, int32_t positionCs) {
    const int64_t p = int64_t{positionCs} + kLineLeadCs;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].end > p) return static_cast<int>(i);
    return static_cast<int>(lines.size());
}

ShowSchedule::Step ShowSchedule::advance(int64_t ms) {
    Step step;
    const int32_t positionCs = static_cast<int32_t>(ms / 10);
    const int last = static_cast<int>(lines_.size()) - 1;
    const int cur = std::min(currentLineAt(lines_, positionCs), last + 1);
    const int64_t sinceChange = ms - lastChangeMs_;
    if (cur != shownLine_ || (cur > last && sinceChange >= kClosingIntervalMs)) {
        planned_ = {};
        if (cur <= last) {
            const int32_t start = lines_[static_cast<size_t>(cur)].start;
            if (positionCs < start) planned_ = planPictureChanges((start - positionCs) * 10);
            step.line = cur;
        } else {
            step.closing = closingIndex_;
            closingIndex_ = (closingIndex_ + 1) % kExportClosingTexts;
        }
        step.newText = true;
        step.changePicture = true;
        shownLine_ = cur;
        lastChangeMs_ = ms;
    } else if (cur <= last && planned_.count > 0 && sinceChange > planned_.intervalMs) {
        step.changePicture = true;
        --planned_.count;
        lastChangeMs_ = ms;
    }
    return step;
}

bool parseVideoSize(const char* text, VideoSize& size) {
    int w = 0, h = 0;
    char tail = 0;
    if (!text || std::sscanf(text, "%dx%d%c", &w, &h, &tail) != 2) return false;
    if (w < 128 || h < 96 || w > 3840 || h > 2160 || w % 2 != 0 || h % 2 != 0) return false;
    size = {w, h};
    return true;
}

bool parseQuality(const char* text, ExportQuality& quality) {
    if (!text) return false;
    if (std::strcmp(text, "low") == 0) quality = ExportQuality::Low;
    else if (std::strcmp(text, "normal") == 0) quality = ExportQuality::Normal;
    else if (std::strcmp(text, "high") == 0) quality = ExportQuality::High;
    else return false;
    return true;
}

int qualityCrf(ExportQuality quality) {
    switch (quality) {
        case ExportQuality::Low: return 28;
        case ExportQuality::High: return 18;
        case ExportQuality::Normal: break;
    }
    return 23;
}

}  // namespace melnix
