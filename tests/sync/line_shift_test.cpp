// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/line_shift.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/gbk_text.h"
#include "support/test_files.h"
#include "sync/time_rules.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

struct ShiftCase {
    const char* name;
    int first;
    int32_t delta;
    int32_t songLength;
    std::vector<int32_t> starts;  // of the three lines after the shift
    int32_t applied;
    bool limited;
};

class LineShiftTest : public ::testing::TestWithParam<ShiftCase> {};

// 你好 100..160, 明天 300..380, 再见 500..560.
TEST_P(LineShiftTest, MovesTheBlockWithinTheRules) {
    const ShiftCase& c = GetParam();
    LyricSheet s;
    s.addLine(makeLine(100, g("你好"), times({0, 30, 60})));
    s.addLine(makeLine(300, g("明天"), times({0, 40, 80})));
    s.addLine(makeLine(500, g("再见"), times({0, 30, 60})));
    const ShiftResult r = shiftBlockFrom(s, c.first, c.delta, c.songLength);
    EXPECT_EQ(r.applied, c.applied);
    EXPECT_EQ(r.limited, c.limited);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(s.lineAt(i)->startTime, c.starts[static_cast<size_t>(i)]) << "line " << i;
    // Durations and character times never change.
    EXPECT_EQ(s.lineAt(1)->charTimes, times({0, 40, 80}));
    EXPECT_EQ(s.lineAt(2)->duration, 60);
    EXPECT_TRUE(test::timeRulesHold(s));
}

INSTANTIATE_TEST_SUITE_P(
    Shifts, LineShiftTest,
    ::testing::Values(ShiftCase{"WholeLyricLater", 0, 30, 0, {130, 330, 530}, 30, false},
                      ShiftCase{"WholeLyricEarlier", 0, -40, 0, {60, 260, 460}, -40, false},
                      ShiftCase{"WholeLyricStopsAtZero", 0, -250, 0, {0, 200, 400}, -100, true},
                      ShiftCase{"TailEarlier", 1, -100, 0, {100, 200, 400}, -100, false},
                      ShiftCase{"TailStopsThreeAfterTheLineBefore", 1, -200, 0, {100, 163, 363}, -137, true},
                      ShiftCase{"TailLaterStopsAtTheSongsEnd", 1, 300, 600, {100, 400, 600}, 100, true},
                      ShiftCase{"LastLineAlreadyAtTheEndStays", 2, 50, 500, {100, 300, 500}, 0, true},
                      ShiftCase{"NoLineThere", 3, 50, 0, {100, 300, 500}, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace melnix
