// SPDX-License-Identifier: GPL-3.0-or-later
// Lyric files as today's players and lyric sites publish them: Unicode
// text, millisecond tags, word times and bare end tags.

#include <gtest/gtest.h>

#include "common/text_encoding.h"
#include "lyrics/lrc_reader.h"
#include "lyrics/lyric_import.h"
#include "lyrics/lyric_store.h"
#include "support/gbk_text.h"
#include "support/reader_run.h"
#include "support/sheet_checks.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;
using test::times;

std::string utf16(const std::string& utf8, bool bigEndian) {
    // Only BMP characters are needed here.
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp;
        if (c < 0x80) {
            cp = c, i += 1;
        } else if (c < 0xE0) {
            cp = (c & 0x1Fu) << 6 | (utf8[i + 1] & 0x3F), i += 2;
        } else {
            cp = (c & 0x0Fu) << 12 | (utf8[i + 1] & 0x3Fu) << 6 | (utf8[i + 2] & 0x3F), i += 3;
        }
        char hi = static_cast<char>(cp >> 8), lo = static_cast<char>(cp & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

struct Encoded {
    const char* name;
    std::string bytes;
};

std::vector<Encoded> everyEncoding(const std::string& utf8) {
    return {{"gbk", g(utf8)},
            {"utf8", utf8},
            {"utf8-bom", "\xEF\xBB\xBF" + utf8},
            {"utf16le", utf16(utf8, false)},
            {"utf16be", utf16(utf8, true)}};
}

std::string dump(const LyricSheet& s) {
    std::string out;
    for (const LyricLine& l : s) {
        out += std::to_string(l.startTime) + " " + std::to_string(l.duration) + " " + std::to_string(l.flags) + " " +
               test::u(l.text) + " |";
        for (uint16_t t : l.charTimes) out += " " + std::to_string(t);
        out += "\n";
    }
    return out;
}

TEST(ModernLyrics, EveryEncodingLoadsTheSameSheet) {
    const std::string lrc =
        "[ti:月亮代表我的心]\r\n[ar:歌手]\r\n[00:01.00]你问我爱你有多深\r\n[00:05.00]我爱你有几分\r\n"
        "[00:09.00]我的情也真\r\n[00:13.00]我的爱也真\r\n[00:17.00]月亮代表我的心\r\n";
    const std::string ksc =
        "karaoke.add('00:01.000', '00:03.000', '你好', '100,300');\r\n"
        "karaoke.add('00:04.000', '00:06.000', '再见了', '1,1,1');\r\n"
        "karaoke.add('00:07.000', '00:09.000', '朋友们', '1,2,1');\r\n"
        "karaoke.add('00:10.000', '00:12.000', '明天见', '2,1,1');\r\n";
    for (const std::string& text : {lrc, ksc}) {
        std::string reference;
        for (const Encoded& e : everyEncoding(text)) {
            test::TempDir dir;
            test::writeFile(dir.file("lyric"), e.bytes);
            LyricSheet sheet;
            ASSERT_TRUE(openLyricFile(dir.file("lyric"), sheet)) << e.name;
            test::expectSheetInvariants(sheet);
            if (reference.empty()) reference = dump(sheet);
            EXPECT_EQ(dump(sheet), reference) << e.name;
        }
        EXPECT_NE(reference.find("你"), std::string::npos);
    }
}

TEST(ModernLyrics, TextImportDecodesToo) {
    const std::string text = "第一行\r\n第二行\r\n";
    for (const Encoded& e : everyEncoding(text)) {
        test::TempDir dir;
        test::writeFile(dir.file("a.txt"), e.bytes);
        std::vector<std::string> lines;
        ASSERT_TRUE(readTextFileLines(dir.file("a.txt"), lines)) << e.name;
        EXPECT_EQ(lines, (std::vector<std::string>{g("第一行"), g("第二行")})) << e.name;
    }
}

TEST(ModernLyrics, EncodingDetection) {
    EXPECT_EQ(detectTextEncoding("plain ascii"), TextEncoding::Gbk);
    EXPECT_EQ(detectTextEncoding(g("你好")), TextEncoding::Gbk);
    EXPECT_EQ(detectTextEncoding("\xE4\xBD\xA0"), TextEncoding::Utf8);
    EXPECT_EQ(detectTextEncoding("\xC0\x80"), TextEncoding::Gbk);  // overlong: not UTF-8
    EXPECT_EQ(textToGbk("\xEF\xBB\xBF" "a\xF0\x9F\x98\x80"), "a?");  // GBK has no emoji
    EXPECT_EQ(textToGbk(std::string("\xFF\xFE\x3D\xD8", 4)), "?");   // unpaired surrogate
}

LyricSheet lrc(const std::string& text) { return test::readThrough(readLrc, text); }

TEST(ModernLyrics, FractionDigitsAndColonTags) {
    struct {
        std::string tag;
        int32_t start;
    } cases[] = {{"[00:27.487]", 2748}, {"[00:27.4]", 2740}, {"[00:27.48]", 2748}, {"[00:27:48]", 2748},
                 {"[01:02]", 6200}};
    for (const auto& c : cases) {
        LyricSheet s = lrc(c.tag + "words\r\n");
        ASSERT_EQ(s.lineCount(), 1) << c.tag;
        EXPECT_EQ(s.lineAt(0)->startTime, c.start) << c.tag;
        EXPECT_EQ(s.lineAt(0)->text, "words");
    }
}

TEST(ModernLyrics, WordTagsTimeTheirCharacters) {
    LyricSheet s = lrc("[00:12.00]<00:12.00>" + g("我") + "<00:12.40>" + g("的") + "<00:12.90>" + g("心") + "<00:13.50>\r\n");
    ASSERT_EQ(s.lineCount(), 1);
    EXPECT_EQ(s.lineAt(0)->text, g("我的心"));
    EXPECT_EQ(s.lineAt(0)->startTime, 1200);
    EXPECT_EQ(s.lineAt(0)->charTimes, times({0, 40, 90, 150}));
}

TEST(ModernLyrics, WordTagsShareSpansAndMillisecondsAndLongLines) {
    // Two characters between tags share the span; English words with spaces.
    LyricSheet s = lrc("[00:01.000]<00:01.000>ab<00:01.500>cd <00:02.000>\r\n");
    ASSERT_EQ(s.lineCount(), 1);
    EXPECT_EQ(s.lineAt(0)->text, "abcd");
    EXPECT_EQ(s.lineAt(0)->charTimes, times({0, 25, 50, 75, 100}));

    // 20 tagged characters: broken into two lines that keep their times.
    std::string line = "[00:10.00]";
    for (int i = 0; i < 20; ++i) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "<00:%02d.%02d>", 10 + i / 2, (i % 2) * 50);
        line += tag + g("字");
    }
    line += "<00:20.00>";
    LyricSheet long_ = lrc(line + "\r\n");
    ASSERT_EQ(long_.lineCount(), 2);
    EXPECT_EQ(long_.lineAt(0)->charTimes.size(), 16u);
    EXPECT_EQ(long_.lineAt(1)->startTime, 1000 + 15 * 50);
    EXPECT_EQ(long_.lineAt(1)->duration, 250);
    test::expectSheetInvariants(long_);
}

TEST(ModernLyrics, WordsAfterTheLastTagShareTheRestOfTheSpan) {
    LyricSheet s = lrc("[00:01.00]" + g("我") + "<00:01.50>" + g("的心") + "\r\n[00:03.00]next\r\n");
    ASSERT_EQ(s.lineCount(), 2);
    EXPECT_EQ(s.lineAt(0)->charTimes.front(), 0);
    EXPECT_EQ(s.lineAt(0)->charTimes[1], 50);
    EXPECT_LE(s.lineAt(0)->startTime + s.lineAt(0)->duration, 300 - 3);
    test::expectSheetInvariants(s);
}

TEST(ModernLyrics, BareTagEndsTheLineBeforeIt) {
    LyricSheet ended = lrc("[00:01.00]abcdefghij\r\n[00:02.00]\r\n[00:30.00]x\r\n");
    ASSERT_EQ(ended.lineCount(), 2);
    EXPECT_EQ(ended.lineAt(0)->duration, 90);  // 97 units for 10 characters
    LyricSheet open = lrc("[00:01.00]abcdefghij\r\n[00:30.00]x\r\n");
    EXPECT_EQ(open.lineAt(0)->duration, 300);
    // A bare tag before the first line does not stop the headings.
    LyricSheet headed = lrc("[00:00.00]\r\n[ti:Title]\r\n[00:05.00]x\r\n");
    ASSERT_EQ(headed.lineCount(), 2);
    EXPECT_EQ(headed.lineAt(0)->text, "[ti:Title]");
}

TEST(ModernLyrics, PublishedShapesKeepTheModelRules) {
    const std::string site =
        "\xEF\xBB\xBF[ti:后来]\n[ar:某歌手]\n[al:专辑]\n[by:lrc-maker]\n[offset:0]\n[length: 05:35.43]\n"
        "[00:00.000] 作词 : 某人\n[00:01.000] 作曲 : 某人\n[00:27.487]后来 我总算学会了如何去爱\n"
        "[00:33.936]可惜你早已远去 消失在人海\n[00:40.548]\n[00:41.000]后来终于在眼泪中明白\n"
        "[00:47.320][02:31.811]有些人 一旦错过就不再\n[01:21.579]\n"
        "[01:30.000]<01:30.000>栀<01:30.400>子<01:30.800>花<01:31.200> <01:31.300>白<01:31.700>花<01:32.100>瓣<01:32.600>\n"
        "[03:10.00]<03:10.00>永<03:10.50>远<03:11.00>不<03:11.20>会<03:11.40>再<03:11.90>重<03:12.30>来<03:13.00>\n";
    test::TempDir dir;
    test::writeFile(dir.file("a.lrc"), site);
    LyricSheet s;
    ASSERT_TRUE(openLyricFile(dir.file("a.lrc"), s));
    test::expectSheetInvariants(s);
    const std::string all = dump(s);
    EXPECT_NE(all.find("2748 "), std::string::npos);
    EXPECT_NE(all.find("栀子花 白花瓣"), std::string::npos);
    EXPECT_EQ(all.find("<"), std::string::npos);
}

}  // namespace
}  // namespace melnix
