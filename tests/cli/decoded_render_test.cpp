// SPDX-License-Identifier: GPL-3.0-or-later
// Songs of today's formats, made by the ffmpeg and lame programs from a known
// WAV song, rendered by melnix-tool and compared with that WAV.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "audio/audio_test_util.h"
#include "support/tool_run.h"

namespace melnix {
namespace {

using namespace test;

constexpr int kSongMs = 4000;
constexpr size_t kBlockFrames = 4096;  // the engine's block

// Two different sweeps, so that every stretch of either channel is unlike
// any other and the channels differ (vocal removal leaves something).
std::vector<int16_t> sweepStereo(int rate, int ms) {
    const int frames = static_cast<int>(int64_t{rate} * ms / 1000);
    std::vector<int16_t> s(static_cast<size_t>(frames) * 2);
    double pl = 0, pr = 0;
    for (int k = 0; k < frames; ++k) {
        const double t = static_cast<double>(k) / rate;
        pl += 2 * M_PI * (220 + 400 * t) / rate;
        pr += 2 * M_PI * (900 - 150 * t) / rate;
        s[2 * static_cast<size_t>(k)] = static_cast<int16_t>(9000 * std::sin(pl) * (0.6 + 0.4 * std::sin(3 * t)));
        s[2 * static_cast<size_t>(k) + 1] = static_cast<int16_t>(7000 * std::sin(pr));
    }
    return s;
}

bool shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

double correlation(const std::vector<int16_t>& a, const std::vector<int16_t>& b, size_t aFrom = 0,
                   size_t samples = SIZE_MAX) {
    const size_t n = std::min({samples, b.size(), a.size() > aFrom ? a.size() - aFrom : 0});
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        const double x = a[aFrom + i], y = b[i];
        ab += x * y;
        aa += x * x;
        bb += y * y;
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

int32_t lengthMs(const ToolRun& r) {
    return r.out.rfind("length_ms=", 0) == 0 ? std::atoi(r.out.c_str() + 10) : -1;
}

std::string makeWav(const std::string& name, int rate) {
    const std::string path = scratchPath(name);
    writeBytes(path, wavBytes(rate, 2, 16, samplesAsBytes(sweepStereo(rate, kSongMs))));
    return path;
}

struct Codec {
    const char* ext;
    const char* ffmpegArgs;
    int rate;
    bool lossless;
    int frameSamples;  // the codec's largest frame
};

constexpr Codec kCodecs[] = {
    {"flac", "-c:a flac", 44100, true, 4608},
    {"ogg", "-c:a libvorbis -q:a 6", 44100, false, 2048},
    {"opus", "-c:a libopus -b:a 192k", 48000, false, 960},
    {"m4a", "-c:a aac -b:a 256k", 44100, false, 1024},
};

// Renders the song and the WAV it was made from with the same options and
// compares what would be heard.
void expectHeardAlike(const Codec& c, const std::string& wav, const std::string& song, const std::string& options) {
    const std::string outWav = scratchPath(std::string("ref-") + c.ext + ".wav");
    const std::string outSong = scratchPath(std::string("dec-") + c.ext + ".wav");
    const ToolRun rw = melnixTool("render " + wav + " " + outWav + options);
    const ToolRun rs = melnixTool("render " + song + " " + outSong + options, true);
    ASSERT_EQ(rw.status, 0) << options;
    ASSERT_EQ(rs.status, 0) << c.ext << options << ": " << rs.out;
    const auto heardWav = wavOutputSamples(outWav);
    const auto heardSong = wavOutputSamples(outSong);
    ASSERT_FALSE(heardWav.empty());
    if (c.lossless) {
        EXPECT_TRUE(heardSong == heardWav) << c.ext << options;
        return;
    }
    const auto slack = static_cast<long>(c.frameSamples) * 2 * 2;  // a frame, stereo, at up to half speed
    EXPECT_NEAR(static_cast<double>(heardSong.size()), static_cast<double>(heardWav.size()), static_cast<double>(slack)) << c.ext << options;
    // The last block differs in size (a lossy codec pads its last frame), and
    // the speeds stretch each block as a whole: leave it out.
    const size_t lastBlock = kBlockFrames * 2 * 2;
    const size_t common = std::min(heardWav.size(), heardSong.size());
    ASSERT_GT(common, lastBlock);
    EXPECT_GT(correlation(heardWav, heardSong, 0, common - lastBlock), 0.99) << c.ext << options;
}

TEST(DecodedRender, TodaysFormatsPlayLikeTheirWav) {
    for (const Codec& c : kCodecs) {
        SCOPED_TRACE(c.ext);
        const std::string wav = makeWav(std::string("src-") + c.ext + ".wav", c.rate);
        const std::string song = scratchPath(std::string("song.") + c.ext);
        ASSERT_TRUE(shell("ffmpeg -nostdin -v error -y -i " + wav + " " + c.ffmpegArgs + " " + song));

        // The length is the song's own, not whole blocks.
        const std::string out = scratchPath("whole.wav");
        const ToolRun r = melnixTool("render " + song + " " + out);
        ASSERT_EQ(r.status, 0);
        const int frameMs = c.frameSamples * 1000 / c.rate + 1;
        if (c.lossless)
            EXPECT_EQ(r.out, "length_ms=4000\n");
        else
            EXPECT_NEAR(lengthMs(r), kSongMs, frameMs) << r.out;

        // Lined up with the WAV, sample for sample, from the first.
        const auto pcm = sweepStereo(c.rate, kSongMs);
        const auto heard = wavOutputSamples(out);
        const size_t expected = pcm.size();
        if (c.lossless) {
            ASSERT_EQ(heard.size(), expected);
            EXPECT_TRUE(std::equal(heard.begin(), heard.end(), pcm.begin()));
        } else {
            EXPECT_NEAR(static_cast<double>(heard.size()), static_cast<double>(expected), c.frameSamples * 2);
            EXPECT_GT(correlation(pcm, heard, 0), 0.999);
        }

        for (const char* options : {" --speed 0", " --speed 3", " --speed 8", " --vocal-removal", " --from 1500",
                                    " --from 2777 --speed 2", " --from 3700"})
            expectHeardAlike(c, wav, song, options);
    }
}

TEST(DecodedRender, MonoSongsPlayOnBothChannelsAtFullLevel) {
    const std::string wav = makeWav("mono-src.wav", 44100);
    const std::string song = scratchPath("mono.flac");
    ASSERT_TRUE(shell("ffmpeg -nostdin -v error -y -i " + wav + " -af 'pan=mono|c0=c0' -c:a flac " + song));
    const std::string out = scratchPath("mono-out.wav");
    ASSERT_EQ(melnixTool("render " + song + " " + out).status, 0);
    const auto pcm = sweepStereo(44100, kSongMs);
    const auto heard = wavOutputSamples(out);
    ASSERT_EQ(heard.size(), pcm.size());
    for (size_t i = 0; i < heard.size(); i += 2) {
        ASSERT_EQ(heard[i], pcm[i]) << i;
        ASSERT_EQ(heard[i + 1], heard[i]) << i;
    }
}

TEST(DecodedRender, BrokenFilesAreRefusedWithTheReason) {
    const std::string wav = makeWav("broken-src.wav", 44100);
    const std::string m4a = scratchPath("whole.m4a");
    ASSERT_TRUE(shell("ffmpeg -nostdin -v error -y -i " + wav + " -c:a aac " + m4a));
    const std::string cut = scratchPath("cut.m4a");
    writeBytes(cut, readBytes(m4a).substr(0, 400));  // the index is at the end
    const std::string text = scratchPath("text.flac");
    writeBytes(text, std::string(5000, 'x'));
    const std::string silentVideo = scratchPath("silent.mkv");
    ASSERT_TRUE(shell("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=5 -t 1 -c:v mpeg4 " +
                      silentVideo));
    const std::string empty = scratchPath("empty.opus");
    writeBytes(empty, "");

    const struct {
        std::string song;
        const char* reason;
    } cases[] = {
        {cut, "cannot be read"}, {text, "holds no sound"}, {silentVideo, "holds no sound"},
        {empty, "not a sound or video file"}, {scratchPath("missing.ogg"), "not a sound or video file"},
    };
    for (const auto& c : cases) {
        const ToolRun r = melnixTool("render " + c.song + " " + scratchPath("broken-out.wav"), true);
        EXPECT_EQ(r.status, 1) << c.song;
        EXPECT_NE(r.out.find(c.reason), std::string::npos) << c.song << ": " << r.out;
    }
    // The sound of a video plays like a song.
    const std::string video = scratchPath("clip.mp4");
    ASSERT_TRUE(shell("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=5 -i " + wav +
                      " -t 2 -c:v mpeg4 -c:a aac " + video));
    const ToolRun r = melnixTool("render " + video + " " + scratchPath("video-out.wav"));
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(lengthMs(r), 2000, 30) << r.out;
}

// Where in the WAV the output of a render starts: the offset of the best
// match, searched from..to frames in, on the left channel.
long bestOffset(const std::vector<int16_t>& wav, const std::vector<int16_t>& heard, long from, long to) {
    constexpr size_t kWindow = 2048;
    long best = -1;
    double bestScore = -2;
    for (long at = std::max(from, 0L); at <= to; ++at) {
        if (static_cast<size_t>(at + static_cast<long>(kWindow)) * 2 > wav.size()) break;
        double ab = 0, aa = 0, bb = 0;
        for (size_t i = 0; i < kWindow && 2 * i < heard.size(); ++i) {
            const double x = wav[2 * (static_cast<size_t>(at) + i)], y = heard[2 * i];
            ab += x * y;
            aa += x * x;
            bb += y * y;
        }
        const double score = aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
        if (score > bestScore) {
            bestScore = score;
            best = at;
        }
    }
    return best;
}

TEST(VbrMp3Render, TrueLengthAndSeeksLandOnTheAskedFrame) {
    constexpr int kMs = 6000;
    const std::string wav = scratchPath("vbr-src.wav");
    const auto pcm = sweepStereo(44100, kMs);
    writeBytes(wav, wavBytes(44100, 2, 16, samplesAsBytes(pcm)));
    const std::string mp3 = scratchPath("vbr.mp3");
    ASSERT_TRUE(shell("lame --quiet -V 2 " + wav + " " + mp3));
    const std::string out = scratchPath("vbr-out.wav");

    const ToolRun whole = melnixTool("render " + mp3 + " " + out);
    ASSERT_EQ(whole.status, 0);
    // Gapless, from LAME's tag: the encoder's delay and padding are cut, so
    // the song is as long as the WAV it was made from, frame for frame.
    EXPECT_EQ(lengthMs(whole), kMs) << whole.out;
    EXPECT_EQ(wavOutputSamples(out).size(), pcm.size());

    // The decoder settles in a frame or two after a seek: compare from a block in.
    constexpr long kSettle = static_cast<long>(kBlockFrames);
    for (int from : {0, 700, 2345, 4321, 5500}) {
        const ToolRun r = melnixTool("render " + mp3 + " " + out + " --from " + std::to_string(from));
        ASSERT_EQ(r.status, 0) << from;
        const long asked = from * 44100L / 1000;
        const long expected = asked + kSettle;
        const auto heard = wavOutputSamples(out);
        const std::vector<int16_t> settled(heard.begin() + std::min<long>(kSettle * 2, static_cast<long>(heard.size())),
                                           heard.end());
        const long at = bestOffset(pcm, settled, expected - 3000, expected + 3000);
        // The first sample played is the asked one.
        const long landed = at - kSettle;
        EXPECT_LE(std::abs(landed - asked), 1) << from;
    }
    EXPECT_EQ(melnixTool("render " + mp3 + " " + out + " --from 6100").status, 1);
    EXPECT_EQ(melnixTool("render " + mp3 + " " + out + " --from -5").status, 2);
}

// MP3 lengths to the millisecond, constant and variable rate, MPEG-1, 2 and
// 2.5, with and without LAME's "Info" or "Xing" frame (-t; a 16 kbit/s frame
// has no room for one):
// what FFmpeg decodes, which cuts LAME's delay and padding when the frame
// gives them (as mpg123 does) and counts every frame otherwise.
TEST(Mp3Length, MatchesWhatFfmpegDecodesToTheMillisecond) {
    const std::string wav = scratchPath("cbr-src.wav");
    writeBytes(wav, wavBytes(44100, 2, 16, samplesAsBytes(sweepStereo(44100, 61300))));
    for (const char* options : {"-b 128", "-b 128 -t", "-b 16 --resample 22.05", "-b 16 --resample 22.05 -t",
                                "-b 8 --resample 11.025 -t", "-b 320 -t", "-b 64 --resample 24", "-V 2", "-V 2 -t",
                                "-V 6 --resample 22.05", "-V 6 --resample 22.05 -t", "-V 9 --resample 8 -t"}) {
        const std::string mp3 = scratchPath("cbr.mp3");
        ASSERT_TRUE(shell(std::string("lame --quiet ") + options + " " + wav + " " + mp3)) << options;
        const std::string decoded = scratchPath("cbr-ffmpeg.raw");
        ASSERT_TRUE(shell("ffmpeg -nostdin -v error -y -i " + mp3 + " -f s16le -ac 2 " + decoded)) << options;
        const std::string probe = scratchPath("cbr-rate.txt");
        ASSERT_TRUE(shell("ffprobe -v error -show_entries stream=sample_rate -of csv=p=0 " + mp3 + " > " + probe +
                          " 2>/dev/null; test -s " + probe));
        const double rate = std::atof(readBytes(probe).c_str());
        ASSERT_GT(rate, 0);
        const double expected = static_cast<double>(readBytes(decoded).size() / 4) * 1000 / rate;
        const ToolRun r = melnixTool("render " + mp3 + " " + scratchPath("cbr-out.wav"));
        ASSERT_EQ(r.status, 0) << options;
        EXPECT_NEAR(lengthMs(r), expected, 1.0) << options << ": " << r.out;
        // And the render is as many frames as that decoding.
        EXPECT_NEAR(static_cast<double>(wavOutputSamples(scratchPath("cbr-out.wav")).size() / 2), expected * rate / 1000,
                    1.0)
            << options;
    }
}

}  // namespace
}  // namespace melnix
