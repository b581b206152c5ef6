// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/speed_table.h"
#include "editor/core/action_enabling.h"
#include "editor/core/clock_text.h"
#include "editor/core/relayout.h"
#include "editor/core/slider_math.h"
#include "playback/core/volume.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"

namespace melnix {
namespace {

using test::g;

TEST(EditorRules, ClockAndSizeTexts) {
    EXPECT_EQ(formatClock(0), "0:00.0");
    EXPECT_EQ(formatClock(6000 * 3 + 1234), "3:12.3");
    EXPECT_EQ(formatClock(59999), "9:59.9");
    EXPECT_EQ(formatFileSize(499), "0K");
    EXPECT_EQ(formatFileSize(1500), "2K");
    EXPECT_EQ(formatFileSize(4180000), "4180K");
}

TEST(EditorRules, VolumeAndSpeedChoices) {
    EXPECT_EQ(volumeLevelFromTrack(0), 1000);
    EXPECT_EQ(volumeLevelFromTrack(1000), 20);  // never silent from the trackbar
    EXPECT_EQ(volumeLevelFromTrack(990), 20);
    EXPECT_EQ(waveVolume(1000), 65535u);
    EXPECT_EQ(midiVolume(555), 55);
    EXPECT_EQ(nextSpeedIndex(4, 0), 0);
    EXPECT_EQ(nextSpeedIndex(0, 0), 4);  // the selected speed again: back to normal
    EXPECT_EQ(nextSpeedIndex(2, 9), 4);
    EXPECT_EQ(nextSpeedIndex(2, -1), 4);
}

LyricSheet sheetOf(std::initializer_list<std::string> lines) {
    LyricSheet s;
    for (const std::string& l : lines) s.appendLine(l);
    return s;
}

TEST(EditorRules, ActionButtonsFollowTheLine) {
    const std::string six = g("一二三四五六"), five = g("一二三四五"), fifteen = g("一二三四五六七八九十一二三四五");
    const std::string seven = g("一二三四五六七"), eight = g("一二三四五六七八");
    struct {
        const char* name;
        LyricSheet sheet;
        int line;
        ActionEnabling want;
    } cases[] = {
        {"NoLine", sheetOf({six}), 3, {true, false, false, false, false}},
        {"SixCharactersSplit", sheetOf({six}), 0, {true, true, true, false, false}},
        {"FiveCharactersDoNot", sheetOf({five}), 0, {true, true, false, false, false}},
        {"ElevenBytesDoNot", sheetOf({g("一二三四五") + "a"}), 0, {true, true, false, false, false}},
        {"ThirtyBytesMerge", sheetOf({seven, eight}), 0, {true, true, true, true, false}},
        {"ThirtyOneBytesDoNot", sheetOf({seven, eight + "x"}), 0, {true, true, true, false, false}},
        {"IdenticalTextReferenced", sheetOf({fifteen, five, fifteen}), 2, {true, true, true, false, true}},
        {"LastLineHasNoMerge", sheetOf({five, five}), 1, {true, true, false, false, true}},
        {"SameLengthIsNotIdentical", sheetOf({five, g("五四三二一")}), 0, {true, true, false, true, false}},
    };
    for (const auto& c : cases) {
        ActionEnabling e = actionEnabling(c.sheet, c.line);
        EXPECT_EQ(e.modify, c.want.modify) << c.name;
        EXPECT_EQ(e.split, c.want.split) << c.name;
        EXPECT_EQ(e.merge, c.want.merge) << c.name;
        EXPECT_EQ(e.reference, c.want.reference) << c.name;
    }
}

TEST(EditorRules, SliderArithmetic) {
    SliderMath s;
    s.setRange(0, 10000);
    EXPECT_EQ(SliderMath::usableWidth(420, 20), 410);
    EXPECT_TRUE(s.setPos(5000, 420, 20));
    EXPECT_EQ(s.thumbX, 205);
    EXPECT_FALSE(s.setPos(5001, 420, 20));  // same pixel: no repaint
    EXPECT_EQ(s.getPos(420, 20), 5000);
    EXPECT_TRUE(s.setPos(20000, 420, 20));  // limited to the range
    EXPECT_EQ(s.thumbX, 410);
    s.setRange(5, 5);  // ignored
    EXPECT_EQ(s.rangeSpan, 10000);
    EXPECT_TRUE(s.dragTo(105, 420, 20));
    EXPECT_EQ(s.thumbX, 100);
    EXPECT_TRUE(s.dragTo(-50, 420, 20));
    EXPECT_EQ(s.thumbX, 0);
    EXPECT_TRUE(s.dragTo(5000, 420, 20));
    EXPECT_EQ(s.getPos(420, 20), 10000);
}

TEST(EditorRules, RelayoutAroundTheStretchRectangle) {
    const IntRect stretch{0, 0, 640, 150};
    // Grown from 640 x 480 to 1280 x 720.
    EXPECT_EQ(relayoutRect({10, 400, 90, 424}, stretch, 640, 480, 1280, 720), (IntRect{20, 640, 180, 664}));
    EXPECT_EQ(relayoutRect({0, 50, 640, 100}, stretch, 640, 480, 1280, 720), (IntRect{0, 130, 1280, 260}));
    EXPECT_EQ(relayoutRect({10, 400, 90, 424}, {}, 640, 480, 1280, 720), (IntRect{20, 600, 180, 636}));
    // A child right of a narrower stretch moves by the growth.
    EXPECT_EQ(relayoutRect({500, 20, 600, 40}, {0, 0, 400, 150}, 640, 480, 1280, 720), (IntRect{1140, 52, 1240, 104}));
}

}  // namespace
}  // namespace melnix
