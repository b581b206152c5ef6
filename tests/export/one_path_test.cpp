// SPDX-License-Identifier: GPL-3.0-or-later
// One song, three ways out: the companion's render, playback into the WAV
// output (what the editor plays) and the video export's sound. They share
// the wave engine's sources, so each kind gives the same samples every way,
// from the first.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "audio/audio_stream_config.h"
#include "audio/wave_player.h"
#include "common/auto_reset_event.h"
#include "export/core/song_audio.h"
#include "export_songs.h"
#include "platform/audio_output.h"
#include "playback/core/song_kind.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace melnix {
namespace {

using namespace std::chrono_literals;

std::vector<int16_t> dataOf(const std::string& wavPath) {
    const std::string b = test::readFile(wavPath);
    std::vector<int16_t> s(b.size() > 44 ? (b.size() - 44) / 2 : 0);
    if (!s.empty()) std::memcpy(s.data(), b.data() + 44, s.size() * 2);
    return s;
}

// What the editor plays, as the WAV output writes it.
std::vector<int16_t> played(const std::string& song, const std::string& out) {
    std::atomic<int> level{0};
    auto waveform = std::make_unique<std::atomic<uint8_t>[]>(kWaveformLength);
    AutoResetEvent ended;
    WavePlayer player([&ended] { ended.set(); }, &level, waveform.get(), kWaveformLength, makeWavAudioOutput(out));
    const WaveSourceKind source = waveSourceOf(songKindOf(song));
    EXPECT_TRUE(player.SetSource(song, 0, source));
    EXPECT_TRUE(player.Open());
    EXPECT_TRUE(player.Prepare());
    EXPECT_TRUE(player.Start());
    EXPECT_TRUE(ended.wait(60000));
    for (int i = 0; i < 4000 && player.State() != kWaveStopped; ++i) std::this_thread::sleep_for(5ms);
    player.Close();
    return dataOf(out);
}

TEST(OnePath, RenderPlaybackAndVideoSoundGiveTheSameSamples) {
    test::TempDir dir;
    const std::string wav = dir.file("song.wav");
    test::writeFile(wav, test::wavOf(test::chirp(3)));
    const struct {
        const char* name;
        std::string make;  // a shell command from song.wav, empty for the WAV itself
    } kinds[] = {
        {"song.wav", ""},
        {"song.flac", "ffmpeg -nostdin -v error -y -i IN -c:a flac OUT"},
        {"song.ogg", "ffmpeg -nostdin -v error -y -i IN -c:a libvorbis -q:a 5 OUT"},
        {"song.mp3", "lame --quiet -b 160 IN OUT"},
        {"vbr.mp3", "lame --quiet -V 4 IN OUT"},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.name);
        const std::string song = dir.file(k.name);
        if (!k.make.empty()) {
            std::string cmd = k.make;
            cmd.replace(cmd.find("IN"), 2, wav);
            cmd.replace(cmd.find("OUT"), 3, song);
            ASSERT_EQ(std::system((cmd + " >/dev/null 2>&1").c_str()), 0);
        }
        for (int from : {0, 1234}) {
            SCOPED_TRACE(from);
            const std::string rendered = dir.file("rendered.wav");
            const test::ToolRun r =
                test::melnixTool("render " + song + " " + rendered + (from ? " --from " + std::to_string(from) : ""));
            ASSERT_EQ(r.status, 0) << r.out;
            const std::vector<int16_t> render = dataOf(rendered);

            SongAudio video;
            std::string error;
            ASSERT_TRUE(decodeSongAudio(song, from, 0, video, error)) << error;
            ASSERT_FALSE(render.empty());
            EXPECT_EQ(video.samples.size(), render.size());
            EXPECT_TRUE(video.samples == render);
            if (from == 0) {
                const std::vector<int16_t> play = played(song, dir.file("played.wav"));
                EXPECT_EQ(play.size(), render.size());
                EXPECT_TRUE(play == render);
            }
        }
    }
}

}  // namespace
}  // namespace melnix
