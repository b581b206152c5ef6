// SPDX-License-Identifier: GPL-3.0-or-later
// The player heard through the synthesizer: songs written here are rendered
// into WAV files, and the notes found in them must lie where the song puts
// them. The null backend plays at real time where the clock matters.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "common/auto_reset_event.h"
#include "midi/midi_stream_player.h"
#include "midi/smf_builder.h"
#include "support/test_files.h"
#include "support/wav_sound.h"

namespace melnix {
namespace {

using namespace std::chrono_literals;
using test::SmfTrack;

constexpr int kWoodBlock = 76;    // on the percussion channel
constexpr int kWoodblockProgram = 115;
constexpr int kMutedTrack = 2;

// Division 480; 1 tick = 1 ms until tick 2000, then 0.5 ms.
//   track 1, percussion: notes at 100, 700, 1300, 1900, 2200 and 2500 ms
//   track 2, percussion, muted by the tests: notes at 400, 1000 and 1600 ms
//   track 3, channel 0: program and volume at tick 0, notes at 2800 and 3100 ms
std::vector<uint8_t> onsetSong() {
    SmfTrack t0;
    t0.tempo(0, 480000).tempo(2000, 240000).end();
    SmfTrack t1;
    uint32_t at = 0;
    for (uint32_t tick : {100u, 700u, 1300u, 1900u, 2400u, 3000u}) {
        t1.noteOn(tick - at, kWoodBlock, 127, 9).noteOn(30, kWoodBlock, 0, 9);
        at = tick + 30;
    }
    t1.end();
    SmfTrack t2;
    at = 0;
    for (uint32_t tick : {400u, 1000u, 1600u}) {
        t2.noteOn(tick - at, kWoodBlock, 127, 9).noteOn(30, kWoodBlock, 0, 9);
        at = tick + 30;
    }
    t2.end();
    SmfTrack t3;
    t3.event(0, {0xC0, kWoodblockProgram}).event(0, {0xB0, 7, 70});
    t3.noteOn(3600, 72, 127).noteOn(60, 72, 0).noteOn(540, 72, 127).noteOn(60, 72, 0).end();
    return test::smfFile({t0, t1, t2, t3});
}

const std::vector<double> kOnsetsMs = {100, 700, 1300, 1900, 2200, 2500, 2800, 3100};
constexpr double kLastEventMs = 3130;

struct Heard {
    test::WavSound sound;
    int ends = 0;
    int32_t positionAfter = 0;
};

class PlaybackSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        soundfont = findSoundfont();
        if (soundfont.empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
        song = dir.file("onsets.mid");
        test::writeBytes(song, onsetSong());
    }

    // Plays the song through the player into a WAV file and waits until the
    // last notes have rung out.
    Heard render(int tempoPercent, int32_t fromMs, bool pauseOnce = false) {
        Heard heard;
        const std::string wav = dir.file("heard.wav");
        AutoResetEvent ended;
        std::atomic<int> ends{0};
        MidiStreamDevice* device = nullptr;
        {
            MidiStreamPlayer player(
                [&] {
                    ++ends;
                    ended.set();
                },
                {},
                [&] {
                    auto d = makeFluidSynthMidiDevice(soundfont, makeWavAudioOutput(wav));
                    device = d.get();
                    return d;
                });
            EXPECT_TRUE(player.Open(song, nullptr));
            EXPECT_TRUE(player.DeviceOpen());
            player.tracks[kMutedTrack].flags |= kTrackMuted;
            player.SetTempoPercent(tempoPercent);
            EXPECT_TRUE(player.Play(fromMs));
            if (pauseOnce) {
                EXPECT_TRUE(player.Pause());
                std::this_thread::sleep_for(20ms);
                EXPECT_TRUE(player.Resume());
            }
            EXPECT_TRUE(ended.wait(60000));
            const auto limit = std::chrono::steady_clock::now() + 60s;
            while (!device->idle() && std::chrono::steady_clock::now() < limit) std::this_thread::sleep_for(2ms);
            heard.positionAfter = player.PositionMs();
            EXPECT_EQ(player.State(), kMidiPlaying);
            EXPECT_TRUE(player.Stop());
        }
        heard.ends = ends.load();
        EXPECT_TRUE(test::readWav(wav, heard.sound));
        return heard;
    }

    std::string soundfont;
    test::TempDir dir;
    std::string song;
};

struct RenderCase {
    const char* name;
    int tempoPercent;
    int32_t fromMs;
    bool pauseOnce;
};

void PrintTo(const RenderCase& c, std::ostream* os) { *os << c.name; }

class OnsetTest : public PlaybackSoundTest, public ::testing::WithParamInterface<RenderCase> {};

TEST_P(OnsetTest, NotesSoundWithin10MsOfWhereTheSongPutsThem) {
    const RenderCase& c = GetParam();
    const Heard heard = render(c.tempoPercent, c.fromMs, c.pauseOnce);
    std::vector<double> expected;
    for (double ms : kOnsetsMs)
        if (ms >= c.fromMs) expected.push_back((ms - c.fromMs) * c.tempoPercent / 100);
    const auto onsets = test::onsetsMs(heard.sound);
    ASSERT_EQ(onsets.size(), expected.size()) << "the muted track sounds, or a note is lost";
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(onsets[i], expected[i], 10) << i;
    EXPECT_EQ(heard.ends, 1);
    EXPECT_GE(heard.positionAfter, kLastEventMs - 15);
    EXPECT_LE(heard.positionAfter, kLastEventMs + 2100 * 100 / c.tempoPercent);
}

INSTANTIATE_TEST_SUITE_P(Cases, OnsetTest,
                         ::testing::Values(RenderCase{"NormalSpeed", 100, 0, false},
                                           RenderCase{"HalfSpeedTwiceAsLate", 200, 0, false},
                                           RenderCase{"FromTheMiddle", 100, 1000, false},
                                           RenderCase{"FromTheMiddleAtHalfSpeed", 200, 1150, false},
                                           RenderCase{"PausedOnceOnTheWay", 100, 0, true}),
                         test::CaseName());

TEST_F(PlaybackSoundTest, ProgramAndVolumeSetBeforeTheStartPointAreInForce) {
    const Heard whole = render(100, 0);
    const Heard middle = render(100, 2600);
    // The two notes of channel 0, in both renders.
    for (double at : {2800.0, 3100.0}) {
        const int a = whole.sound.peak(at - 5, at + 60);
        const int b = middle.sound.peak(at - 2600 - 5, at - 2600 + 60);
        ASSERT_GT(a, 0);
        EXPECT_NEAR(static_cast<double>(b) / a, 1.0, 0.2) << at;
    }
}

TEST_F(PlaybackSoundTest, PositionHoldsWhilePausedAndGoesOnAfter) {
    std::atomic<int> ends{0};
    MidiStreamPlayer player([&] { ++ends; }, {},
                            [&] { return makeFluidSynthMidiDevice(soundfont, makeNullAudioOutput()); });
    ASSERT_TRUE(player.Open(song, nullptr));
    ASSERT_TRUE(player.Play(0));
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (player.PositionMs() < 150 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(2ms);
    ASSERT_TRUE(player.Pause());
    const int32_t held = player.PositionMs();
    EXPECT_GE(held, 150);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(player.PositionMs(), held);
    ASSERT_TRUE(player.Resume());
    EXPECT_GE(player.PositionMs(), held);
    while (player.PositionMs() < held + 100 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(2ms);
    EXPECT_GE(player.PositionMs(), held + 100);
    EXPECT_EQ(ends.load(), 0);
}

TEST_F(PlaybackSoundTest, AtHalfSpeedPositionMovesAtMostHalfAsFastAsTheClock) {
    MidiStreamPlayer player([] {}, {}, [&] { return makeFluidSynthMidiDevice(soundfont, makeNullAudioOutput()); });
    ASSERT_TRUE(player.Open(song, nullptr));
    player.SetTempoPercent(200);
    ASSERT_TRUE(player.Play(0));
    const auto t0 = std::chrono::steady_clock::now();
    const int32_t p0 = player.PositionMs();
    std::this_thread::sleep_for(300ms);
    int32_t p1 = player.PositionMs();
    while (p1 <= p0 + 50 && std::chrono::steady_clock::now() < t0 + 20s) {
        std::this_thread::sleep_for(2ms);
        p1 = player.PositionMs();
    }
    const auto wallMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0);
    EXPECT_GT(p1, p0 + 50);
    EXPECT_LE(p1 - p0, wallMs.count() / 2 + 5);
}

TEST_F(PlaybackSoundTest, StoppingALongSongNeverTellsAnEnd) {
    SmfTrack t;
    for (int i = 0; i < 6000; ++i) t.noteOn(48, 60, i % 2 ? 0 : 100);  // three buffers, a minute at real time
    t.end();
    const std::string longSong = dir.file("long.mid");
    test::writeBytes(longSong, test::smfFile({t}));
    std::atomic<int> ends{0};
    MidiStreamPlayer player([&] { ++ends; }, {},
                            [&] { return makeFluidSynthMidiDevice(soundfont, makeNullAudioOutput()); });
    ASSERT_TRUE(player.Open(longSong, nullptr));
    ASSERT_TRUE(player.Play(0));
    ASSERT_EQ(player.buffers.size(), 3u);
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(player.Stop());
    EXPECT_EQ(player.returnedBuffers.load(), 3);
    EXPECT_EQ(ends.load(), 0);
    ASSERT_TRUE(player.Play(30000));
    EXPECT_GE(player.PositionMs(), 30000);
    ASSERT_TRUE(player.Stop());
    EXPECT_EQ(ends.load(), 0);
}

}  // namespace
}  // namespace melnix
