// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/line_hold.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/test_files.h"
#include "sync/time_rules.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

// 你好 100..160, 明天见 300..390, c 500..530.
LyricSheet song() {
    return test::sheetOf({makeLine(100, g("你好"), times({0, 30, 60})), makeLine(300, g("明天见"), times({0, 30, 60, 90})),
                          makeLine(500, "c", times({0, 30}))});
}

struct HoldCase {
    const char* name;
    int line;
    int releaseAt;
    bool playing;
    std::vector<int32_t> starts;
};

class LineHoldTest : public ::testing::TestWithParam<HoldCase> {};

TEST_P(LineHoldTest, MovesHeldLineAndLaterOnes) {
    const HoldCase& c = GetParam();
    LyricSheet s = song();
    LineHold hold;
    ASSERT_TRUE(hold.begin(s, c.line));
    EditResult r = hold.end(s, c.releaseAt, c.playing);
    EXPECT_EQ(test::starts(s), c.starts);
    EXPECT_EQ(r.modified, test::starts(s) != test::starts(song()));
    EXPECT_FALSE(hold.holding());
    EXPECT_TRUE(test::timeRulesHold(s));
}

INSTANTIATE_TEST_SUITE_P(
    Releases, LineHoldTest,
    ::testing::Values(HoldCase{"Later", 1, 350, true, {100, 350, 550}}, HoldCase{"Earlier", 1, 200, true, {100, 200, 400}},
                      HoldCase{"NotBeforePreviousLineEnd", 1, 120, true, {100, 163, 363}},
                      HoldCase{"FirstLineAnywhereEarlier", 0, 5, true, {5, 205, 405}},
                      HoldCase{"AtLineStartNothing", 1, 300, true, {100, 300, 500}},
                      HoldCase{"SongStoppedNothing", 1, 350, false, {100, 300, 500}}),
    test::CaseName());

TEST(LineHold, NothingHeldWithoutLineOnShow) {
    LyricSheet s = song();
    LineHold hold;
    EXPECT_FALSE(hold.begin(s, 3));
    EXPECT_FALSE(hold.end(s, 600, true).modified);
    EXPECT_EQ(test::starts(s), test::starts(song()));
}

}  // namespace
}  // namespace melnix
