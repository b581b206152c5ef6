// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wave_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "audio/mp3_source.h"
#include "audio/audio_test_util.h"
#include "common/mul_div.h"

namespace melnix {
namespace {

using namespace test;
using namespace std::chrono_literals;

// Generous: the tests must pass on a loaded two-core machine.
template <class Pred>
bool eventually(Pred pred, std::chrono::milliseconds limit = 20s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Threads of this process; the first thread a process makes may bring a
// helper of the sanitizers along, so make one before counting.
size_t threadCount() {
    std::thread([] {}).join();
    size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/task")) {
        (void)e;
        ++n;
    }
    return n;
}

std::string writeSong(const std::string& name, const std::vector<int16_t>& stereo) {
    const std::string path = scratchPath(name);
    writeBytes(path, wavBytes(44100, 2, 16, samplesAsBytes(stereo)));
    return path;
}

class WavePlayerTest : public ::testing::Test {
protected:
    WavePlayerTest() {
        for (int i = 0; i < kWaveformLength; ++i) waveform[i] = kWaveformEmpty;
    }

    std::unique_ptr<WavePlayer> makePlayer(std::unique_ptr<AudioOutput> output) {
        return std::make_unique<WavePlayer>(
            [this] {
                ++ended;
                endEvent.set();
            },
            &level, waveform.get(), kWaveformLength, std::move(output));
    }

    // Plays a song to its end on the WAV output and returns what was heard.
    std::vector<int16_t> render(const std::string& song, bool isWav, int speed = 100, bool pitchChange = false,
                                uint32_t volume = 0) {
        const std::string out = scratchPath("heard.wav");
        auto player = makePlayer(makeWavAudioOutput(out));
        player->SetSpeedPercent(speed);
        player->SetPitchChange(pitchChange);
        if (volume) player->SetVolume(volume);
        EXPECT_TRUE(player->SetSource(song, 0, isWav));
        EXPECT_TRUE(player->Open());
        EXPECT_TRUE(player->Prepare());
        EXPECT_TRUE(player->Start());
        EXPECT_TRUE(endEvent.wait(20000));
        EXPECT_TRUE(eventually([&] { return player->State() == kWaveStopped; }));
        player->Close();
        return wavOutputSamples(out);
    }

    std::atomic<int> level{0};
    std::unique_ptr<std::atomic<uint8_t>[]> waveform = std::make_unique<std::atomic<uint8_t>[]>(kWaveformLength);
    std::atomic<int> ended{0};
    AutoResetEvent endEvent;
};

TEST_F(WavePlayerTest, RunsItsWholeLifeCycleOnTheNullOutput) {
    const size_t threadsBefore = threadCount();
    // 3 s: long enough that a stalled machine does not end it between steps.
    const std::string song = writeSong("cycle.wav", countingStereo(132300));
    auto player = makePlayer(makeNullAudioOutput());
    EXPECT_EQ(player->State(), kWaveIdle);
    EXPECT_EQ(player->PositionMs(), -1);
    EXPECT_EQ(player->LengthMs(), kLengthUnknown);
    EXPECT_EQ(player->Seek(100), kSeekNotPlaying);

    ASSERT_TRUE(player->SetSource(song, 0, true));
    ASSERT_TRUE(player->Open());
    EXPECT_EQ(player->State(), kWaveOpened);
    EXPECT_FALSE(player->SetSource(song, 0, true));  // only when idle
    EXPECT_FALSE(player->Start());                   // not prepared
    ASSERT_TRUE(player->Prepare());
    EXPECT_EQ(player->State(), kWavePrepared);
    EXPECT_EQ(player->LengthMs(), 3000u);  // every frame, the last partial block's too

    ASSERT_TRUE(player->Start());
    EXPECT_EQ(player->State(), kWavePlaying);
    const int32_t first = player->PositionMs();
    EXPECT_GE(first, 200);  // the lead is there from the start
    EXPECT_LT(first, 200 + 3000);

    ASSERT_TRUE(player->Pause());
    EXPECT_EQ(player->State(), kWavePaused);
    std::this_thread::sleep_for(100ms);
    const int32_t paused = player->PositionMs();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(player->PositionMs(), paused);

    // Seeking while paused lands on the very frame asked for (88200, inside block 21).
    EXPECT_EQ(player->Seek(2000), kSeekDone);
    EXPECT_EQ(player->PositionMs(), 2000 + 200);

    ASSERT_TRUE(player->Resume());
    ASSERT_TRUE(endEvent.wait(20000));
    EXPECT_TRUE(eventually([&] { return player->State() == kWaveStopped; }));
    EXPECT_EQ(ended.load(), 1);
    EXPECT_EQ(player->PositionMs(), 0);

    // Again from the start, stopped this time.
    ASSERT_TRUE(player->Prepare());
    ASSERT_TRUE(player->Start());
    std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(player->Stop());
    EXPECT_EQ(player->State(), kWaveStopped);
    EXPECT_EQ(player->LastError(), kWaveErrorNone);
    EXPECT_EQ(ended.load(), 1);  // a stop is not the end of the song
    ASSERT_TRUE(player->Close());
    EXPECT_EQ(player->State(), kWaveIdle);
    player.reset();
    EXPECT_EQ(threadCount(), threadsBefore);

    // The waveform was measured on the way.
    EXPECT_NE(waveform[0].load(), kWaveformEmpty);
}

TEST_F(WavePlayerTest, SeekToTheEndStopsShortOfItAndPauseHoldsAFullQueue) {
    const std::string song = writeSong("long.wav", countingStereo(441000));  // 10 s
    auto player = makePlayer(makeNullAudioOutput());
    ASSERT_TRUE(player->SetSource(song, 0, true));
    ASSERT_TRUE(player->Open());
    ASSERT_TRUE(player->Prepare());
    ASSERT_TRUE(player->Start());
    // Let the worker fill the queue and wait on it, then pause it there.
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(player->Pause());
    EXPECT_EQ(player->Seek(5000), kSeekDone);
    const int32_t at = player->PositionMs();
    EXPECT_EQ(at, 5000 + 200);
    ASSERT_TRUE(player->Resume());
    EXPECT_TRUE(eventually([&] { return player->PositionMs() > at; }));

    // 100 ms before the end at the latest.
    const uint32_t length = player->LengthMs();
    EXPECT_EQ(player->Seek(60000), kSeekDone);
    const int32_t nearEnd = player->PositionMs();
    EXPECT_GE(nearEnd, static_cast<int32_t>(length) - 100 + 200);
    EXPECT_LE(nearEnd, static_cast<int32_t>(length) + 200);
    ASSERT_TRUE(endEvent.wait(20000));
    EXPECT_EQ(ended.load(), 1);
    player->Close();
}

TEST_F(WavePlayerTest, MissingOrRefusingDeviceIsError6AndNoThreadRuns) {
    const std::string song = writeSong("nodevice.wav", countingStereo(5000));
    const size_t threadsBefore = threadCount();
    std::unique_ptr<AudioOutput> outputs[] = {nullptr, makeWavAudioOutput("/nonexistent-folder/x.wav")};
    for (auto& output : outputs) {
        auto player = makePlayer(std::move(output));
        ASSERT_TRUE(player->SetSource(song, 0, true));
        ASSERT_TRUE(player->Open());
        ASSERT_TRUE(player->Prepare());
        EXPECT_FALSE(player->Start());
        EXPECT_EQ(player->LastError(), kWaveErrorDevice);
        EXPECT_EQ(player->State(), kWavePrepared);
        EXPECT_EQ(threadCount(), threadsBefore);
    }
}

TEST_F(WavePlayerTest, UnreadableSongsAreError5) {
    const std::string garbage = scratchPath("garbage.wav");
    writeBytes(garbage, std::string(5000, 'x'));
    const std::string missing = scratchPath("missing.mp3");
    std::filesystem::remove(missing);
    for (const auto& [path, isWav] : {std::pair{garbage, true}, std::pair{missing, false}}) {
        auto player = makePlayer(makeNullAudioOutput());
        ASSERT_TRUE(player->SetSource(path, 0, isWav));
        EXPECT_FALSE(player->Open()) << path;
        EXPECT_EQ(player->LastError(), kWaveErrorSource) << path;
        EXPECT_EQ(player->State(), kWaveIdle) << path;
    }
    // An MP3 without a single frame opens but cannot be prepared.
    auto player = makePlayer(makeNullAudioOutput());
    ASSERT_TRUE(player->SetSource(garbage, 0, false));
    ASSERT_TRUE(player->Open());
    EXPECT_FALSE(player->Prepare());
    EXPECT_EQ(player->LastError(), kWaveErrorSource);
    EXPECT_EQ(player->State(), kWaveOpened);
}

TEST_F(WavePlayerTest, WavOutputHearsEverySampleOfTheSong) {
    const auto pcm = countingStereo(66150);
    const auto heard = render(writeSong("render.wav", pcm), true);
    ASSERT_EQ(heard.size(), pcm.size());
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), pcm.begin()));
    EXPECT_EQ(ended.load(), 1);
}

TEST_F(WavePlayerTest, WavOutputLengthFollowsEverySpeed) {
    const std::string song = writeSong("speeds.wav", countingStereo(66150));  // 16 blocks of 4096 and one of 614
    struct Case {
        int speed;
        bool pitchChange;
    } cases[] = {{200, false}, {175, true}, {150, false}, {125, true}, {80, true}, {75, false}, {65, true}, {50, false}};
    for (const auto& c : cases) {
        const int64_t expected = 16 * MulDiv(4096, c.speed, 100) + MulDiv(614, c.speed, 100);
        EXPECT_EQ(static_cast<int64_t>(render(song, true, c.speed, c.pitchChange).size()), expected * 2)
            << c.speed;
    }
}

TEST_F(WavePlayerTest, VolumeIsAppliedToWhatIsHeard) {
    auto pcm = countingStereo(10000);
    const auto heard = render(writeSong("volume.wav", pcm), true, 100, false, 0x8000);
    ASSERT_EQ(heard.size(), pcm.size());
    EXPECT_EQ(heard[2 * 1000], 1000 * 0x8000 / 0xFFFF);
    EXPECT_EQ(heard[2 * 1000 + 1], -1000 * 0x8000 / 0xFFFF);
}

TEST_F(WavePlayerTest, Mp3PlaysThroughTheWholeEngine) {
    // What the source decodes reaches the output, all of it.
    AudioStreamConfig config;
    config.collectWaveform = false;
    config.filePath = fixturePath("l3-hecommon-16.bit");
    Mp3Source source(config);
    ASSERT_TRUE(source.Open());
    ASSERT_TRUE(source.Prepare());
    struct Sink : BlockSink {
        std::vector<int16_t> s;
        void Write(const uint8_t* d, size_t b) override {
            s.insert(s.end(), reinterpret_cast<const int16_t*>(d), reinterpret_cast<const int16_t*>(d + b));
        }
    } sink;
    BlockProcessor processor(config, sink);
    while (source.ReadBlock() != kEndOfData) {
        ++config.blockIndex;
        source.DecodeBlock(processor);
    }
    source.FlushPending(processor);
    ASSERT_EQ(sink.s.size(), 16u * 1152 * 2);

    const auto heard = render(fixturePath("l3-hecommon-16.bit"), false);
    ASSERT_EQ(heard.size(), sink.s.size());
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), sink.s.begin()));

    // A mono stream is heard on both channels alike.
    const auto mono = render(fixturePath("l2-fl13-24.bit"), false);
    ASSERT_EQ(mono.size(), 24u * 1152 * 2);
    bool same = true;
    for (size_t i = 0; i < mono.size(); i += 2) same = same && mono[i] == mono[i + 1];
    EXPECT_TRUE(same);
}

TEST_F(WavePlayerTest, Mp3SeekPastTheLastRealFrameFails) {
    // Zeros after the frames make the length estimate too long: the source
    // cannot reach the frame a seek near the end asks for.
    const std::string path = scratchPath("padded.mp3");
    const std::string frames = readBytes(fixturePath("l3-hecommon-16.bit"));
    std::string song;
    for (int i = 0; i < 8; ++i) song += frames;  // 128 frames, 3.3 s
    writeBytes(path, song + std::string(20000, '\0'));
    auto player = makePlayer(makeNullAudioOutput());
    ASSERT_TRUE(player->SetSource(path, 0, false));
    ASSERT_TRUE(player->Open());
    ASSERT_TRUE(player->Prepare());
    EXPECT_GT(player->LengthMs(), 4000u);
    ASSERT_TRUE(player->Start());
    // Paused, so that the position read after the seek has not moved on.
    ASSERT_TRUE(player->Pause());
    EXPECT_EQ(player->Seek(4000), kSeekSourceFailed);  // frame 153
    EXPECT_EQ(player->Seek(200), kSeekDone);
    EXPECT_EQ(player->PositionMs(), 200 + 200);  // the asked millisecond, not its frame's start
    ASSERT_TRUE(player->Stop());
    player->Close();
}

// A variable-rate MP3 announces its frames in its first one: a file cut off
// after a part of them ends early, which the player reports; the whole file
// does not.
TEST_F(WavePlayerTest, ACutOffVariableRateMp3EndsEarly) {
    const std::string wav = writeSong("vbr-src.wav", countingStereo(44100 * 4));
    const std::string mp3 = scratchPath("vbr.mp3");
    ASSERT_EQ(std::system(("lame --quiet -V 2 " + wav + " " + mp3).c_str()), 0);
    const std::string whole = readBytes(mp3);
    const std::string cut = scratchPath("cut.mp3");
    writeBytes(cut, whole.substr(0, whole.size() / 3));
    for (const auto& [path, early] : {std::pair{mp3, false}, std::pair{cut, true}}) {
        SCOPED_TRACE(path);
        auto player = makePlayer(makeWavAudioOutput(scratchPath("heard.wav")));
        ASSERT_TRUE(player->SetSource(path, 0, WaveSourceKind::Mpeg));
        ASSERT_TRUE(player->Open());
        ASSERT_TRUE(player->Prepare());
        EXPECT_GT(player->LengthMs(), 3900u);  // the cut file still announces the whole song
        ASSERT_TRUE(player->Start());
        ASSERT_TRUE(endEvent.wait(20000));
        EXPECT_EQ(player->EndedEarly(), early);
        player->Close();
    }
}

}  // namespace
}  // namespace melnix
