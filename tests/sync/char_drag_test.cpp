// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/char_drag.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/test_files.h"
#include "sync/time_rules.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

// 你好 100..160, 世界和 200..260, c 400..430.
LyricSheet song() {
    return test::sheetOf({makeLine(100, g("你好"), times({0, 30, 60})), makeLine(200, g("世界和"), times({0, 20, 40, 60})),
                          makeLine(400, "c", times({0, 30}))});
}

struct DragCase {
    const char* name;
    int grabAt;  // editor units
    int timeScale;
    std::vector<int> pointer;  // where the pointer moves to, in turn
    std::vector<int32_t> starts;
    std::vector<uint16_t> firstLineTimes;
    int minLineGap = 3;
};

class CharDragTest : public ::testing::TestWithParam<DragCase> {};

TEST_P(CharDragTest, MovesCharacterAndLaterOnes) {
    const DragCase& c = GetParam();
    LyricSheet s = song();
    CharDrag drag;
    ASSERT_TRUE(drag.begin(s, c.grabAt, c.timeScale, 0, 100));
    for (int u : c.pointer) {
        drag.moveTo(s, u);
        ASSERT_TRUE(test::timeRulesHold(s, c.minLineGap)) << "pointer at " << u;
    }
    EXPECT_EQ(test::starts(s), c.starts);
    EXPECT_EQ(s.lineAt(0)->charTimes, c.firstLineTimes);
}

const std::vector<uint16_t> kFirst = times({0, 30, 60});

INSTANTIATE_TEST_SUITE_P(
    Moves, CharDragTest,
    ::testing::Values(
        DragCase{"LaterCharacterRight", 135, 1, {145}, {100, 210, 410}, times({0, 40, 70})},
        DragCase{"LaterCharacterLeftKeepsThreeAfterPrevious", 135, 1, {100}, {100, 173, 373}, times({0, 3, 33})},
        DragCase{"BackAndForth", 135, 1, {145, 125}, {100, 190, 390}, times({0, 20, 50})},
        DragCase{"LastCharacterGrabbedBeyondLineEnd", 170, 1, {180}, {100, 210, 410}, times({0, 40, 70})},
        DragCase{"FirstCharacterMovesWholeLine", 110, 1, {130}, {120, 220, 420}, kFirst},
        DragCase{"FirstCharacterLeftStopsTwoAfterPreviousLine", 205, 1, {100}, {100, 162, 362}, kFirst, 2},
        DragCase{"FirstLineStopsTwoAfterSongStart", 110, 1, {0}, {2, 102, 302}, kFirst},
        // Half centiseconds of the double time scale add up.
        DragCase{"DoubleScaleCountsHalves", 270, 2, {271, 272, 273, 274}, {100, 202, 402}, times({0, 32, 62})},
        DragCase{"LineNeverOutgrowsLimit", 135, 1, {40135}, {100, 30140, 30340}, times({0, 29970, 30000})}),
    test::CaseName());

TEST(CharDrag, NothingToGrabOutsideCharacters) {
    LyricSheet s = song();
    CharDrag drag;
    EXPECT_FALSE(drag.begin(s, 50, 1, 0, 100));
    EXPECT_FALSE(drag.moveTo(s, 90));
    EditResult r = drag.end(70, 0, 1000, 10000, false, true);
    EXPECT_EQ(r.transport, TransportAction::Pause);
    EXPECT_EQ(r.seekUnits, 70);
    EXPECT_EQ(test::starts(s), test::starts(song()));
}

TEST(CharDrag, ReleaseWithoutChangePausesAtPointer) {
    LyricSheet s = song();
    CharDrag drag;
    ASSERT_TRUE(drag.begin(s, 135, 1, 100, 100));
    drag.moveTo(s, 135);
    EditResult r = drag.end(35, 100, 1000, 10000, false, true);
    EXPECT_FALSE(r.slowReplay);
    EXPECT_EQ(r.transport, TransportAction::Pause);
    EXPECT_EQ(r.seekUnits, 135);
}

struct ReplayCase {
    const char* name;
    int timeScale;
    int viewOrigin;
    int speedPercent;
    bool midi;
    int releaseX;  // from the area's left edge; the area is 1000 wide
    int songLengthCs;
    int seek;
    int viewAfter;
};

class DragReplayTest : public ::testing::TestWithParam<ReplayCase> {};

// After a change the song replays from half a second (of sung time) before
// the grabbed character.
TEST_P(DragReplayTest, ReplaysFromBeforeCharacter) {
    const ReplayCase& c = GetParam();
    LyricSheet s = song();
    CharDrag drag;
    ASSERT_TRUE(drag.begin(s, 135 * c.timeScale, c.timeScale, c.viewOrigin, c.speedPercent));
    ASSERT_TRUE(drag.moveTo(s, 145 * c.timeScale));
    EditResult r = drag.end(c.releaseX, c.viewOrigin, 1000, c.songLengthCs, c.midi, true);
    EXPECT_EQ(r.seekUnits, c.seek);
    EXPECT_EQ(r.viewOrigin, c.viewAfter);
    EXPECT_EQ(r.transport, TransportAction::Play);
    EXPECT_TRUE(r.slowReplay);
}

INSTANTIATE_TEST_SUITE_P(
    Replays, DragReplayTest,
    ::testing::Values(ReplayCase{"HalfSecondBefore", 1, 0, 100, false, 145, 10000, 85, -1},
                      ReplayCase{"MidiTwentyUnitsEarlier", 1, 0, 100, true, 145, 10000, 65, -1},
                      ReplayCase{"SlowSpeedShorterLead", 1, 0, 200, false, 145, 10000, 110, -1},
                      // 100 x 100 / 150 rounds to 67.
                      ReplayCase{"DoubleScaleRoundsLead", 2, 0, 150, false, 290, 10000, 203, -1},
                      ReplayCase{"NotBeforeViewStart", 1, 100, 100, false, 45, 10000, 101, -1},
                      ReplayCase{"NearRightEndTurnsView", 1, 0, 100, false, 950, 10000, 334, 333},
                      ReplayCase{"ViewStopsAtSongEnd", 1, 0, 100, false, 950, 1200, 201, 200}),
    test::CaseName());

TEST(CharDrag, AutoScrollCarriesCharacterWithView) {
    LyricSheet s = song();
    CharDrag drag;
    int view = 0;
    ASSERT_TRUE(drag.begin(s, 135, 1, view, 100));
    EXPECT_TRUE(drag.autoScroll(s, 30, view, 1000));
    EXPECT_EQ(view, 2);
    EXPECT_EQ(s.lineAt(0)->charTimes, times({0, 32, 62}));
    EXPECT_EQ(drag.replayPoint(), 87);

    EXPECT_TRUE(drag.autoScroll(s, -200, view, 1000));
    EXPECT_EQ(view, 0) << "never left of the song start";
    EXPECT_EQ(s.lineAt(0)->charTimes, kFirst);
    EXPECT_FALSE(drag.autoScroll(s, -200, view, 1000));
    EXPECT_EQ(s.lineAt(0)->charTimes, kFirst);
}

}  // namespace
}  // namespace melnix
