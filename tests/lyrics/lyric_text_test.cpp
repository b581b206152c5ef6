// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_text.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;

TEST(LyricText, BoundariesAndCountsFollowLeadBytes) {
    const std::string t = g("你a好") ;  // bytes: C4 E3 'a' BA C3
    EXPECT_TRUE(isCharBoundary(t, 0));
    EXPECT_FALSE(isCharBoundary(t, 1));
    EXPECT_TRUE(isCharBoundary(t, 2));
    EXPECT_TRUE(isCharBoundary(t, 3));
    EXPECT_FALSE(isCharBoundary(t, 4));
    EXPECT_TRUE(isCharBoundary(t, -3));
    EXPECT_TRUE(isCharBoundary(t, 99));
    EXPECT_EQ(charCount(t), 3);
    EXPECT_EQ(charCount("ab\xC4"), 2);      // a lone lead byte is no character
    EXPECT_EQ(charCount("\xC4" "a"), 1);    // any byte after a lead byte is its pair
    EXPECT_EQ(charCount(std::string("ab\0cd", 5)), 2);  // text ends at NUL
}

struct TrimCase {
    const char* name;
    std::string in;
    std::string out;
};

void PrintTo(const TrimCase& c, std::ostream* os) { *os << c.name; }

class TrimLyricTextTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimLyricTextTest, Trims) { EXPECT_EQ(trimLyricText(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimLyricTextTest,
    ::testing::Values(TrimCase{"SpacesAround", "  " + g("你好") + "  ", g("你好")},
                      TrimCase{"InnerSpacesKept", " a  b ", "a  b"},
                      TrimCase{"ControlBytesDropped", "a\tb\x01" "c\x1F", "abc"},
                      TrimCase{"PairWithControlSecondDropped", "a\xC4\x09" "b", "ab"},
                      TrimCase{"DanglingLeadEnds", "ab\xC4", "ab"},
                      TrimCase{"ControlThenSpacesAtHead", "\x01  x", "x"},
                      TrimCase{"OnlySpacesAndControls", " \t \x02 ", ""}),
    test::CaseName());

TEST(LyricText, TrimRightRemovesSpacesDelAndDanglingLead) {
    std::string a = "ab \x7F  ";
    trimRight(a);
    EXPECT_EQ(a, "ab");
    std::string b = "ab \xC4";
    trimRight(b);
    EXPECT_EQ(b, "ab");
    std::string c = g("你好") + " ";
    trimRight(c);
    EXPECT_EQ(c, g("你好"));
    std::string d = "  lead";
    trimRight(d);
    EXPECT_EQ(d, "  lead");  // only the right side
}

TEST(LyricText, CutToBytesNeverSplitsACharacter) {
    const std::string t = "a" + g("一二三四五六七八九十一二三四五六");  // 1 + 32 bytes
    EXPECT_EQ(cutToBytes(t, 30).size(), 29u);
    EXPECT_EQ(cutToBytes(t, 31).size(), 31u);
    EXPECT_EQ(cutToBytes("short", 30), "short");
}

struct BreakCase {
    const char* name;
    std::string text;
    int expected;
};

void PrintTo(const BreakCase& c, std::ostream* os) { *os << c.name; }

class FindBreakPositionTest : public ::testing::TestWithParam<BreakCase> {};

TEST_P(FindBreakPositionTest, Breaks) { EXPECT_EQ(findBreakPosition(GetParam().text, 30), GetParam().expected); }

// 14 characters (28 bytes), then punctuation, then more text: 40 bytes in all.
const std::string k14 = g("一二三四五六七八九十一二三四");
const std::string k13 = g("一二三四五六七八九十一二三");

INSTANTIATE_TEST_SUITE_P(
    Cases, FindBreakPositionTest,
    ::testing::Values(
        BreakCase{"AfterWideComma", k14 + g("，五六七八九"), 30},
        BreakCase{"NotBeforeClosingMarks", k14 + g("，。六七八九"), 26},
        BreakCase{"NotAfterOpeningMark", k14 + g("《书名》九十"), 28},
        BreakCase{"HardCutWithoutMarks", k14 + g("五六七八九十"), 30},
        BreakCase{"OddLimitStepsBack", "a" + k14 + g("五六七八九"), 29},
        BreakCase{"AfterLastSpace", "hello world and more words here", 27},
        BreakCase{"AfterAsciiClosing", "abcdefghij,klmnopqrstuvwxyz0123456789", 11},
        BreakCase{"NeverInFirstFourBytes", "abc " + std::string(30, 'x'), 30},
        BreakCase{"OnlyMarksCutHard", std::string(40, '.'), 30}),
    test::CaseName());

}  // namespace
}  // namespace melnix
