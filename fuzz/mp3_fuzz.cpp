// SPDX-License-Identifier: GPL-3.0-or-later
// The MP3 frame reader with decoding: frames found, decoded and processed.
#include "audio/mp3_source.h"
#include "audio_fuzz_support.h"
#include "fuzz_support.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryPath file(fuzz::bytesOf(data, size));
    AudioStreamConfig config;
    config.filePath = file.path();
    Mp3Source source(config);
    try {
        if (!source.Open() || !source.Prepare()) return 0;
        fuzz::DiscardSink sink;
        BlockProcessor processor(config, sink);
        for (int i = 0; i < 256; ++i) {
            const int r = source.ReadBlock();
            if (r == kEndOfData) break;
            if (r == kBlockRead) source.DecodeBlock(processor);
        }
        source.FlushPending(processor);
        source.SeekMs(500);
    } catch (const AudioSourceError&) {
    }
    return 0;
}
