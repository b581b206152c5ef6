// SPDX-License-Identifier: GPL-3.0-or-later
// The quality time stretch against the block method: CPU per second of a
// stereo 44.1 kHz song at each pitch-keeping speed and at a key change, and
// how each keeps a steady 440 Hz tone at half speed (its pitch, its length
// and the evenness of its loudness over windows of one period). The tone
// figures are reported as counters.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "audio/block_processor.h"

namespace {

using namespace melnix;

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

std::vector<int16_t> tone(int seconds) {
    std::vector<int16_t> s(static_cast<size_t>(seconds) * kRate * 2);
    for (size_t k = 0; k < s.size() / 2; ++k)
        s[2 * k] = s[2 * k + 1] = static_cast<int16_t>(std::lround(16000 * std::sin(2 * kPi * 440.0 * k / kRate)));
    return s;
}

// A song-like signal: three detuned partials under a slow tremolo and noise.
std::vector<int16_t> music(int seconds) {
    std::vector<int16_t> s(static_cast<size_t>(seconds) * kRate * 2);
    uint32_t noise = 1;
    for (size_t k = 0; k < s.size() / 2; ++k) {
        const double t = static_cast<double>(k) / kRate;
        noise = noise * 1664525u + 1013904223u;
        const double v = (0.3 * std::sin(2 * kPi * 220 * t) + 0.2 * std::sin(2 * kPi * 331 * t) +
                          0.1 * std::sin(2 * kPi * 1250 * t)) * (0.7 + 0.3 * std::sin(2 * kPi * 3 * t)) +
                         0.02 * (static_cast<double>(noise >> 16) / 32768.0 - 1.0);
        s[2 * k] = static_cast<int16_t>(std::lround(20000 * v));
        s[2 * k + 1] = static_cast<int16_t>(std::lround(18000 * v));
    }
    return s;
}

struct Sink : BlockSink {
    std::vector<int16_t> s;
    bool keep = false;
    size_t frames = 0;
    void Write(const uint8_t* d, size_t b) override {
        frames += b / 4;
        if (keep) s.insert(s.end(), reinterpret_cast<const int16_t*>(d), reinterpret_cast<const int16_t*>(d + b));
    }
};

void run(const std::vector<int16_t>& pcm, int speed, int method, int key, Sink& sink) {
    AudioStreamConfig config;
    config.collectWaveform = false;
    config.stretchMethod = method;
    config.keySemitones = key;
    BlockProcessor processor(config, sink);
    std::atomic<int> percent{speed};
    processor.Reset();
    std::vector<int16_t> block;
    for (size_t at = 0; at < pcm.size(); at += 4096 * 2) {
        block.assign(pcm.begin() + static_cast<ptrdiff_t>(at),
                     pcm.begin() + static_cast<ptrdiff_t>(std::min(pcm.size(), at + 4096 * 2)));
        processor.FlushBlock(block.data(), block.size() * 2, percent, 0);
    }
    processor.Finish(percent);
}

// Seconds of CPU per second of song; "x real time" is its inverse.
void BM_Stretch(benchmark::State& state) {
    const int speed = static_cast<int>(state.range(0));
    const int method = static_cast<int>(state.range(1));
    const int key = static_cast<int>(state.range(2));
    static const auto song = music(10);
    for (auto _ : state) {
        Sink sink;
        run(song, speed, method, key, sink);
        benchmark::DoNotOptimize(sink.frames);
    }
    state.counters["x_real_time"] =
        benchmark::Counter(10.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Stretch)
    ->ArgNames({"speed", "quality", "key"})
    ->Args({200, kStretchBlock, 0})
    ->Args({200, kStretchQuality, 0})
    ->Args({150, kStretchQuality, 0})
    ->Args({75, kStretchQuality, 0})
    ->Args({50, kStretchQuality, 0})
    ->Args({100, kStretchQuality, 2})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// A 3 s, 440 Hz tone at half speed: pitch (zero crossings), length over
// twice the input, and the largest loudness deviation over 100-sample
// windows from 200 ms on (up to 200 ms before the end).
void BM_ToneAtHalfSpeed(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    static const auto input = tone(3);
    Sink sink;
    sink.keep = true;
    for (auto _ : state) {
        sink.s.clear();
        sink.frames = 0;
        run(input, 200, method, 0, sink);
    }
    const auto& s = sink.s;
    const size_t frames = s.size() / 2;
    std::vector<double> x;
    for (size_t k = kRate / 5; k + kRate / 5 < frames; ++k) x.push_back(s[2 * k]);
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < x.size(); ++i)
        if (x[i - 1] < 0 && x[i] >= 0) {
            const double at = static_cast<double>(i - 1) - x[i - 1] / (x[i] - x[i - 1]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    std::vector<double> rms;
    for (size_t w = 0; w + 100 <= x.size(); w += 100) {
        double e = 0;
        for (size_t i = w; i < w + 100; ++i) e += x[i] * x[i];
        rms.push_back(std::sqrt(e / 100));
    }
    auto sorted = rms;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    double worstDb = 0;
    for (double r : rms) worstDb = std::max(worstDb, std::abs(20 * std::log10(std::max(r, 1e-9) / median)));
    state.counters["pitch_hz"] = crossings > 1 ? (crossings - 1) * kRate / (last - first) : 0;
    state.counters["length_ratio"] = static_cast<double>(frames) / (input.size() / 2);
    state.counters["worst_dB"] = worstDb;
}
BENCHMARK(BM_ToneAtHalfSpeed)->ArgNames({"quality"})->Arg(kStretchBlock)->Arg(kStretchQuality)->Unit(benchmark::kMillisecond);

}  // namespace
