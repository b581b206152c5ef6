// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool render, run as the user runs it.

#include <gtest/gtest.h>

#include <cmath>

#include "audio/audio_test_util.h"
#include "support/tool_run.h"
#include "lyrics/lyric_sheet.h"
#include "lyrics/mlx_block.h"

namespace melnix {
namespace {

using namespace test;

TEST(RenderCommand, WritesWhatIsHeardAtEachSpeed) {
    const auto pcm = countingStereo(44100);  // 1 s
    const std::string song = scratchPath("render-song.wav");
    writeBytes(song, wavBytes(44100, 2, 16, samplesAsBytes(pcm)));
    const std::string out = scratchPath("render-out.wav");

    ToolRun r = melnixTool("render " + song + " " + out);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "length_ms=1000\n");  // every frame counts
    auto heard = wavOutputSamples(out);
    ASSERT_EQ(heard.size(), pcm.size());  // the whole song, from its first frame
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), pcm.begin()));

    struct Case {
        int index;
        size_t frames;  // 10 blocks of 4096 and one of 3140, each scaled
    } cases[] = {{0, 2 * 44100}, {3, 10 * 5120 + 3925}, {8, 44100 / 2}};
    for (const auto& c : cases) {
        r = melnixTool("render " + song + " " + out + " --speed " + std::to_string(c.index));
        ASSERT_EQ(r.status, 0) << c.index;
        EXPECT_EQ(wavOutputSamples(out).size(), c.frames * 2) << c.index;
    }
}

TEST(RenderCommand, FromStartsAtTheFrameOfThatMillisecond) {
    const auto pcm = countingStereo(44100);  // frame k holds k
    const std::string song = scratchPath("render-from.wav");
    writeBytes(song, wavBytes(44100, 2, 16, samplesAsBytes(pcm)));
    const std::string out = scratchPath("render-from-out.wav");
    for (int from : {1, 93, 250, 999}) {
        ASSERT_EQ(melnixTool("render " + song + " " + out + " --from " + std::to_string(from)).status, 0) << from;
        const auto heard = wavOutputSamples(out);
        const size_t first = (static_cast<size_t>(from) * 44100 + 500) / 1000;  // the nearest frame
        ASSERT_EQ(heard.size(), pcm.size() - first * 2) << from;
        EXPECT_TRUE(std::equal(heard.begin(), heard.end(), pcm.begin() + static_cast<ptrdiff_t>(first * 2))) << from;
    }
}

TEST(RenderCommand, RemovesTheCentredVoice) {
    std::vector<int16_t> pcm(20000 * 2, 1000);  // the same in both channels
    const std::string song = scratchPath("render-voice.wav");
    writeBytes(song, wavBytes(44100, 2, 16, samplesAsBytes(pcm)));
    const std::string out = scratchPath("render-voice-out.wav");
    ASSERT_EQ(melnixTool("render " + song + " " + out + " --vocal-removal").status, 0);
    const auto heard = wavOutputSamples(out);
    ASSERT_FALSE(heard.empty());
    for (size_t i = 0; i < heard.size(); ++i) ASSERT_EQ(heard[i], 0) << i;
}

TEST(RenderCommand, Mp3WithALyricBlockEndsAtTheBlock) {
    const std::string frames = readBytes(fixturePath("l3-hecommon-16.bit"));
    const std::string song = scratchPath("render-lyric.mp3");
    {
        File f;
        ASSERT_TRUE(f.open(song, File::Mode::Create));
        ASSERT_TRUE(f.write(frames));
        LyricSheet sheet;
        sheet.appendLine("\xC4\xE3\xBA\xC3");
        writeLyricBlock(f, sheet, 42, "x");
    }
    const std::string out = scratchPath("render-lyric.wav");
    const ToolRun r = melnixTool("render " + song + " " + out);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "length_ms=417\n");  // 16 frames of 26.12 ms
    EXPECT_EQ(wavOutputSamples(out).size(), 16u * 1152 * 2);
}

// Frequency of the left channel from its rising zero crossings.
double leftFrequency(const std::vector<int16_t>& s, size_t fromFrame, size_t toFrame) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t k = fromFrame + 1; k < toFrame && 2 * k < s.size(); ++k) {
        const double a = s[2 * (k - 1)], b = s[2 * k];
        if (a < 0 && b >= 0) {
            const double at = static_cast<double>(k - 1) + -a / (b - a);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * 44100.0 / (last - first) : 0;
}

TEST(RenderCommand, KeyMovesThePitchNotTheTempo) {
    std::vector<int16_t> pcm(2 * 44100 * 2);
    for (size_t k = 0; k < pcm.size() / 2; ++k)
        pcm[2 * k] = pcm[2 * k + 1] = static_cast<int16_t>(std::lround(12000 * std::sin(2 * 3.14159265358979 * 440.0 * k / 44100)));
    const std::string song = scratchPath("render-tone.wav");
    writeBytes(song, wavBytes(44100, 2, 16, samplesAsBytes(pcm)));
    const std::string out = scratchPath("render-tone-out.wav");
    struct Case {
        const char* options;
        double hz;
        size_t frames;  // 0: through the stretcher, checked below
    } cases[] = {
        {"", 440.0, 2 * 44100},
        {" --key 2", 493.88, 0},
        {" --key +2 --stretch quality", 493.88, 0},
        {" --key -6", 311.13, 0},
        {" --speed 0 --stretch quality", 440.0, 0},
    };
    for (const auto& c : cases) {
        const ToolRun r = melnixTool("render " + song + " " + out + c.options);
        ASSERT_EQ(r.status, 0) << c.options;
        EXPECT_EQ(r.out, "length_ms=2000\n") << c.options;
        const auto heard = wavOutputSamples(out);
        const size_t frames = heard.size() / 2;
        if (c.frames) EXPECT_EQ(frames, c.frames) << c.options;
        EXPECT_NEAR(leftFrequency(heard, 8820, frames - 8820), c.hz, c.hz * 0.01) << c.options;
        // Through the stretcher the tempo stays, give or take its edges.
        if (std::string(c.options).find("--key") != std::string::npos)
            EXPECT_NEAR(static_cast<double>(frames), 2 * 44100.0, 4096.0) << c.options;
    }
}

double rmsDb(const std::vector<int16_t>& s, size_t fromFrame, size_t toFrame) {
    double sum = 0;
    size_t n = 0;
    for (size_t i = 2 * fromFrame; i < 2 * toFrame && i < s.size(); ++i, ++n) sum += double{s[i]} * s[i];
    return n ? 10 * std::log10(sum / n / (32768.0 * 32768.0)) : -200;
}

TEST(RenderCommand, KeyKeepsTheLoudness) {
    // Noise with a tone in it: a spectrum like music's, which a kept
    // formant would otherwise make quieter or louder with the key.
    std::vector<int16_t> pcm(4 * 44100 * 2);
    uint32_t seed = 12345;
    double pink = 0;
    for (size_t k = 0; k < pcm.size() / 2; ++k) {
        seed = seed * 1664525u + 1013904223u;
        pink = 0.97 * pink + 0.03 * ((seed >> 8) / 8388608.0 - 1.0);
        const double v = 30000 * pink + 3000 * std::sin(2 * 3.14159265358979 * 220.0 * k / 44100);
        pcm[2 * k] = pcm[2 * k + 1] = static_cast<int16_t>(std::lround(v));
    }
    const std::string song = scratchPath("render-loud.wav");
    writeBytes(song, wavBytes(44100, 2, 16, samplesAsBytes(pcm)));
    const std::string out = scratchPath("render-loud-out.wav");
    const double level = rmsDb(pcm, 44100, 4 * 44100);
    for (int key : {2, -3, 6}) {
        ASSERT_EQ(melnixTool("render " + song + " " + out + " --key " + std::to_string(key)).status, 0) << key;
        EXPECT_NEAR(rmsDb(wavOutputSamples(out), 44100, 4 * 44100), level, 0.5) << key;
    }
}

TEST(RenderCommand, ReportsUsageAndEngineErrors) {
    const std::string song = scratchPath("render-err.wav");
    writeBytes(song, wavBytes(44100, 2, 16, std::string(40000, '\0')));
    const std::string out = scratchPath("render-err-out.wav");
    for (const char* args : {"", "x.wav", "x.wav y.wav --speed 9", "x.wav y.wav --speed", "x.wav y.wav --fast",
                             "x.wav y.wav --speed 0 --vocal-removal", "x.wav y.wav --key 7", "x.wav y.wav --key -7",
                             "x.wav y.wav --key", "x.wav y.wav --key 1.5", "x.wav y.wav --stretch fast",
                             "x.wav y.wav --stretch"})
        EXPECT_EQ(melnixTool(std::string("render ") + args).status, 2) << args;

    EXPECT_EQ(melnixTool("render " + scratchPath("no-such.mp3") + " " + out).status, 1);
    EXPECT_EQ(melnixTool("render " + scratchPath("song.mid") + " " + out).status, 1);
    EXPECT_EQ(melnixTool("render " + song + " /nonexistent-folder/out.wav").status, 1);
}

}  // namespace
}  // namespace melnix
