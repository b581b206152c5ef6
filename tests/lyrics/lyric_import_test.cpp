// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_import.h"
#include "lyrics/lyric_text.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;

TEST(LyricImport, TabsExpandToEightColumnsCountingWideCharactersAsTwo) {
    EXPECT_EQ(expandTabs("a\tb"), "a       b");
    EXPECT_EQ(expandTabs(g("你") + "\tx"), g("你") + "      x");
    EXPECT_EQ(expandTabs("12345678\t"), "12345678        ");
}

TEST(LyricImport, FirstPunctuationPassIsLightLaterPassesFull) {
    std::vector<std::string> lines = {g("你好，世界！"), g("《书名》“引号”") + "(x)"};
    PunctuationRemover remover;
    remover.apply(lines);
    EXPECT_EQ(lines[0], g("你好 世界"));
    EXPECT_EQ(lines[1], g("《书名》“引号”") + "(x)");  // brackets and quotes survive the light pass
    remover.apply(lines);
    EXPECT_EQ(lines[1], g("书名 引号") + " x");
}

TEST(LyricImport, PunctuationRemovalDetails) {
    EXPECT_EQ(removePunctuation("a,,, b", PunctuationSet::Light), "a b");
    EXPECT_EQ(removePunctuation("say \"hi\"", PunctuationSet::Light), "say hi");  // quote always removed
    EXPECT_EQ(removePunctuation("a\x01" "b", PunctuationSet::Light), "ab");
    EXPECT_EQ(removePunctuation("a\xC4\x05" "b", PunctuationSet::Light), "ab");
    EXPECT_EQ(removePunctuation("a\xA9\xA4" "b", PunctuationSet::Light), "a b");  // box drawing
    EXPECT_EQ(removePunctuation("x\xC4", PunctuationSet::Full), "x");
}

// As few pieces as fit, of about equal length, at a space or after
// punctuation near the balanced point when there is one; never a piece that
// begins with closing punctuation.
TEST(LyricImport, AutoBreakGivesBalancedPiecesWithoutOrphans) {
    const struct {
        const char* line;  // UTF-8; GBK in the lyric
        std::vector<const char*> pieces;
    } cases[] = {
        {"一二三四五六七八九十一二三四五六", {"一二三四五六七八", "九十一二三四五六"}},  // 16: 8 + 8
        {"一二三四五六七八九十一二三四，。五六七八", {"一二三四五六七八九十", "一二三四，。五六七八"}},
        {"一二三四五六七，八九十一二三四五六七", {"一二三四五六七，", "八九十一二三四五六七"}},
        {"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一",
         {"一二三四五六七八九十一", "二三四五六七八九十一", "二三四五六七八九十一"}},
        {"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll mmmm",
         {"aaaa bbbb cccc dddd", "eeee ffff gggg hhhh", "iiii jjjj kkkk llll mmmm"}},
        {"Walking down the river road in the morning", {"Walking down the river", "road in the morning"}},
        {"short", {"short"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> expected;
        for (const char* p : c.pieces) expected.push_back(g(p));
        std::vector<std::string> lines = {g(c.line)};
        breakLongLines(lines);
        EXPECT_EQ(lines, expected);
        for (const std::string& l : lines) EXPECT_LE(static_cast<int>(l.size()), kMaxLineBytes);
    }
}

TEST(LyricImport, CheckEditLines) {
    const std::string sixteen = g("一二三四五六七八九十一二三四五六");
    EditLinesCheck tooLong = checkEditLines({"ok", sixteen, "x"}, true);
    EXPECT_FALSE(tooLong.ok);
    EXPECT_EQ(tooLong.longLine, 1);
    EXPECT_TRUE(checkEditLines({"ok", sixteen}, false).ok);  // saving allows long lines

    EditLinesCheck blank = checkEditLines({"", "   ", "\t"}, true);
    EXPECT_FALSE(blank.ok);
    EXPECT_TRUE(blank.empty);
    EXPECT_TRUE(checkEditLines({}, true).empty);
}

TEST(LyricImport, TakeLinesReplacesOrAppends) {
    LyricSheet sheet;
    sheet.appendLine("old");
    takeEditLines(sheet, {"  new one ", "", "two"}, false);
    ASSERT_EQ(sheet.lineCount(), 3);
    EXPECT_EQ(sheet.lineAt(1)->text, "new one");
    EXPECT_EQ(sheet.lineAt(1)->startTime, 200 + 90 + 50);

    takeEditLines(sheet, {"fresh"}, true);
    ASSERT_EQ(sheet.lineCount(), 1);
    EXPECT_EQ(sheet.lineAt(0)->startTime, 200);
}

TEST(LyricImport, TextFilesReadWithWideBreaksAndSaveWithEndMark) {
    test::TempDir dir;
    test::writeFile(dir.file("in.txt"), "a\tb  \r\n" + g("你好") + "\x8D\x0A" "next\r\n\x1A" "ignored");
    std::vector<std::string> lines;
    ASSERT_TRUE(readTextFileLines(dir.file("in.txt"), lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"a       b", g("你好"), "next"}));
    EXPECT_FALSE(readTextFileLines(dir.file("missing.txt"), lines));

    ASSERT_TRUE(writeTextFileLines(dir.file("out.txt"), lines));
    EXPECT_EQ(test::readFile(dir.file("out.txt")), "a       b\r\n" + g("你好") + "\r\nnext\r\n\x1A");
    EXPECT_FALSE(writeTextFileLines(dir.file("no/such/folder/out.txt"), lines));
}

TEST(LyricImport, SplitLinesHandlesEveryEnding) {
    EXPECT_EQ(splitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
}

}  // namespace
}  // namespace melnix
