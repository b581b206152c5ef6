// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_sheet.h"

#include <gtest/gtest.h>

#include "lyrics/lyric_text.h"
#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

TEST(LyricSheet, AppendTrimsAndGivesDefaultTimes) {
    LyricSheet s;
    EXPECT_EQ(s.appendLine("  " + g("你好") + "  "), 4);
    const LyricLine& l = *s.lineAt(0);
    EXPECT_EQ(l.text, g("你好"));
    EXPECT_EQ(l.charTimes, times({0, 30, 60}));
    EXPECT_EQ(l.duration, 60);
    EXPECT_EQ(l.startTime, 200);
    EXPECT_EQ(l.flags, 0);

    EXPECT_EQ(s.appendLine("abc"), 3);
    EXPECT_EQ(s.lineAt(1)->startTime, 200 + 60 + 50);
}

TEST(LyricSheet, AppendCutsLongTextAtACharacterBoundary) {
    LyricSheet s;
    // 'a' + 15 Chinese characters = 31 bytes; byte 30 is a second byte.
    EXPECT_EQ(s.appendLine("a" + g("一二三四五六七八九十一二三四五")), 29);
    EXPECT_EQ(s.lineAt(0)->text.size(), 29u);
    EXPECT_EQ(charCount(s.lineAt(0)->text), 15);
}

TEST(LyricSheet, AppendOfNothingLeavesSheetUnchanged) {
    LyricSheet s;
    EXPECT_EQ(s.appendLine(" \t\x01  "), 0);
    EXPECT_EQ(s.appendLine("\xC4"), 0);
    EXPECT_EQ(s.lineCount(), 0);
}

TEST(LyricSheet, AppendBehindALineEndingAtZeroStartsAtZero) {
    LyricSheet s;
    s.addLine(makeLine(0, "x", times({0, 0})));
    s.lineAt(0)->duration = 0;
    s.appendLine("y");
    EXPECT_EQ(s.lineAt(1)->startTime, 0);
}

struct RepairCase {
    const char* name;
    LyricLine in;
    std::string text;
    uint16_t duration;
    std::vector<uint16_t> charTimes;
};

void PrintTo(const RepairCase& c, std::ostream* os) { *os << c.name; }

class NormalizeLinesTest : public ::testing::TestWithParam<RepairCase> {};

TEST_P(NormalizeLinesTest, Repairs) {
    LyricSheet s;
    s.addLine(GetParam().in);
    s.normalizeLines();
    const LyricLine& l = *s.lineAt(0);
    EXPECT_EQ(l.text, GetParam().text);
    EXPECT_EQ(l.duration, GetParam().duration);
    EXPECT_EQ(l.charTimes, GetParam().charTimes);
}

LyricLine lineWith(const std::string& text, uint16_t duration, std::vector<uint16_t> charTimes) {
    LyricLine l;
    l.text = text;
    l.duration = duration;
    l.charTimes = std::move(charTimes);
    return l;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormalizeLinesTest,
    ::testing::Values(
        RepairCase{"ValidLineUntouched", lineWith("abc", 100, times({0, 10, 50, 100})), "abc", 100, times({0, 10, 50, 100})},
        RepairCase{"TooShortGetsDefault", lineWith("abcd", 8, times({0, 2, 4, 6, 8})), "abcd", 120, times({0, 30, 60, 90, 120})},
        RepairCase{"TooLongGetsDefault", lineWith("ab", 30001, times({0, 1, 30001})), "ab", 60, times({0, 30, 60})},
        RepairCase{"WrongEntryCountSpreadsEvenly", lineWith("abc", 100, times({0, 1, 2, 3, 100})), "abc", 100, times({0, 33, 67, 100})},
        RepairCase{"NotIncreasingSpreadsEvenly", lineWith("abc", 90, times({0, 40, 40, 90})), "abc", 90, times({0, 30, 60, 90})},
        RepairCase{"LastEntryDiffersSpreadsEvenly", lineWith("ab", 90, times({0, 40, 80})), "ab", 90, times({0, 45, 90})},
        RepairCase{"FirstEntryNotZeroSpreadsEvenly", lineWith("ab", 90, times({5, 40, 90})), "ab", 90, times({0, 45, 90})},
        RepairCase{"EmptyTextBecomesDot", lineWith("", 0, {}), ".", 30, times({0, 30})},
        RepairCase{"ZeroDurationWithWrongCountGetsDefault", lineWith("abc", 0, times({0})), "abc", 90, times({0, 30, 60, 90})}),
    test::CaseName());

TEST(LyricSheet, OverlongTextCutKeepsEvenTimes) {
    LyricSheet s;
    s.addLine(lineWith(std::string(35, 'x'), 900, {}));
    s.normalizeLines();
    EXPECT_EQ(s.lineAt(0)->charTimes.size(), 31u);
    EXPECT_EQ(s.lineAt(0)->charTimes[1], 30);
}

TEST(LyricSheet, SeparateCarriesAllLaterLines) {
    LyricSheet s;
    s.addLine(makeLine(100, "ab", times({0, 30, 60})));   // ends 160
    s.addLine(makeLine(150, "ab", times({0, 30, 60})));   // must start at 163
    s.addLine(makeLine(400, "ab", times({0, 30, 60})));
    s.separateLines(0);
    EXPECT_EQ(s.lineAt(1)->startTime, 163);
    EXPECT_EQ(s.lineAt(2)->startTime, 413);
}

TEST(LyricSheet, SeparateComparesUnsigned) {
    LyricSheet s;
    s.addLine(makeLine(100, "a", times({0, 30})));
    s.addLine(makeLine(-5, "a", times({0, 30})));  // huge as unsigned: left alone
    s.separateLines(0);
    EXPECT_EQ(s.lineAt(1)->startTime, -5);
}

TEST(LyricSheet, FinishLoadPutsMirroredDurationsInPlace) {
    LyricSheet s;
    s.addLine(makeLine(100, "ab", times({0, 30, 60})));
    s.addLine(makeLine(300, "abc", times({0, 40, 80, 120})));
    s.addLine(makeLine(600, "a", times({0, 50})));
    // As read from the stored format: durations of the mirror lines.
    s.lineAt(0)->duration = 50;
    s.lineAt(2)->duration = 60;
    s.durationsMirrored = true;
    s.finishLoad();
    EXPECT_EQ(s.lineAt(0)->duration, 60);
    EXPECT_EQ(s.lineAt(1)->duration, 120);
    EXPECT_EQ(s.lineAt(2)->duration, 50);
    EXPECT_EQ(s.lineAt(0)->charTimes, times({0, 30, 60}));
}

}  // namespace
}  // namespace melnix
