#include "playback/core/transport.h"

#include <atomic>

#include <chrono>
#include <cstdlib>
#include <cmath>
#include <thread>

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
    EXPECT_EQ(t.kind(), kKindWav);
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

TEST(TransportLevels, RecordedLevelsKeepTheLoudestAndTheFirstHour) {
    Transport t;
    t.recordLevel(100, 40);
    t.recordLevel(100, 20);  // quieter: the slot keeps 40
    t.recordLevel(101, 0);
    t.recordLevel(-1, 50);
    t.recordLevel(kLevelTrackSize, 50);
    t.recordLevel(102, kLevelNotRecorded);
    EXPECT_EQ(t.levelTrack()[100].load(), 40);
    EXPECT_EQ(t.levelTrack()[101].load(), 0);
    EXPECT_EQ(t.levelTrack()[102].load(), kLevelNotRecorded);
    EXPECT_EQ(t.levelPeak().load(), 40);
}

}  // namespace
}  // namespace melnix
