// SPDX-License-Identifier: GPL-3.0-or-later
// The MP3 side of the wave engine without a device: our frame reading, then
// libmpg123 decoding each frame, then the block processor at normal speed,
// into a sink that drops everything. The stream is a conformance stream
// (128 kbit/s, 44.1 kHz joint stereo) repeated to about 140 s, written to
// $TMPDIR/melnix-bench.mp3 so that other decoders can be timed on the very
// same file.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "audio/block_processor.h"
#include "audio/mp3_source.h"
#include "common/file.h"

namespace {

using namespace melnix;

struct DropSink : BlockSink {
    size_t bytes = 0;
    void Write(const uint8_t*, size_t n) override { bytes += n; }
};

std::string benchFile() {
    static const std::string path = [] {
        const std::string corpus = MELNIX_SOURCE_DIR "/../shared/corpus/mpeg-audio/l3-sin1k0db.bit";
        const std::string fixture = MELNIX_SOURCE_DIR "/tests/audio/fixtures/l3-hecommon-16.bit";
        std::string stream;
        if (!readWholeFile(corpus, stream, 1 << 24)) readWholeFile(fixture, stream, 1 << 24);
        const std::string out = (std::filesystem::temp_directory_path() / "melnix-bench.mp3").string();
        File f;
        f.open(out, File::Mode::Create);
        // About 140 s of audio (2.2 MB of this stream).
        for (size_t written = 0; written < (1u << 21) + (1u << 17) && !stream.empty(); written += stream.size())
            f.write(stream);
        return out;
    }();
    return path;
}

// mode 0: read frames only; 1: read, decode and pass the PCM through the
// processor at normal speed; 2: the same with the waveform measured, as the
// player does.
void runPipeline(benchmark::State& state, int mode) {
    const std::string path = benchFile();
    auto waveform = std::make_unique<std::atomic<uint8_t>[]>(kWaveformLength);
    std::atomic<int> level{0};
    double audioSeconds = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        AudioStreamConfig config;
        config.filePath = path;
        config.collectWaveform = mode == 2;
        config.waveform = waveform.get();
        config.levelValue = &level;
        Mp3Source source(config);
        DropSink sink;
        BlockProcessor processor(config, sink);
        if (!source.Open() || !source.Prepare()) {
            state.SkipWithError("cannot open the benchmark stream");
            return;
        }
        for (;;) {
            const int r = source.ReadBlock();
            if (r == kEndOfData) break;
            if (r != kBlockRead) continue;
            ++config.blockIndex;
            ++frames;
            if (mode >= 1) source.DecodeBlock(processor);
        }
        source.FlushPending(processor);
        audioSeconds += config.blockIndex.load() * source.MsPerBlock() / 1000.0;
        benchmark::DoNotOptimize(sink.bytes);
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["x_realtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}

void BM_Mp3ReadFrames(benchmark::State& state) { runPipeline(state, 0); }
void BM_Mp3ReadDecode(benchmark::State& state) { runPipeline(state, 1); }
void BM_Mp3ReadDecodeProcess(benchmark::State& state) { runPipeline(state, 2); }

BENCHMARK(BM_Mp3ReadFrames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mp3ReadDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mp3ReadDecodeProcess)->Unit(benchmark::kMillisecond);

}  // namespace
