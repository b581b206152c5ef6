// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/block_processor.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/mul_div.h"

namespace melnix {
namespace {

struct CaptureSink : BlockSink {
    std::vector<std::vector<int16_t>> writes;
    void Write(const uint8_t* data, size_t bytes) override {
        const auto* s = reinterpret_cast<const int16_t*>(data);
        writes.emplace_back(s, s + bytes / 2);
    }
    std::vector<int16_t> all() const {
        std::vector<int16_t> out;
        for (const auto& w : writes) out.insert(out.end(), w.begin(), w.end());
        return out;
    }
};

// Stereo frames whose left sample is the frame number and whose right sample
// is its negative, so every output frame tells where it came from.
std::vector<int16_t> rampBlock(int frames) {
    std::vector<int16_t> s(static_cast<size_t>(frames) * 2);
    for (int k = 0; k < frames; ++k) {
        s[2 * static_cast<size_t>(k)] = static_cast<int16_t>(k);
        s[2 * static_cast<size_t>(k) + 1] = static_cast<int16_t>(-k);
    }
    return s;
}

class BlockProcessorTest : public ::testing::Test {
protected:
    BlockProcessorTest() {
        config.collectWaveform = false;
        config.sampleRate = 44100;
    }

    // Runs one block and returns the output as interleaved samples.
    std::vector<int16_t> run(std::vector<int16_t> block, int speed, bool pitchChange = false) {
        config.pitchChange = pitchChange;
        speedPercent = speed;
        sink.writes.clear();
        processor.FlushBlock(block.data(), block.size() * 2, speedPercent, 26.122449);
        return sink.all();
    }

    AudioStreamConfig config;
    CaptureSink sink;
    BlockProcessor processor{config, sink};
    std::atomic<int> speedPercent{100};
};

// Expects output frame `at` to be source frame `from` of a ramp block, scaled
// by num / 100.
void expectFrame(const std::vector<int16_t>& out, int at, int from, int num = 100) {
    const int v = from * num / 100;
    EXPECT_EQ(out[2 * static_cast<size_t>(at)], v) << "frame " << at;
    EXPECT_EQ(out[2 * static_cast<size_t>(at) + 1], -v) << "frame " << at;
}

TEST_F(BlockProcessorTest, DoubleLengthPlaysTheBlockTwiceWithFadesAtTheJoint) {
    const auto out = run(rampBlock(4096), 200);
    ASSERT_EQ(out.size(), 8192u * 2);
    expectFrame(out, 0, 0);
    expectFrame(out, 3995, 3995);       // before the fade-out
    expectFrame(out, 3996, 3996, 99);   // fade-out over the last 100 frames
    expectFrame(out, 4094, 4094, 1);
    expectFrame(out, 4095, 4095, 0);
    expectFrame(out, 4096, 0, 0);       // second copy fades in
    expectFrame(out, 4097 + 50, 51, 51);
    expectFrame(out, 4096 + 100, 100);
    expectFrame(out, 8191, 4095);       // and ends unfaded
}

TEST_F(BlockProcessorTest, OneAndAHalfPlaysHeadThenTail) {
    const auto out = run(rampBlock(4096), 150);
    ASSERT_EQ(out.size(), 6144u * 2);
    expectFrame(out, 2971, 2971);
    expectFrame(out, 3070, 3070, 1);
    expectFrame(out, 3071, 3071, 0);    // frames 0..3071, faded out at the end
    expectFrame(out, 3072, 1024, 0);    // then frames 1024..4095, faded in
    expectFrame(out, 3072 + 99, 1024 + 99, 99);
    expectFrame(out, 3072 + 100, 1124);
    expectFrame(out, 6143, 4095);
}

TEST_F(BlockProcessorTest, HalfLengthKeepsTheFadedHead) {
    const auto out = run(rampBlock(4096), 50);
    ASSERT_EQ(out.size(), 2048u * 2);
    expectFrame(out, 0, 0, 0);
    expectFrame(out, 40, 40, 40);
    expectFrame(out, 100, 100);
    expectFrame(out, 1947, 1947);
    expectFrame(out, 2046, 2046, 1);
    expectFrame(out, 2047, 2047, 0);
}

TEST_F(BlockProcessorTest, PitchChangeDropsOneFrameInFiveAt80) {
    const auto out = run(rampBlock(4096), 80, true);
    ASSERT_EQ(out.size(), 3277u * 2);  // MulDiv(4096, 80, 100)
    // Frames 3, 8, 13, ... (1-based) are dropped: 0,1,3,4,5,6,8,...
    const int expected[] = {0, 1, 3, 4, 5, 6, 8, 9, 10, 11, 13};
    for (int i = 0; i < 11; ++i) expectFrame(out, i, expected[i]);
}

TEST_F(BlockProcessorTest, PitchChangeDoublesOneFrameInFourAt125) {
    const auto out = run(rampBlock(4096), 125, true);
    ASSERT_EQ(out.size(), 5120u * 2);
    // Written through a buffer of the block's size.
    ASSERT_EQ(sink.writes.size(), 2u);
    EXPECT_EQ(sink.writes[0].size(), 4096u * 2);
    const int expected[] = {0, 1, 1, 2, 3, 4, 5, 5, 6, 7};
    for (int i = 0; i < 10; ++i) expectFrame(out, i, expected[i]);
    int doubled = 0;
    for (size_t i = 1; i < out.size() / 2; ++i) doubled += out[2 * i] == out[2 * i - 2];
    EXPECT_EQ(doubled, 1024);
}

TEST_F(BlockProcessorTest, OutputLengthFollowsTheSpeedForEveryBlockSize) {
    struct Speed {
        int percent;
        bool pitchChange;
    };
    // The editor's nine speeds.
    const Speed speeds[] = {{200, false}, {175, true}, {150, false}, {125, true}, {100, false},
                            {80, true},   {75, false}, {65, true},   {50, false}};
    // 4096: a normal block; 1000: long enough to fade; 300: too short to
    // fade; 1: a single frame.
    for (int frames : {4096, 1000, 300, 7, 1}) {
        for (const Speed& sp : speeds) {
            const auto out = run(rampBlock(frames), sp.percent, sp.pitchChange);
            const int expected = std::max(MulDiv(frames, sp.percent, 100), 1);
            EXPECT_EQ(out.size(), static_cast<size_t>(expected) * 2)
                << frames << " frames at " << sp.percent << (sp.pitchChange ? " with" : " without") << " pitch change";
        }
    }
    EXPECT_TRUE(run({}, 200).empty());
}

TEST_F(BlockProcessorTest, ShortBlocksRepeatOrCutWithoutFades) {
    auto out = run(rampBlock(300), 200);
    ASSERT_EQ(out.size(), 600u * 2);
    expectFrame(out, 299, 299);
    expectFrame(out, 300, 0);
    expectFrame(out, 599, 299);
    out = run(rampBlock(300), 50);
    ASSERT_EQ(out.size(), 150u * 2);
    expectFrame(out, 0, 0);
    expectFrame(out, 149, 149);
}

TEST_F(BlockProcessorTest, ChannelModesRewriteStereoAtNormalSpeed) {
    struct Case {
        int mode;
        int16_t l, r;
    } cases[] = {
        {0, 1000, 300}, {1, 650, 650}, {2, 1000, 1000}, {3, 300, 300}, {4, 1000, 0}, {5, 0, 300},
    };
    for (const auto& c : cases) {
        config.channelMode = c.mode;
        const auto out = run({1000, 300}, 100);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(out[0], c.l) << "mode " << c.mode;
        EXPECT_EQ(out[1], c.r) << "mode " << c.mode;
    }
}

TEST_F(BlockProcessorTest, VocalRemovalCancelsTheCentreAndCarriesTheRightChannel) {
    config.channelMode = kChannelModeVocalRemoval;
    auto out = run({1000, 300, -32768, 32767}, 100);
    // The stream's first frame takes its own right as the one before (no
    // click at the start); clamped to +-32767.
    EXPECT_EQ(out, (std::vector<int16_t>{700, -700, -32767, 32767}));
    out = run({500, 500}, 100);  // the right sample of the block before carries over
    EXPECT_EQ(out, (std::vector<int16_t>{500 - 32767, 0}));

    // Only at exactly 100: at other speeds the channels stay.
    out = run(rampBlock(300), 200);
    expectFrame(out, 1, 1);

    // A mono stream is left as it is.
    config.channels = 1;
    out = run({1000, 300}, 100);
    EXPECT_EQ(out, (std::vector<int16_t>{1000, 300}));
}

TEST_F(BlockProcessorTest, StreamsThatAreNot16BitPassAtNormalSpeedWithoutWaveform) {
    config.bitsPerSample = 8;
    config.channels = 1;
    config.collectWaveform = true;
    auto waveform = std::make_unique<std::atomic<uint8_t>[]>(100);
    for (int i = 0; i < 100; ++i) waveform[i] = kWaveformEmpty;
    config.waveform = waveform.get();
    config.waveformLength = 100;
    std::vector<int16_t> block = {0x0180, 0x7FFF, 0x1234};
    const auto out = run(block, 200);
    EXPECT_EQ(out, block);
    EXPECT_EQ(speedPercent.load(), 100);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(waveform[i].load(), kWaveformEmpty);
}

class WaveformTest : public BlockProcessorTest {
protected:
    WaveformTest() {
        config.collectWaveform = true;
        for (int i = 0; i < kSlots; ++i) waveform[i] = kWaveformEmpty;
        config.waveform = waveform.get();
        config.waveformLength = kSlots;
        config.levelValue = &level;
    }
    int at(int slot) const { return waveform[slot].load(); }

    static constexpr int kSlots = 40;
    std::unique_ptr<std::atomic<uint8_t>[]> waveform = std::make_unique<std::atomic<uint8_t>[]>(kSlots);
    std::atomic<int> level{0};
};

std::vector<int16_t> constantBlock(int frames, int16_t left, int16_t right) {
    std::vector<int16_t> s(static_cast<size_t>(frames) * 2);
    for (size_t i = 0; i < s.size(); i += 2) {
        s[i] = left;
        s[i + 1] = right;
    }
    return s;
}

TEST_F(WaveformTest, WavBlockFillsTheSlotsItSpans) {
    config.isWav = true;
    config.blockBytes = 16384;
    config.blockIndex = 1;  // the first block: 4096 frames = 0..92 ms
    config.blockFirstFrame = 0;
    run(constantBlock(4096, 12900, 12900), 100);
    for (int i = 0; i <= 9; ++i) EXPECT_EQ(at(i), 100) << i;
    EXPECT_EQ(at(10), kWaveformEmpty);
    config.blockIndex = 2;  // the second starts at MulDiv(4096, 100, 44100) = 9
    config.blockFirstFrame = 4096;
    run(constantBlock(4096, 1290, 1290), 100);
    EXPECT_EQ(at(9), 100);  // a slot keeps a larger earlier value
    EXPECT_EQ(at(10), 10);
    EXPECT_EQ(at(18), 10);
}

TEST_F(WaveformTest, LevelIsTheAverageOfTwoChannelsAndFullScaleIs254) {
    config.isWav = true;
    config.blockIndex = 1;
    run(constantBlock(441, -32768, -32768), 100);
    EXPECT_EQ(at(0), 254);
    for (int i = 0; i < kSlots; ++i) waveform[i] = kWaveformEmpty;
    run(constantBlock(441, 12900, -12900), 100);  // out of phase: silent on average
    EXPECT_EQ(at(0), 0);
}

TEST_F(WaveformTest, SharedLevelRisesByAQuarterAndIsNeverLowered) {
    config.isWav = true;
    config.blockIndex = 1;
    run(constantBlock(1, 12900, 12900), 100);  // g = 100
    EXPECT_EQ(level.load(), 25);
    run(constantBlock(1, 12900, 12900), 100);
    EXPECT_EQ(level.load(), 43);  // 25 + 75 / 4
    level = 99;
    run(constantBlock(1, 12900, 12900), 100);
    EXPECT_EQ(level.load(), 100);  // at least 1
    run(constantBlock(100, 0, 0), 100);
    EXPECT_EQ(level.load(), 100);
}

TEST_F(WaveformTest, Mp3BlockStartsWhereItsFramesBegan) {
    config.isWav = false;
    config.maxBlockBytes = 16384;
    // The second 4096-frame block is completed by MP3 frame 8; it begins at
    // 0.1 x 26.12 x (8 - 3.56 - 1) = slot 8.
    config.blockIndex = 8;
    run(constantBlock(4096, 12900, 12900), 100);
    EXPECT_EQ(at(7), kWaveformEmpty);
    EXPECT_EQ(at(8), 100);
    EXPECT_EQ(at(17), 100);
    EXPECT_EQ(at(18), kWaveformEmpty);
}

TEST_F(WaveformTest, SkippedSlotCopiesItsLeftNeighbourAndTheEndIsRespected) {
    config.isWav = false;
    waveform[5] = 77;
    config.blockIndex = 8;  // first slot 8; slot 7 empty, slot 6 empty too
    waveform[6] = 60;
    run(constantBlock(441, 0, 0), 100);
    EXPECT_EQ(at(7), 60);

    config.waveformLength = 20;  // slots past the end are never written
    config.blockIndex = 12;     // first slot 18
    run(constantBlock(4096, 12900, 12900), 100);
    EXPECT_EQ(at(19), 100);
    EXPECT_EQ(at(20), kWaveformEmpty);
}

}  // namespace
}  // namespace melnix
