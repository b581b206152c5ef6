// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/syllable_lines.h"

#include <gtest/gtest.h>

#include "midi/smf_builder.h"

namespace melnix {
namespace {

RecordArray<MidiSyllable> words(std::initializer_list<MidiSyllable> list) {
    RecordArray<MidiSyllable> a;
    for (const MidiSyllable& s : list) a.append(s);
    return a;
}

struct Built {
    LyricSheet sheet;
    int count = 0;
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const LyricLine& l : sheet) t.push_back(l.text);
        return t;
    }
    const LyricLine& line(int i) const { return *sheet.lineAt(i); }
};

Built build(const RecordArray<MidiSyllable>& s, int32_t songLengthMs = 100000) {
    Built b;
    b.count = BuildLinesFromSyllables(s, songLengthMs, b.sheet);
    EXPECT_EQ(b.count, b.sheet.lineCount());
    EXPECT_EQ(test::modelRuleBreach(b.sheet), "");
    return b;
}

using Times = std::vector<uint16_t>;
using Texts = std::vector<std::string>;

TEST(SyllableLinesTest, CarriageReturnLineFeedEndsTheLineAfterIt) {
    Built b = build(words({{0, "Hel", 200}, {200, "lo//", 300}, {600, "World", 400}}));
    ASSERT_EQ(b.texts(), (Texts{"Hello", "World"}));
    EXPECT_EQ(b.line(0).startTime, 0);
    EXPECT_EQ(b.line(0).charTimes, (Times{0, 6, 13, 20, 35, 50}));
    EXPECT_EQ(b.line(1).startTime, 60);
    EXPECT_EQ(b.line(1).charTimes, (Times{0, 8, 16, 24, 32, 40}));
}

TEST(SyllableLinesTest, SlashAtTheNextSyllableEndsTheLine) {
    Built b = build(words({{0, "ab", 100}, {100, "/", 0}, {100, "cd", 100}}));
    ASSERT_EQ(b.texts(), (Texts{"ab", "cd"}));
    EXPECT_EQ(b.line(0).duration, 10);
    // No gap between them: the second line starts 30 ms after the first.
    EXPECT_EQ(b.line(1).startTime, 13);
    EXPECT_EQ(b.line(1).charTimes, (Times{0, 3, 7}));
}

TEST(SyllableLinesTest, BackslashMarksParagraphsTheSameWay) {
    Built b = build(words({{0, "\\one", 300}, {300, "\\two", 300}}));
    EXPECT_EQ(b.texts(), (Texts{"one", "two"}));
}

TEST(SyllableLinesTest, HeaderTextProducesNoLines) {
    Built b = build(words({{0, "@KMIDI KARAOKE FILE", 0}, {0, "@TTitle", 0}, {0, "@LENGL", 100},
                           {100, "\\Sing", 500}}));
    EXPECT_EQ(b.texts(), (Texts{"Sing"}));
}

TEST(SyllableLinesTest, LineOf31SingleByteCharactersIsSplit) {
    Built b = build(words({{0, std::string(31, 'a'), 3100}}));
    ASSERT_EQ(b.texts(), (Texts{std::string(30, 'a'), "a"}));
    EXPECT_EQ(b.line(0).duration, 300);
}

TEST(SyllableLinesTest, LongLineBreaksAfterASpaceAndDropsIt) {
    // 34 bytes in syllables of a word and its space each, 100 ms a byte.
    Built b = build(words({{0, "twinkle ", 800}, {800, "twinkle ", 800}, {1600, "little ", 700},
                           {2300, "star how ", 900}, {3200, "I", 100}}));
    ASSERT_EQ(b.texts(), (Texts{"twinkle twinkle little star", "how I"}));
    // The dropped space at the break is spare time: the next line starts
    // after it.
    EXPECT_EQ(b.line(0).duration, 270);
    EXPECT_EQ(b.line(1).startTime, 280);
}

TEST(SyllableLinesTest, LeadingSpacesMoveTheStart) {
    Built b = build(words({{1000, "  ab", 400}}));
    ASSERT_EQ(b.texts(), (Texts{"ab"}));
    EXPECT_EQ(b.line(0).startTime, 120);
    EXPECT_EQ(b.line(0).duration, 20);
}

TEST(SyllableLinesTest, TrailingSpacesShortenTheLastSyllable) {
    Built b = build(words({{0, "ab  ", 400}}));
    ASSERT_EQ(b.texts(), (Texts{"ab"}));
    EXPECT_EQ(b.line(0).duration, 20);
}

TEST(SyllableLinesTest, TwoByteCharacterGetsTwoShares) {
    Built b = build(words({{0, "\xC4\xE3" "a", 300}}));
    ASSERT_EQ(b.sheet.lineCount(), 1);
    EXPECT_EQ(b.line(0).charTimes, (Times{0, 20, 30}));
}

TEST(SyllableLinesTest, ShortLineBorrowsThePauseBeforeTheNextWords) {
    Built b = build(words({{0, "abcd/", 40}, {1000, "next", 400}}));
    ASSERT_EQ(b.texts(), (Texts{"abcd", "next"}));
    // 40 ms of characters and 320 ms of the pause: up to 90 ms a character.
    EXPECT_EQ(b.line(0).charTimes, (Times{0, 3, 6, 9, 36}));
}

TEST(SyllableLinesTest, LastLineBorrowsUntilTheSongEnds) {
    Built b = build(words({{0, "ab", 20}}), 5000);
    ASSERT_EQ(b.sheet.lineCount(), 1);
    EXPECT_EQ(b.line(0).charTimes, (Times{0, 3, 18}));
}

TEST(SyllableLinesTest, LineThatCannotHaveThirtyMillisecondsACharacterIsDropped) {
    Built b = build(words({{0, "abcd/", 40}, {50, "next", 400}}));
    EXPECT_EQ(b.texts(), (Texts{"next"}));
    EXPECT_EQ(b.line(0).startTime, 5);
}

TEST(SyllableLinesTest, WordsThatStartBeforeThePreviousLineEndsAreSkipped) {
    Built b = build(words({{0, "ab/", 1000}, {500, "cd/", 100}, {2000, "ef", 100}}));
    EXPECT_EQ(b.texts(), (Texts{"ab", "ef"}));
}

TEST(SyllableLinesTest, SyllablesInsideALineLastUntilTheNextOne) {
    Built b = build(words({{0, "a", 10}, {400, "b", 10}, {1000, "c/", 200}}));
    ASSERT_EQ(b.sheet.lineCount(), 1);
    EXPECT_EQ(b.line(0).charTimes, (Times{0, 40, 100, 120}));
}

TEST(SyllableLinesTest, NoWordsLeaveTheSheetAlone) {
    LyricSheet sheet;
    sheet.appendLine("kept");
    EXPECT_EQ(BuildLinesFromSyllables(words({{0, "@T", 10}, {10, "/", 10}, {20, "   ", 10}}), 1000, sheet), 0);
    ASSERT_EQ(sheet.lineCount(), 1);
    EXPECT_EQ(sheet.lineAt(0)->text, "kept");
}

TEST(SyllableLinesTest, EveryLineKeepsTheModelRulesOnLongChineseText) {
    // 40 characters in one syllable, commas inside: broken at punctuation.
    std::string text;
    for (int i = 0; i < 40; ++i) text += (i % 9 == 8) ? "\xA3\xAC" : "\xC4\xE3";
    Built b = build(words({{0, text, 8000}}));
    ASSERT_GE(b.sheet.lineCount(), 3);
    for (const LyricLine& l : b.sheet) EXPECT_LE(l.text.size(), 30u);
}

}  // namespace
}  // namespace melnix
