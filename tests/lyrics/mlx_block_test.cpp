// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/mlx_block.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/sheet_checks.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;
using test::le32;
using test::makeLine;
using test::times;
using test::wordAt;

std::string blockBytes(const LyricSheet& sheet, int32_t songLength, const std::string& name = "", const std::string& before = "") {
    test::TempDir dir;
    File f;
    f.open(dir.file("b"), File::Mode::Create);
    f.write(before);
    writeLyricBlock(f, sheet, songLength, name);
    EXPECT_FALSE(f.failed());
    f.close();
    return test::readFile(dir.file("b"));
}

// Loads bytes as a lyric file; finishLoad on success.
int loadBytes(const std::string& bytes, LyricSheet& sheet) {
    test::TempDir dir;
    test::writeFile(dir.file("l"), bytes);
    File f;
    f.open(dir.file("l"), File::Mode::Read);
    sheet.clearLines();
    int r = loadLyricFile(f, sheet);
    if (r == 1) sheet.finishLoad();
    return r;
}

LyricSheet twoLines() {
    LyricSheet s;
    s.addLine(makeLine(200, "ab", times({0, 30, 60})));
    s.addLine(makeLine(500, g("你好吗"), times({0, 40, 90, 150}), kLineAltPlacement));
    return s;
}

TEST(MlxBlock, OneLineBlockIsByteExact) {
    LyricSheet s;
    s.addLine(makeLine(200, "ab", times({0, 30, 60}), 0));
    const std::string got = blockBytes(s, 0);

    std::string want = "ab\r\n\x1A";
    want += kMlxSignature;
    want += std::string(128, '\0');
    want += le32(0x6C19A4E3) + le32(0) + le32(0);
    uint32_t k = 0x9B4D2E71 ^ 0u;
    want += le32(k);
    k ^= (60u << 16) | 6u;
    want += le32(k);
    k ^= 200u;
    want += le32(k);
    for (uint32_t t : {0u, 30u, 60u}) want += le32(k ^= t);
    want += le32(0 ^ 0x2B8F1D47) + le32(1) + std::string(1, '\0') + le32(0);
    want += le32(5 ^ 0x00D4E25B) + le32(0x03F7A1C9) + le32(0x0719B6E4);
    EXPECT_EQ(got, want);
}

TEST(MlxBlock, TwoLinesStoreMirroredDurationsAndRoundTrip) {
    const LyricSheet s = twoLines();
    const std::string bytes = blockBytes(s, 0);
    const size_t records = bytes.find('\x1A') + 1 + 62 + 128 + 12;
    // Line 0's second word carries line 1's duration (150) over its own 3 entries.
    EXPECT_EQ(wordAt(bytes, records + 4) ^ wordAt(bytes, records), (150u << 16) | 6u);
    // Line 1's record starts after line 0's 3 + 3 words.
    const size_t second = records + 6 * 4;
    EXPECT_EQ(wordAt(bytes, second + 4) ^ wordAt(bytes, second), (60u << 16) | 8u);

    LyricSheet back;
    ASSERT_EQ(loadBytes(bytes, back), 1);
    ASSERT_EQ(back.lineCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(back.lineAt(i)->text, s.lineAt(i)->text);
        EXPECT_EQ(back.lineAt(i)->startTime, s.lineAt(i)->startTime);
        EXPECT_EQ(back.lineAt(i)->duration, s.lineAt(i)->duration);
        EXPECT_EQ(back.lineAt(i)->charTimes, s.lineAt(i)->charTimes);
        EXPECT_EQ(back.lineAt(i)->flags, s.lineAt(i)->flags);
    }
}

TEST(MlxBlock, BlockStartAndSongNameAreRecorded) {
    const std::string bytes = blockBytes(twoLines(), 12345, "song.mp3", std::string(1000, 'A'));
    const size_t n = bytes.size();
    EXPECT_EQ(wordAt(bytes, n - 8) ^ 0x03F7A1C9, 1000u);
    EXPECT_EQ(wordAt(bytes, n - 4) ^ 0x0719B6E4, 1000u);
    const uint32_t sig = wordAt(bytes, n - 12) ^ 0x00D4E25B;
    EXPECT_EQ(bytes.substr(sig, 62), std::string(kMlxSignature));
    EXPECT_EQ(wordAt(bytes, sig + 62 + 128), 1000u ^ 0x6C19A4E3);
    EXPECT_EQ(wordAt(bytes, sig + 62 + 128 + 4), 12345u);
    EXPECT_NE(bytes.find(std::string("song.mp3\0", 9)), std::string::npos);
    // A short song length leaves the name out.
    EXPECT_EQ(blockBytes(twoLines(), 6, "song.mp3").find("song.mp3"), std::string::npos);
}

TEST(MlxBlock, EmptySheetWritesNothing) { EXPECT_EQ(blockBytes(LyricSheet(), 0), ""); }

TEST(MlxBlock, LoaderRejects) {
    const std::string good = blockBytes(twoLines(), 0);
    const size_t sig = good.find('\x1A') + 1;
    LyricSheet s;

    std::string badSig = good;
    badSig[sig + 3] = 'x';
    EXPECT_EQ(loadBytes(badSig, s), 0);

    for (uint32_t length : {1u, 499u}) {
        std::string shortSong = good;
        shortSong.replace(sig + 62 + 128 + 4, 4, le32(length));
        EXPECT_EQ(loadBytes(shortSong, s), 0) << length;
    }
    std::string okSong = good;
    okSong.replace(sig + 62 + 128 + 4, 4, le32(500));
    EXPECT_EQ(loadBytes(okSong, s), 1);

    std::string wrongCount = good;
    wrongCount.replace(sig + 62 + 128 + 8, 4, le32(5));
    EXPECT_EQ(loadBytes(wrongCount, s), 0);

    // An extra text line makes the count disagree.
    EXPECT_EQ(loadBytes("extra\r\n" + good, s), 0);
}

TEST(MlxBlock, TextLinesAreCutAndBlankLinesNotCounted) {
    LyricSheet s;
    s.addLine(makeLine(100, std::string(30, 'x'), {}));
    s.normalizeLines();
    std::string bytes = blockBytes(s, 0);
    // Make the stored text 35 bytes and add a blank line: still one counted line.
    bytes.replace(0, 30, std::string(35, 'y'));
    bytes.insert(0, "   \r\n");
    LyricSheet back;
    ASSERT_EQ(loadBytes(bytes, back), 1);
    ASSERT_EQ(back.lineCount(), 1);
    EXPECT_EQ(back.lineAt(0)->text, std::string(30, 'y'));
}

// However short, a file whose every line is tagged is LRC; a short file with
// an untagged line, or a longer one with too few tags, is not.
TEST(MlxBlock, ShortTaggedFilesAreLrc) {
    const struct {
        const char* text;
        bool lrc;
    } cases[] = {
        {"[00:01.00]one\r\n[00:02.00]two\r\n\r\n[00:03.00]three\r\n[00:04.00]four\r\n", true},
        {"[ti:Song]\r\n[00:01.00]one\r\n", true},
        {"[00:01.00]one\r\ntwo\r\n[00:03.00]three\r\n", false},
        {"[00:01.00]a\r\n[00:02.00]b\r\n[00:03.00]c\r\n[00:04.00]d\r\ne\r\nf\r\ng\r\nh\r\ni\r\n", false},
    };
    for (const auto& c : cases) {
        LyricSheet back;
        loadBytes(c.text, back);
        EXPECT_EQ(!back.durationsMirrored, c.lrc) << c.text;  // the LRC reader keeps durations as they are
    }
}

TEST(MlxBlock, LrcLikeTextWinsOverAValidBlock) {
    LyricSheet s;
    for (int i = 0; i < 5; ++i) s.addLine(makeLine(100 * (i + 1) * 10, "[0" + std::to_string(i) + ":10.00]line", {}));
    s.normalizeLines();
    LyricSheet back;
    ASSERT_EQ(loadBytes(blockBytes(s, 0), back), 1);
    EXPECT_FALSE(back.durationsMirrored);  // read by the LRC reader
    ASSERT_EQ(back.lineCount(), 5);
    EXPECT_EQ(back.lineAt(0)->text, "line");
    EXPECT_EQ(back.lineAt(0)->startTime, 1000);
}

TEST(MlxBlock, EveryTruncationAndCorruptionFailsCleanly) {
    const std::string good = blockBytes(twoLines(), 0);
    LyricSheet s;
    for (size_t n = 0; n < good.size(); ++n) {
        // Cutting anywhere inside the records must fail; cutting after them may not.
        int r = loadBytes(good.substr(0, n), s);
        if (r == 1) test::expectSheetInvariants(s);
    }
    for (size_t i = 0; i < good.size(); ++i) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x5A);
        if (loadBytes(bad, s) == 1) test::expectSheetInvariants(s);
    }
}

// Builds a song: audio bytes, optionally a block, optionally an ID3v1 tag.
std::string song(const std::string& audio, const std::string& block, bool id3) {
    std::string s = audio + block;
    if (id3) s += "TAG" + std::string(125, 't');
    return s;
}

struct Located {
    int64_t start;
    int64_t dataLength;
    int64_t position;
    size_t tagSize;
};

Located locate(const std::string& bytes) {
    test::TempDir dir;
    test::writeFile(dir.file("s.mp3"), bytes);
    File f;
    f.open(dir.file("s.mp3"), File::Mode::Read);
    std::string tag;
    int64_t dataLength = -1;
    int64_t start = locateTailBlock(f, tag, dataLength);
    return {start, dataLength, f.position(), tag.size()};
}

TEST(LocateTailBlock, FindsBlockBeforeAndWithoutTag) {
    const std::string audio(5000, '\x55');
    const std::string block = blockBytes(twoLines(), 0, "", audio).substr(audio.size());

    Located plain = locate(song(audio, block, false));
    EXPECT_EQ(plain.start, 5000);
    EXPECT_EQ(plain.dataLength, 5000);
    EXPECT_EQ(plain.position, 5000);
    EXPECT_EQ(plain.tagSize, 0u);

    Located tagged = locate(song(audio, block, true));
    EXPECT_EQ(tagged.start, 5000);
    EXPECT_EQ(tagged.tagSize, 128u);
}

TEST(LocateTailBlock, NoOrDamagedBlockLeavesPlaceForANewOne) {
    const std::string audio(5000, '\x55');
    std::string block = blockBytes(twoLines(), 0, "", audio).substr(audio.size());

    Located none = locate(song(audio, "", true));
    EXPECT_EQ(none.start, -1);
    EXPECT_EQ(none.dataLength, 5128);
    EXPECT_EQ(none.position, 5000);

    block[block.size() - 2] ^= 1;  // pointer B no longer matches A
    Located damaged = locate(song(audio, block, false));
    EXPECT_EQ(damaged.start, -1);
    EXPECT_EQ(damaged.position, static_cast<int64_t>(audio.size() + block.size()));

    Located tiny = locate(std::string(179, 'x'));
    EXPECT_EQ(tiny.start, -1);
    EXPECT_EQ(tiny.position, 179);  // not searched; a new block goes at the end
}

TEST(LocateTailBlock, StepsOverAnOlderLyricsTag) {
    const std::string audio(3000, '\x55');
    const std::string block = blockBytes(twoLines(), 0, "", audio).substr(audio.size());
    std::string lyrics3 = "TAG" + std::string(86, '-') + "LYRICSBEGIN" + "some words" + "LYRICSEND";
    Located found = locate(audio + block + lyrics3 + "TAG" + std::string(125, 't'));
    EXPECT_EQ(found.start, 3000);
}

TEST(LocateTailBlock, RefusesAStartBehindItsSignature) {
    // A trailer claiming the block starts after its own signature would let
    // a save cut the audio.
    const std::string audio(3000, '\x55');
    std::string bytes = audio + blockBytes(twoLines(), 0, "", audio).substr(audio.size());
    const size_t n = bytes.size();
    const uint32_t sig = wordAt(bytes, n - 12) ^ 0x00D4E25B;
    bytes.replace(n - 8, 4, le32((sig + 10) ^ 0x03F7A1C9));
    bytes.replace(n - 4, 4, le32((sig + 10) ^ 0x0719B6E4));
    EXPECT_EQ(locate(bytes).start, -1);
}

}  // namespace
}  // namespace melnix
