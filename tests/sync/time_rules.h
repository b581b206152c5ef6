// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The time rules every sync operation keeps, checked over a whole sheet.

#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "lyrics/lyric_sheet.h"
#include "lyrics/lyric_text.h"

namespace melnix::test {

// Characters start 3 cs apart from 0 to the duration, lines keep minLineGap
// between them (3, or 2 after dragging a line's first character), nothing
// starts before the song does, and no line outgrows the model's limit.
inline ::testing::AssertionResult timeRulesHold(const LyricSheet& s, int minLineGap = 3) {
    for (int i = 0; i < s.lineCount(); ++i) {
        const LyricLine& l = *s.lineAt(i);
        auto fail = [&](const std::string& what) {
            return ::testing::AssertionFailure() << "line " << i << ": " << what;
        };
        if (l.text.empty() || l.text.size() > 30 || trimLyricText(l.text) != l.text) return fail("bad text");
        const int n = charCount(l.text);
        if (l.charTimes.size() != static_cast<size_t>(n) + 1) return fail("charTimes do not match the text");
        if (l.charTimes.front() != 0) return fail("first char time is not 0");
        if (l.charTimes.back() != l.duration) return fail("last char time differs from the duration");
        for (int k = 1; k <= n; ++k)
            if (l.charTimes[k] < l.charTimes[k - 1] + 3)
                return fail("chars " + std::to_string(k - 1) + " and " + std::to_string(k) + " less than 3 cs apart");
        if (l.duration > 30000) return fail("longer than 300 s");
        if (l.startTime < 0) return fail("starts before the song");
        if (i > 0 && l.startTime < s.lineAt(i - 1)->endTime() + minLineGap)
            return fail("starts " + std::to_string(l.startTime - s.lineAt(i - 1)->endTime()) +
                        " cs after the line before it");
    }
    return ::testing::AssertionSuccess();
}

inline LyricSheet sheetOf(std::initializer_list<LyricLine> lines) {
    LyricSheet s;
    for (const LyricLine& l : lines) s.addLine(l);
    return s;
}

// Start times of all lines, for comparing whole sheets.
inline std::vector<int32_t> starts(const LyricSheet& s) {
    std::vector<int32_t> v;
    for (const LyricLine& l : s) v.push_back(l.startTime);
    return v;
}

}  // namespace melnix::test
