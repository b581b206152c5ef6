// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/core/subtitle_wipe.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace melnix {
namespace {

SubtitleLayout layoutOf(int textLeft, int textWidth, std::vector<uint16_t> charX) {
    SubtitleLayout l;
    l.textLeft = textLeft;
    l.textWidth = textWidth;
    l.charCount = static_cast<int>(charX.size()) - 1;
    for (size_t k = 0; k < charX.size(); ++k) l.charX[k] = charX[k];
    return l;
}

struct LeftCase {
    int box, width;
    bool centred;
    int left;
};

TEST(SubtitleLayout, TextLeftCentresOnlyWhatFits) {
    const LeftCase cases[] = {
        {700, 300, true, 200},
        {700, 301, true, 199},   // the odd pixel goes right
        {700, 300, false, 0},
        {300, 300, true, 0},
        {300, 840, true, 0},     // wider than the box: from the left, cut at the edge
        {300, 840, false, 0},
    };
    for (const LeftCase& c : cases)
        EXPECT_EQ(textLeftInBox(c.box, c.width, c.centred), c.left) << c.box << " " << c.width << " " << c.centred;
}

TEST(SubtitleLayout, CharAtFindsTheCharacterUnderX) {
    // Three characters at 10..30, 30..50, 50..60.
    SubtitleLayout l = layoutOf(10, 50, {0, 20, 40, 50});
    const std::pair<int, int> cases[] = {
        {-5, -1}, {9, -1},        // left of the text
        {10, 0}, {29, 0},
        {30, 1}, {49, 1},
        {50, 2}, {59, 2},
        {60, 2}, {1000, 2},       // at and past the right end: the last character
    };
    for (auto [x, k] : cases) EXPECT_EQ(charAt(l, x), k) << "x " << x;
}

TEST(SubtitleLayout, CharAtOfNoTextIsNone) {
    EXPECT_EQ(charAt(SubtitleLayout{}, 0), -1);
    EXPECT_EQ(charAt(SubtitleLayout{}, 100), -1);
}

TEST(SubtitleLayout, CharAtRightOfMeasuredPartGivesLastMeasured) {
    // A text measured only in part: the measured characters end before the
    // text does.
    SubtitleLayout l = layoutOf(0, 300, {0, 100, 200});
    EXPECT_EQ(charAt(l, 250), 1);
}

TEST(LineTiming, DefaultsToOneSecond) {
    LineTiming t;
    EXPECT_EQ(t.lineStart, 0);
    EXPECT_EQ(t.lineEnd, 100);
    EXPECT_EQ(t.lineLength, 100);
    EXPECT_TRUE(t.charTimes.empty());
}

struct TimingCase {
    int32_t start, end;
    int32_t lineStart, lineEnd, lineLength;
};

TEST(LineTiming, EndAtOrBeforeStartBecomesOneUnitLong) {
    const TimingCase cases[] = {
        {100, 300, 100, 300, 200},
        {300, 300, 300, 301, 1},
        {300, 100, 300, 301, 1},
        {INT_MAX, INT_MAX, INT_MAX - 1, INT_MAX, 1},
        {INT_MIN, INT_MAX, INT_MIN, INT_MAX, INT_MAX},  // too long to hold: cut
    };
    for (const TimingCase& c : cases) {
        LineTiming t = makeLineTiming(c.start, c.end, {});
        EXPECT_EQ(t.lineStart, c.lineStart) << c.start << ".." << c.end;
        EXPECT_EQ(t.lineEnd, c.lineEnd) << c.start << ".." << c.end;
        EXPECT_EQ(t.lineLength, c.lineLength) << c.start << ".." << c.end;
    }
}

TEST(LineTiming, KeepsItsOwnCopyOfTheCharacterTable) {
    std::vector<uint16_t> table{0, 30, 60};
    LineTiming t = makeLineTiming(0, 60, table);
    table.assign({9, 9, 9});
    EXPECT_EQ(t.charTimes, (std::vector<uint16_t>{0, 30, 60}));
}

TEST(LineTiming, TableWithoutAnEndIsNoTable) {
    const uint16_t one[] = {0};
    EXPECT_TRUE(makeLineTiming(0, 60, one).charTimes.empty());
}

struct WipeCase {
    int32_t t;
    int x;
};

TEST(Wipe, WithoutTableMovesEvenlyOverTheLine) {
    SubtitleLayout l = layoutOf(40, 300, {0, 100, 200, 300});
    LineTiming timing = makeLineTiming(100, 300, {});
    const WipeCase cases[] = {
        {INT_MIN, 0}, {50, 0}, {99, 0}, {100, 0},   // not yet sung
        {101, 2},      // 1.5 rounds up
        {103, 5},      // 4.5 rounds up
        {200, 150},
        {299, 299},    // 298.5
        {300, 300},
        {301, 300}, {100000, 300}, {INT_MAX, 300},  // past the line
    };
    for (const WipeCase& c : cases) EXPECT_EQ(wipePosition(l, timing, c.t), c.x) << "t " << c.t;
}

TEST(Wipe, WithTableMovesThroughEachCharacterAtItsOwnSpeed) {
    // Characters 0..41, 41..100, 100..120; the whole text is a little wider
    // than the characters measured one by one.
    SubtitleLayout l = layoutOf(0, 125, {0, 41, 100, 120});
    const uint16_t table[] = {0, 50, 60, 200};
    LineTiming timing = makeLineTiming(1000, 1200, table);
    const WipeCase cases[] = {
        {999, 0},
        {1000, 0},
        {1003, 2},      // 2.46
        {1025, 21},     // 20.5 rounds up
        {1049, 40},     // 40.18
        {1050, 41},     // start of the second character
        {1055, 71},     // 41 + 29.5 rounds up
        {1060, 100},
        {1130, 110},
        {1199, 120},    // 100 + 19.86
        {1200, 125},    // the line's end: the whole text
        {5000, 125},
    };
    for (const WipeCase& c : cases) EXPECT_EQ(wipePosition(l, timing, c.t), c.x) << "t " << c.t;
}

TEST(Wipe, TableStartingLateHoldsTheWipeAtTheFirstCharacter) {
    SubtitleLayout l = layoutOf(0, 100, {0, 50, 100});
    const uint16_t table[] = {20, 50, 100};
    LineTiming timing = makeLineTiming(0, 100, table);
    EXPECT_EQ(wipePosition(l, timing, 5), 0);
    EXPECT_EQ(wipePosition(l, timing, 35), 25);
}

TEST(Wipe, ShortTableCoversOnlyItsCharacters) {
    SubtitleLayout l = layoutOf(0, 90, {0, 30, 60, 90});
    const uint16_t table[] = {0, 40};
    LineTiming timing = makeLineTiming(0, 120, table);
    EXPECT_EQ(wipePosition(l, timing, 20), 15);
    EXPECT_EQ(wipePosition(l, timing, 40), 90);
}

TEST(Wipe, NothingToShowStaysAtZero) {
    const uint16_t table[] = {0, 40};
    EXPECT_EQ(wipePosition(SubtitleLayout{}, makeLineTiming(0, 100, {}), 50), 0);
    EXPECT_EQ(wipePosition(SubtitleLayout{}, makeLineTiming(0, 100, table), 50), 0);
}

TEST(SubtitleFont, FitsSevenEighthsOfTheBox) {
    struct Case {
        int box, width, height;
    };
    const Case cases[] = {
        {121, 78, 106},   // 106 * 37 / 50 = 78.44
        {66, 42, 58},
        {7, 5, 7},
        {0, 0, 0},
    };
    for (const Case& c : cases) {
        FontSize s = fitFontSize(c.box);
        EXPECT_EQ(s.width, c.width) << c.box;
        EXPECT_EQ(s.height, c.height) << c.box;
    }
    EXPECT_EQ(rimWidth(121), 5);
    EXPECT_EQ(letterOffset(121), 2);
    EXPECT_EQ(rimWidth(21), 0);
}

}  // namespace
}  // namespace melnix
