// SPDX-License-Identifier: GPL-3.0-or-later
// The block processor on one MP3-sized block (4096 stereo frames, 92.9 ms at
// 44.1 kHz) at each of the editor's nine speeds, waveform measured, plus
// vocal removal at normal speed. x_realtime is audio time processed per
// second of processing.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "audio/block_processor.h"
#include "audio/speed_table.h"

namespace {

using namespace melnix;

constexpr int kFrames = 4096;

struct DropSink : BlockSink {
    size_t bytes = 0;
    void Write(const uint8_t*, size_t n) override { bytes += n; }
};

std::vector<int16_t> musicLikeBlock() {
    std::vector<int16_t> s(kFrames * 2);
    for (int k = 0; k < kFrames; ++k) {
        const double t = k / 44100.0;
        s[2 * static_cast<size_t>(k)] = static_cast<int16_t>(9000 * std::sin(2 * std::numbers::pi * 440 * t) + 3000 * std::sin(2 * std::numbers::pi * 97 * t));
        s[2 * static_cast<size_t>(k) + 1] = static_cast<int16_t>(9000 * std::sin(2 * std::numbers::pi * 440 * t) - 2000 * std::sin(2 * std::numbers::pi * 3100 * t));
    }
    return s;
}

void run(benchmark::State& state, int speedIndex, int channelMode) {
    AudioStreamConfig config;
    auto waveform = std::make_unique<std::atomic<uint8_t>[]>(kWaveformLength);
    std::atomic<int> level{0};
    config.waveform = waveform.get();
    config.levelValue = &level;
    config.isWav = false;
    config.channelMode = channelMode;
    const Speed speed = speedAt(speedIndex);
    config.pitchChange = speed.pitchChange;
    std::atomic<int> percent{speed.percent};
    DropSink sink;
    BlockProcessor processor(config, sink);
    const std::vector<int16_t> source = musicLikeBlock();
    std::vector<int16_t> block(source.size());
    int32_t index = 4;
    for (auto _ : state) {
        block = source;  // the processor works in place
        // Walk through the song so the waveform slots move on, wrapping
        // before the end of the hour (frame 137,800) where measuring stops.
        config.blockIndex = index;
        index = index > 130'000 ? 4 : index + 4;
        processor.FlushBlock(block.data(), block.size() * 2, percent, 26.122449);
    }
    benchmark::DoNotOptimize(sink.bytes);
    state.counters["x_realtime"] = benchmark::Counter(static_cast<double>(state.iterations()) * kFrames / 44100.0,
                                                      benchmark::Counter::kIsRate);
}

void BM_FlushBlockAtSpeed(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    state.SetLabel(std::to_string(speedAt(index).percent) + (speedAt(index).pitchChange ? "% pitch" : "%"));
    run(state, index, kChannelModeNormal);
}

void BM_FlushBlockVocalRemoval(benchmark::State& state) { run(state, kNormalSpeedIndex, kChannelModeVocalRemoval); }

BENCHMARK(BM_FlushBlockAtSpeed)->DenseRange(0, kSpeedCount - 1);
BENCHMARK(BM_FlushBlockVocalRemoval);

}  // namespace
