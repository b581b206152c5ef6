// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/step_isolation.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/gbk_text.h"
#include "support/test_files.h"
#include "sync/line_times.h"
#include "sync/time_rules.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

struct Expected {
    int32_t start;
    std::vector<uint16_t> charTimes;
};

struct IsolationCase {
    const char* name;
    std::function<void(LyricSheet&)> chainedStep;  // what the step did with later lines following
    int touched;
    std::vector<Expected> after;
    bool limited;
};

class StepIsolationTest : public ::testing::TestWithParam<IsolationCase> {};

// 你好 100..160, 明天 300..380, 再见 500..560.
LyricSheet threeLines() {
    LyricSheet s;
    s.addLine(makeLine(100, g("你好"), times({0, 30, 60})));
    s.addLine(makeLine(300, g("明天"), times({0, 40, 80})));
    s.addLine(makeLine(500, g("再见"), times({0, 30, 60})));
    return s;
}

TEST_P(StepIsolationTest, OnlyTheTouchedLineChanges) {
    const IsolationCase& c = GetParam();
    const LyricSheet before = threeLines();
    LyricSheet after = before;
    c.chainedStep(after);
    EXPECT_EQ(keepOtherLines(before, after, c.touched), c.limited);
    ASSERT_EQ(after.lineCount(), static_cast<int>(c.after.size()));
    for (int i = 0; i < after.lineCount(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        EXPECT_EQ(after.lineAt(i)->startTime, c.after[static_cast<size_t>(i)].start);
        EXPECT_EQ(after.lineAt(i)->charTimes, c.after[static_cast<size_t>(i)].charTimes);
    }
    EXPECT_TRUE(test::timeRulesHold(after));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StepIsolationTest,
    ::testing::Values(
        IsolationCase{"CharacterMovedWithinItsLine", [](LyricSheet& s) { moveCharsFrom(s, 1, 1, 20); }, 1,
                      {{100, times({0, 30, 60})}, {300, times({0, 60, 100})}, {500, times({0, 30, 60})}}, false},
        // 天 dragged 150 later would end the line 33 cs into 再见: held back there.
        IsolationCase{"CharacterHeldBackBeforeTheNextLine", [](LyricSheet& s) { moveCharsFrom(s, 1, 1, 150); }, 1,
                      {{100, times({0, 30, 60})}, {300, times({0, 157, 197})}, {500, times({0, 30, 60})}}, true},
        IsolationCase{"LineStartHeldBackAfterTheLineBefore", [](LyricSheet& s) { moveCharsFrom(s, 1, 0, -180); }, 1,
                      {{100, times({0, 30, 60})}, {163, times({0, 40, 80})}, {500, times({0, 30, 60})}}, true},
        IsolationCase{"AddedLineLeavesTheLaterLines",
                      [](LyricSheet& s) {
                          s.insertLine(1, makeLine(200, g("早"), times({0, 30})));
                          ShiftLinesFrom(s, 2, 33);
                      },
                      -1,
                      {{100, times({0, 30, 60})}, {200, times({0, 30})}, {300, times({0, 40, 80})},
                       {500, times({0, 30, 60})}},
                      false},
        IsolationCase{"DeletedLineLeavesTheLaterLines",
                      [](LyricSheet& s) {
                          ShiftLinesFrom(s, 2, -197);
                          s.removeLines(1);
                      },
                      -1, {{100, times({0, 30, 60})}, {500, times({0, 30, 60})}}, false},
        // A tap that pulled the line before together gives it back.
        IsolationCase{"LinesBeforeGetTheirTimesBack",
                      [](LyricSheet& s) {
                          moveCharsFrom(s, 0, 1, -10);
                          moveCharsFrom(s, 1, 0, -20);
                      },
                      1, {{100, times({0, 30, 60})}, {270, times({0, 40, 80})}, {500, times({0, 30, 60})}}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace melnix
