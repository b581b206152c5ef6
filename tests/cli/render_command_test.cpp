// melnix-tool render, run as the user runs it.

#include <gtest/gtest.h>

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

TEST(RenderCommand, ReportsUsageAndEngineErrors) {
    const std::string song = scratchPath("render-err.wav");
    writeBytes(song, wavBytes(44100, 2, 16, std::string(40000, '\0')));
    const std::string out = scratchPath("render-err-out.wav");
    for (const char* args : {"", "x.wav", "x.wav y.wav --speed 9", "x.wav y.wav --speed", "x.wav y.wav --fast",
                             "x.wav y.wav --speed 0 --vocal-removal"})
        EXPECT_EQ(melnixTool(std::string("render ") + args).status, 2) << args;

    EXPECT_EQ(melnixTool("render " + scratchPath("no-such.mp3") + " " + out).status, 1);
    EXPECT_EQ(melnixTool("render " + scratchPath("song.mid") + " " + out).status, 1);
    EXPECT_EQ(melnixTool("render " + song + " /nonexistent-folder/out.wav").status, 1);
}

}  // namespace
}  // namespace melnix
