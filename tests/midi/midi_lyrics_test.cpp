// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/midi_lyrics.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/gbk.h"
#include "midi/smf_builder.h"

namespace melnix {
namespace {

using test::SmfTrack;

std::string tempFolder(const std::string& name) {
    std::string dir = std::string(std::getenv("MELNIX_HOME") ? std::getenv("MELNIX_HOME") : "/tmp") + "/" + name;
    std::filesystem::create_directories(dir);
    return dir;
}

// A song with `words` lyric events in track 0 and companion markers in its
// last track, with an "OKPLAY Version" file beside it.
std::string songWithCompanion(const std::string& folder, int words) {
    SmfTrack t0, t1;
    for (int i = 0; i < words; ++i) t0.lyric(i == 0 ? 0 : 48, "w");
    t0.end();
    // Three title markers, then a line-start marker and two continuing
    // ones for each of two text lines.
    t1.noteOn(480, 0, 0).noteOn(960, 0, 0).noteOn(960, 0, 0);
    for (int line = 0; line < 2; ++line) t1.noteOn(960, 0, 0).noteOn(192, 1, 0).noteOn(192, 1, 0);
    t1.end(960);
    const std::string dir = tempFolder(folder);
    test::writeBytes(dir + "/song.MID", test::smfFile({t0, t1}));
    std::string text = "OKPLAY Version 1.0\r\nh1\r\nh2\r\nh3\r\nh4\r\nTitle\r\nSinger\r\nWords\r\n";
    for (const char* line : {"one", "two", "three", "four", "five"}) text += std::string(line) + "\r\n";
    test::writeBytes(dir + "/song.TXT", std::vector<uint8_t>(text.begin(), text.end()));
    return dir + "/song.MID";
}

TEST(ExtractLyricsTest, SongWithAtMostOneHundredSyllablesUsesTheCompanionFile) {
    MidiSongFile song;
    ASSERT_TRUE(song.LoadFile(songWithCompanion("companion-100", 100), nullptr));
    ASSERT_EQ(song.syllables.size(), 100);
    LyricSheet sheet;
    ASSERT_EQ(ExtractLyrics(song, sheet), 5);
    EXPECT_EQ(sheet.lineAt(0)->text, "Title");
    EXPECT_EQ(sheet.lineAt(0)->flags, kLineAltPlacement);
    EXPECT_EQ(sheet.lineAt(3)->text, "one");
    EXPECT_EQ(sheet.lineAt(3)->startTime, 350);  // the fourth marker, at 3.5 s
    EXPECT_EQ(sheet.lineAt(3)->charTimes, (std::vector<uint16_t>{0, 20, 40, 137}));
    EXPECT_EQ(sheet.lineAt(4)->text, "two");
    EXPECT_EQ(test::modelRuleBreach(sheet), "");
    EXPECT_EQ(song.syllables.size(), 100);  // the song's own words are kept
}

TEST(ExtractLyricsTest, SongWithMoreSyllablesUsesItsOwnWords) {
    MidiSongFile song;
    ASSERT_TRUE(song.LoadFile(songWithCompanion("companion-101", 101), nullptr));
    LyricSheet sheet;
    ASSERT_GE(ExtractLyrics(song, sheet), 1);
    EXPECT_EQ(sheet.lineAt(0)->text.substr(0, 3), "www");
    EXPECT_EQ(sheet.lineAt(0)->flags, 0);
}

TEST(ExtractLyricsTest, CompanionWithTooFewLinesLeavesTheSheetUnchanged) {
    const std::string path = songWithCompanion("companion-short", 3);
    const std::string text = "OKPLAY Version 1.0\r\nh1\r\n";
    test::writeBytes(path.substr(0, path.size() - 3) + "TXT", std::vector<uint8_t>(text.begin(), text.end()));
    MidiSongFile song;
    ASSERT_TRUE(song.LoadFile(path, nullptr));
    LyricSheet sheet;
    sheet.appendLine("kept");
    EXPECT_EQ(ExtractLyrics(song, sheet), 0);
    ASSERT_EQ(sheet.lineCount(), 1);
    EXPECT_EQ(sheet.lineAt(0)->text, "kept");
}

// --- the demonstration song ---

TEST(DemoSongTest, IsAKaraokeSongWithAMelodyTrack) {
    MidiSongFile song;
    RecordArray<NoteSpan> notes;
    ASSERT_TRUE(song.LoadFile(test::demoSongPath(), &notes));
    EXPECT_EQ(song.trackCount, 5);
    EXPECT_EQ(song.TrackName(1), "Melody");
    EXPECT_EQ(gbkToUtf8(song.TrackName(0)), "小河弯弯");
    EXPECT_GE(song.songLengthMs, 55000);
    EXPECT_LE(song.songLengthMs, 65000);
    EXPECT_EQ(song.tempoMap.size(), 3);
    EXPECT_EQ(song.tracks[1].programPlus1, 74);  // flute
    EXPECT_EQ(song.tracks[1].noteCount, 56);
    // Every note of the song closes with a velocity-0 note-on.
    for (const NoteSpan& n : notes) EXPECT_FALSE(n.open());
}

TEST(DemoSongTest, PlaysItsOwnLyrics) {
    MidiSongFile song;
    RecordArray<NoteSpan> notes;
    ASSERT_TRUE(song.LoadFile(test::demoSongPath(), &notes));
    LyricSheet sheet;
    ASSERT_EQ(ExtractLyrics(song, sheet), 8);
    EXPECT_EQ(test::modelRuleBreach(sheet), "");
    const char* expected[] = {"小河弯弯向东流", "晚风轻轻吹岸柳", "月亮悄悄爬上来", "照着渔船慢慢走",
                              "我把歌儿唱给你", "星星听了点点头", "明天太阳升起时", "我们一起再聚首"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(gbkToUtf8(sheet.lineAt(i)->text), expected[i]) << i;

    // Each character starts with its melody note.
    std::vector<int32_t> melodyStarts;
    for (const NoteSpan& n : notes)
        if (n.track() == 1) melodyStarts.push_back(n.startMs);
    ASSERT_EQ(melodyStarts.size(), 56u);
    for (int i = 0; i < 8; ++i) {
        const LyricLine& l = *sheet.lineAt(i);
        for (int k = 0; k < 7; ++k) {
            int32_t noteCs = melodyStarts[static_cast<size_t>(i * 7 + k)] / 10;
            EXPECT_NEAR(l.startTime + l.charTimes[static_cast<size_t>(k)], noteCs, 1) << "line " << i << " char " << k;
        }
    }
}

// --- karaoke files made by other programs ---

struct WildCase {
    const char* file;
    int32_t lengthMs;
    int tempos;
    std::vector<std::string> lines;  // UTF-8
};

void PrintTo(const WildCase& c, std::ostream* os) { *os << c.file; }

class WildKaraokeTest : public ::testing::TestWithParam<WildCase> {};

TEST_P(WildKaraokeTest, GivesLinesThatKeepTheModelRules) {
    const WildCase& c = GetParam();
    MidiSongFile song;
    ASSERT_TRUE(song.LoadFile(test::fixturePath(std::string("fixtures/") + c.file), nullptr));
    EXPECT_EQ(song.songLengthMs, c.lengthMs);
    EXPECT_EQ(song.tempoMap.size(), c.tempos);
    LyricSheet sheet;
    ExtractLyrics(song, sheet);
    EXPECT_EQ(test::modelRuleBreach(sheet), "");
    std::vector<std::string> lines;
    for (const LyricLine& l : sheet) lines.push_back(gbkToUtf8(l.text));
    EXPECT_EQ(lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, WildKaraokeTest,
    ::testing::Values(
        // abc2midi: "@" headers and "/"-marked text events in the note track.
        WildCase{"evening_boat.kar",
                 22233,
                 2,
                 {"The evening boat goes", "drifting slow, down the river", "we go", "where the willows lean and",
                  "the lanterns glow, home", "and the bells are ringing", "soft and low."}},
        // GBK lyric events with CR LF in a track of their own, a line of 38
        // bytes, a tempo change.
        WildCase{"night_rain.kar",
                 26885,
                 3,
                 {"夜雨敲窗", "灯下读书到天明", "远方的朋友你可曾听见山那边传来", "的歌声", "明天见"}}),
    [](const auto& p) {
        std::string name = p.param.file;
        return name.substr(0, name.find('.'));
    });

}  // namespace
}  // namespace melnix
