// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mp3_source.h"

#include <gtest/gtest.h>

#include <random>

#include "audio/audio_test_util.h"
#include "lyrics/lyric_sheet.h"
#include "lyrics/mlx_block.h"

namespace melnix {
namespace {

using namespace test;

struct CaptureSink : BlockSink {
    std::vector<int16_t> samples;
    void Write(const uint8_t* data, size_t bytes) override {
        const auto* s = reinterpret_cast<const int16_t*>(data);
        samples.insert(samples.end(), s, s + bytes / 2);
    }
};

struct Decoded {
    std::vector<int16_t> pcm;    // as the block processor received it
    std::vector<MpegHeader> frames;
    int nothingUsable = 0;
};

class Mp3SourceTest : public ::testing::Test {
protected:
    Mp3SourceTest() { config.collectWaveform = false; }

    bool openFile(const std::string& path, int64_t dataLength = 0) {
        config.filePath = path;
        config.dataLength = dataLength;
        return source.Open() && source.Prepare();
    }

    bool openBytes(const std::string& bytes, int64_t dataLength = 0) {
        const std::string path = scratchPath("song.mp3");
        writeBytes(path, bytes);
        return openFile(path, dataLength);
    }

    // Plays to the end as the worker does: count the frame, then decode it.
    Decoded decodeRest(int maxReads = 1 << 20) {
        Decoded d;
        CaptureSink sink;
        BlockProcessor processor(config, sink);
        for (int i = 0; i < maxReads; ++i) {
            const int r = source.ReadBlock();
            if (r == kEndOfData) break;
            if (r == kNothingUsable) {
                ++d.nothingUsable;
                continue;
            }
            ++config.blockIndex;
            d.frames.push_back(source.header());
            source.DecodeBlock(processor);
        }
        source.FlushPending(processor);
        d.pcm = std::move(sink.samples);
        return d;
    }

    AudioStreamConfig config;
    Mp3Source source{config};
};

int samplesPerFrame(const MpegHeader& h) {
    if (h.layer == 1) return 384;
    return h.layer == 3 && h.lsf ? 576 : 1152;
}

// Compares a stereo decoding, from its frame `skip` on, with a reference that
// has each frame's own channel count (a mono frame is compared with either
// output channel). Returns the frames compared; counts the samples more than
// 1 LSB off.
//
// The first frame after a switch between one and two channels is not
// compared: libmpg123 carries its filter state over such a switch otherwise
// than the reference decoder did (it differs there decoding the file on its
// own too); only l3-he_mode has such switches.
size_t compareWithReference(const Decoded& d, const std::vector<int16_t>& ref, size_t skip, size_t& bad) {
    size_t at = 0, ri = 0, compared = 0;
    bad = 0;
    for (size_t f = 0; f < d.frames.size(); ++f) {
        const MpegHeader& h = d.frames[f];
        const bool switched = f > 0 && d.frames[f - 1].stereo != h.stereo;
        for (int k = 0; k < samplesPerFrame(h); ++k, at += 2) {
            if (f < skip) continue;
            if (at + 1 >= d.pcm.size() || ri + static_cast<size_t>(h.stereo) > ref.size()) return compared;
            for (int ch = 0; ch < 2 && !switched; ++ch) {
                const int r = ref[ri + (h.stereo == 2 ? static_cast<size_t>(ch) : 0)];
                bad += std::abs(d.pcm[at + static_cast<size_t>(ch)] - r) > 1;
            }
            ri += static_cast<size_t>(h.stereo);
            ++compared;
        }
    }
    return compared;
}

// The reference may start a frame or two later (a decoder that drops frames
// whose bit reservoir lies before the stream) and may run on a little.
void expectMatchesReference(const Decoded& d, const std::string& refPath) {
    ASSERT_FALSE(d.frames.empty());
    const std::vector<int16_t> ref = bytesAsSamples(readBytes(refPath));
    size_t best = SIZE_MAX, compared = 0, skipped = 0;
    for (size_t skip = 0; skip <= 2 && best != 0; ++skip) {
        size_t bad = 0;
        const size_t n = compareWithReference(d, ref, skip, bad);
        if (bad < best) {
            best = bad;
            compared = n;
            skipped = skip;
        }
    }
    EXPECT_EQ(best, 0u);
    const size_t frameSamples = static_cast<size_t>(samplesPerFrame(d.frames.back()));
    EXPECT_GE(compared + (skipped + 1) * frameSamples, d.pcm.size() / 2);
}

TEST_F(Mp3SourceTest, FixtureStreamsDecodeWithin1LsbOfTheirReference) {
    struct Case {
        const char* name;
        int frames, rate;
    } cases[] = {
        {"l3-hecommon-16", 16, 44100},
        {"l2-fl13-24", 24, 32000},
        {"l3-nonstandard-id3v2", 1, 48000},  // starts after its ID3v2 tag
        {"l3-nonstandard-id3v1", 1, 48000},  // stops at its "TAG"
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(openFile(fixturePath(std::string(c.name) + ".bit"))) << c.name;
        EXPECT_EQ(config.sampleRate.load(), c.rate) << c.name;
        EXPECT_EQ(config.channels, 2) << c.name;
        const Decoded d = decodeRest();
        EXPECT_EQ(static_cast<int>(d.frames.size()), c.frames) << c.name;
        EXPECT_EQ(d.nothingUsable, 0) << c.name;
        EXPECT_EQ(d.pcm.size(), static_cast<size_t>(c.frames) * samplesPerFrame(d.frames[0]) * 2) << c.name;
        {
            SCOPED_TRACE(c.name);
            expectMatchesReference(d, fixturePath(std::string(c.name) + ".pcm"));
        }
    }
}

TEST_F(Mp3SourceTest, ConformanceCorpusDecodesWithin1LsbOfItsReference) {
    if (!corpusPresent()) GTEST_SKIP() << "no corpus at " << MELNIX_CORPUS_DIR;
    for (const char* name :
         {"M2L3_bitrate_22_all", "M2L3_compl24", "l1-fl2", "l2-fl10", "l2-fl13", "l2-fl16", "l3-compl",
          "l3-he_32khz", "l3-he_48khz", "l3-he_mode", "l3-hecommon", "l3-nonstandard-id3v1", "l3-nonstandard-id3v2",
          "l3-si", "l3-si_block", "l3-si_huff", "l3-sin1k0db"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(openFile(corpusPath(std::string(name) + ".bit")));
        const Decoded d = decodeRest();
        EXPECT_EQ(d.nothingUsable, 0);
        expectMatchesReference(d, corpusPath(std::string(name) + ".pcm"));
    }
}

TEST_F(Mp3SourceTest, LyricBlockAtTheTailEndsTheSongAtTheBlock) {
    const std::string song = readBytes(fixturePath("l3-hecommon-16.bit"));
    const std::string path = scratchPath("with-lyric.mp3");
    {
        File f;
        ASSERT_TRUE(f.open(path, File::Mode::Create));
        ASSERT_TRUE(f.write(song));
        LyricSheet sheet;
        sheet.appendLine("\xC4\xE3\xBA\xC3");  // GBK
        writeLyricBlock(f, sheet, 1000, "song");
    }
    File f;
    ASSERT_TRUE(f.open(path, File::Mode::Read));
    std::string tag;
    int64_t dataLength = 0;
    ASSERT_EQ(locateTailBlock(f, tag, dataLength), static_cast<int64_t>(song.size()));
    ASSERT_TRUE(openFile(path, dataLength));
    EXPECT_EQ(decodeRest().frames.size(), 16u);

    // A length that cuts the last frame: that frame is not played.
    ASSERT_TRUE(openFile(path, dataLength - 10));
    EXPECT_EQ(decodeRest().frames.size(), 15u);
}

TEST_F(Mp3SourceTest, GarbageBetweenFramesIsSkipped) {
    const std::string song = readBytes(fixturePath("l3-hecommon-16.bit"));
    ASSERT_TRUE(openBytes(song));
    const Decoded clean = decodeRest();

    // Junk after the 5th frame, with sync-like bytes of another layer and
    // rate that must not be taken for frames of this stream.
    std::string junk(3000, '\x55');
    junk.replace(100, 4, "\xFF\xFD\x18\xC0");
    junk.replace(900, 4, "\xFF\xFF\x90\x00");
    size_t fifth = 0;
    for (int i = 0; i < 5; ++i) fifth += static_cast<size_t>(clean.frames[static_cast<size_t>(i)].frameBodyBytes) + 4;
    ASSERT_TRUE(openBytes(song.substr(0, fifth) + junk + song.substr(fifth)));
    const Decoded d = decodeRest();
    EXPECT_EQ(d.frames.size(), 16u);
    EXPECT_EQ(d.pcm, clean.pcm);
}

// Tags that hold frame headers: one of another rate inside an ID3v2 body,
// this stream's own header inside the ID3v1 tag. Only skipping the one and
// stopping at the other keeps them out of the song.
TEST_F(Mp3SourceTest, HeadersInsideTagsAreNotFrames) {
    const std::string song = readBytes(fixturePath("l3-hecommon-16.bit"));
    ASSERT_TRUE(openBytes(song));
    const Decoded clean = decodeRest();
    const std::string own = song.substr(0, 4);
    std::string other = own;
    other[2] = static_cast<char>(other[2] ^ 0x04);  // another sampling rate

    std::string body(600, '\0');
    for (size_t at = 0; at + 4 <= body.size(); at += 150) body.replace(at, 4, other);
    const std::string id3v2 = std::string("ID3\x03\x00\x00\x00\x00\x04", 9) + static_cast<char>(600 - 512) + body;
    ASSERT_EQ(id3v2.size(), 610u);
    std::string id3v1 = "TAG" + std::string(125, ' ');
    id3v1.replace(30, 4, own);
    id3v1.replace(90, 4, own);

    for (const auto& bytes : {id3v2 + song, song + id3v1, id3v2 + song + id3v1}) {
        ASSERT_TRUE(openBytes(bytes));
        const Decoded d = decodeRest();
        EXPECT_EQ(d.frames.size(), clean.frames.size());
        EXPECT_EQ(d.pcm, clean.pcm);
    }
}

TEST_F(Mp3SourceTest, TruncatedLastFrameIsPaddedWithSilence) {
    const std::string song = readBytes(fixturePath("l3-hecommon-16.bit"));
    ASSERT_TRUE(openBytes(song.substr(0, song.size() - 200)));
    const Decoded d = decodeRest();
    EXPECT_EQ(d.frames.size(), 16u);
    EXPECT_EQ(d.pcm.size(), 16u * 1152 * 2);
}

TEST_F(Mp3SourceTest, NoiseAndSilenceEndInsteadOfSpinning) {
    std::mt19937 rng(7);
    std::string noise(1 << 20, '\0');
    for (auto& c : noise) c = static_cast<char>(rng());
    if (openBytes(noise)) {
        // Noise holds words that pass the header check; whatever they decode
        // to, the file is read through once.
        const Decoded d = decodeRest(1 << 18);
        EXPECT_LT(d.frames.size() + static_cast<size_t>(d.nothingUsable), 1u << 18);
    }

    ASSERT_FALSE(openBytes(std::string(300000, '\0')));  // no frame at all
    EXPECT_EQ(config.lastError.load(), kWaveErrorSource);
    source.Rewind();
    // Reading on gives up after 128 KB at a time, then reaches the end.
    EXPECT_EQ(source.ReadBlock(), kNothingUsable);
    EXPECT_EQ(source.ReadBlock(), kNothingUsable);
    EXPECT_EQ(source.ReadBlock(), kEndOfData);
}

TEST_F(Mp3SourceTest, FreeFormatHeaderIsError5AndNothingUsable) {
    const std::string song = readBytes(fixturePath("l3-hecommon-16.bit"));
    std::string bytes = song.substr(0, 417);
    bytes += std::string("\xFF\xFB\x00\x64", 4) + std::string(400, '\0');  // free format
    bytes += song.substr(417);
    ASSERT_TRUE(openBytes(bytes));
    config.lastError = 0;
    const Decoded d = decodeRest();
    EXPECT_EQ(config.lastError.load(), kWaveErrorSource);
    EXPECT_GE(d.nothingUsable, 1);
    EXPECT_EQ(d.frames.size(), 16u);
}

TEST_F(Mp3SourceTest, LengthOfA128kStreamCountsFramesWithTheirPadding) {
    // 4,180,000 bytes of 128 kbit/s 44.1 kHz: frames average 417.96 bytes with
    // their padding, so 10,001 of them (not 10,023 of 417, which ran long).
    const std::string path = scratchPath("long.mp3");
    {
        File f;
        ASSERT_TRUE(f.open(path, File::Mode::Create));
        std::string frame = std::string("\xFF\xFB\x90\x64", 4) + std::string(413, '\0');
        ASSERT_TRUE(f.write(frame));
        ASSERT_TRUE(f.truncate(4180000));
    }
    ASSERT_TRUE(openFile(path));
    EXPECT_EQ(source.BlockCount(), 10001u);
    EXPECT_EQ(static_cast<int64_t>(source.BlockCount() * source.MsPerBlock()), 261250);
}

TEST_F(Mp3SourceTest, SeekCountsFramesAndPrimesTheDecoderSilently) {
    ASSERT_TRUE(openFile(fixturePath("l3-hecommon-16.bit")));
    const Decoded all = decodeRest();
    source.Rewind();

    // 262 ms is sample 11,554, in frame 10 (from 261.2 ms): its first 34
    // samples are decoded but not played, and play goes on from 262 ms.
    ASSERT_TRUE(source.SeekMs(262));
    EXPECT_EQ(config.blockIndex.load(), 10);
    EXPECT_DOUBLE_EQ(source.NextBlockMs(), 11554 * 1000.0 / 44100);
    Decoded rest = decodeRest();
    ASSERT_EQ(rest.frames.size(), 6u);
    ASSERT_EQ(rest.pcm.size(), (16u * 1152 - 11554) * 2);
    // With the decoder primed by frame 9, the rest matches the full decoding.
    size_t bad = 0;
    for (size_t i = 0; i < rest.pcm.size(); ++i) bad += std::abs(rest.pcm[i] - all.pcm[11554 * 2 + i]) > 1;
    EXPECT_EQ(bad, 0u);

    // Backwards: from the start again.
    ASSERT_TRUE(source.SeekMs(80));
    EXPECT_EQ(config.blockIndex.load(), 3);
    EXPECT_EQ(decodeRest().frames.size(), 13u);

    // Where it already is, and past the end.
    ASSERT_TRUE(source.SeekMs(0));
    ASSERT_TRUE(source.SeekMs(0));
    EXPECT_EQ(config.blockIndex.load(), 0);
    EXPECT_FALSE(source.SeekMs(100000));
    EXPECT_FALSE(source.SeekMs(-5));
    EXPECT_EQ(decodeRest().frames.size(), 16u);
}

TEST_F(Mp3SourceTest, ForcedMonoMixesAndForcedRateReopensTheDevice) {
    config.forceMono = true;
    ASSERT_TRUE(openFile(fixturePath("l3-hecommon-16.bit")));
    EXPECT_EQ(config.channels, 1);
    EXPECT_EQ(decodeRest().pcm.size(), 16u * 1152);

    config.forceMono = false;
    config.forcedOutputRate = 22050;
    ASSERT_TRUE(openFile(fixturePath("l3-hecommon-16.bit")));
    EXPECT_EQ(config.sampleRate.load(), 44100);
    ASSERT_EQ(source.ReadBlock(), kBlockRead);
    EXPECT_TRUE(source.FormatChanged());
    EXPECT_EQ(config.sampleRate.load(), 22050);
    EXPECT_FALSE(source.FormatChanged());
    source.Rewind();
    const Decoded d = decodeRest();
    EXPECT_NEAR(static_cast<double>(d.pcm.size()), 16.0 * 576 * 2, 2 * 576.0);
}

TEST_F(Mp3SourceTest, UnreadableFileFailsToOpen) {
    config.filePath = scratchPath("no-such.mp3");
    std::filesystem::remove(config.filePath);
    EXPECT_FALSE(source.Open());
}

}  // namespace
}  // namespace melnix

namespace melnix {
namespace {

TEST_F(Mp3SourceTest, DamagedStreamsEndWithoutCrashingOrHanging) {
    const std::string song = readBytes(fixturePath("l3-hecommon-16.bit"));
    std::mt19937 rng(2024);
    int decoded = 0;
    for (int round = 0; round < 60; ++round) {
        std::string bytes = song.substr(0, song.size() - rng() % 2000);  // cut anywhere near the end
        for (int i = 0; i < 20; ++i) bytes[rng() % bytes.size()] = static_cast<char>(rng());
        if (round % 3 == 0) bytes.insert(rng() % bytes.size(), "ID3\x04\x00\x00\x7F\x7F\x7F\x7F");  // a huge tag
        if (!openBytes(bytes)) continue;
        const Decoded d = decodeRest(10000);
        EXPECT_LT(d.frames.size() + static_cast<size_t>(d.nothingUsable), 10000u) << round;
        EXPECT_LE(d.frames.size(), 17u) << round;
        decoded += !d.frames.empty();
    }
    EXPECT_GT(decoded, 30);  // most damaged streams still play in part
}

}  // namespace
}  // namespace melnix
