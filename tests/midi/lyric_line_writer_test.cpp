// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/lyric_line_writer.h"

#include <gtest/gtest.h>

#include "midi/smf_builder.h"

namespace melnix {
namespace {

struct MinimumCase {
    const char* name;
    std::vector<int32_t> times;
    int32_t spare;
    bool ok;
    std::vector<int32_t> expected;
};

void PrintTo(const MinimumCase& c, std::ostream* os) { *os << c.name; }

class MinimumTimeTest : public ::testing::TestWithParam<MinimumCase> {};

TEST_P(MinimumTimeTest, RaisesShortCharacters) {
    const MinimumCase& c = GetParam();
    std::vector<int32_t> times = c.times;
    EXPECT_EQ(applyMinimumTime(times, c.spare), c.ok);
    EXPECT_EQ(times, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MinimumTimeTest,
    ::testing::Values(
        MinimumCase{"NothingShort", {40, 50}, 100, true, {40, 50}},  // spare stays unused
        MinimumCase{"SpareFirstAndTheLastRaisedTakesTheRest", {10, 50}, 40, true, {50, 50}},
        MinimumCase{"BorrowsFromTheCharacterBefore", {40, 10, 50}, 0, true, {30, 30, 40}},
        MinimumCase{"BorrowsAfterWhenNoneBefore", {10, 35, 60}, 0, true, {30, 30, 45}},
        MinimumCase{"NeverBelowTheMinimum", {31, 31, 10, 100}, 0, true, {30, 30, 30, 82}},
        MinimumCase{"SpareThenBorrow", {10, 60}, 5, true, {30, 45}},
        MinimumCase{"TooShort", {10, 10}, 30, false, {10, 10}},
        MinimumCase{"ExactlyEnough", {0, 0, 90}, 0, true, {30, 30, 30}}),
    [](const auto& p) { return std::string(p.param.name); });

LineChar ch(const char* bytes, int32_t ms) { return {bytes, ms}; }

TEST(LyricLineWriterTest, WritesCentisecondTimes) {
    LyricSheet sheet;
    LyricLineWriter w(sheet);
    ASSERT_TRUE(w.write(1234, {ch("\xC4\xE3", 255), ch("a", 130)}, 0, kLineAltPlacement));
    ASSERT_EQ(sheet.lineCount(), 1);
    const LyricLine& l = *sheet.lineAt(0);
    EXPECT_EQ(l.startTime, 123);
    EXPECT_EQ(l.flags, kLineAltPlacement);
    EXPECT_EQ(l.text, "\xC4\xE3" "a");
    EXPECT_EQ(l.charTimes, (std::vector<uint16_t>{0, 25, 38}));
    EXPECT_EQ(l.duration, 38);
    EXPECT_EQ(w.previousEndMs(), 1234 + 385);
}

TEST(LyricLineWriterTest, ClearsTheSheetOnlyWhenALineIsWritten) {
    LyricSheet sheet;
    sheet.appendLine("old");
    {
        LyricLineWriter w(sheet);
        EXPECT_FALSE(w.write(0, {ch("a", 10)}, 0, 0));
    }
    EXPECT_EQ(sheet.lineCount(), 1);
    LyricLineWriter w(sheet);
    EXPECT_TRUE(w.write(0, {ch("a", 40)}, 0, 0));
    ASSERT_EQ(sheet.lineCount(), 1);
    EXPECT_EQ(sheet.lineAt(0)->text, "a");
}

TEST(LyricLineWriterTest, KeepsThirtyMillisecondsAfterThePreviousLine) {
    LyricSheet sheet;
    LyricLineWriter w(sheet);
    ASSERT_TRUE(w.write(0, {ch("a", 100)}, 0, 0));
    ASSERT_TRUE(w.write(110, {ch("b", 60), ch("c", 100)}, 0, 0));
    const LyricLine& l = *sheet.lineAt(1);
    EXPECT_EQ(l.startTime, 13);
    EXPECT_EQ(l.charTimes, (std::vector<uint16_t>{0, 4, 14}));  // 40 + 100 ms
    EXPECT_EQ(test::modelRuleBreach(sheet), "");
}

TEST(LyricLineWriterTest, WritesOnlyWholeCharactersAndNoSpacesAtTheEnds) {
    LyricSheet sheet;
    LyricLineWriter w(sheet);
    // A lone lead byte and a lead byte before a space are no characters:
    // their time goes to the character before; the spaces around go.
    ASSERT_TRUE(w.write(1000, {ch("\xC4", 40), ch(" ", 100), ch("a", 50), ch("\xC4", 20), ch("\xC4 ", 30),
                              ch("b", 60), ch(" ", 70)},
                        0, 0));
    const LyricLine& l = *sheet.lineAt(0);
    EXPECT_EQ(l.text, "ab");
    EXPECT_EQ(l.startTime, 114);
    EXPECT_EQ(l.charTimes, (std::vector<uint16_t>{0, 10, 16}));
    EXPECT_EQ(test::modelRuleBreach(sheet), "");
    EXPECT_FALSE(w.write(5000, {ch(" ", 100), ch("\xC4", 100)}, 0, 0));
}

TEST(LyricLineWriterTest, SqueezesALineLongerThanTheModelAllows) {
    LyricSheet sheet;
    LyricLineWriter w(sheet);
    std::vector<LineChar> chars(20, ch("x", 32000));
    ASSERT_TRUE(w.write(0, chars, 0, 0));
    EXPECT_EQ(sheet.lineAt(0)->duration, 30000);
    EXPECT_EQ(test::modelRuleBreach(sheet), "");
}

TEST(ShareEvenlyTest, SharesAddUpExactly) {
    EXPECT_EQ(shareEvenly(1970, 4), (std::vector<int32_t>{493, 492, 493, 492}));
    EXPECT_EQ(shareEvenly(10, 3), (std::vector<int32_t>{3, 4, 3}));
}

TEST(ScaleToTotalTest, KeepsProportionsAndTheTotal) {
    std::vector<int32_t> t = {100, 300, 600};
    scaleToTotal(t, 500);
    EXPECT_EQ(t, (std::vector<int32_t>{50, 150, 300}));
}

}  // namespace
}  // namespace melnix
