// SPDX-License-Identifier: GPL-3.0-or-later
// The processor time it takes to render a MIDI song into a WAV file: the
// player with its FluidSynth device and the WAV backend, against the
// fluidsynth command's fast renderer (`fluidsynth -ni -F OUT.wav SOUNDFONT
// SONG`) on the same song and soundfont. The command loads the whole
// soundfont unless told otherwise, so it is measured both ways.
//
// The demonstration song keeps running status across its lyric events,
// which the command's file reader refuses; both renderers get a copy with
// every status byte written out, which plays the same.
//
// cpu_ms counts every thread of the render (the device thread for the
// player, the child process for the command).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "common/auto_reset_event.h"
#include "midi/midi_event.h"
#include "midi/midi_stream_player.h"
#include "platform/audio_output.h"
#include "platform/midi_stream_device.h"

extern char** environ;

namespace {

using namespace melnix;

const std::string kDemo = std::string(MELNIX_SOURCE_DIR) + "/res/BHL.MID";

std::string scratch(const std::string& name) {
    return "/tmp/melnix-bench-" + std::to_string(getpid()) + "-" + name;
}

void putVarLen(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7F;
    while (v >>= 7) buf[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
    while (n) out.push_back(buf[--n]);
}

// The song with a status byte on every channel event; empty when it cannot
// be read.
std::string explicitStatusCopy() {
    static const std::string path = [] {
        MidiSongFile song;
        if (!song.LoadFile(kDemo, nullptr)) return std::string();
        std::vector<uint8_t> out(song.fileData.begin(), song.fileData.begin() + 14);
        for (const MidiTrack& t : song.tracks) {
            std::vector<uint8_t> body;
            uint32_t cursor = t.start;
            uint8_t running = 0;
            uint32_t delta = 0;
            while (ReadDelta(song.fileData, cursor, t.end(), delta)) {
                MidiEvent e;
                const uint32_t at = cursor;
                const EventRead r = ReadEvent(song.fileData, cursor, t.end(), running, e);
                if (r == EventRead::Stop) break;
                putVarLen(body, delta);
                if (e.status < kStatusSysEx) {
                    body.push_back(e.status);
                    body.insert(body.end(), song.fileData.begin() + e.dataOffset, song.fileData.begin() + cursor);
                } else {
                    body.insert(body.end(), song.fileData.begin() + at, song.fileData.begin() + cursor);
                }
                if (r == EventRead::EndOfTrack) break;
            }
            out.insert(out.end(), {'M', 'T', 'r', 'k'});
            for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(body.size() >> s));
            out.insert(out.end(), body.begin(), body.end());
        }
        const std::string copy = scratch("song.mid");
        std::ofstream(copy, std::ios::binary).write(reinterpret_cast<const char*>(out.data()),
                                                    static_cast<std::streamsize>(out.size()));
        return copy;
    }();
    return path;
}

double cpuMs(const rusage& u) {
    return (static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

double wavSeconds(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const auto bytes = static_cast<double>(in.tellg());
    return bytes > 44 ? (bytes - 44) / 4 / 44100 : 0;
}

void BM_PlayerRender(benchmark::State& state) {
    const std::string song = explicitStatusCopy();
    const std::string soundfont = findSoundfont();
    if (song.empty() || soundfont.empty()) {
        state.SkipWithError("no song or no soundfont");
        return;
    }
    const std::string out = scratch("player.wav");
    double cpu = 0;
    for (auto _ : state) {
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        AutoResetEvent ended;
        MidiStreamDevice* device = nullptr;
        MidiStreamPlayer player([&] { ended.set(); }, {}, [&] {
            auto d = makeFluidSynthMidiDevice(soundfont, makeWavAudioOutput(out));
            device = d.get();
            return d;
        });
        if (!player.Open(song, nullptr) || !player.DeviceOpen() || !player.Play(0)) {
            state.SkipWithError("the player did not start");
            return;
        }
        ended.wait();
        while (!device->idle()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        player.Close();
        getrusage(RUSAGE_SELF, &after);
        cpu += cpuMs(after) - cpuMs(before);
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["audio_s"] = wavSeconds(out);
    std::remove(out.c_str());
}
BENCHMARK(BM_PlayerRender)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_FluidsynthCommand(benchmark::State& state, bool dynamicLoading) {
    const std::string song = explicitStatusCopy();
    const std::string soundfont = findSoundfont();
    if (song.empty() || soundfont.empty()) {
        state.SkipWithError("no song or no soundfont");
        return;
    }
    if (::access("/usr/bin/fluidsynth", X_OK) != 0) {
        state.SkipWithError("the fluidsynth command is not installed (apt-get install fluidsynth)");
        return;
    }
    const std::string out = scratch("command.wav");
    std::vector<std::string> args = {"fluidsynth", "-ni", "-q"};
    if (dynamicLoading) args.insert(args.end(), {"-o", "synth.dynamic-sample-loading=1"});
    args.insert(args.end(), {"-F", out, soundfont, song});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    double cpu = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, "/usr/bin/fluidsynth", &quiet, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("fluidsynth did not start");
            break;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("fluidsynth failed");
            break;
        }
        const double ms = cpuMs(usage);
        cpu += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    posix_spawn_file_actions_destroy(&quiet);
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["audio_s"] = wavSeconds(out);
    std::remove(out.c_str());
}
BENCHMARK_CAPTURE(BM_FluidsynthCommand, whole_soundfont, false)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(BM_FluidsynthCommand, dynamic_loading, true)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
