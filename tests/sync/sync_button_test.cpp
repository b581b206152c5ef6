// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/sync_button.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/test_files.h"
#include "sync/time_rules.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

// What the user does, in order: press or release the button at a song
// position, or move the mouse (which starts a new run).
struct Step {
    char what;  // 'P' press, 'R' release, 'M' mouse moved, 'B' step back
    int t;
};

struct Timing {
    int32_t start;
    std::vector<uint16_t> charTimes;
};

struct PressCase {
    const char* name;
    std::vector<LyricLine> sheet;
    std::vector<Step> steps;
    std::vector<Timing> after;
    int syncLine;
    int syncChar;
};

class SyncButtonTest : public ::testing::TestWithParam<PressCase> {};

TEST_P(SyncButtonTest, TimesCharacters) {
    const PressCase& c = GetParam();
    LyricSheet s;
    for (const LyricLine& l : c.sheet) s.addLine(l);
    SyncButton button;
    for (const Step& step : c.steps) {
        if (step.what == 'P') button.press(s, step.t);
        if (step.what == 'R') button.release(s, step.t);
        if (step.what == 'M') button.startRun();
        if (step.what == 'B') button.stepBack(s);
        ASSERT_TRUE(test::timeRulesHold(s)) << "after " << step.what << " at " << step.t;
    }
    ASSERT_EQ(s.lineCount(), static_cast<int>(c.after.size()));
    for (int i = 0; i < s.lineCount(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        EXPECT_EQ(s.lineAt(i)->startTime, c.after[static_cast<size_t>(i)].start);
        EXPECT_EQ(s.lineAt(i)->charTimes, c.after[static_cast<size_t>(i)].charTimes);
    }
    EXPECT_EQ(button.syncLine, c.syncLine);
    EXPECT_EQ(button.syncChar, c.syncChar);
}

// 你好，世界 100..230, 明天 400..480, ab 600..620 (nothing to press), 再见 700..760.
const std::vector<LyricLine> kSong = {makeLine(100, g("你好，世界"), times({0, 30, 60, 70, 100, 130})),
                                      makeLine(400, g("明天"), times({0, 40, 80})), makeLine(600, "ab", times({0, 10, 20})),
                                      makeLine(700, g("再见"), times({0, 30, 60}))};
const auto kSongTail = [](int by) {
    return std::vector<Timing>{{400 + by, times({0, 40, 80})}, {600 + by, times({0, 10, 20})}, {700 + by, times({0, 30, 60})}};
};

std::vector<Timing> firstLineThen(std::vector<uint16_t> first, int32_t start, int by) {
    std::vector<Timing> v{{start, std::move(first)}};
    for (const Timing& t : kSongTail(by)) v.push_back(t);
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Presses, SyncButtonTest,
    ::testing::Values(
        PressCase{"FirstPressStartsLine", kSong, {{'P', 110}}, firstLineThen(times({0, 30, 60, 70, 100, 130}), 110, 10), 0, 0},
        PressCase{"NextPressMovesCharacterAndEverythingAfter", kSong, {{'P', 110}, {'R', 112}, {'P', 150}},
                  firstLineThen(times({0, 40, 70, 80, 110, 140}), 110, 20), 0, 1},
        PressCase{"SkipsComma", kSong, {{'P', 110}, {'R', 112}, {'P', 150}, {'R', 160}, {'P', 200}},
                  firstLineThen(times({0, 40, 70, 90, 120, 150}), 110, 30), 0, 3},
        // Of two commas passed over, the first lasts until the button came up
        // after the last press; the second moves with it.
        PressCase{"FirstSkippedEndsAtRelease", {makeLine(100, g("你，，好"), times({0, 30, 40, 50, 80}))},
                  {{'P', 100}, {'R', 145}, {'P', 200}}, {{100, times({0, 30, 45, 100, 130})}}, 0, 3},
        PressCase{"ReleaseTooSoonAfterSkippedStartLeavesIt", {makeLine(100, g("你，，好"), times({0, 30, 40, 50, 80}))},
                  {{'P', 100}, {'R', 132}, {'P', 200}}, {{100, times({0, 30, 40, 100, 130})}}, 0, 3},
        // 世 comes before the comma's start + 3: the comma is pulled toward 好
        // (which keeps its pressed time) to make room.
        PressCase{"EarlyPressPullsEarlierCharactersTogether", kSong,
                  {{'P', 110}, {'R', 111}, {'P', 150}, {'R', 151}, {'P', 175}},
                  firstLineThen(times({0, 40, 62, 65, 95, 125}), 110, 5), 0, 3},
        // Nothing after the last pressed character may move back, so the
        // press lands 3 cs after it.
        PressCase{"PressRightAfterLastOneKeepsThree", kSong, {{'P', 110}, {'P', 111}},
                  firstLineThen(times({0, 3, 33, 43, 73, 103}), 110, -17), 0, 1},
        // A tap taken back: the next press times 好 again, later.
        PressCase{"StepBackRetimesTheLastCharacter", kSong, {{'P', 110}, {'R', 112}, {'P', 150}, {'B', 152}, {'P', 160}},
                  firstLineThen(times({0, 50, 80, 90, 120, 150}), 110, 30), 0, 1},
        PressCase{"StepBackAtTheFirstCharacterRetimesIt", kSong, {{'P', 110}, {'B', 112}, {'P', 120}},
                  firstLineThen(times({0, 30, 60, 70, 100, 130}), 120, 20), 0, 0},
        // 明 tapped far too late is tapped again: the line and those after it
        // come back, 界 giving up what 明 needs to start 3 cs after it.
        PressCase{"StepBackRetimesALateLineStart", kSong,
                  {{'P', 110}, {'P', 150}, {'P', 175}, {'P', 200}, {'P', 400}, {'B', 401}, {'P', 215}},
                  firstLineThen(times({0, 40, 62, 65, 90, 102}), 110, -185), 1, 0},
        PressCase{"FirstPressInGapTakesNextLine", kSong, {{'P', 300}},
                  {{100, times({0, 30, 60, 70, 100, 130})}, {300, times({0, 40, 80})}, {500, times({0, 10, 20})},
                   {600, times({0, 30, 60})}},
                  1, 0},
        PressCase{"FirstPressBeforeFirstLine", kSong, {{'P', 50}}, firstLineThen(times({0, 30, 60, 70, 100, 130}), 50, -50), 0,
                  0},
        // From 天 the run passes over ab to 再.
        PressCase{"RunCrossesLinesWithoutPresses", kSong, {{'P', 410}, {'R', 412}, {'P', 460}, {'R', 465}, {'P', 750}},
                  {{100, times({0, 30, 60, 70, 100, 130})}, {410, times({0, 50, 90})}, {620, times({0, 10, 20})},
                   {750, times({0, 30, 60})}},
                  3, 0},
        // The last character of a line held: it lasts until the release,
        // and the line ends there, sooner or later than it did.
        PressCase{"HoldingTheLastCharacterEndsTheLineAtTheRelease", kSong,
                  {{'P', 410}, {'R', 412}, {'P', 450}, {'R', 560}},
                  {{100, times({0, 30, 60, 70, 100, 130})}, {410, times({0, 40, 150})}, {680, times({0, 10, 20})},
                   {780, times({0, 30, 60})}},
                  1, 1},
        PressCase{"ATapOnTheLastCharacterKeepsItsLength", kSong, {{'P', 410}, {'R', 412}, {'P', 450}, {'R', 470}},
                  {{100, times({0, 30, 60, 70, 100, 130})}, {410, times({0, 40, 80})}, {610, times({0, 10, 20})},
                   {710, times({0, 30, 60})}},
                  1, 1},
        PressCase{"AHoldMayEndTheLineEarlier", {makeLine(100, g("你好"), times({0, 30, 60}))},
                  {{'P', 100}, {'R', 101}, {'P', 130}, {'R', 157}}, {{100, times({0, 30, 57})}}, 0, 1},
        PressCase{"PunctuationAfterAHeldCharacterFollowsIt", {makeLine(100, g("你好！"), times({0, 30, 60, 70}))},
                  {{'P', 100}, {'R', 101}, {'P', 130}, {'R', 200}}, {{100, times({0, 30, 100, 110})}}, 0, 1},
        // Holding a character inside the line is a tap like any other.
        PressCase{"HoldingInsideALineChangesNothing", {makeLine(100, g("你好"), times({0, 30, 60}))},
                  {{'P', 100}, {'R', 190}}, {{100, times({0, 30, 60})}}, 0, 0},
        PressCase{"PastLastLineEndsRun", kSong, {{'P', 710}, {'P', 740}, {'P', 800}},
                  {{100, times({0, 30, 60, 70, 100, 130})}, {400, times({0, 40, 80})}, {600, times({0, 10, 20})},
                   {710, times({0, 30, 60})}},
                  -1, -2},
        PressCase{"MouseMoveStartsNewRun", kSong, {{'P', 110}, {'M', 0}, {'P', 410}},
                  {{110, times({0, 30, 60, 70, 100, 130})}, {410, times({0, 40, 80})}, {610, times({0, 10, 20})},
                   {710, times({0, 30, 60})}},
                  1, 0},
        // The opening quote is passed over; pressing for 你 before the line
        // starts pulls the line's start back so the quote fits before it.
        PressCase{"FirstPressPullsLineStartForLeadingQuote",
                  {makeLine(100, "ab", times({0, 10, 20})), makeLine(200, g("“你”"), times({0, 30, 60, 90}))}, {{'P', 195}},
                  {{100, times({0, 10, 20})}, {192, times({0, 3, 33, 63})}}, 1, 1},
        PressCase{"LateStillKeepsLineWithinLimit", {makeLine(100, g("你好"), times({0, 30, 60}))}, {{'P', 100}, {'P', 40000}},
                  {{100, times({0, 29970, 30000})}}, 0, 1}),
    test::CaseName());

TEST(SyncButton, NothingLeftToPressResetsSilently) {
    LyricSheet s;
    s.addLine(makeLine(100, "abc", times({0, 10, 20, 30})));
    SyncButton button;
    EditResult r = button.press(s, 100);
    EXPECT_FALSE(r.modified);
    EXPECT_EQ(button.syncLine, -1);
    EXPECT_EQ(s.lineAt(0)->startTime, 100);
}

TEST(SyncButton, PressMarksModified) {
    LyricSheet s;
    s.addLine(makeLine(100, g("你"), times({0, 30})));
    SyncButton button;
    EXPECT_TRUE(button.press(s, 120).modified);
}

}  // namespace
}  // namespace melnix
