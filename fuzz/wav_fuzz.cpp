// SPDX-License-Identifier: GPL-3.0-or-later
// The RIFF/WAV reader: open, seek, and every block through the processor.
#include "audio/wav_source.h"
#include "audio_fuzz_support.h"
#include "fuzz_support.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryPath file(fuzz::bytesOf(data, size));
    AudioStreamConfig config;
    config.filePath = file.path();
    WavSource source(config);
    if (!source.Open() || !source.Prepare()) return 0;
    fuzz::DiscardSink sink;
    BlockProcessor processor(config, sink);
    for (int i = 0; i < 64 && source.ReadBlock() == kBlockRead; ++i) source.DecodeBlock(processor);
    source.SeekMs(1000);
    source.BlockCount();
    return 0;
}
