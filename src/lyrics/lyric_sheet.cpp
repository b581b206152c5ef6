// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_sheet.h"

#include "common/mul_div.h"
#include "lyrics/lyric_text.h"

namespace melnix {

std::vector<uint16_t> evenCharTimes(int n, int d) {
    std::vector<uint16_t> times(static_cast<size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) times[static_cast<size_t>(i)] = static_cast<uint16_t>(MulDiv(i, d, n));
    return times;
}

int LyricSheet::appendLine(std::string_view text) {
    std::string t = trimLyricText(text);
    if (static_cast<int>(t.size()) > kMaxLineBytes) t = trimLyricText(cutToBytes(t, kMaxLineBytes));
    int n = charCount(t);
    if (t.empty() || n == 0) return 0;

    LyricLine line;
    line.text = t;
    line.duration = static_cast<uint16_t>(kDefaultCharTime * n);
    line.charTimes.resize(static_cast<size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) line.charTimes[static_cast<size_t>(i)] = static_cast<uint16_t>(kDefaultCharTime * i);
    if (lines_.empty()) {
        line.startTime = kFirstLineStart;
    } else {
        const LyricLine& last = lines_[lines_.highestIndex()];
        int32_t e = last.startTime + last.duration;
        line.startTime = e != 0 ? e + kAppendGap : 0;
    }
    lines_.append(std::move(line));
    return static_cast<int>(t.size());
}

void LyricSheet::shiftLines(int from, int32_t delta) {
    if (from < 0) from = 0;
    for (int i = from; i < lines_.size(); ++i) {
        LyricLine& l = lines_[i];
        l.startTime = static_cast<int32_t>(static_cast<uint32_t>(l.startTime) + static_cast<uint32_t>(delta));
    }
}

void LyricSheet::separateLines(int from) {
    if (from < 0) from = 0;
    // Each push moves every later line too; carrying the sum of the pushes
    // does that in one pass instead of one pass per push.
    uint32_t carried = 0;
    for (int i = from + 1; i < lines_.size(); ++i) {
        const LyricLine& prev = lines_[i - 1];
        LyricLine& line = lines_[i];
        uint32_t start = static_cast<uint32_t>(line.startTime) + carried;
        const uint32_t need = static_cast<uint32_t>(prev.startTime) + prev.duration + kLineSeparation;
        if (start < need) {
            carried += need - start;
            start = need;
        }
        line.startTime = static_cast<int32_t>(start);
    }
}

void LyricSheet::normalizeLines() {
    for (LyricLine& l : lines_) {
        if (static_cast<int>(l.text.size()) > kMaxLineBytes) l.text = trimLyricText(cutToBytes(l.text, kMaxLineBytes));
        int n = charCount(l.text);
        if (n == 0) {
            l.text.assign(1, '.');
            n = 1;
        }
        int k = static_cast<int>(l.charTimes.size()) - 1;
        int d = l.duration;
        // A length too short for 3 units a character (or absurdly long) is
        // replaced even when the character times do not match the text:
        // spreading them over it would give characters no time at all.
        if (d < kMinCharTime * n || d > kMaxLineDuration) {
            d = kDefaultCharTime * n;
            l.duration = static_cast<uint16_t>(d);
        } else if (k == n && l.charTimes[static_cast<size_t>(k)] == d) {
            bool increasing = l.charTimes[0] == 0;
            for (int i = 1; i <= n && increasing; ++i)
                increasing = l.charTimes[static_cast<size_t>(i)] > l.charTimes[static_cast<size_t>(i - 1)];
            if (increasing) continue;
        }
        l.charTimes = evenCharTimes(n, d);
    }
    separateLines(0);
}

void LyricSheet::reverseDurations() {
    int n = lines_.size();
    for (int i = 0; i < n / 2; ++i) std::swap(lines_[i].duration, lines_[n - 1 - i].duration);
}

void LyricSheet::finishLoad() {
    if (durationsMirrored) reverseDurations();
    normalizeLines();
}

}  // namespace melnix
