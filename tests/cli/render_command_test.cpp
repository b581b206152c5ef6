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
    EXPECT_EQ(r.out, "length_ms=928\n");  // 10 whole blocks of 92.88 ms
    auto heard = wavOutputSamples(out);
    ASSERT_EQ(heard.size(), pcm.size() - 4096 * 2);  // less the first block
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), pcm.begin() + 4096 * 2));

    struct Case {
        int index;
        size_t frames;  // 10 blocks of 4096, one of 3140, less the first block's output
    } cases[] = {{0, 2 * 44100 - 8192}, {3, 10 * 5120 + 3925 - 4096}, {8, 44100 / 2 - 2048}};
    for (const auto& c : cases) {
        r = melnixTool("render " + song + " " + out + " --speed " + std::to_string(c.index));
        ASSERT_EQ(r.status, 0) << c.index;
        EXPECT_EQ(wavOutputSamples(out).size(), c.frames * 2) << c.index;
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
    EXPECT_EQ(wavOutputSamples(out).size(), (16u * 1152 - 4096) * 2);
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
        size_t frames;  // less the first block, which is not heard
    } cases[] = {
        {"", 440.0, 2 * 44100 - 4096},
        {" --key 2", 493.88, 0},
        {" --key +2 --stretch quality", 493.88, 0},
        {" --key -6", 311.13, 0},
        {" --speed 0 --stretch quality", 440.0, 0},
    };
    for (const auto& c : cases) {
        const ToolRun r = melnixTool("render " + song + " " + out + c.options);
        ASSERT_EQ(r.status, 0) << c.options;
        EXPECT_EQ(r.out, "length_ms=1950\n") << c.options;  // 21 whole blocks
        const auto heard = wavOutputSamples(out);
        const size_t frames = heard.size() / 2;
        if (c.frames) EXPECT_EQ(frames, c.frames) << c.options;
        EXPECT_NEAR(leftFrequency(heard, 8820, frames - 8820), c.hz, c.hz * 0.01) << c.options;
        // Through the stretcher the first buffer, which is not heard, is
        // shorter than a block: the tempo stays, give or take that buffer.
        if (std::string(c.options).find("--key") != std::string::npos)
            EXPECT_NEAR(static_cast<double>(frames), 2 * 44100.0, 4096.0) << c.options;
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
