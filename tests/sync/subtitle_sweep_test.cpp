// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/subtitle_sweep.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/test_files.h"
#include "sync/time_rules.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

// ab 100..120, 你好吗 300..390, c 500..530; the sweeps are over 你好吗.
LyricSheet song() {
    return test::sheetOf({makeLine(100, "ab", times({0, 10, 20})), makeLine(300, g("你好吗"), times({0, 30, 60, 90})),
                          makeLine(500, "c", times({0, 30}))});
}

struct Move {
    int t;
    int charIndex;
};

struct SweepCase {
    const char* name;
    std::vector<Move> moves;
    int endTime;
    bool reachedEnd;
    std::vector<int32_t> starts;           // every line after the sweep
    std::vector<uint16_t> sweptCharTimes;  // of 你好吗
    bool applied;
    int seek;  // cs
};

class SubtitleSweepTest : public ::testing::TestWithParam<SweepCase> {};

TEST_P(SubtitleSweepTest, AppliesOrReplays) {
    const SweepCase& c = GetParam();
    LyricSheet s = song();
    SubtitleSweep sweep;
    sweep.begin(1);
    for (const Move& m : c.moves) sweep.move(s, m.t, m.charIndex);
    EditResult r = sweep.end(s, c.endTime, c.reachedEnd, true, 1);
    EXPECT_EQ(test::starts(s), c.starts);
    EXPECT_EQ(s.lineAt(1)->charTimes, c.sweptCharTimes);
    EXPECT_EQ(r.modified, c.applied);
    EXPECT_EQ(r.seekUnits, c.seek);
    EXPECT_EQ(r.viewOrigin, c.seek);
    EXPECT_EQ(r.transport, TransportAction::PauseThenResume);
    EXPECT_TRUE(test::timeRulesHold(s));
    EXPECT_FALSE(sweep.active());
}

const std::vector<uint16_t> kUnswept = times({0, 30, 60, 90});

INSTANTIATE_TEST_SUITE_P(
    Sweeps, SubtitleSweepTest,
    ::testing::Values(
        // The first time is set 20 cs back for the hand's delay.
        SweepCase{"AppliesWholeSweep", {{310, 0}, {320, 1}, {330, 2}}, 360, true, {100, 290, 500}, times({0, 30, 40, 70}), true,
                  290},
        SweepCase{"FirstTimeNotBeforePreviousLineEnd", {{130, 0}, {200, 1}, {250, 2}}, 300, true, {100, 123, 500},
                  times({0, 77, 127, 177}), true, 123},
        SweepCase{"CloseCharactersSpreadToThree", {{310, 0}, {320, 1}, {321, 2}}, 340, true, {100, 290, 500},
                  times({0, 30, 33, 50}), true, 290},
        SweepCase{"FirstReachKept", {{310, 0}, {320, 1}, {325, 0}, {330, 2}, {331, 1}}, 360, true, {100, 290, 500},
                  times({0, 30, 40, 70}), true, 290},
        SweepCase{"LongLinePushesLaterLines", {{310, 0}, {320, 1}, {330, 2}}, 520, true, {100, 290, 523},
                  times({0, 30, 40, 230}), true, 290},
        // A time reached before the line before it ended counts from 3 cs
        // after that end.
        SweepCase{"NeverStartsBeforePreviousLineEnds", {{115, -1}, {118, 0}, {150, 1}, {200, 2}}, 260, true, {100, 123, 500},
                  times({0, 27, 77, 137}), true, 123},
        // Failures replay from a second before the first swept time, or from
        // the previous line's end when that is later.
        SweepCase{"EndTooSoonFails", {{310, 0}, {320, 1}, {330, 2}}, 332, true, {100, 300, 500}, kUnswept, false, 190},
        SweepCase{"OutOfOrderFails", {{310, 0}, {320, 2}, {330, 1}}, 360, true, {100, 300, 500}, kUnswept, false, 190},
        SweepCase{"MissedCharacterFails", {{310, 0}, {330, 2}}, 360, true, {100, 300, 500}, kUnswept, false, 190},
        SweepCase{"FailureNearPreviousLineReplaysFromItsEnd", {{150, 0}, {200, 1}, {210, 2}}, 212, true, {100, 300, 500},
                  kUnswept, false, 120},
        SweepCase{"LongerThanALineMayBeFails", {{310, 0}, {320, 1}, {330, 2}}, 30291, true, {100, 300, 500}, kUnswept,
                  false, 190},
        SweepCase{"HalfSweepChangesNothing", {{310, 0}, {320, 1}}, 330, false, {100, 300, 500}, kUnswept, false, 120}),
    test::CaseName());

TEST(SubtitleSweep, ShortSweepOnFirstLineReplaysSecondBeforeIt) {
    LyricSheet s = song();
    SubtitleSweep sweep;
    sweep.begin(0);
    sweep.move(s, 150, 0);
    EditResult r = sweep.end(s, 160, false, true, 2);
    EXPECT_EQ(r.seekUnits, 60);  // (150 - 20 - 100) x 2
    EXPECT_EQ(r.transport, TransportAction::PauseThenResume);
    EXPECT_EQ(s.lineAt(0)->startTime, 100);
}

TEST(SubtitleSweep, ShortSweepAtSongStartReplaysFromZero) {
    LyricSheet s = song();
    SubtitleSweep sweep;
    sweep.begin(0);
    sweep.move(s, 10, -1);
    EXPECT_EQ(sweep.end(s, 60, false, true, 1).seekUnits, 0);
}

TEST(SubtitleSweep, ClickWithoutMovePlaysStoppedSong) {
    LyricSheet s = song();
    SubtitleSweep sweep;
    sweep.begin(1);
    EXPECT_EQ(sweep.end(s, 300, false, false, 1).transport, TransportAction::Play);
    sweep.begin(1);
    EXPECT_EQ(sweep.end(s, 300, false, true, 1).transport, TransportAction::Keep);
}

TEST(SubtitleSweep, NothingWhenSongStoppedDuringSweep) {
    LyricSheet s = song();
    SubtitleSweep sweep;
    sweep.begin(1);
    for (Move m : {Move{310, 0}, Move{320, 1}, Move{330, 2}}) sweep.move(s, m.t, m.charIndex);
    EditResult r = sweep.end(s, 360, true, false, 1);
    EXPECT_FALSE(r.modified);
    EXPECT_EQ(r.seekUnits, -1);
    EXPECT_EQ(s.lineAt(1)->startTime, 300);
}

TEST(SubtitleSweep, NewSweepForgetsOldTimes) {
    LyricSheet s = song();
    SubtitleSweep sweep;
    sweep.begin(1);
    sweep.move(s, 310, 0);
    sweep.move(s, 320, 1);
    sweep.end(s, 330, false, true, 1);
    sweep.begin(1);
    sweep.move(s, 410, 2);
    EXPECT_EQ(sweep.sweepTimes, (std::vector<int>{SubtitleSweep::kNotSwept, SubtitleSweep::kNotSwept, 390}));
}

TEST(SubtitleSweep, NoLineOnShowRecordsNothing) {
    LyricSheet s = song();
    SubtitleSweep sweep;
    sweep.begin(3);
    sweep.move(s, 600, 0);
    EXPECT_FALSE(sweep.sweepStarted);
    EXPECT_EQ(sweep.end(s, 610, true, true, 1).transport, TransportAction::Keep);
}

}  // namespace
}  // namespace melnix
