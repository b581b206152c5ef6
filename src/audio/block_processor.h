// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Between the source and the device every block of 16-bit PCM passes through
// FlushBlock: it records the block's loudness into the editor's waveform,
// plays it at the selected speed (keeping the pitch by repeating or cutting
// pieces of the block with short linear fades, or changing it by repeating or
// dropping single frames) and, at normal speed, applies the channel mode.
// The output of a block of N frames is always MulDiv(N, speed, 100) frames,
// which is what lets the player turn played samples back into song time.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/audio_stream_config.h"
#include "audio/stretcher.h"

namespace melnix {

class BlockSink {
public:
    virtual ~BlockSink() = default;
    virtual void Write(const uint8_t* data, size_t bytes) = 0;
};

constexpr int kChannelModeNormal = 0;
constexpr int kChannelModeVocalRemoval = 6;

class BlockProcessor {
public:
    BlockProcessor(AudioStreamConfig& config, BlockSink& sink) : config_(config), sink_(sink) {}

    // block holds interleaved PCM of config.channels and config.bitsPerSample
    // and may be changed in place. speedPercent is the source's: streams that
    // are not 16-bit are played at normal speed and it is set back to 100.
    // msPerFrame is the MP3 frame duration (unused for WAV).
    void FlushBlock(int16_t* block, size_t bytes, std::atomic<int>& speedPercent, double msPerFrame);
    // A new stream begins at a start or a seek: the stretcher starts over.
    void Reset();
    // At the song's end: the stretcher gives out what it still holds.
    void Finish(std::atomic<int>& speedPercent);
    // True while blocks go through the stretcher (the quality method at a
    // pitch-keeping speed, or a key other than 0); read by the position.
    bool stretching() const { return stretching_.load(); }

private:
    void MeasureWaveform(const int16_t* s, int frames, int channels, int rate, double msPerFrame);
    void PlaySlower(int16_t* s, int frames, int channels, int speed, int fade, bool pitchChange);
    void PlayFaster(int16_t* s, int frames, int channels, int speed, int fade, bool pitchChange);
    void ApplyChannelMode(int16_t* s, int frames, int mode);
    void WriteFrames(const int16_t* s, int frames, int channels);
    // The stretcher's output, then the block method's speed when the
    // stretcher only moved the key.
    void PlayStretched(int frames, int channels, int speed, int fade, bool pitchChange, bool timeStretched);

    AudioStreamConfig& config_;
    BlockSink& sink_;
    int16_t previousRight_ = 0;  // mode 6 carries it from block to block
    bool streamStart_ = true;    // no frame of this stream has been through mode 6 yet
    std::vector<int16_t> out_;
    Stretcher stretcher_;
    std::vector<int16_t> stretched_;
    std::atomic<bool> stretching_{false};
    bool timeStretched_ = false;  // the last stretched block had its time stretched
};

}  // namespace melnix
