// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lrc_reader.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/gbk_text.h"
#include "support/sheet_checks.h"
#include "support/reader_run.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;
using test::times;

// Reads LRC text straight through the reader, then finishes the load.
LyricSheet readLrcText(const std::string& text) { return test::readThrough(readLrc, text); }

struct Expected {
    int32_t start;
    std::string text;
    uint16_t duration;
    int32_t flags = 0;
};

void expectLines(const LyricSheet& s, const std::vector<Expected>& want) {
    ASSERT_EQ(s.lineCount(), static_cast<int>(want.size()));
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        const LyricLine& l = *s.lineAt(static_cast<int>(i));
        EXPECT_EQ(l.startTime, want[i].start);
        EXPECT_EQ(l.text, want[i].text);
        EXPECT_EQ(l.duration, want[i].duration);
        EXPECT_EQ(l.flags, want[i].flags);
    }
    test::expectSheetInvariants(s);
}

const std::string kNoLyric = g("(.LRC文件中没有有效的LRC歌词)");

struct LrcCase {
    const char* name;
    std::string text;
    std::vector<Expected> lines;
};

void PrintTo(const LrcCase& c, std::ostream* os) { *os << c.name; }

class ReadLrcTest : public ::testing::TestWithParam<LrcCase> {};

TEST_P(ReadLrcTest, Reads) { expectLines(readLrcText(GetParam().text), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadLrcTest,
    ::testing::Values(
        // Span to the next entry is capped at 30 units a byte; the last gets 24 a byte.
        LrcCase{"SeveralTagsOnALine", "[00:12.50][01:02.00]Hello\r\n", {{1250, "Hello", 150}, {6200, "Hello", 120}}},
        LrcCase{"ShortTagWithoutHundredths", "[00:07]Hi there\r\n", {{700, "Hi there", 192}}},
        LrcCase{"FourFractionDigitsGiveNoEntry", "[00:05.1234]text\r\n", {{0, kNoLyric, 684}}},
        LrcCase{"OffsetMovesLater", "[offset:500]\r\n[00:01.00]abc\r\n", {{150, "abc", 72}}},
        LrcCase{"OffsetWithASpace", "[offset: 500]\r\n[00:01.00]abc\r\n", {{150, "abc", 72}}},
        LrcCase{"OffsetWithASign", "[offset:+500]\r\n[00:01.00]abc\r\n", {{150, "abc", 72}}},
        LrcCase{"NegativeOffsetStopsAtZero", "[offset:-20000]\r\n[00:01.00]abc\r\n[00:30.00]def\r\n",
                {{0, "abc", 90}, {1000, "def", 72}}},
        LrcCase{"TitleTagBecomesHeadingAtZero", "[ti:Song]\r\n[00:10.00]abc\r\n",
                {{0, "[ti:Song]", 270, kLineAltPlacement}, {1000, "abc", 72}}},
        LrcCase{"LongTitleLosesTagAndBrackets", "[ti:  A rather long title of this song]\r\n[00:10.00]abc\r\n",
                {{0, "A rather long title of this", 810, kLineAltPlacement},
                 {840, "song", 120, kLineAltPlacement},
                 {1000, "abc", 72}}},
        LrcCase{"TagLinesAfterTimedLinesIgnored", "[00:01.00]abc\r\n[ar:Someone]\r\n", {{100, "abc", 72}}},
        LrcCase{"PunctuationOnlyGivesNoLine", "[00:01.00]!?,;\r\n[00:02.00]ok\r\n", {{200, "ok", 48}}},
        LrcCase{"PunctuationBecomesSingleSpaces", "[00:01.00]  Hi,  you--there!\r\n", {{100, "Hi you there", 288}}},
        LrcCase{"WidePunctuationBlanked", "[00:01.00]" + g("你好，世界") + "\r\n", {{100, g("你好 世界"), 215}}},
        LrcCase{"WebAddressIgnored", "[00:01.00]http://example.com\r\n[00:02.00]ok\r\n", {{200, "ok", 48}}},
        LrcCase{"UnsortedTimesSorted", "[00:09.00]late\r\n[00:01.00]early\r\n", {{100, "early", 150}, {900, "late", 96}}},
        LrcCase{"TooShortSpanGivesNoLine", "[00:01.00]abc\r\n[00:01.10]def\r\n", {{110, "def", 72}}}),
    test::CaseName());

// Lines too close to the next to be sung are left out, as ever, and counted
// so that the user can be told.
TEST(ReadLrc, LinesTooCloseToTheNextAreLeftOutAndCounted) {
    std::string text;
    for (int i = 0; i < 50; ++i) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "[00:01.%02d]", i * 2);  // 0.02 s apart
        text += std::string(tag) + "line\r\n";
    }
    text += "[00:05.00]last\r\n";
    const LyricSheet s = readLrcText(text);
    EXPECT_EQ(s.lineCount(), 2);  // the last of the close ones, and the last line
    EXPECT_EQ(s.droppedOnRead, 49);
    EXPECT_EQ(readLrcText("[00:01.00]a\r\n[00:02.00]b\r\n").droppedOnRead, 0);
}

TEST(ReadLrc, FortyChineseCharactersBreakIntoPiecesThreeUnitsApart) {
    std::string text;
    for (int i = 0; i < 4; ++i) text += g("一二三四五六七八九十");
    LyricSheet s = readLrcText("[00:01.00]" + text + "\r\n[01:00.00]end\r\n");
    ASSERT_EQ(s.lineCount(), 4);
    // 80 bytes: span 5897 capped at 2400, 60 units a character, pieces of 15 characters.
    EXPECT_EQ(s.lineAt(0)->text, text.substr(0, 30));
    EXPECT_EQ(s.lineAt(0)->startTime, 100);
    EXPECT_EQ(s.lineAt(0)->duration, 900);
    EXPECT_EQ(s.lineAt(1)->startTime, 100 + 900 + 3);
    EXPECT_EQ(s.lineAt(2)->text, text.substr(60));
    test::expectSheetInvariants(s);
}

TEST(ReadLrc, BrokenLineSkipsTheSpaceWithoutTheGap) {
    LyricSheet s = readLrcText("[00:01.00]aaaa bbbb cccc dddd eeee ffff gggg hhhh\r\n[01:00.00]x\r\n");
    ASSERT_GE(s.lineCount(), 2);
    EXPECT_EQ(s.lineAt(0)->text, "aaaa bbbb cccc dddd eeee ffff");
    const LyricLine& a = *s.lineAt(0);
    const int u = a.charTimes[1];
    // The space at the break takes one character's time, and no gap of 3 is added.
    EXPECT_EQ(s.lineAt(1)->startTime, a.startTime + u * (29 + 1));
}

TEST(ReadLrc, ManyHeadingsKeepOnlyThoseThatFit) {
    // 250 units before the first timed line: two headings of 125 units fit, a third would not.
    LyricSheet s = readLrcText("[ti:One]\r\n[ar:Two]\r\n[al:Three]\r\n[00:02.50]go\r\n");
    ASSERT_EQ(s.lineCount(), 3);
    EXPECT_EQ(s.lineAt(0)->text, "[ti:One]");
    EXPECT_EQ(s.lineAt(1)->text, "[ar:Two]");
    EXPECT_EQ(s.lineAt(1)->startTime, 125);
    EXPECT_EQ(s.lineAt(2)->text, "go");
}

TEST(ReadLrc, RealWorldFileKeepsInvariants) {
    const std::string file =
        "\xEF\xBB\xBF[ti:" + g("月亮代表我的心") + "]\r\n"
        "[ar:" + g("某歌手") + "]\r\n[al:Album]\r\n[by:someone]\r\n[offset:-150]\r\n\r\n"
        "[00:00.00]" + g("月亮代表我的心 - 某歌手") + "\r\n"
        "[00:16.43]" + g("你问我爱你有多深") + "\r\n"
        "[00:23.18]" + g("我爱你有几分") + "\r\n"
        "[00:29.42][01:40.10][02:51.77]" + g("我的情也真 我的爱也真") + "\r\n"
        "[00:36.35]" + g("月亮代表我的心，轻轻的一个吻，已经打动我的心，深深的一段情，教我思念到如今") + "\r\n"
        "[00:44.00]\r\n"
        "[00:50.10]   \r\n"
        "[99:59.99]" + g("最后") + "\r\n";
    LyricSheet s = readLrcText(file);
    EXPECT_GT(s.lineCount(), 8);
    test::expectSheetInvariants(s);
}

TEST(ReadLrc, GarbageNeverBreaksTheReader) {
    // Tags cut at every length.
    const std::string line = "[12:34.56][01:02]text here\r\n";
    for (size_t n = 0; n < line.size(); ++n) {
        LyricSheet s = readLrcText(line.substr(0, n) + "\r\n[00:01.00]ok\r\n");
        test::expectSheetInvariants(s);
    }
    std::string noise;
    for (int i = 0; i < 4000; ++i) noise.push_back(static_cast<char>((i * 7919) % 251));
    test::expectSheetInvariants(readLrcText("[00:01.00]" + noise));
}

}  // namespace
}  // namespace melnix
