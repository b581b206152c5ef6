// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/ksc_reader.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/sheet_checks.h"
#include "support/reader_run.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;
using test::times;

LyricSheet readKscText(const std::string& text) { return test::readThrough(readKsc, text); }

TEST(ReadKsc, ScalesCharacterDurationsToTheSpan) {
    LyricSheet s = readKscText("karaoke.add('00:01.000', '00:03.000', '" + g("你好") + "', '100,300');\r\n");
    ASSERT_EQ(s.lineCount(), 1);
    EXPECT_EQ(s.lineAt(0)->startTime, 100);
    EXPECT_EQ(s.lineAt(0)->charTimes, times({0, 50, 200}));
    EXPECT_EQ(s.lineAt(0)->duration, 200);
}

struct KscCase {
    const char* name;
    std::string line;
    int32_t start;
    std::string text;
    std::vector<uint16_t> charTimes;  // empty: no line
};

void PrintTo(const KscCase& c, std::ostream* os) { *os << c.name; }

class ReadKscTest : public ::testing::TestWithParam<KscCase> {};

TEST_P(ReadKscTest, Reads) {
    LyricSheet s = readKscText(GetParam().line + "\r\n");
    if (GetParam().charTimes.empty()) {
        EXPECT_EQ(s.lineCount(), 0);
        return;
    }
    ASSERT_EQ(s.lineCount(), 1);
    EXPECT_EQ(s.lineAt(0)->startTime, GetParam().start);
    EXPECT_EQ(s.lineAt(0)->text, GetParam().text);
    EXPECT_EQ(s.lineAt(0)->charTimes, GetParam().charTimes);
    test::expectSheetInvariants(s);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadKscTest,
    ::testing::Values(
        KscCase{"WithoutDurationsEvenSpread", "karaoke.add('00:10.000',     '00:11.200',     'abcd');", 1000, "abcd",
                times({0, 30, 60, 90, 120})},
        KscCase{"CaseAndLeadingSpaces", "   KARAOKE.ADD('00:10.000',  '00:11.000',  'ab', '1,1');       ", 1000, "ab",
                times({0, 50, 100})},
        KscCase{"BracketsDropped", "karaoke.add('00:01.000', '00:02.000', '[ab]cd', '25,25,25,25');", 100, "abcd",
                times({0, 25, 50, 75, 100})},
        KscCase{"ValuesClampedAndBounded", "karaoke.add('00:00.000', '01:00.000', 'ab', '0,99999');", 0, "ab",
                times({0, 3, 2003})},
        KscCase{"MissingValuesLastThree", "karaoke.add('00:01.000', '00:02.000', 'abc', '50,50');      ", 100, "abc",
                times({0, 50, 100, 103})},
        KscCase{"ShortLineIgnored", "karaoke.add('00:01.000', '00:02.000', 'ab');", 0, "", {}},
        KscCase{"SpanTooShortSkipped", "karaoke.add('00:01.000', '00:01.080', 'abc', '1,1,1');        ", 0, "", {}},
        KscCase{"BadTimeSkipped", "karaoke.add('a0:01.000', '00:02.000', 'abc', '1,1,1');         ", 0, "", {}},
        KscCase{"EmptyTextSkipped", "karaoke.add('00:01.000', '00:02.000', '   ', '1,1,1');         ", 0, "", {}}),
    test::CaseName());

TEST(ReadKsc, PrefixPlacedBeforeTheTextWhenTheGapAllows) {
    LyricSheet s = readKscText(
        "karaoke.add('00:01.000', '00:02.000', 'ab', '50,50', 'x');\r\n"
        "karaoke.add('00:05.000', '00:06.000', 'cd', '50,50', 'pq');\r\n");
    ASSERT_EQ(s.lineCount(), 2);
    // First line: gap 100 from time 0, prefix "x" of 30 units.
    EXPECT_EQ(s.lineAt(0)->text, "xab");
    EXPECT_EQ(s.lineAt(0)->startTime, 70);
    EXPECT_EQ(s.lineAt(0)->charTimes, times({0, 30, 80, 130}));
    // Second line: gap 300 after the first's end.
    EXPECT_EQ(s.lineAt(1)->text, "pqcd");
    EXPECT_EQ(s.lineAt(1)->startTime, 440);
}

TEST(ReadKsc, TextStopsBeforeReachingThirtyBytesWithAWideCharacter) {
    std::string wide;
    for (int i = 0; i < 16; ++i) wide += g("好");
    LyricSheet s = readKscText("karaoke.add('00:01.000', '00:09.000', '" + wide + "');\r\n");
    ASSERT_EQ(s.lineCount(), 1);
    EXPECT_EQ(s.lineAt(0)->text.size(), 28u);
    test::expectSheetInvariants(s);
}

TEST(ReadKsc, RealWorldFileKeepsInvariants) {
    std::string file = "karaoke := CreateKaraokeObject;\r\nkaraoke.rows := 2;\r\nkaraoke.clear;\r\n"
                       "karaoke.songname := '" + g("小城故事") + "';\r\n";
    const char* words[] = {"小城故事多", "充满喜和乐", "若是你到小城来", "收获特别多"};
    int t = 1500;
    for (const char* w : words) {
        const std::string gw = g(w);
        const int n = charCount(gw);
        std::string durations;
        for (int i = 0; i < n; ++i) durations += (i ? "," : "") + std::to_string(300 + 37 * i);
        char a[48], b[48];
        std::snprintf(a, sizeof a, "%02d:%02d.%03d", t / 6000, t / 100 % 60, t % 100 * 10);
        const int end = t + 300 * n;
        std::snprintf(b, sizeof b, "%02d:%02d.%03d", end / 6000, end / 100 % 60, end % 100 * 10);
        file += std::string("karaoke.add('") + a + "', '" + b + "', '" + gw + "', '" + durations + "');\r\n";
        t = end + 120;
    }
    LyricSheet s = readKscText(file);
    EXPECT_EQ(s.lineCount(), 4);
    test::expectSheetInvariants(s);
}

}  // namespace
}  // namespace melnix
