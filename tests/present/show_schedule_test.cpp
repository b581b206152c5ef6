// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/core/show_schedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace melnix {
namespace {

struct Span {
    int32_t start, end;
};

LyricSheet sheetOf(const std::vector<Span>& spans) {
    LyricSheet sheet;
    for (const Span& s : spans) {
        const auto d = static_cast<uint16_t>(s.end - s.start);
        sheet.addLine({s.start, 0, "a", {0, d}, d});
    }
    return sheet;
}

struct Change {
    int64_t ms;
    int line;
    int closing;
    bool newText;
};

// Steps the schedule every 10 ms and records every picture change.
std::vector<Change> run(const std::vector<Span>& lines, int64_t untilMs) {
    const LyricSheet sheet = sheetOf(lines);
    ShowSchedule s;
    std::vector<Change> changes;
    int64_t changedAt = 0;
    for (int64_t ms = 0; ms <= untilMs; ms += 10) {
        const ShowSchedule::Step step = s.advance(sheet, static_cast<int32_t>(ms / 10), ms - changedAt);
        if (step.changePicture) {
            changes.push_back({ms, step.line, step.closing, step.newText});
            changedAt = ms;
        }
        EXPECT_EQ(step.newText, step.newText && step.changePicture) << "a new text always brings a new picture";
    }
    return changes;
}

TEST(ShowSchedule, ALongPreludeSpreadsPictureChangesOverTheWait) {
    // 12 s before the first line: k = 3, two more changes 5250 ms apart.
    const auto c = run({{1200, 1500}}, 12500);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].ms, 0);
    EXPECT_EQ(c[0].line, 0);
    EXPECT_TRUE(c[0].newText);
    EXPECT_EQ(c[1].ms, 5260);  // the first step after more than 5250 ms
    EXPECT_FALSE(c[1].newText);
    EXPECT_EQ(c[2].ms, 10520);
    // The line ends 0.1 s early: the closing text comes at 14.9 s.
    const auto later = run({{1200, 1500}}, 15000);
    EXPECT_EQ(later.back().ms, 14900);
    EXPECT_EQ(later.back().closing, 0);
}

TEST(ShowSchedule, EveryLineChangesThePictureAndShortGapsAddNone) {
    const auto c = run({{100, 300}, {400, 600}, {700, 900}}, 9500);
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].line, 0);
    EXPECT_EQ(c[1].line, 1);
    EXPECT_EQ(c[1].ms, 2900);
    EXPECT_EQ(c[2].line, 2);
    EXPECT_EQ(c[2].ms, 5900);
    EXPECT_EQ(c[3].closing, 0);
    EXPECT_EQ(c[3].ms, 8900);
}

TEST(ShowSchedule, WithoutLinesTheClosingTextsCycleEveryFiveSeconds) {
    const auto c = run({}, 26000);
    ASSERT_EQ(c.size(), 6u);
    for (size_t i = 0; i < c.size(); ++i) {
        EXPECT_EQ(c[i].ms, static_cast<int64_t>(i) * kClosingIntervalMs);
        EXPECT_EQ(c[i].closing, static_cast<int>(i % kClosingTextCount));
        EXPECT_EQ(c[i].line, -1);
    }
}

TEST(ShowSchedule, APausedShowKeepsItsPictureUntilTheNextLine) {
    const LyricSheet sheet = sheetOf({{1200, 1500}, {1600, 1700}});
    ShowSchedule s;
    EXPECT_TRUE(s.advance(sheet, 0, 0, true).changePicture);
    EXPECT_FALSE(s.advance(sheet, 600, 6000, true).changePicture) << "held: no prelude change";
    EXPECT_TRUE(s.advance(sheet, 600, 6000, false).changePicture);
    const ShowSchedule::Step next = s.advance(sheet, 1500, 9000, true);
    EXPECT_TRUE(next.newText);
    EXPECT_EQ(next.line, 1);
}

TEST(ShowSchedule, ShowAgainRepeatsTheLineAndRestartBeginsTheClosingTexts) {
    const LyricSheet sheet;
    ShowSchedule s;
    EXPECT_EQ(s.advance(sheet, 0, 0).closing, 0);
    EXPECT_EQ(s.advance(sheet, 500, 5000).closing, 1);
    s.showAgain();
    EXPECT_EQ(s.advance(sheet, 510, 10).closing, 2);
    s.restart();
    EXPECT_EQ(s.advance(sheet, 520, 10).closing, 0);
}

}  // namespace
}  // namespace melnix
