// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/core/subtitle_wipe.h"

#include <algorithm>
#include <limits>

#include "common/mul_div.h"

namespace melnix {

int textLeftInBox(int boxWidth, int textWidth, bool centred) {
    if (!centred) return 0;
    return std::max(0, (boxWidth - textWidth) / 2);
}

int charAt(const SubtitleLayout& layout, int x) {
    if (x < layout.textLeft) return -1;
    int d = std::min(x, layout.textRight()) - layout.textLeft;
    int n = std::min(layout.charCount, kMaxMeasuredBytes);
    for (int k = 0; k < n; ++k)
        if (layout.charX[k] <= d && d < layout.charX[k + 1]) return k;
    return layout.charCount - 1;
}

LineTiming makeLineTiming(int32_t start, int32_t end, std::span<const uint16_t> charTimes) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    LineTiming t;
    if (start >= end) {
        start = std::min(start, kMax - 1);
        end = start + 1;
    }
    t.lineStart = start;
    t.lineEnd = end;
    // A length that does not fit (start far below zero) is cut; the line then
    // ends early rather than wrapping around.
    int64_t length = int64_t{end} - start;
    t.lineLength = static_cast<int32_t>(std::min<int64_t>(length, kMax));
    if (charTimes.size() >= 2) t.charTimes.assign(charTimes.begin(), charTimes.end());
    return t;
}

int wipePosition(const SubtitleLayout& layout, const LineTiming& timing, int32_t t) {
    int32_t s;
    if (t < timing.lineStart)
        s = 0;
    else if (t > timing.lineEnd)
        s = timing.lineLength;
    else
        s = static_cast<int32_t>(std::min<int64_t>(int64_t{t} - timing.lineStart, timing.lineLength));

    const std::vector<uint16_t>& c = timing.charTimes;
    if (c.empty()) return std::clamp(MulDiv(s, layout.textWidth, timing.lineLength), 0, layout.textWidth);

    // Each character is wiped at its own speed, from its start to the next
    // character's start. A table shorter than the text covers what it can.
    int last = std::min({layout.charCount, kMaxMeasuredBytes, static_cast<int>(c.size()) - 1});
    for (int k = 1; k <= last; ++k) {
        if (s >= c[k]) continue;
        int x = layout.charX[k - 1];
        int span = c[k] - c[k - 1];
        // Only a table that runs backwards gets here with s before c[k - 1].
        if (span > 0 && s >= c[k - 1])
            x += MulDiv(s - c[k - 1], layout.charX[k] - layout.charX[k - 1], span);
        return std::clamp(x, 0, layout.textWidth);
    }
    return layout.textWidth;
}

FontSize fitFontSize(int boxHeight) {
    int h = boxHeight - boxHeight / 8;
    return {h * 37 / 50, h};
}

}  // namespace melnix
