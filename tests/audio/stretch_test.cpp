// SPDX-License-Identifier: GPL-3.0-or-later
// The quality time stretch, the singer's key, the position through the
// stretcher, and the offline render against a play into the WAV output.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

#include "audio/audio_test_util.h"
#include "audio/block_processor.h"
#include "audio/wave_player.h"

namespace melnix {
namespace {

using namespace test;
using namespace std::chrono_literals;

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

std::vector<int16_t> toneStereo(double hz, int frames, double amplitude = 0.5) {
    std::vector<int16_t> s(static_cast<size_t>(frames) * 2);
    for (int k = 0; k < frames; ++k)
        s[2 * static_cast<size_t>(k)] = s[2 * static_cast<size_t>(k) + 1] =
            static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(2 * kPi * hz * k / kRate)));
    return s;
}

// Left channel of interleaved stereo.
std::vector<double> left(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
    std::vector<double> l;
    for (size_t i = 2 * from; i + 1 < s.size() && i / 2 < to; i += 2) l.push_back(s[i]);
    return l;
}

// Frequency from the rising zero crossings, interpolated within a sample.
double frequency(const std::vector<double>& x) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            const double at = static_cast<double>(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * kRate / (last - first) : 0;
}

// The largest deviation in dB of the loudness of windows of one period (100
// samples at 441 Hz) from their median.
double loudnessSpreadDb(const std::vector<double>& x) {
    std::vector<double> rms;
    for (size_t w = 0; w + 100 <= x.size(); w += 100) {
        double sum = 0;
        for (size_t i = w; i < w + 100; ++i) sum += x[i] * x[i];
        rms.push_back(std::sqrt(sum / 100));
    }
    if (rms.empty()) return 1e9;
    std::vector<double> sorted = rms;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    double worst = 0;
    for (double r : rms) worst = std::max(worst, std::abs(20 * std::log10(std::max(r, 1e-9) / median)));
    return worst;
}

struct CollectingSink : BlockSink {
    std::vector<int16_t> s;
    void Write(const uint8_t* d, size_t b) override {
        s.insert(s.end(), reinterpret_cast<const int16_t*>(d), reinterpret_cast<const int16_t*>(d + b));
    }
};

// Runs pcm through the block processor in blocks of 4096 frames, as a
// stream from its start to its end.
std::vector<int16_t> process(const std::vector<int16_t>& pcm, int speed, int method, int key, bool pitchChange = false) {
    AudioStreamConfig config;
    config.collectWaveform = false;
    config.stretchMethod = method;
    config.keySemitones = key;
    config.pitchChange = pitchChange;
    CollectingSink sink;
    BlockProcessor processor(config, sink);
    std::atomic<int> percent{speed};
    processor.Reset();
    std::vector<int16_t> block;
    for (size_t at = 0; at < pcm.size(); at += 4096 * 2) {
        block.assign(pcm.begin() + static_cast<ptrdiff_t>(at),
                     pcm.begin() + static_cast<ptrdiff_t>(std::min(pcm.size(), at + 4096 * 2)));
        processor.FlushBlock(block.data(), block.size() * 2, percent, 0);
    }
    processor.Finish(percent);
    return sink.s;
}

TEST(QualityStretch, KeepsPitchLengthAndLoudnessOfAToneAtEachPitchKeepingSpeed) {
    const int frames = 3 * kRate;
    const auto tone = toneStereo(440, frames);
    for (int speed : {200, 150, 75, 50}) {
        SCOPED_TRACE(speed);
        const auto out = process(tone, speed, kStretchQuality, 0);
        const double expected = frames * speed / 100.0;
        EXPECT_NEAR(static_cast<double>(out.size() / 2), expected, expected * 0.01);
        // Steady after the first 200 ms, up to the last 200 ms where the song ends.
        const size_t outFrames = out.size() / 2;
        const auto steady = left(out, kRate / 5, outFrames - kRate / 5);
        EXPECT_NEAR(frequency(steady), 440.0, 4.4);
        EXPECT_LT(loudnessSpreadDb(steady), 1.0);
    }
}

TEST(QualityStretch, KeyMovesThePitchAndKeepsTheLength) {
    const int frames = 2 * kRate;
    const auto tone = toneStereo(440, frames);
    struct Case {
        int speed;
        int method;
        bool pitchChange;
        int key;
        double hz;
    } cases[] = {
        {100, kStretchBlock, false, 2, 493.88},   {100, kStretchBlock, false, -3, 369.99},
        {100, kStretchBlock, false, 6, 622.25},   {100, kStretchBlock, false, -6, 311.13},
        {200, kStretchQuality, false, 2, 493.88}, {50, kStretchQuality, false, -2, 392.0},
        // The pitch-changing speeds add their own change on top of the key.
        {125, kStretchBlock, true, 2, 493.88 * 100 / 125},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.speed << " key " << c.key);
        const auto out = process(tone, c.speed, c.method, c.key, c.pitchChange);
        const double expected = frames * c.speed / 100.0;
        EXPECT_NEAR(static_cast<double>(out.size() / 2), expected, expected * 0.01);
        const size_t outFrames = out.size() / 2;
        EXPECT_NEAR(frequency(left(out, kRate / 5, outFrames - kRate / 5)), c.hz, c.hz * 0.01);
    }
    // Key 0 at normal speed leaves the samples alone.
    EXPECT_EQ(process(tone, 100, kStretchQuality, 0), tone);
}

// An output that takes buffers until it holds stallAt frames and then reports
// a full queue, so the worker waits while the test reads the position; the
// test says how many frames have been played.
class StallingOutput final : public AudioOutput {
public:
    const char* name() const override { return "stalling"; }
    bool open(const PcmFormat&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool write(const void* data, size_t bytes) override {
        std::lock_guard lock(mutex_);
        const auto* s = static_cast<const int16_t*>(data);
        heard_.insert(heard_.end(), s, s + bytes / 2);
        return true;
    }
    int pendingBuffers() override {
        std::lock_guard lock(mutex_);
        return static_cast<int64_t>(heard_.size() / 2) >= stallAt ? 8 : 0;
    }
    int64_t playedFrames() override { return played.load(); }
    void pause() override {}
    void restart() override {}
    void reset() override {
        std::lock_guard lock(mutex_);
        heard_.clear();
        played = 0;
    }
    std::vector<int16_t> heard() {
        std::lock_guard lock(mutex_);
        return heard_;
    }

    std::atomic<int64_t> stallAt{0};
    std::atomic<int64_t> played{0};

private:
    std::atomic<bool> open_{false};
    std::mutex mutex_;
    std::vector<int16_t> heard_;
};

// A 2 kHz tone switched on at 150 ms and every 300 ms after, for 150 ms each
// time, with 10 ms ramps: where an onset is heard tells which song time plays.
constexpr int kOnsetEveryMs = 300;
constexpr int kFirstOnsetMs = 150;

std::vector<int16_t> gatedSong(int ms) {
    const int frames = ms * kRate / 1000;
    std::vector<int16_t> s(static_cast<size_t>(frames) * 2, 0);
    for (int k = 0; k < frames; ++k) {
        const double t = std::fmod(k * 1000.0 / kRate, kOnsetEveryMs);  // ms into the cycle
        // Up from 145 to 155 ms, down from 290 to 300 ms.
        const double gain = std::clamp(std::min((t - (kFirstOnsetMs - 5)) / 10, (kOnsetEveryMs - t) / 10), 0.0, 1.0);
        s[2 * static_cast<size_t>(k)] = s[2 * static_cast<size_t>(k) + 1] =
            static_cast<int16_t>(std::lround(16000 * gain * std::sin(2 * kPi * 2000.0 * k / kRate)));
    }
    return s;
}

// Output frames where the loudness (over 1 ms) rises through half its top,
// after having been below an eighth of it for 20 ms.
std::vector<double> onsets(const std::vector<int16_t>& heard) {
    const auto x = left(heard);
    const size_t w = kRate / 1000;
    std::vector<double> level;
    for (size_t i = 0; i + w <= x.size(); i += w) {
        double e = 0;
        for (size_t k = i; k < i + w; ++k) e += x[k] * x[k];
        level.push_back(std::sqrt(e / static_cast<double>(w)));
    }
    const double top = level.empty() ? 0 : *std::max_element(level.begin(), level.end());
    std::vector<double> found;
    int quietRun = 0;  // 1 ms windows below an eighth, up to the last one
    bool quiet = false;
    for (size_t i = 1; i < level.size(); ++i) {
        quietRun = level[i] < top / 8 ? quietRun + 1 : 0;
        if (quietRun >= 20) quiet = true;  // the gaps between the tones, not a dip within one
        if (quiet && level[i - 1] < top / 2 && level[i] >= top / 2) {
            found.push_back((static_cast<double>(i - 1) + (top / 2 - level[i - 1]) / (level[i] - level[i - 1]) + 0.5) *
                            static_cast<double>(w));
            quiet = false;
        }
    }
    return found;
}

bool eventually(const std::function<bool()>& pred) {
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// For every onset heard, the position with the output played up to it is the
// onset's song time plus the fixed lead. The stretcher spreads an onset over
// its window, so one onset is found within 20 ms; their middle lies within
// 10 ms (a missing or doubled allowance for the stretcher's delay is 30 ms
// and more).
void expectPositionFollowsOnsets(WavePlayer& player, StallingOutput& output, int speed) {
    const auto found = onsets(output.heard());
    ASSERT_GE(found.size(), 3u) << "speed " << speed;
    std::vector<int> errors;
    for (double p : found) {
        output.played = std::llround(p);
        const int32_t songMs = player.PositionMs() - kPositionLeadMs;
        const int k = static_cast<int>(std::lround((songMs - kFirstOnsetMs) / static_cast<double>(kOnsetEveryMs)));
        errors.push_back(songMs - (kFirstOnsetMs + k * kOnsetEveryMs));
        EXPECT_LE(std::abs(errors.back()), 20) << "speed " << speed << " at output frame " << p;
    }
    std::sort(errors.begin(), errors.end());
    EXPECT_LE(std::abs(errors[errors.size() / 2]), 10) << "speed " << speed;
}

TEST(QualityStretch, PositionFollowsWhatIsHeardAfterStartSeekAndPause) {
    const std::string song = scratchPath("onsets.wav");
    writeBytes(song, wavBytes(kRate, 2, 16, samplesAsBytes(gatedSong(12000))));
    for (int speed : {200, 150, 75, 50}) {
        SCOPED_TRACE(speed);
        auto owned = std::make_unique<StallingOutput>();
        StallingOutput& output = *owned;
        // About 1.2 s of song heard each time.
        output.stallAt = 1200LL * kRate / 1000 * speed / 100;
        WavePlayer player(nullptr, nullptr, nullptr, 0, std::move(owned));
        player.SetStretchMethod(kStretchQuality);
        player.SetSpeedPercent(speed);
        ASSERT_TRUE(player.SetSource(song, 0, true));
        ASSERT_TRUE(player.Open());
        ASSERT_TRUE(player.Prepare());
        // Start at a song time.
        ASSERT_TRUE(player.StartAt(1000));
        ASSERT_TRUE(eventually([&] { return output.pendingBuffers() > 0; }));
        expectPositionFollowsOnsets(player, output, speed);

        // Pause, seek while paused, play on.
        ASSERT_TRUE(player.Pause());
        ASSERT_EQ(player.Seek(5555), kSeekDone);
        ASSERT_TRUE(player.Resume());
        ASSERT_TRUE(eventually([&] { return output.pendingBuffers() > 0; }));
        expectPositionFollowsOnsets(player, output, speed);

        // A seek while playing.
        output.stallAt = output.stallAt.load() * 2;
        ASSERT_EQ(player.Seek(8200), kSeekDone);
        ASSERT_TRUE(eventually([&] { return output.pendingBuffers() > 0; }));
        expectPositionFollowsOnsets(player, output, speed);
        player.Close();
    }
}

// Plays the song to its end into the WAV output on the worker thread, or
// renders it on this thread; returns the file's bytes.
std::string playOrRender(const std::string& song, bool render, int speed, bool pitchChange, int method, int key,
                         int channelMode, int32_t fromMs) {
    const std::string out = scratchPath(render ? "rendered.wav" : "played.wav");
    AutoResetEvent ended;
    WavePlayer player([&ended] { ended.set(); }, nullptr, nullptr, 0, makeWavAudioOutput(out));
    player.SetSpeedPercent(speed);
    player.SetPitchChange(pitchChange);
    player.SetStretchMethod(method);
    player.SetKey(key);
    player.SetChannelMode(channelMode);
    EXPECT_TRUE(player.SetSource(song, 0, true));
    EXPECT_TRUE(player.Open());
    EXPECT_TRUE(player.Prepare());
    if (render) {
        EXPECT_TRUE(player.Render(fromMs));
    } else {
        EXPECT_TRUE(player.StartAt(fromMs));
        EXPECT_TRUE(ended.wait(20000));
    }
    player.Close();
    return readBytes(out);
}

TEST(OfflineRender, WritesTheBytesAPlayWrites) {
    // Left and right differ, so vocal removal has something to keep.
    auto pcm = toneStereo(440, 40000);
    const auto other = toneStereo(660, 40000, 0.3);
    for (size_t i = 1; i < pcm.size(); i += 2) pcm[i] = other[i];
    const std::string song = scratchPath("offline.wav");
    writeBytes(song, wavBytes(kRate, 2, 16, samplesAsBytes(pcm)));
    struct Case {
        int speed;
        bool pitchChange;
        int method;
        int key;
        int channelMode;
        int32_t fromMs;
    } cases[] = {
        {200, false, kStretchBlock, 0, 0, 0},   {175, true, kStretchBlock, 0, 0, 0},
        {150, false, kStretchBlock, 0, 0, 0},   {125, true, kStretchBlock, 0, 0, 0},
        {100, false, kStretchBlock, 0, 0, 0},   {80, true, kStretchBlock, 0, 0, 0},
        {75, false, kStretchBlock, 0, 0, 0},    {65, true, kStretchBlock, 0, 0, 0},
        {50, false, kStretchBlock, 0, 0, 0},    {200, false, kStretchQuality, 0, 0, 0},
        {150, false, kStretchQuality, 0, 0, 0}, {75, false, kStretchQuality, 0, 0, 0},
        {50, false, kStretchQuality, 0, 0, 0},  {100, false, kStretchBlock, 0, 6, 0},
        {100, false, kStretchBlock, 3, 6, 0},   {200, false, kStretchQuality, -2, 0, 300},
        {80, true, kStretchBlock, 1, 0, 0},     {100, false, kStretchBlock, 0, 0, 450},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.speed << (c.pitchChange ? " pitch" : "") << " method " << c.method
                                          << " key " << c.key << " mode " << c.channelMode << " from " << c.fromMs);
        const std::string played = playOrRender(song, false, c.speed, c.pitchChange, c.method, c.key, c.channelMode, c.fromMs);
        const std::string rendered = playOrRender(song, true, c.speed, c.pitchChange, c.method, c.key, c.channelMode, c.fromMs);
        ASSERT_GT(played.size(), 44u + 4096);
        EXPECT_TRUE(played == rendered) << played.size() << " vs " << rendered.size();
    }
}

}  // namespace
}  // namespace melnix

