// SPDX-License-Identifier: GPL-3.0-or-later
// The FFmpeg-backed source of today's audio formats: probe, open, decode
// blocks, seek and decode again.
#include "audio/ffmpeg_source.h"
#include "audio_fuzz_support.h"
#include "fuzz_support.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryPath file(fuzz::bytesOf(data, size));
    AudioStreamConfig config;
    config.filePath = file.path();
    FfmpegSource source(config);
    try {
        if (!source.Open() || !source.Prepare()) return 0;
        fuzz::DiscardSink sink;
        BlockProcessor processor(config, sink);
        for (int i = 0; i < 32 && source.ReadBlock() == kBlockRead; ++i) source.DecodeBlock(processor);
        if (source.SeekMs(500))
            for (int i = 0; i < 4 && source.ReadBlock() == kBlockRead; ++i) source.DecodeBlock(processor);
        source.FlushPending(processor);
        source.LengthMs();
    } catch (const AudioSourceError&) {
        // A read error ends the song; the player catches it the same way.
    }
    return 0;
}
