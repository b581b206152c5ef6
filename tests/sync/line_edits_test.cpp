// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/line_edits.h"

#include <optional>

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/test_files.h"
#include "sync/time_rules.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

using Lines = std::vector<LyricLine>;

LyricSheet sheetFrom(const Lines& lines) {
    LyricSheet s;
    for (const LyricLine& l : lines) s.addLine(l);
    return s;
}

void expectLines(const LyricSheet& s, const Lines& want) {
    ASSERT_EQ(s.lineCount(), static_cast<int>(want.size()));
    for (int i = 0; i < s.lineCount(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        const LyricLine& l = *s.lineAt(i);
        const LyricLine& w = want[static_cast<size_t>(i)];
        EXPECT_EQ(test::u(l.text), test::u(w.text));
        EXPECT_EQ(l.startTime, w.startTime);
        EXPECT_EQ(l.charTimes, w.charTimes);
        EXPECT_EQ(l.duration, w.duration);
        EXPECT_EQ(l.flags, w.flags);
    }
}

enum class Op { Add, Modify, Delete, Split, Merge, Reference };

struct EditCase {
    const char* name;
    Op op;
    Lines before;
    int editPosition;
    std::string box;
    std::optional<Lines> after;  // nullopt: nothing changes
    int timeScale = 1;
};

class LineEditTest : public ::testing::TestWithParam<EditCase> {};

// The song stays where it stood: the editor plays on only when it played
// before the edit.
TEST_P(LineEditTest, ChangesSheetAndLeavesTheSongWhereItStands) {
    const EditCase& c = GetParam();
    LyricSheet s = sheetFrom(c.before);
    EditSpot at{c.editPosition, c.timeScale};
    EditResult r;
    switch (c.op) {
        case Op::Add: r = confirmAdd(s, at, c.box); break;
        case Op::Modify: r = confirmModify(s, at, c.box); break;
        case Op::Delete: r = confirmDelete(s, at); break;
        case Op::Split: r = confirmSplit(s, at, c.box); break;
        case Op::Merge: r = confirmMerge(s, at, c.box); break;
        case Op::Reference: r = confirmReference(s, at, c.box); break;
    }
    expectLines(s, c.after.value_or(c.before));
    EXPECT_EQ(r.modified, c.after.has_value());
    EXPECT_EQ(r.seekUnits, -1);
    EXPECT_EQ(r.transport, TransportAction::Resume);
    EXPECT_TRUE(r.refresh & kRefreshLineList);
    if (c.after) {
        EXPECT_TRUE(test::timeRulesHold(s));
    }
}

// 你好 100..160, 明天 200..250, ab 400..420.
const Lines kSmall = {makeLine(100, g("你好"), times({0, 30, 60})), makeLine(200, g("明天"), times({0, 40, 50})),
                      makeLine(400, "ab", times({0, 10, 20}))};

Lines with(Lines lines, size_t at, LyricLine line) {
    lines.insert(lines.begin() + static_cast<long>(at), std::move(line));
    return lines;
}

Lines moved(Lines lines, size_t from, int32_t by) {
    for (size_t i = from; i < lines.size(); ++i) lines[i].startTime += by;
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Add, LineEditTest,
    ::testing::Values(
        // The new line goes after the line on show and takes the times of the
        // nearest line with the same words.
        EditCase{"CopiesIdenticalEarlierLine", Op::Add, kSmall, 290, g("你好"),
                 with(moved(kSmall, 2, 63), 2, makeLine(290, g("你好"), times({0, 30, 60})))},
        EditCase{"CopiesNearestLineOfSameLength", Op::Add, kSmall, 290, g("再见"),
                 with(moved(kSmall, 2, 53), 2, makeLine(290, g("再见"), times({0, 40, 50})))},
        EditCase{"ThirtyPerCharacterWithoutModel", Op::Add, kSmall, 290, " abc ",
                 with(moved(kSmall, 2, 93), 2, makeLine(290, "abc", times({0, 30, 60, 90})))},
        EditCase{"StartsThreeAfterLineOnShow", Op::Add, kSmall, 210, g("再见"),
                 with(moved(kSmall, 2, 53), 2, makeLine(253, g("再见"), times({0, 40, 50})))},
        EditCase{"BeforeFirstLineMovesAllLines", Op::Add, kSmall, 50, "xy",
                 with(moved(kSmall, 0, 63), 0, makeLine(50, "xy", times({0, 30, 60})))},
        // 明天 comes after the line on show, so 你好 (as long) lends its times.
        EditCase{"IdenticalLaterLineNotUsed", Op::Add, kSmall, 150, g("明天"),
                 with(moved(kSmall, 1, 63), 1, makeLine(163, g("明天"), times({0, 30, 60})))},
        EditCase{"DoubleTimeScale", Op::Add, kSmall, 581, g("你好"),
                 with(moved(kSmall, 2, 63), 2, makeLine(290, g("你好"), times({0, 30, 60}))), 2},
        EditCase{"EmptyTextChangesNothing", Op::Add, kSmall, 290, "   ", std::nullopt},
        EditCase{"IntoEmptySheet", Op::Add, {}, 1000, g("你好"), Lines{makeLine(1000, g("你好"), times({0, 30, 60}))}}),
    test::CaseName());

TEST(ConfirmAdd, PutsViewBeforeNewLine) {
    LyricSheet s = sheetFrom(kSmall);
    EXPECT_EQ(confirmAdd(s, {290, 1}, "x").viewOrigin, 0);
    EXPECT_EQ(confirmAdd(s, {1000, 2}, "x").viewOrigin, 700);
}

TEST(CleanEntryText, TrimsAndCutsToThirtyBytesOnACharacter) {
    EXPECT_EQ(cleanEntryText("  a b \x01 "), "a b");
    // 'a' + 15 Chinese characters: byte 30 is the second half of one.
    EXPECT_EQ(cleanEntryText("a" + g("一二三四五六七八九十一二三四五")), "a" + g("一二三四五六七八九十一二三四"));
}

Lines replaced(Lines lines, size_t at, LyricLine line) {
    lines[at] = std::move(line);
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Modify, LineEditTest,
    ::testing::Values(
        EditCase{"SameCountKeepsTimes", Op::Modify, kSmall, 210, g("明日"),
                 replaced(kSmall, 1, makeLine(200, g("明日"), times({0, 40, 50})))},
        // i x duration / n, truncated: 50 / 3 gives 16, not 17.
        EditCase{"OtherCountSpreadsEvenly", Op::Modify, kSmall, 210, g("明天见"),
                 replaced(kSmall, 1, makeLine(200, g("明天见"), times({0, 16, 33, 50})))},
        EditCase{"TooShortForNewTextGrows", Op::Modify,
                 {makeLine(100, "ab", times({0, 3, 6})), makeLine(200, "c", times({0, 30}))}, 101, "abcdef",
                 Lines{makeLine(100, "abcdef", times({0, 3, 6, 9, 12, 15, 18})), makeLine(212, "c", times({0, 30}))}},
        EditCase{"SameTextChangesNothing", Op::Modify, kSmall, 210, g(" 明天"), std::nullopt},
        EditCase{"EmptyTextChangesNothing", Op::Modify, kSmall, 210, "", std::nullopt},
        EditCase{"PastLastLineChangesNothing", Op::Modify, kSmall, 420, "x", std::nullopt}),
    test::CaseName());

const Lines kFour = {makeLine(100, g("你好"), times({0, 30, 60})), makeLine(200, g("明天"), times({0, 40, 50})),
                     makeLine(400, "ab", times({0, 10, 20})), makeLine(600, "c", times({0, 30}))};

Lines removed(Lines lines, size_t at) {
    lines.erase(lines.begin() + static_cast<long>(at));
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Delete, LineEditTest,
    ::testing::Values(
        // ab takes 明天's place 3 cs after its start; c keeps its distance.
        EditCase{"PullsLaterLinesToThreeAfterStart", Op::Delete, kFour, 210, "", moved(removed(kFour, 1), 1, -197)},
        EditCase{"LastLine", Op::Delete, kFour, 601, "", removed(kFour, 3)},
        EditCase{"NextLineAlreadyCloseStays", Op::Delete,
                 {makeLine(100, "a", times({0, 3})), makeLine(106, "b", times({0, 30}))}, 100, "",
                 Lines{makeLine(106, "b", times({0, 30}))}},
        EditCase{"PastLastLineChangesNothing", Op::Delete, kFour, 700, "", std::nullopt}),
    test::CaseName());

const Lines kSix = {makeLine(100, g("一二三四五六"), times({0, 20, 40, 60, 80, 100, 120}), kLineAltPlacement),
                    makeLine(300, "x", times({0, 30}))};

INSTANTIATE_TEST_SUITE_P(
    Split, LineEditTest,
    ::testing::Values(
        // The first part ends 3 cs before the fourth character; the rest
        // starts at it and ends where the line ended.
        EditCase{"SixAfterThird", Op::Split, kSix, 110, g("一二三"),
                 Lines{makeLine(100, g("一二三"), times({0, 20, 40, 57}), kLineAltPlacement),
                       makeLine(160, g("四五六"), times({0, 20, 40, 60}), kLineAltPlacement),
                       makeLine(300, "x", times({0, 30}))}},
        // The third character keeps 3 cs, so the rest (and every line after
        // it) is pushed 2 cs on.
        EditCase{"CloseCutKeepsLastCharacterThree", Op::Split,
                 {makeLine(100, g("一二三四五六"), times({0, 20, 40, 44, 80, 100, 120})), makeLine(300, "x", times({0, 30}))},
                 110, g("一二三"),
                 Lines{makeLine(100, g("一二三"), times({0, 20, 40, 43})), makeLine(146, g("四五六"), times({0, 36, 56, 76})),
                       makeLine(302, "x", times({0, 30}))}},
        EditCase{"SpacesAtCutDropped", Op::Split, {makeLine(100, g("你好  世界"), times({0, 20, 40, 45, 50, 70, 90}))}, 110,
                 g("你好 "),
                 Lines{makeLine(100, g("你好"), times({0, 20, 37})), makeLine(150, g("世界"), times({0, 20, 40}))}},
        EditCase{"NotTheBeginning", Op::Split, kSix, 110, g("一二四"), std::nullopt},
        EditCase{"WholeText", Op::Split, kSix, 110, g("一二三四五六"), std::nullopt},
        EditCase{"Empty", Op::Split, kSix, 110, " ", std::nullopt}),
    test::CaseName());

// 你好 100..160, 世界 200..280, c at 400.
const Lines kPair = {makeLine(100, g("你好"), times({0, 30, 60})), makeLine(200, g("世界"), times({0, 40, 80})),
                     makeLine(400, "c", times({0, 30}))};

// Two lines of 15 characters, 30 bytes together.
LyricLine fifteen(int32_t start, const char* text, int step) {
    std::vector<uint16_t> t;
    for (int i = 0; i <= 15; ++i) t.push_back(static_cast<uint16_t>(i * step));
    return makeLine(start, text, t);
}

Lines mergedFifteens() {
    std::vector<uint16_t> t;
    for (int i = 0; i < 15; ++i) t.push_back(static_cast<uint16_t>(i * 10));
    for (int i = 0; i <= 15; ++i) t.push_back(static_cast<uint16_t>(200 + i * 8));
    return {makeLine(100, "abcdefghijklmnoABCDEFGHIJKLMNO", t)};
}

INSTANTIATE_TEST_SUITE_P(
    Merge, LineEditTest,
    ::testing::Values(
        EditCase{"WithoutSpaceKeepsBothLinesTimes", Op::Merge, kPair, 110, g("你好世界"),
                 Lines{makeLine(100, g("你好世界"), times({0, 30, 100, 140, 180})), kPair[2]}},
        EditCase{"KeptSpaceRunsFromFirstLineEnd", Op::Merge, kPair, 110, g("你好 世界"),
                 Lines{makeLine(100, g("你好 世界"), times({0, 30, 60, 100, 140, 180})), kPair[2]}},
        EditCase{"OtherTextSpreadsOverBoth", Op::Merge, kPair, 110, g("你世界"),
                 Lines{makeLine(100, g("你世界"), times({0, 60, 120, 180})), kPair[2]}},
        EditCase{"FifteenAndFifteen", Op::Merge,
                 {fifteen(100, "abcdefghijklmno", 10), fifteen(300, "ABCDEFGHIJKLMNO", 8)}, 100,
                 "abcdefghijklmnoABCDEFGHIJKLMNO", mergedFifteens()},
        // Two lines only 2 cs apart leave no room for the space.
        EditCase{"SpaceWithoutRoomSpreads", Op::Merge,
                 {makeLine(100, g("你好"), times({0, 30, 60})), makeLine(162, g("世界"), times({0, 40, 80}))}, 110,
                 g("你好 世界"), Lines{makeLine(100, g("你好 世界"), times({0, 28, 56, 85, 113, 142}))}},
        EditCase{"TooFarApartForOneLine", Op::Merge,
                 {makeLine(100, g("你好"), times({0, 30, 60})), makeLine(40000, g("世界"), times({0, 40, 80}))}, 110,
                 g("你好世界"), std::nullopt},
        EditCase{"NoNextLine", Op::Merge, kPair, 401, "c d", std::nullopt}),
    test::CaseName());

// 你好 three times with different timing, a line of the same length with
// other words, and a longer one.
const Lines kRefs = {makeLine(100, g("你好"), times({0, 30, 60})), makeLine(200, g("世界"), times({0, 20, 70})),
                     makeLine(400, g("你好"), times({0, 45, 90})), makeLine(600, "abc", times({0, 30, 60, 90})),
                     makeLine(800, g("你好"), times({0, 40, 60}))};

Lines referenced() {
    Lines l = moved(kRefs, 3, -30);
    l[2].charTimes = times({0, 30, 60});
    l[2].duration = 60;
    return l;
}

INSTANTIATE_TEST_SUITE_P(
    Reference, LineEditTest,
    ::testing::Values(EditCase{"IdenticalLineLendsTimes", Op::Reference, kRefs, 410, "^001 - " + g("你好"), referenced()},
                      EditCase{"LaterIdenticalLine", Op::Reference, kRefs, 410, "^005 - " + g("你好"),
                               [] {
                                   Lines l = moved(kRefs, 3, -30);
                                   l[2].charTimes = times({0, 40, 60});
                                   l[2].duration = 60;
                                   return l;
                               }()},
                      EditCase{"SameLengthOtherWordsChangesNothing", Op::Reference, kRefs, 410, "^002 - " + g("世界"),
                               std::nullopt},
                      EditCase{"SelfChangesNothing", Op::Reference, kRefs, 410, "^003 - x", std::nullopt},
                      EditCase{"NoSuchLine", Op::Reference, kRefs, 410, "^099 - x", std::nullopt},
                      EditCase{"NotAnEntry", Op::Reference, kRefs, 410, g("你好"), std::nullopt}),
    test::CaseName());

TEST(ReferenceList, IdenticalLinesFirstThenSameLength) {
    LyricSheet s = sheetFrom(kRefs);
    ReferenceList list = referenceList(s, {410, 1});
    const std::string self = g("(本句,勿用! Don't use self!)");
    EXPECT_EQ(list.entries, (std::vector<std::string>{"^001 - " + g("你好"), "^003 - " + self, "^005 - " + g("你好"),
                                                      "^001 - " + g("你好"), "^002 - " + g("世界"), "^005 - " + g("你好")}));
    EXPECT_EQ(list.boxText, "^001 - " + g("你好"));
}

TEST(ReferenceList, OffersSameLengthLinesWhenNoneIsIdentical) {
    LyricSheet s = sheetFrom(kRefs);
    ReferenceList list = referenceList(s, {210, 1});
    EXPECT_EQ(list.entries.front(), "^002 - " + g("(本句,勿用! Don't use self!)"));
    EXPECT_EQ(list.boxText, "^001 - " + g("你好"));
    // The mark in the interface's language; the box still names another line.
    list = referenceList(s, {210, 1}, "(this line)");
    EXPECT_EQ(list.entries.front(), "^002 - (this line)");
    EXPECT_EQ(list.boxText, "^001 - " + g("你好"));
}

TEST(ReferenceList, EmptyWithoutAnotherLineOfSameLength) {
    LyricSheet s = sheetFrom(kRefs);
    EXPECT_TRUE(referenceList(s, {610, 1}).entries.empty());
    EXPECT_TRUE(referenceList(s, {5000, 1}).entries.empty());
}

TEST(CancelEdit, LeavesTheSongWhereItStands) {
    EditResult r = cancelEdit({301, 2});
    EXPECT_FALSE(r.modified);
    EXPECT_EQ(r.seekUnits, -1);
    EXPECT_EQ(r.transport, TransportAction::Resume);
}

}  // namespace
}  // namespace melnix
