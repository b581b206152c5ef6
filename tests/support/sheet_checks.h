// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The invariants every loaded sheet must keep.

#include <gtest/gtest.h>

#include "lyrics/lyric_sheet.h"
#include "lyrics/lyric_text.h"

namespace melnix::test {

inline void expectSheetInvariants(const LyricSheet& s) {
    for (int i = 0; i < s.lineCount(); ++i) {
        const LyricLine& l = *s.lineAt(i);
        SCOPED_TRACE("line " + std::to_string(i));
        ASSERT_GE(l.text.size(), 1u);
        ASSERT_LE(l.text.size(), 30u);
        EXPECT_EQ(trimLyricText(l.text), l.text);
        const int n = charCount(l.text);
        ASSERT_EQ(l.charTimes.size(), static_cast<size_t>(n) + 1);
        EXPECT_EQ(l.charTimes.front(), 0);
        EXPECT_EQ(l.charTimes.back(), l.duration);
        for (int k = 1; k <= n; ++k) EXPECT_LT(l.charTimes[k - 1], l.charTimes[k]);
        EXPECT_GE(l.duration, 3 * n);
        EXPECT_LE(l.duration, 30000);
        if (i > 0) {
            const LyricLine& p = *s.lineAt(i - 1);
            EXPECT_GE(l.startTime, p.startTime + p.duration + 3);
        }
    }
}

}  // namespace melnix::test
