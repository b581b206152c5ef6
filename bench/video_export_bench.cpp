// SPDX-License-Identifier: GPL-3.0-or-later
// The video export against the command a user would reach for:
//   ffmpeg -loop 1 -i PICTURE -i SONG.mp3 -vf subtitles=SONG.ass -c:v libx264 -c:a aac -shortest OUT.mp4
// with the ASS file `melnix-tool lyrics export --format ass` writes, at the
// same size, frame rate, x264 preset and constant-quality value. Wall time,
// and how many times faster than the song plays.
//
// Run with QT_QPA_PLATFORM=offscreen; needs the ffmpeg and lame programs.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QGuiApplication>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/gbk.h"
#include "export/video_export.h"
#include "lyrics/lyric_export.h"

extern char** environ;

namespace {

using namespace melnix;

constexpr int kSongSeconds = 30;
constexpr int kRate = 44100;
constexpr int kFps = 30;
constexpr int kCrf = 23;  // "normal"

std::string scratch(const std::string& name) { return "/tmp/melnix-video-bench-" + name; }

QGuiApplication& app() {
    static int argc = 1;
    static char name[] = "video_export_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication a(argc, argv);
    return a;
}

bool run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const bool started = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&quiet);
    if (!started) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

LyricSheet lyric() {
    // Ten lines of seven characters, one every 2.8 s after a 2 s prelude.
    const char* texts[] = {"小河弯弯向东流", "晚风轻轻吹岸柳", "月亮代表我的心", "你问我爱你有多深",
                           "我爱你有几分",   "我的情也真",     "我的爱也真",     "轻轻的一个吻",
                           "已经打动我的心", "深深的一段情"};
    LyricSheet sheet;
    int32_t start = 200;
    for (const char* t : texts) {
        LyricLine l;
        l.startTime = start;
        l.text = utf8ToGbk(t);
        const int n = static_cast<int>(l.text.size() / 2);
        l.charTimes = evenCharTimes(n, 250);
        l.duration = 250;
        sheet.addLine(l);
        start += 280;
    }
    return sheet;
}

// The song as an MP3, its lyric as ASS, and a picture: made once.
bool prepare() {
    static int ready = -1;
    if (ready >= 0) return ready == 1;
    ready = 0;
    std::vector<int16_t> s;
    double phase = 0;
    for (int i = 0; i < kRate * kSongSeconds; ++i) {
        phase += 2 * M_PI * (220.0 + 440.0 * (i % kRate) / kRate) / kRate;
        const auto v = static_cast<int16_t>(8000 * std::sin(phase));
        s.push_back(v);
        s.push_back(v);
    }
    auto le32 = [](uint32_t v) {
        return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
    };
    const std::string data(reinterpret_cast<const char*>(s.data()), s.size() * 2);
    const std::string body = "WAVEfmt " + le32(16) + std::string("\x01\x00\x02\x00", 4) + le32(kRate) +
                             le32(kRate * 4) + std::string("\x04\x00\x10\x00", 4) + "data" +
                             le32(static_cast<uint32_t>(data.size())) + data;
    const std::string wav = "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
    if (FILE* f = std::fopen(scratch("song.wav").c_str(), "wb")) {
        std::fwrite(wav.data(), 1, wav.size(), f);
        std::fclose(f);
    }
    if (!run({"lame", "--quiet", "-b", "192", scratch("song.wav"), scratch("song.mp3")})) return false;
    const std::string ass = exportLyrics(lyric(), ExportFormat::Ass, {});
    if (FILE* f = std::fopen(scratch("song.ass").c_str(), "wb")) {
        std::fwrite(ass.data(), 1, ass.size(), f);
        std::fclose(f);
    }
    app();
    QFile picture(":/pictures/151.jpg");
    if (!picture.copy(QString::fromStdString(scratch("picture.jpg"))) && !QFile::exists(QString::fromStdString(scratch("picture.jpg"))))
        return false;
    ready = 1;
    return true;
}

void BM_MelnixVideoExport(benchmark::State& state, const char* preset) {
    if (!prepare()) {
        state.SkipWithError("lame or the built-in picture is missing");
        return;
    }
    VideoExportRequest r;
    r.song = scratch("song.mp3");
    r.out = scratch("melnix.mp4");
    r.size = {1280, 720};
    r.fps = kFps;
    r.quality = ExportQuality::Normal;
    r.preset = preset;
    r.show.sheet = lyric();
    r.show.pictures = exportPicturesFromPath(scratch("picture.jpg"));  // with the built-in two: a slideshow
    r.show.effects.fill(1);
    r.show.effects[0] = 0;
    r.show.face = QStringLiteral("黑体");
    r.show.closingTexts = exportClosingTexts(true);
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const VideoExportResult result = exportVideo(r);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (!result.ok) {
            state.SkipWithError(result.error.c_str());
            break;
        }
        seconds += s;
        state.SetIterationTime(s);
    }
    state.counters["x_realtime"] = kSongSeconds / (seconds / static_cast<double>(state.iterations()));
    std::remove(r.out.c_str());
}
BENCHMARK_CAPTURE(BM_MelnixVideoExport, medium, "medium")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
BENCHMARK_CAPTURE(BM_MelnixVideoExport, veryfast, "veryfast")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

void BM_FfmpegCommand(benchmark::State& state, const char* preset) {
    if (!prepare()) {
        state.SkipWithError("lame or the built-in picture is missing");
        return;
    }
    if (!run({"ffmpeg", "-version"})) {
        state.SkipWithError("the ffmpeg program is not installed");
        return;
    }
    const std::string out = scratch("ffmpeg.mp4");
    const std::vector<std::string> args = {
        "ffmpeg", "-y", "-loop", "1", "-framerate", std::to_string(kFps), "-i", scratch("picture.jpg"),
        "-i", scratch("song.mp3"), "-vf", "scale=1280:720,subtitles=" + scratch("song.ass"),
        "-c:v", "libx264", "-preset", preset, "-crf", std::to_string(kCrf), "-pix_fmt", "yuv420p",
        "-c:a", "aac", "-shortest", out};
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = run(args);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (!ok) {
            state.SkipWithError("ffmpeg failed");
            break;
        }
        seconds += s;
        state.SetIterationTime(s);
    }
    state.counters["x_realtime"] = kSongSeconds / (seconds / static_cast<double>(state.iterations()));
    std::remove(out.c_str());
}
BENCHMARK_CAPTURE(BM_FfmpegCommand, medium, "medium")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
BENCHMARK_CAPTURE(BM_FfmpegCommand, veryfast, "veryfast")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

}  // namespace
