// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wav_source.h"

#include <gtest/gtest.h>

#include <random>

#include "audio/audio_test_util.h"

namespace melnix {
namespace {

using namespace test;

struct NullSink : BlockSink {
    std::vector<int16_t> samples;
    void Write(const uint8_t* data, size_t bytes) override {
        const auto* s = reinterpret_cast<const int16_t*>(data);
        samples.insert(samples.end(), s, s + bytes / 2);
    }
};

class WavSourceTest : public ::testing::Test {
protected:
    bool open(const std::string& bytes) {
        const std::string path = scratchPath("song.wav");
        writeBytes(path, bytes);
        config.filePath = path;
        return source.Open();
    }

    // The next block's samples, or empty at the end.
    std::vector<int16_t> nextBlock() {
        if (source.ReadBlock() != kBlockRead) return {};
        NullSink sink;
        BlockProcessor processor(config, sink);
        config.collectWaveform = false;
        source.DecodeBlock(processor);
        return sink.samples;
    }

    AudioStreamConfig config;
    WavSource source{config};
};

TEST_F(WavSourceTest, ReadsBlocksOfAbout93MsUntilTheData) {
    const auto pcm = countingStereo(10000);
    ASSERT_TRUE(open(wavBytes(44100, 2, 16, samplesAsBytes(pcm))));
    EXPECT_TRUE(config.isWav);
    EXPECT_EQ(config.blockBytes, 16384);
    EXPECT_EQ(source.BlockCount(), 40000u / 16384);
    EXPECT_NEAR(source.MsPerBlock(), 4096.0 / 44100 * 1000, 1e-9);
    ASSERT_TRUE(source.Prepare());

    std::vector<int16_t> all;
    for (auto b = nextBlock(); !b.empty(); b = nextBlock()) all.insert(all.end(), b.begin(), b.end());
    EXPECT_EQ(all, pcm);  // the last block is short, nothing is lost
    EXPECT_EQ(source.ReadBlock(), kEndOfData);

    ASSERT_TRUE(source.Prepare());  // back to the start
    EXPECT_EQ(nextBlock()[2], 1);
}

TEST_F(WavSourceTest, BlockSizeFollowsRateAndChannelsInWholeFrames) {
    struct Case {
        int rate, channels, bits, blockBytes;
    } cases[] = {
        {44100, 2, 16, 16384}, {22050, 1, 16, 4096},  {48000, 2, 16, 16384}, {8000, 1, 16, 1486},
        {44100, 1, 8, 8192},   {11025, 2, 8, 4096},   {44100, 6, 16, 16380}, {22050, 2, 24, 8190},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(open(wavBytes(c.rate, c.channels, c.bits, std::string(100000, '\1'))))
            << c.rate << "/" << c.channels << "/" << c.bits;
        EXPECT_EQ(config.blockBytes, c.blockBytes) << c.rate << "/" << c.channels << "/" << c.bits;
        EXPECT_EQ(config.sampleRate.load(), c.rate);
        EXPECT_EQ(config.channels, c.channels);
        EXPECT_EQ(config.bitsPerSample, c.bits);
    }
}

TEST_F(WavSourceTest, RefusesWhatIsNotPlainPcm) {
    const std::string data = chunk("data", std::string(1000, '\0'));
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"not RIFF", "RIFX" + wavBytes(44100, 2, 16, "abcd").substr(4)},
        {"not WAVE", "RIFF\x10\0\0\0AVI " + fmtChunk(44100, 2, 16)},
        {"no format", riffWave(data)},
        {"float samples", riffWave(fmtChunk(44100, 2, 32, 3) + data)},
        {"no data", riffWave(fmtChunk(44100, 2, 16))},
        {"empty data", riffWave(fmtChunk(44100, 2, 16) + chunk("data", ""))},
        {"no channels", riffWave(fmtChunk(44100, 0, 16) + data)},
        {"no rate", riffWave(fmtChunk(0, 2, 16) + data)},
        {"12-bit samples", riffWave(fmtChunk(44100, 2, 12) + data)},
        {"1 Hz", riffWave(fmtChunk(1, 2, 16) + data)},
        {"7999 Hz", riffWave(fmtChunk(7999, 1, 16) + data)},
        {"192001 Hz", riffWave(fmtChunk(192001, 2, 16) + data)},
        {"9 channels", riffWave(fmtChunk(44100, 9, 16) + data)},
        {"data shorter than a frame", riffWave(fmtChunk(44100, 2, 16) + chunk("data", "abc"))},
        {"format cut short", riffWave(chunk("fmt ", std::string("\1\0\2\0", 4)) + data)},
        {"header cut short", wavBytes(44100, 2, 16, "abcd").substr(0, 30)},
    };
    for (const auto& c : cases) EXPECT_FALSE(open(c.bytes)) << c.what;
    EXPECT_FALSE(open(riffWave(fmtChunk(1, 2, 16) + data)));
    EXPECT_EQ(source.refusal(), "sample rate 1 Hz is outside 8000 to 192000 Hz");
    EXPECT_FALSE(open(riffWave(fmtChunk(44100, 12, 16) + data)));
    EXPECT_EQ(source.refusal(), "12 channels is outside 1 to 8");
    // The rate as the file states it, not as a signed number.
    EXPECT_FALSE(open(riffWave(fmtChunk(-1, 2, 16) + data)));
    EXPECT_EQ(source.refusal(), "sample rate 4294967295 Hz is outside 8000 to 192000 Hz");
    // The edges are real rates.
    EXPECT_TRUE(open(riffWave(fmtChunk(8000, 1, 16) + data)));
    EXPECT_TRUE(open(riffWave(fmtChunk(192000, 8, 16) + data)));
    EXPECT_TRUE(source.refusal().empty());
    config.filePath = scratchPath("missing.wav");
    std::filesystem::remove(config.filePath);
    EXPECT_FALSE(source.Open());
}

TEST_F(WavSourceTest, SkipsOtherChunksAndTrustsOnlyTheBytesThere) {
    const auto pcm = countingStereo(100);
    // A LIST chunk of odd size (with its pad byte) before the format, and a
    // data size that claims more than the file holds.
    std::string bytes = riffWave(chunk("LIST", "INFOx") + fmtChunk(44100, 2, 16) + chunk("data", samplesAsBytes(pcm)));
    const size_t sizeAt = bytes.find("data") + 4;
    bytes[sizeAt + 2] = 0x10;  // + 1 MB
    ASSERT_TRUE(open(bytes));
    EXPECT_EQ(source.BlockCount(), 0u);
    ASSERT_TRUE(source.Prepare());
    EXPECT_EQ(nextBlock(), pcm);
    EXPECT_EQ(source.ReadBlock(), kEndOfData);
}

TEST_F(WavSourceTest, SeekStartsAtTheAskedFrameAndTheBlocksLineUpAgain) {
    ASSERT_TRUE(open(wavBytes(44100, 2, 16, samplesAsBytes(countingStereo(20000)))));
    EXPECT_DOUBLE_EQ(source.LengthMs(), 20000 * 1000.0 / 44100);  // the short last block counts
    ASSERT_TRUE(source.Prepare());
    ASSERT_TRUE(source.SeekMs(100));  // frame 4410, inside block 1
    EXPECT_EQ(config.blockIndex.load(), 1);
    EXPECT_DOUBLE_EQ(source.NextBlockMs(), 100.0);
    auto block = nextBlock();
    ASSERT_EQ(block.size(), (8192u - 4410) * 2);  // up to the next block boundary
    EXPECT_EQ(block[0], 4410);
    EXPECT_EQ(config.blockFirstFrame.load(), 4410);
    EXPECT_EQ(nextBlock()[0], 8192);

    ASSERT_TRUE(source.SeekMs(0));
    EXPECT_EQ(config.blockIndex.load(), 0);
    EXPECT_EQ(nextBlock()[0], 0);

    // Past the data: refused, and play goes on where it was.
    EXPECT_FALSE(source.SeekMs(500));
    EXPECT_FALSE(source.SeekMs(-1));
    EXPECT_EQ(nextBlock()[0], 4096);

    ASSERT_TRUE(source.SeekMs(453));  // frame 19977, in the last, short block
    EXPECT_EQ(config.blockIndex.load(), 4);
    block = nextBlock();
    ASSERT_EQ(block.size(), (20000u - 19977) * 2);
    EXPECT_EQ(block[0], 19977);
    EXPECT_EQ(source.ReadBlock(), kEndOfData);
}

}  // namespace
}  // namespace melnix

namespace melnix {
namespace {

TEST_F(WavSourceTest, DamagedFilesFailToOpenOrEndCleanly) {
    const std::string good = riffWave(chunk("LIST", "INFOabcd") + fmtChunk(22050, 1, 16) +
                                      chunk("data", samplesAsBytes(std::vector<int16_t>(5000, 7))));
    std::mt19937 rng(99);
    int opened = 0;
    for (int round = 0; round < 200; ++round) {
        std::string bytes = good.substr(0, rng() % (good.size() + 1));
        for (int i = 0; i < 3; ++i)
            if (!bytes.empty()) bytes[rng() % std::min<size_t>(bytes.size(), 80)] = static_cast<char>(rng());
        if (!open(bytes)) continue;
        ASSERT_TRUE(source.Prepare());
        ++opened;
        int blocks = 0;
        while (!nextBlock().empty()) ASSERT_LT(++blocks, 1000) << round;
    }
    EXPECT_GT(opened, 5);
}

}  // namespace
}  // namespace melnix
