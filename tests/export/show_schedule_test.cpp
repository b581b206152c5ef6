// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/show_schedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace melnix {
namespace {

struct Change {
    int64_t ms;
    int line;
    int closing;
    bool newText;
};

// Steps the schedule every 10 ms and records every picture change.
std::vector<Change> run(const std::vector<LineSpan>& lines, int64_t untilMs) {
    ShowSchedule s(lines);
    std::vector<Change> changes;
    for (int64_t ms = 0; ms <= untilMs; ms += 10) {
        const ShowSchedule::Step step = s.advance(ms);
        if (step.changePicture) changes.push_back({ms, step.line, step.closing, step.newText});
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
        EXPECT_EQ(c[i].closing, static_cast<int>(i % kExportClosingTexts));
        EXPECT_EQ(c[i].line, -1);
    }
}

TEST(ShowSchedule, CurrentLineMovesOnATenthBeforeTheEnd) {
    const std::vector<LineSpan> lines{{100, 300}, {400, 600}};
    EXPECT_EQ(currentLineAt(lines, 0), 0);
    EXPECT_EQ(currentLineAt(lines, 289), 0);
    EXPECT_EQ(currentLineAt(lines, 290), 1);
    EXPECT_EQ(currentLineAt(lines, 590), 2);
    EXPECT_EQ(currentLineAt({}, 0), 0);
}

TEST(ExportSettings, SizesQualitiesAndFrameTimes) {
    struct {
        const char* text;
        bool ok;
        int w, h;
    } sizes[] = {{"1280x720", true, 1280, 720}, {"1920x1080", true, 1920, 1080}, {"854x480", true, 854, 480},
                 {"853x480", false, 0, 0},      {"1280x", false, 0, 0},         {"1280x720x", false, 0, 0},
                 {"64x48", false, 0, 0},        {"7680x4320", false, 0, 0},     {"-2x-2", false, 0, 0}};
    for (const auto& c : sizes) {
        VideoSize s{1, 1};
        EXPECT_EQ(parseVideoSize(c.text, s), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(s.width * 10000 + s.height, c.w * 10000 + c.h) << c.text;
        }
    }
    ExportQuality q{};
    EXPECT_TRUE(parseQuality("low", q));
    const int low = qualityCrf(q);
    EXPECT_TRUE(parseQuality("high", q));
    const int high = qualityCrf(q);
    EXPECT_TRUE(parseQuality("normal", q));
    EXPECT_GT(low, qualityCrf(q));
    EXPECT_GT(qualityCrf(q), high);
    EXPECT_FALSE(parseQuality("best", q));

    EXPECT_EQ(frameTimeUs(1, 30), 33333);
    EXPECT_EQ(frameTimeUs(30, 30), 1000000);
    EXPECT_EQ(frameCountFor(8000, 30), 240);
    EXPECT_EQ(frameCountFor(8001, 30), 241);
}

}  // namespace
}  // namespace melnix
