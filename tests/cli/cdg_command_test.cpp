// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool cdg as the user runs it: the .cdg and the MP3 beside it read
// back with FFmpeg's own libraries, and the refusals that leave nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "lyrics/lyric_store.h"
#include "support/editor_song.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace melnix {
namespace {

using namespace test;
namespace fs = std::filesystem;

// The editor song lasts 30 s: 9000 packets.
constexpr int64_t kSongMs = 30000;
constexpr int64_t kSongCdgBytes = (kSongMs * 300 + 999) / 1000 * 24;

struct Decoded {
    bool ok = false;
    int64_t ms = 0;  // the samples decoded
    int sampleRate = 0;
    int64_t bitRate = 0;
    std::string title, artist;
};

Decoded decodeMp3(const std::string& path) {
    Decoded d;
    av_log_set_level(AV_LOG_ERROR);  // the gapless trim's notes
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return d;
    avformat_find_stream_info(format, nullptr);
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index >= 0 && format->streams[index]->codecpar->codec_id == AV_CODEC_ID_MP3) {
        const AVCodecParameters* par = format->streams[index]->codecpar;
        d.sampleRate = par->sample_rate;
        d.bitRate = par->bit_rate;
        if (const AVDictionaryEntry* e = av_dict_get(format->metadata, "title", nullptr, 0)) d.title = e->value;
        if (const AVDictionaryEntry* e = av_dict_get(format->metadata, "artist", nullptr, 0)) d.artist = e->value;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        AVCodecContext* decoder = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoder, par);
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        int64_t samples = 0;
        if (avcodec_open2(decoder, codec, nullptr) == 0) {
            d.ok = true;
            auto receive = [&] {
                while (avcodec_receive_frame(decoder, frame) == 0) samples += frame->nb_samples;
            };
            while (av_read_frame(format, packet) >= 0) {
                if (packet->stream_index == index && avcodec_send_packet(decoder, packet) < 0) d.ok = false;
                av_packet_unref(packet);
                receive();
            }
            avcodec_send_packet(decoder, nullptr);
            receive();
        }
        d.ms = d.sampleRate > 0 ? samples * 1000 / d.sampleRate : 0;
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
    }
    avformat_close_input(&format);
    return d;
}

// Pixels of the letters' unsung colour (white) on the screen at `seconds`,
// as FFmpeg's CD+G player shows it.
int whitePixelsAt(const std::string& cdg, double seconds) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, cdg.c_str(), av_find_input_format("cdg"), nullptr) < 0) return -1;
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_CDGRAPHICS);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, format->streams[0]->codecpar);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int white = 0;
    if (avcodec_open2(decoder, codec, nullptr) == 0) {
        while (av_read_frame(format, packet) >= 0 && packet->pts <= static_cast<int64_t>(seconds * 300)) {
            avcodec_send_packet(decoder, packet);
            av_packet_unref(packet);
            while (avcodec_receive_frame(decoder, frame) == 0) {
                const auto* palette = reinterpret_cast<const uint32_t*>(frame->data[1]);
                white = 0;
                for (int y = 0; y < frame->height; ++y)
                    for (int x = 0; x < frame->width; ++x)
                        white += (palette[frame->data[0][y * frame->linesize[0] + x]] & 0xFFFFFF) == 0xFFFFFF;
            }
        }
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return white;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

TEST(CdgCommand, AWavSongGivesGraphicsOfItsLengthAndAnMp3OfItBeside) {
    TempDir dir;
    writeEditorSong(dir.file("song.wav"));  // 22.05 kHz: MP3 at 192 kbit/s needs 32 kHz or more
    const ToolRun r = melnixTool("cdg " + quoted(dir.file("song.wav")) + " " + quoted(dir.file("show.cdg")) +
                                     " --lines 2 --title 小河 --artist 'The Band'",
                                 true);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("cdg=" + dir.file("show.cdg") + "\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("mp3=" + dir.file("show.mp3") + "\n"), std::string::npos) << r.out;
    EXPECT_EQ(static_cast<int64_t>(fs::file_size(dir.file("show.cdg"))), kSongCdgBytes);
    // The first line is on screen before it is sung, drawn in real letters.
    EXPECT_GT(whitePixelsAt(dir.file("show.cdg"), 1.9), 200);

    const Decoded mp3 = decodeMp3(dir.file("show.mp3"));
    ASSERT_TRUE(mp3.ok);
    EXPECT_LE(std::abs(mp3.ms - kSongMs), 60);
    EXPECT_GE(mp3.sampleRate, 32000);
    EXPECT_EQ(mp3.bitRate, 192000);
    EXPECT_EQ(mp3.title, "小河");
    EXPECT_EQ(mp3.artist, "The Band");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"show.cdg", "show.mp3", "song.wav"}));
}

TEST(CdgCommand, AnMp3SongIsPlayedAsItIsWithNoSecondMp3) {
    // The MP3 made from the WAV, given a lyric, is the song of the next run.
    TempDir made, dir;
    writeEditorSong(made.file("song.wav"));
    ASSERT_EQ(melnixTool("cdg " + made.file("song.wav") + " " + dir.file("song.cdg")).status, 0);
    fs::remove(dir.file("song.cdg"));
    LyricSheet lines;
    lines.appendLine(g("第一句歌词"));
    ASSERT_TRUE(storeInSongTail(dir.file("song.mp3"), lines));
    const std::string before = readFile(dir.file("song.mp3"));

    const ToolRun r = melnixTool("cdg " + dir.file("song.mp3") + " " + dir.file("song.cdg"), true);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.find("mp3="), std::string::npos) << r.out;
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"song.cdg", "song.mp3"}));
    EXPECT_EQ(readFile(dir.file("song.mp3")), before);
    EXPECT_NEAR(static_cast<double>(fs::file_size(dir.file("song.cdg"))), kSongCdgBytes, 300 * 24 / 10);
}

struct Refusal {
    std::string name;
    std::string args;  // SONG and DIR stand for the song and the folder
    int status;
    std::string says;
};

class CdgRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(CdgRefusals, ExitWithTheReasonAndLeaveEverythingAsItWas) {
    const Refusal& c = GetParam();
    TempDir dir;
    writeEditorSong(dir.file("song.wav"));
    writeFile(dir.file("plain.wav"), toneWav(2));
    // Not a WAV inside, but a lyric in its tail.
    writeFile(dir.file("noise.wav"), std::string(4096, '\x5a'));
    LyricSheet lines;
    lines.appendLine(g("第一句"));
    ASSERT_TRUE(storeInSongTail(dir.file("noise.wav"), lines));
    // A link named as the MP3 beside show.cdg would be, pointing at the song.
    fs::create_symlink("song.wav", dir.file("linked.mp3"));
    const std::vector<std::string> names = namesIn(dir.path());
    const std::string song = readFile(dir.file("song.wav"));

    std::string args = c.args;
    for (size_t at; (at = args.find("DIR")) != std::string::npos;) args.replace(at, 3, dir.path());
    const ToolRun r = melnixTool("cdg " + args, true);
    EXPECT_EQ(r.status, c.status) << r.out;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
    EXPECT_EQ(namesIn(dir.path()), names);
    EXPECT_EQ(readFile(dir.file("song.wav")), song);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CdgRefusals,
    ::testing::Values(
        Refusal{"NoLyric", "DIR/plain.wav DIR/out.cdg", 1, "has no lyric"},
        Refusal{"Undecodable", "DIR/noise.wav DIR/out.cdg", 1, "the song cannot be read"},
        Refusal{"OutputIsTheSong", "DIR/song.wav DIR/song.wav", 1, "this is the song itself"},
        Refusal{"Mp3BesideIsTheSong", "DIR/song.wav DIR/linked.cdg", 1, "this is the song itself"},
        Refusal{"FolderMissing", "DIR/song.wav DIR/missing/out.cdg", 1, "cannot be written"},
        Refusal{"TooManyLines", "DIR/song.wav DIR/out.cdg --lines 5", 2, "usage: melnix-tool cdg"}),
    CaseName());

}  // namespace
}  // namespace melnix
