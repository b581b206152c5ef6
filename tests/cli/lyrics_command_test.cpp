// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool run as a user runs it: exit codes, output and files.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>
#include <array>
#include <cstdio>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "lyrics/lyric_store.h"
#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;

struct ToolRun {
    int status;
    std::string out;
};

ToolRun tool(const std::string& args) {
    std::string cmd = std::string("'") + MELNIX_TOOL + "' " + args + " 2>/dev/null";
    ToolRun r{-1, {}};
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string q(const std::string& path) { return "'" + path + "'"; }

class LyricsCommand : public ::testing::Test {
protected:
    test::TempDir dir_;
};

TEST_F(LyricsCommand, ShowPrintsOneTabSeparatedLinePerLyricLine) {
    // Five time-tagged lines make the file LRC.
    test::writeFile(dir_.file("a.lrc"), "[ti:x]\r\n[00:01.00]Hello\r\n[00:03.00]" + g("你好") +
                                            "\r\n[00:05.00]c\r\n[00:07.00]d\r\n[00:09.00]e\r\n");
    ToolRun r = tool("lyrics show " + q(dir_.file("a.lrc")));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0\t0\t96\t1\t0,16,32,48,64,80,96\t[ti:x]\n"
                     "1\t100\t150\t0\t0,30,60,90,120,150\tHello\n"
                     "2\t300\t120\t0\t0,60,120\t\xE4\xBD\xA0\xE5\xA5\xBD\n"
                     "3\t500\t30\t0\t0,30\tc\n"
                     "4\t700\t30\t0\t0,30\td\n"
                     "5\t900\t24\t0\t0,24\te\n");
}

TEST_F(LyricsCommand, SampleShipsReadable) {
    ToolRun r = tool(std::string("lyrics show '") + MELNIX_SAMPLE_LRC + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_GT(std::count(r.out.begin(), r.out.end(), '\n'), 5);
}

TEST_F(LyricsCommand, ConvertEmbedExtractRoundTrip) {
    test::writeFile(dir_.file("a.lrc"), "[00:01.00]first line\r\n[00:04.00]second line\r\n[00:07.00]3\r\n"
                                        "[00:09.00]4\r\n[00:11.00]5\r\n");
    const std::string audio(4000, '\x11');
    const std::string tag = "TAG" + std::string(125, 'x');
    test::writeFile(dir_.file("song.mp3"), audio + tag);

    ASSERT_EQ(tool("lyrics convert " + q(dir_.file("a.lrc")) + " " + q(dir_.file("a.MLX")) + " --length 12000").status, 0);
    const std::string shown = tool("lyrics show " + q(dir_.file("a.lrc"))).out;
    EXPECT_EQ(tool("lyrics show " + q(dir_.file("a.MLX"))).out, shown);

    ASSERT_EQ(tool("lyrics embed " + q(dir_.file("song.mp3")) + " " + q(dir_.file("a.MLX"))).status, 0);
    const std::string song = test::readFile(dir_.file("song.mp3"));
    EXPECT_EQ(song.substr(0, audio.size()), audio);
    EXPECT_EQ(song.substr(song.size() - 128), tag);
    EXPECT_EQ(tool("lyrics show " + q(dir_.file("song.mp3"))).out, shown);

    ASSERT_EQ(tool("lyrics extract " + q(dir_.file("song.mp3")) + " " + q(dir_.file("b.MLX"))).status, 0);
    EXPECT_EQ(tool("lyrics show " + q(dir_.file("b.MLX"))).out, shown);
    // A standalone block starts at 0.
    const std::string block = test::readFile(dir_.file("b.MLX"));
    EXPECT_EQ(test::wordAt(block, block.size() - 8), 0x03F7A1C9u);
}

TEST_F(LyricsCommand, ExportWritesEveryFormatFromASong) {
    test::writeFile(dir_.file("a.lrc"), "[00:01.00]first\r\n[00:04.00]second\r\n[00:07.00]3\r\n"
                                        "[00:09.00]4\r\n[00:11.00]5\r\n");
    test::writeFile(dir_.file("song.mp3"), std::string(4000, '\x11'));
    ASSERT_EQ(tool("lyrics embed " + q(dir_.file("song.mp3")) + " " + q(dir_.file("a.lrc"))).status, 0);
    const std::string shown = tool("lyrics show " + q(dir_.file("song.mp3"))).out;

    ASSERT_EQ(tool("lyrics export " + q(dir_.file("song.mp3")) + " " + q(dir_.file("b.lrc")) + " --format elrc").status, 0);
    EXPECT_EQ(tool("lyrics show " + q(dir_.file("b.lrc"))).out, shown);

    ASSERT_EQ(tool("lyrics export " + q(dir_.file("song.mp3")) + " " + q(dir_.file("u.txt")) +
                   " --format ultrastar --title 'My Song' --artist Me").status, 0);
    const std::string us = test::readFile(dir_.file("u.txt"));
    EXPECT_EQ(us.find("#TITLE:My Song\n#ARTIST:Me\n#MP3:song.mp3\n"), 0u);

    EXPECT_EQ(tool("lyrics export " + q(dir_.file("song.mp3")) + " x --format srt").status, 2);
    EXPECT_EQ(tool("lyrics export " + q(dir_.file("song.mp3")) + " x").status, 2);
    EXPECT_EQ(tool("lyrics export " + q(dir_.file("song.mp3")) + " " + q(dir_.file("no/dir/x")) + " --format ass").status, 1);
}

TEST_F(LyricsCommand, ExportOfAMidiSongSingsItsMelody) {
    ASSERT_EQ(tool(std::string("lyrics export '") + MELNIX_DEMO_SONG + "' " + q(dir_.file("u.txt")) + " --format ultrastar").status, 0);
    const std::string us = test::readFile(dir_.file("u.txt"));
    // The first character sits on the melody's first note, E above middle C.
    EXPECT_NE(us.find("#MP3:BHL.MID\n#BPM:1500\n#GAP:0\n: 1090 102 4 小\n"), std::string::npos) << us.substr(0, 200);
    ASSERT_EQ(tool(std::string("lyrics export '") + MELNIX_DEMO_SONG + "' " + q(dir_.file("d.lrc")) + " --format lrc").status, 0);
    EXPECT_EQ(test::readFile(dir_.file("d.lrc")).find("[00:10.90]小河弯弯向东流\n"), 0u);
}

// A stereo WAV with a sung syllable (a 200 Hz voice with its harmonics and
// a quick attack, 300 ms, legato as a line is sung) at each time, in the
// middle of the mix.
std::string sungWav(const std::vector<double>& syllables, double seconds) {
    constexpr int kRate = 22050;
    const int frames = static_cast<int>(seconds * kRate);
    std::vector<double> voice(static_cast<size_t>(frames), 0.0);
    for (double at : syllables) {
        const int from = static_cast<int>(at * kRate);
        for (int i = 0; i < kRate * 30 / 100 && from + i < frames; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double envelope = std::min(1.0, t / 0.01) * std::exp(-t * 4);
            double v = 0;
            for (int h = 1; h <= 5; ++h) v += std::sin(2 * M_PI * 200 * h * t) / h;
            voice[static_cast<size_t>(from + i)] += 6000 * envelope * v;
        }
    }
    std::string data;
    for (double v : voice) {
        const auto sample = static_cast<int16_t>(std::clamp(v, -32000.0, 32000.0));
        for (int c = 0; c < 2; ++c) {
            data.push_back(static_cast<char>(sample & 0xFF));
            data.push_back(static_cast<char>((sample >> 8) & 0xFF));
        }
    }
    using test::le32;
    const std::string fmt = le32(16) + std::string("\x01\x00\x02\x00", 4) + le32(kRate) + le32(kRate * 4) +
                            std::string("\x04\x00\x10\x00", 4);
    const std::string body = "WAVE" + std::string("fmt ") + fmt + "data" + le32(static_cast<uint32_t>(data.size())) + data;
    return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

// "lyrics align" puts each character where the voice sings it, from a
// lyric timed roughly or not at all, and says how sure it is of each line.
TEST_F(LyricsCommand, AlignPutsCharactersOnTheVoice) {
    const std::vector<double> sung = {1.0, 1.35, 1.7, 2.05, 4.0, 4.35, 4.7};
    test::writeFile(dir_.file("song.wav"), sungWav(sung, 7));
    test::writeFile(dir_.file("words.txt"), g("你好世界") + "\r\n" + g("明天见") + "\r\n");
    LyricSheet rough;
    rough.addLine(test::makeLine(120, g("你好世界"), test::times({0, 40, 80, 120, 160})));
    rough.addLine(test::makeLine(380, g("明天见"), test::times({0, 40, 80, 120})));
    ASSERT_TRUE(storeInLyricFile(dir_.file("rough.MLX"), rough, 0, "song.wav"));
    for (const char* input : {"rough.MLX", "words.txt"}) {
        SCOPED_TRACE(input);
        const std::string out = dir_.file(std::string("aligned-") + input + ".MLX");
        ToolRun r = tool("lyrics align " + q(dir_.file("song.wav")) + " " + q(dir_.file(input)) + " " + q(out));
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
        EXPECT_EQ(r.out.find("check"), std::string::npos) << r.out;
        LyricSheet aligned;
        ASSERT_TRUE(openLyricFile(out, aligned));
        ASSERT_EQ(aligned.lineCount(), 2);
        size_t k = 0;
        for (int i = 0; i < 2; ++i) {
            const LyricLine& l = *aligned.lineAt(i);
            for (size_t c = 0; c + 1 < l.charTimes.size(); ++c, ++k)
                EXPECT_NEAR(l.startTime + l.charTimes[c], sung[k] * 100, 6) << "line " << i << " character " << c;
        }
    }
    EXPECT_EQ(tool("lyrics align " + q(dir_.file("song.wav")) + " " + q(dir_.file("words.txt")) + " " +
                   q(dir_.file("x.ass")) + " --format ass")
                  .status,
              2);
    test::writeFile(dir_.file("bad.wav"), "RIFF");
    EXPECT_EQ(tool("lyrics align " + q(dir_.file("bad.wav")) + " " + q(dir_.file("words.txt")) + " " +
                   q(dir_.file("y.MLX")))
                  .status,
              1);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("y.MLX")));
}

TEST_F(LyricsCommand, FailuresAndUsage) {
    test::writeFile(dir_.file("plain.mp3"), std::string(500, 'a'));
    test::writeFile(dir_.file("empty.txt"), "");
    struct {
        std::string args;
        int status;
    } cases[] = {
        {"", 2},
        {"lyrics", 2},
        {"lyrics show", 2},
        {"lyrics frobnicate x", 2},
        {"lyrics convert a b --length -5", 2},
        {"lyrics convert a b --speed 3", 2},
        {"lyrics show " + q(dir_.file("missing.lrc")), 1},
        {"lyrics show " + q(dir_.file("plain.mp3")), 1},
        {"lyrics show " + q(dir_.file("empty.txt")), 1},
        {"lyrics extract " + q(dir_.file("plain.mp3")) + " " + q(dir_.file("x.MLX")), 1},
        {"lyrics embed " + q(dir_.file("missing.mp3")) + " " + q(dir_.file("empty.txt")), 1},
    };
    for (const auto& c : cases) EXPECT_EQ(tool(c.args).status, c.status) << c.args;
}

TEST_F(LyricsCommand, SongsOfTodayAreListedAndKeepTheirLyricBeside) {
    // Videos and audio of today's containers are songs to the list.
    const std::string video = dir_.file("clip.mp4");
    const std::string flac = dir_.file("tune.flac");
    test::writeFile(video, std::string(4000, 'v'));
    test::writeFile(flac, std::string(4000, 'f'));
    ASSERT_EQ(tool("songs add " + q(video) + " " + q(flac)).status, 0);
    const ToolRun list = tool("songs list");
    EXPECT_NE(list.out.find(video + "\t"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("* " + flac + "\t"), std::string::npos) << list.out;
    ASSERT_EQ(tool("songs remove " + q(video) + " " + q(flac)).status, 0);

    // Storing into such a song is refused; the song stays as it was.
    test::writeFile(dir_.file("l.lrc"), "[00:01.00]a\r\n[00:02.00]b\r\n[00:03.00]c\r\n[00:04.00]d\r\n[00:05.00]e\r\n");
    EXPECT_EQ(tool("lyrics embed " + q(flac) + " " + q(dir_.file("l.lrc"))).status, 1);
    EXPECT_EQ(test::readFile(flac), std::string(4000, 'f'));
}

}  // namespace
}  // namespace melnix
