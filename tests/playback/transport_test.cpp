// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/core/transport.h"

#include <atomic>

#include <chrono>
#include <cstdlib>
#include <cmath>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "playback/core/midi_song_engine.h"
#include "support/test_files.h"
#include "support/tone_wav.h"

namespace melnix {
namespace {

// Songs play in real time on the silent backend.
class TransportTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("MELNIX_AUDIO", "null", 1); }
};

template <typename Pred>
bool waitFor(Pred p, int ms = 20000) {
    for (int waited = 0; waited < ms; waited += 10) {
        if (p()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return p();
}

TEST_F(TransportTest, WaveSongPlaysPausesAndChangesSpeed) {
    test::TempDir dir;
    test::writeFile(dir.file("tone.wav"), test::toneWav(20));
    Transport t;
    ASSERT_TRUE(t.openSong(dir.file("tone.wav"), 0));
    EXPECT_EQ(t.kind(), SongKind::Wav);
    EXPECT_NEAR(t.lengthCs(), 2000, 10);  // whole blocks of the engine
    ASSERT_TRUE(waitFor([&] { return t.playState() == PlayState::Playing; }));
    EXPECT_TRUE(t.vocalRemovalAvailable());

    // A pitch-changing speed takes vocal removal away; choosing it again returns to normal.
    EXPECT_EQ(t.selectSpeed(1), 1);
    EXPECT_EQ(t.speedPercent(), 175);
    EXPECT_FALSE(t.vocalRemovalAvailable());
    EXPECT_EQ(t.selectSpeed(1), kNormalSpeedIndex);
    EXPECT_TRUE(t.vocalRemovalAvailable());
    t.toggleVocalRemoval();
    EXPECT_FALSE(t.vocalsKept());

    ASSERT_TRUE(t.pause());
    ASSERT_TRUE(waitFor([&] { return t.playState() == PlayState::Paused; }));
    // While paused a speed choice is only remembered.
    EXPECT_EQ(t.selectSpeed(0), 0);
    EXPECT_EQ(t.speedPercent(), 100);

    t.setTimeScale(2);
    ASSERT_TRUE(t.seekUnits(1000));  // 5 s at the double scale
    EXPECT_NEAR(t.positionUnits(), 1000, 60);
    ASSERT_TRUE(t.play());
    ASSERT_TRUE(waitFor([&] { return t.playState() == PlayState::Playing; }));
    // ... and applies once the song plays.
    t.applyChosenSpeed();
    EXPECT_EQ(t.speedIndex(), 0);
    EXPECT_EQ(t.speedPercent(), speedAt(0).percent);
}

TEST_F(TransportTest, KeyIsKeptPerSongAndTheStretchMethodForAll) {
    test::TempDir dir;
    test::writeFile(dir.file("a.wav"), test::toneWav(20));
    test::writeFile(dir.file("b.wav"), test::toneWav(20));
    const std::string settings = dir.file("playback.ini");
    {
        Transport t;
        t.bindSettingsFile(settings);
        EXPECT_TRUE(t.stretchQuality());  // the default
        EXPECT_FALSE(t.keyAvailable());
        EXPECT_EQ(t.setKey(3), 0);  // nothing open
        ASSERT_TRUE(t.openSong(dir.file("a.wav"), 0));
        ASSERT_TRUE(waitFor([&] { return t.playState() == PlayState::Playing; }));
        EXPECT_TRUE(t.keyAvailable());
        EXPECT_EQ(t.stepKey(+2), 2);
        EXPECT_EQ(t.setKey(9), 6);  // at most half an octave
        EXPECT_EQ(t.setKey(-9), -6);
        EXPECT_EQ(t.setKey(-2), -2);
        // The position stays where the song was while the key changes.
        const int before = t.positionUnits();
        EXPECT_EQ(t.stepKey(+1), -1);
        EXPECT_NEAR(t.positionUnits(), before, 60);
        t.setStretchQuality(false);
        ASSERT_TRUE(t.openSong(dir.file("b.wav"), 0));
        EXPECT_EQ(t.key(), 0);  // every song its own key
    }
    Transport again;
    again.bindSettingsFile(settings);
    EXPECT_FALSE(again.stretchQuality());
    ASSERT_TRUE(again.openSong(dir.file("a.wav"), 0));
    EXPECT_EQ(again.key(), -1);
    ASSERT_TRUE(again.openSong(dir.file("b.wav"), 0));
    EXPECT_EQ(again.key(), 0);
}

TEST(PlaybackSettings, DamagedLinesAreSkipped) {
    test::TempDir dir;
    const std::string path = dir.file("playback.ini");
    test::writeFile(path, "stretch=block\r\nkey=2\t/songs/a.mp3\nkey=9\t/songs/b.mp3\nkey=x\t/c\nkey=3\nnoise\n"
                          "key=+1\t/songs/with space.mid\nstretch=loud\n");
    PlaybackSettings s;
    ASSERT_TRUE(loadPlaybackSettings(path, s));
    EXPECT_FALSE(s.stretchQuality);
    EXPECT_EQ(s.keys, (std::map<std::string, int>{{"/songs/a.mp3", 2}, {"/songs/with space.mid", 1}}));
    s.keys["/bad\nname"] = 4;
    ASSERT_TRUE(savePlaybackSettings(path, s));
    PlaybackSettings back;
    ASSERT_TRUE(loadPlaybackSettings(path, back));
    EXPECT_FALSE(back.stretchQuality);
    EXPECT_EQ(back.keys, (std::map<std::string, int>{{"/songs/a.mp3", 2}, {"/songs/with space.mid", 1}}));
    PlaybackSettings missing;
    EXPECT_FALSE(loadPlaybackSettings(dir.file("none.ini"), missing));
    EXPECT_TRUE(missing.stretchQuality);
}

TEST_F(TransportTest, VolumeMuteAndSongsWithoutEngine) {
    Transport t;
    EXPECT_TRUE(t.isMuted());  // nothing open: nothing to hear
    t.setVolumeFromTrack(1000);
    EXPECT_EQ(t.volumeLevel(), 20);
    t.stepVolume(+50);
    EXPECT_EQ(t.volumeLevel(), 70);
    t.stepVolume(-500);
    EXPECT_EQ(t.volumeLevel(), 20);

    test::TempDir dir;
    test::writeFile(dir.file("clip.avi"), "not a video");
    EXPECT_FALSE(t.openSong(dir.file("clip.avi"), 0));  // no media engine yet
    EXPECT_FALSE(t.hasEngine());
    test::writeFile(dir.file("bad.wav"), "RIFF");
    EXPECT_FALSE(t.openSong(dir.file("bad.wav"), 0));
    EXPECT_EQ(t.playState(), PlayState::Stopped);
    EXPECT_EQ(t.positionUnits(), 0);
}

// Only a wave engine's failed seek ends a song; a MIDI song moved past its
// end waits there while paused, and plays off when played.
TEST_F(TransportTest, MidiSongSoughtPastItsEnd) {
    std::atomic<int> ended{0};
    MidiSongEngine engine([&] { ++ended; }, [](const std::string&) {});
    RecordArray<NoteSpan> notes;
    ASSERT_TRUE(engine.open(MELNIX_DEMO_SONG, &notes));
    ASSERT_GT(engine.lengthMs(), 10000);
    ASSERT_TRUE(waitFor([&] { return engine.playState() == PlayState::Playing; }));
    ASSERT_TRUE(engine.pause());
    EXPECT_TRUE(engine.seekMs(engine.lengthMs() + 60000));
    EXPECT_NE(engine.playState(), PlayState::Playing);
    EXPECT_EQ(ended, 0);
    ASSERT_TRUE(engine.play());
    EXPECT_TRUE(waitFor([&] { return ended > 0; }, 5000));
}

TEST(TransportLevels, RecordedLevelsKeepTheLoudestAndThePeakRisesByAQuarter) {
    Transport t;
    t.recordLevel(100, 40);
    EXPECT_EQ(t.levelPeak().load(), 10);  // a quarter of the way from 0
    t.recordLevel(100, 20);               // quieter: the slot keeps 40
    EXPECT_EQ(t.levelPeak().load(), 12);
    t.recordLevel(101, 0);
    t.recordLevel(-1, 50);
    t.recordLevel(kLevelTrackSize, 50);
    t.recordLevel(102, kLevelNotRecorded);
    EXPECT_EQ(t.levelTrack()[100].load(), 40);
    EXPECT_EQ(t.levelTrack()[101].load(), 0);
    EXPECT_EQ(t.levelTrack()[102].load(), kLevelNotRecorded);
    EXPECT_EQ(t.levelPeak().load(), 12);
    // Close to the peak it still moves by at least one.
    for (int i = 0; i < 200; ++i) t.recordLevel(103, 14);
    EXPECT_EQ(t.levelPeak().load(), 14);
}

TEST(TransportLevels, EachClockStepFillsTheSlotsItCoveredButNotASeek) {
    Transport t;
    auto slots = [&](int from, int to) {
        std::vector<int> v;
        for (int i = from; i < to; ++i) v.push_back(t.levelTrack()[i].load());
        return v;
    };
    constexpr int N = kLevelNotRecorded;
    t.startLevelRun();
    EXPECT_TRUE(t.recordLevelStep(10, 7));  // the run's first step: its own slot
    EXPECT_TRUE(t.recordLevelStep(12, 8));  // a 20 ms step at 10 ms a slot
    EXPECT_TRUE(t.recordLevelStep(12, 9));  // no time passed: the slot keeps the louder
    EXPECT_TRUE(t.recordLevelStep(15, 6));
    EXPECT_EQ(slots(9, 17), (std::vector<int>{N, 7, 8, 9, 6, 6, 6, N}));
    // A seek forward and one back: only the slot landed on.
    EXPECT_TRUE(t.recordLevelStep(200, 5));
    EXPECT_EQ(slots(16, 200), std::vector<int>(184, N));
    EXPECT_TRUE(t.recordLevelStep(50, 4));
    EXPECT_EQ(slots(49, 52), (std::vector<int>{N, 4, N}));
    // A new run does not join its first step to the last one.
    t.startLevelRun();
    EXPECT_TRUE(t.recordLevelStep(53, 3));
    EXPECT_EQ(slots(51, 54), (std::vector<int>{N, N, 3}));
    // The recording ends with the first hour.
    EXPECT_TRUE(t.recordLevelStep(kLevelTrackSize - 1, 2));
    EXPECT_FALSE(t.recordLevelStep(kLevelTrackSize, 2));
    EXPECT_EQ(t.levelTrack()[kLevelTrackSize - 1].load(), 2);
}

}  // namespace
}  // namespace melnix
