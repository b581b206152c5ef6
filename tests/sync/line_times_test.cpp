// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/line_times.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/test_files.h"
#include "sync/time_rules.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

// 你好 100..160, 世界和平 200..280, ab 400..420.
LyricSheet threeLines() {
    return test::sheetOf({makeLine(100, g("你好"), times({0, 30, 60})),
                          makeLine(200, g("世界和平"), times({0, 20, 40, 60, 80})),
                          makeLine(400, "ab", times({0, 10, 20}))});
}

enum class Finder { Edit, Display, Current };

struct FinderCase {
    const char* name;
    Finder finder;
    int p;
    int timeScale;
    int line;
};

class LineFinderTest : public ::testing::TestWithParam<FinderCase> {};

TEST_P(LineFinderTest, FindsLine) {
    const FinderCase& c = GetParam();
    LyricSheet s = threeLines();
    int found = c.finder == Finder::Edit      ? LineForEdit(s, c.p, c.timeScale)
                : c.finder == Finder::Current ? CurrentLine(s, c.p, c.timeScale)
                                              : LineForDisplay(s, c.p, c.timeScale);
    EXPECT_EQ(found, c.line);
    EXPECT_EQ(test::starts(s), (std::vector<int32_t>{100, 200, 400})) << "a sound sheet is left alone";
}

INSTANTIATE_TEST_SUITE_P(
    Positions, LineFinderTest,
    ::testing::Values(FinderCase{"EditBeforeAll", Finder::Edit, 0, 1, 0},
                      FinderCase{"EditLastCentisecondOfLine", Finder::Edit, 159, 1, 0},
                      FinderCase{"EditAtLineEndTakesNext", Finder::Edit, 160, 1, 1},
                      FinderCase{"EditInGapTakesNext", Finder::Edit, 300, 1, 2},
                      FinderCase{"EditPastLastLine", Finder::Edit, 420, 1, 3},
                      FinderCase{"EditDoubleScaleHalves", Finder::Edit, 319, 2, 0},
                      FinderCase{"EditDoubleScaleAtEnd", Finder::Edit, 320, 2, 1},
                      FinderCase{"CurrentTenBeforeEnd", Finder::Current, 149, 1, 0},
                      FinderCase{"CurrentMovesOnTenBeforeEnd", Finder::Current, 150, 1, 1},
                      FinderCase{"CurrentPastLastLine", Finder::Current, 410, 1, 3},
                      FinderCase{"CurrentDoubleScale", Finder::Current, 300, 2, 1},
                      FinderCase{"DisplayBeforeFirstLine", Finder::Display, 99, 1, -1},
                      FinderCase{"DisplayAtStart", Finder::Display, 100, 1, 0},
                      FinderCase{"DisplayInGapKeepsLineBefore", Finder::Display, 199, 1, 0},
                      FinderCase{"DisplayPastEnd", Finder::Display, 5000, 1, 2},
                      FinderCase{"DisplayDoubleScale", Finder::Display, 400, 2, 1}),
    test::CaseName());

TEST(LineFinder, EmptySheetHasNoLine) {
    LyricSheet s;
    EXPECT_EQ(LineForEdit(s, 0, 1), 0);
    EXPECT_EQ(CurrentLine(s, 0, 1), 0);
    EXPECT_EQ(LineForDisplay(s, 0, 1), -1);
}

struct RepairCase {
    const char* name;
    LyricLine damaged;  // goes between 你好 (100..160) and ab at 400
    int32_t start;
    std::vector<uint16_t> charTimes;
    int32_t lastStart;
};

class FinderRepairTest : public ::testing::TestWithParam<RepairCase> {};

// A line that ends too close after the one before it is made sound on the
// way, and everything after it moves with it.
TEST_P(FinderRepairTest, RepairsLineOnTheWay) {
    const RepairCase& c = GetParam();
    LyricSheet s = test::sheetOf({makeLine(100, g("你好"), times({0, 30, 60})), c.damaged,
                                  makeLine(400, "ab", times({0, 10, 20}))});
    EXPECT_EQ(LineForEdit(s, 0, 1), 0) << "a line found before the damage repairs nothing";
    EXPECT_EQ(s.lineAt(1)->startTime, c.damaged.startTime);

    EXPECT_EQ(LineForEdit(s, 161, 1), 1);
    EXPECT_EQ(s.lineAt(1)->startTime, c.start);
    EXPECT_EQ(s.lineAt(1)->charTimes, c.charTimes);
    EXPECT_EQ(s.lineAt(2)->startTime, c.lastStart);
    EXPECT_TRUE(test::timeRulesHold(s));
}

INSTANTIATE_TEST_SUITE_P(
    Damage, FinderRepairTest,
    ::testing::Values(RepairCase{"Overlapping", makeLine(150, g("世界"), times({0, 5, 10})), 163, times({0, 5, 10}), 413},
                      RepairCase{"NoLength", makeLine(160, g("世界"), times({0, 0, 0})), 163, times({0, 30, 60}), 403}),
    test::CaseName());

TEST(LineFinder, TheLineShownOnlyReads) {
    LyricSheet s = test::sheetOf({makeLine(100, g("你好"), times({0, 30, 60})), makeLine(150, g("世界"), times({0, 5, 10}))});
    EXPECT_EQ(CurrentLine(s, 145, 1), 0);
    EXPECT_EQ(CurrentLine(s, 155, 1), 2) << "both lines end at 1.6 s";
    EXPECT_EQ(s.lineAt(1)->startTime, 150) << "showing a line never repairs the lyric behind the user's back";
    EXPECT_EQ(s.lineAt(1)->charTimes, times({0, 5, 10}));
}

TEST(ShiftLinesFrom, MovesLineAndAllLaterOnes) {
    LyricSheet s = threeLines();
    ShiftLinesFrom(s, 1, -37);
    EXPECT_EQ(test::starts(s), (std::vector<int32_t>{100, 163, 363}));
}

TEST(ShiftLinesFrom, ZeroRepairsOverlapsCarryingLaterLines) {
    // 你好 100..160; 世界和平 overlaps it (150..230); ab at 232 is then too
    // close after the moved line and needs one more centisecond.
    LyricSheet s = test::sheetOf({makeLine(100, g("你好"), times({0, 30, 60})),
                                  makeLine(150, g("世界和平"), times({0, 20, 40, 60, 80})),
                                  makeLine(232, "ab", times({0, 10, 20}))});
    ShiftLinesFrom(s, 0, 0);
    EXPECT_EQ(test::starts(s), (std::vector<int32_t>{100, 163, 246}));

    LyricSheet fromLater = threeLines();
    fromLater.lineAt(0)->startTime = 190;  // overlaps line 1, but the repair starts after it
    ShiftLinesFrom(fromLater, 1, 0);
    EXPECT_EQ(test::starts(fromLater), (std::vector<int32_t>{190, 200, 400}));
}

struct BoxCase {
    const char* name;
    int p;
    int timeScale;
    int line;
    int index;
};

class CharBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(CharBoxTest, FindsCharacterUnderPointer) {
    const BoxCase& c = GetParam();
    LyricSheet s = threeLines();
    CharRef at = charBoxAt(s, c.p, c.timeScale);
    EXPECT_EQ(at.line, c.line);
    EXPECT_EQ(at.index, c.index);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, CharBoxTest,
    ::testing::Values(BoxCase{"BeforeFirstLine", 99, 1, -1, -1}, BoxCase{"FirstChar", 100, 1, 0, 0},
                      BoxCase{"BoxEndsAtNextChar", 130, 1, 0, 1},
                      BoxCase{"LastBoxReachesPastLineEnd", 199, 1, 0, 1},
                      BoxCase{"NextLineBeatsReach", 200, 1, 1, 0},
                      BoxCase{"ReachOverGap", 300, 1, 1, 3},
                      BoxCase{"RealBoxInsideEarlierReach", 400, 1, 2, 0},
                      BoxCase{"NearerReachWins", 420, 1, 2, 1},
                      BoxCase{"ReachEnds", 620, 1, -1, -1},
                      BoxCase{"DoubleScale", 260, 2, 0, 1}),
    test::CaseName());

struct TimedCase {
    const char* name;
    std::string text;
    std::vector<bool> timed;
};

class TimedCharTest : public ::testing::TestWithParam<TimedCase> {};

TEST_P(TimedCharTest, OnlyDoubleByteOutsideSymbolRowsAreTimed) {
    const TimedCase& c = GetParam();
    for (size_t i = 0; i < c.timed.size(); ++i) EXPECT_EQ(isTimedChar(c.text, static_cast<int>(i)), c.timed[i]) << i;
    EXPECT_FALSE(isTimedChar(c.text, static_cast<int>(c.timed.size())));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TimedCharTest,
    ::testing::Values(TimedCase{"ChineseAndComma", g("你，好"), {true, false, true}},
                      TimedCase{"LatinAndSpace", g("a 你"), {false, false, true}},
                      TimedCase{"Quotes", g("“啊”"), {false, true, false}},
                      TimedCase{"FullWidthLetterAndCircledDigit", g("ａ①齐"), {false, false, true}},
                      TimedCase{"DanglingLeadByte", std::string("a\xC4"), {false}}),
    test::CaseName());

}  // namespace
}  // namespace melnix
