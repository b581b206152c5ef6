// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/block_processor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/mul_div.h"

namespace melnix {

static_assert(std::endian::native == std::endian::little, "PCM is handled as little-endian samples");

namespace {

constexpr int kNormalSpeed = 100;
constexpr int kMaxLevel = 254;
constexpr int kLevelDivisor = 129;  // 32768 / 129 = 254: a full-scale sample is the top level
constexpr int kCentisecondsPerSecond = 100;

// Scales frames [from, to) of s by a linear ramp: frame j gets factor(j) / fade.
template <class Factor>
void ramp(int16_t* s, int channels, int from, int to, int fade, Factor factor) {
    for (int j = from; j < to; ++j) {
        const int f = factor(j);
        int16_t* p = s + static_cast<ptrdiff_t>(j) * channels;
        for (int ch = 0; ch < channels; ++ch) p[ch] = static_cast<int16_t>(p[ch] * f / fade);
    }
}

// Fades in over the first fade frames: frame j x j / fade.
void fadeIn(int16_t* s, int frames, int channels, int fade) {
    ramp(s, channels, 0, std::min(fade, frames), fade, [](int j) { return j; });
}

// Fades out over the fade frames ending at frame end - 1, which gets 0.
void fadeOut(int16_t* s, int end, int channels, int fade) {
    ramp(s, channels, std::max(0, end - fade), end, fade, [end](int j) { return end - 1 - j; });
}

// MulDiv(a, b, 100) for a, b >= 0, where its rounding is half up; inline so
// that the per-frame loops of the pitch-changing speeds divide by a constant.
inline int scaleByPercent(int a, int b) { return static_cast<int>((static_cast<int64_t>(a) * b + 50) / 100); }

int16_t clampSample(int v) { return static_cast<int16_t>(std::clamp(v, -32767, 32767)); }

}  // namespace

void BlockProcessor::WriteFrames(const int16_t* s, int frames, int channels) {
    if (frames <= 0) return;
    sink_.Write(reinterpret_cast<const uint8_t*>(s), static_cast<size_t>(frames) * channels * 2);
}

void BlockProcessor::FlushBlock(int16_t* block, size_t bytes, std::atomic<int>& speedPercent, double msPerFrame) {
    if (config_.bitsPerSample != 16) {
        speedPercent.store(kNormalSpeed);
        sink_.Write(reinterpret_cast<const uint8_t*>(block), bytes);
        return;
    }
    const int channels = std::max(config_.channels, 1);
    const int rate = config_.sampleRate.load();
    const int frames = static_cast<int>(bytes / (2 * static_cast<size_t>(channels)));
    if (frames == 0) return;
    const int fade = MulDiv(100, std::max(rate, 1000), 44100);  // 100 frames at 44.1 kHz

    if (config_.collectWaveform.load()) MeasureWaveform(block, frames, channels, rate, msPerFrame);

    const int speed = speedPercent.load();
    const bool pitchChange = config_.pitchChange.load();
    const int key = std::clamp(config_.keySemitones.load(), kLowestKey, kHighestKey);
    const bool timeStretched =
        speed != kNormalSpeed && !pitchChange && config_.stretchMethod.load() == kStretchQuality;
    if (timeStretched || key != 0) {
        stretching_ = true;
        timeStretched_ = timeStretched;
        if (speed == kNormalSpeed) {
            const int mode = config_.channelMode.load();
            if (mode != kChannelModeNormal && channels == 2) ApplyChannelMode(block, frames, mode);
        }
        stretched_.clear();
        stretcher_.Process(block, frames, channels, rate, timeStretched ? speed / 100.0 : 1.0, keyPitchScale(key),
                           stretched_);
        PlayStretched(static_cast<int>(stretched_.size() / static_cast<size_t>(channels)), channels, speed, fade,
                      pitchChange, timeStretched);
        return;
    }
    stretching_ = false;
    if (speed > kNormalSpeed) {
        PlaySlower(block, frames, channels, speed, fade, pitchChange);
    } else if (speed < kNormalSpeed) {
        PlayFaster(block, frames, channels, speed, fade, pitchChange);
    } else {
        const int mode = config_.channelMode.load();
        if (mode != kChannelModeNormal && channels == 2) ApplyChannelMode(block, frames, mode);
        WriteFrames(block, frames, channels);
    }
}

void BlockProcessor::PlayStretched(int frames, int channels, int speed, int fade, bool pitchChange,
                                   bool timeStretched) {
    if (frames <= 0) return;
    if (timeStretched || speed == kNormalSpeed) {
        WriteFrames(stretched_.data(), frames, channels);
    } else if (speed > kNormalSpeed) {
        PlaySlower(stretched_.data(), frames, channels, speed, fade, pitchChange);
    } else {
        PlayFaster(stretched_.data(), frames, channels, speed, fade, pitchChange);
    }
}

void BlockProcessor::Reset() {
    stretcher_.Reset();
    streamStart_ = true;
}

void BlockProcessor::Finish(std::atomic<int>& speedPercent) {
    if (!stretching_.load() || config_.bitsPerSample != 16) return;
    const int channels = std::max(config_.channels, 1);
    const int fade = MulDiv(100, std::max(config_.sampleRate.load(), 1000), 44100);
    stretched_.clear();
    stretcher_.Finish(stretched_);
    PlayStretched(static_cast<int>(stretched_.size() / static_cast<size_t>(channels)), channels, speedPercent.load(),
                  fade, config_.pitchChange.load(), timeStretched_);
}

void BlockProcessor::MeasureWaveform(const int16_t* s, int frames, int channels, int rate, double msPerFrame) {
    std::atomic<uint8_t>* waveform = config_.waveform;
    const int length = config_.waveformLength;
    if (!waveform || length <= 0 || rate <= 0) return;

    const int32_t blockIndex = config_.blockIndex.load();
    int64_t firstSlot = 0;
    if (config_.isWav) {
        // The source says where the block starts (a seek may start one
        // inside a block).
        firstSlot = (config_.blockFirstFrame.load() * kCentisecondsPerSecond + rate / 2) / rate;
    } else if (msPerFrame > 0) {
        // The block was completed by frame blockIndex; step back over the MP3
        // frames one block spans.
        const double framesPerBlock =
            static_cast<double>(config_.maxBlockBytes / (2 * channels)) / rate * 1000.0 / msPerFrame;
        firstSlot = static_cast<int64_t>(0.1 * msPerFrame * std::max(0.0, blockIndex - framesPerBlock - 1));
    }
    if (firstSlot < 0 || firstSlot >= length) return;

    // Rounding can step over one slot between blocks; fill it from its left.
    if (firstSlot > 1 && waveform[firstSlot - 1].load(std::memory_order_relaxed) == kWaveformEmpty)
        waveform[firstSlot - 1].store(waveform[firstSlot - 2].load(std::memory_order_relaxed),
                                      std::memory_order_relaxed);

    int level = config_.levelValue ? config_.levelValue->load(std::memory_order_relaxed) : 0;
    int k = 0;
    for (int offset = 0; k < frames; ++offset) {
        const int64_t slot = firstSlot + offset;
        if (slot >= length) break;
        // Frames k with MulDiv(k, 100, rate) == offset share this slot.
        const int64_t next = ((static_cast<int64_t>(offset) + 1) * rate - rate / 2 + kCentisecondsPerSecond - 1) /
                             kCentisecondsPerSecond;
        const int end = static_cast<int>(std::min<int64_t>(next, frames));
        if (end <= k) continue;
        int peak = -1;
        for (; k < end; ++k) {
            const int16_t* f = s + static_cast<ptrdiff_t>(k) * channels;
            const int v = channels > 1 ? (f[0] + f[1]) / 2 : f[0];
            const int g = std::min(std::abs(v) / kLevelDivisor, kMaxLevel);
            peak = std::max(peak, g);
            if (g > level) level += std::max((g - level) / 4, 1);
        }
        // A slot keeps a larger value measured earlier.
        std::atomic<uint8_t>& cell = waveform[slot];
        const int old = cell.load(std::memory_order_relaxed);
        if (old == kWaveformEmpty || old <= peak) cell.store(static_cast<uint8_t>(peak), std::memory_order_relaxed);
    }
    if (config_.levelValue) config_.levelValue->store(level, std::memory_order_relaxed);
}

void BlockProcessor::PlaySlower(int16_t* s, int frames, int channels, int speed, int fade, bool pitchChange) {
    const int target = MulDiv(frames, speed, 100);
    const size_t frameSamples = static_cast<size_t>(channels);
    if (pitchChange) {
        // Frame k is written as often as the scaled time grows over it; the
        // output goes out whenever a block's worth is ready.
        out_.resize(static_cast<size_t>(frames) * frameSamples);
        int filled = 0;
        int scaledBefore = 0;  // MulDiv(k - 1, speed, 100)
        for (int k = 1; k <= frames; ++k) {
            const int scaled = scaleByPercent(k, speed);
            const int times = scaled - scaledBefore;
            scaledBefore = scaled;
            for (int t = 0; t < times; ++t) {
                if (filled == frames) {
                    WriteFrames(out_.data(), filled, channels);
                    filled = 0;
                }
                std::memcpy(&out_[static_cast<size_t>(filled) * frameSamples], s + (k - 1) * frameSamples,
                            frameSamples * 2);
                ++filled;
            }
        }
        WriteFrames(out_.data(), filled, channels);
        return;
    }

    out_.resize(static_cast<size_t>(target) * frameSamples);
    int16_t* o = out_.data();
    if (frames <= 8 * fade) {
        // Too short to fade: whole copies, then the head of the block.
        int left = target;
        for (; left >= frames; left -= frames, o += static_cast<size_t>(frames) * frameSamples)
            std::memcpy(o, s, static_cast<size_t>(frames) * frameSamples * 2);
        std::memcpy(o, s, static_cast<size_t>(left) * frameSamples * 2);
        WriteFrames(out_.data(), target, channels);
        return;
    }
    // n segments of the block's head, each faded out (and in, after the
    // first), then the block's tail faded in: at 200 the block plays twice,
    // at 150 its first three quarters and then its last three quarters.
    const int repeats = (target - 1) / frames;
    const int segment = target / (repeats + 1);
    for (int i = 0; i < repeats; ++i, o += static_cast<size_t>(segment) * frameSamples) {
        std::memcpy(o, s, static_cast<size_t>(segment) * frameSamples * 2);
        if (i > 0) fadeIn(o, segment, channels, fade);
        fadeOut(o, segment, channels, fade);
    }
    const int tail = std::min(target - repeats * segment, frames);
    std::memcpy(o, s + static_cast<size_t>(frames - tail) * frameSamples, static_cast<size_t>(tail) * frameSamples * 2);
    fadeIn(o, tail, channels, fade);
    WriteFrames(out_.data(), repeats * segment + tail, channels);
}

void BlockProcessor::PlayFaster(int16_t* s, int frames, int channels, int speed, int fade, bool pitchChange) {
    const int target = MulDiv(frames, speed, 100);
    const size_t frameSamples = static_cast<size_t>(channels);
    if (frames <= MulDiv(4 * fade, 100, speed) && (!pitchChange || frames <= 1)) {
        WriteFrames(s, std::max(target, 1), channels);
        return;
    }
    if (pitchChange) {
        // Keep frame k only where the scaled time moves on: 80 keeps 4 of 5.
        int kept = 0;
        int scaledBefore = 0;  // MulDiv(k - 1, speed, 100)
        for (int k = 1; k <= frames; ++k) {
            const int scaled = scaleByPercent(k, speed);
            const bool keep = scaled > scaledBefore;
            scaledBefore = scaled;
            if (keep) {
                if (kept != k - 1)
                    std::memmove(s + static_cast<size_t>(kept) * frameSamples, s + (k - 1) * frameSamples,
                                 frameSamples * 2);
                ++kept;
            }
        }
        WriteFrames(s, kept, channels);
        return;
    }
    // The head of the block, faded in and out; the rest is dropped.
    fadeIn(s, target, channels, fade);
    fadeOut(s, target, channels, fade);
    WriteFrames(s, target, channels);
}

void BlockProcessor::ApplyChannelMode(int16_t* s, int frames, int mode) {
    for (int k = 0; k < frames; ++k) {
        int16_t* f = s + 2 * static_cast<ptrdiff_t>(k);
        const int left = f[0];
        const int right = f[1];
        switch (mode) {
            case 1: f[0] = f[1] = static_cast<int16_t>((left + right) / 2); break;
            case 2: f[1] = f[0]; break;
            case 3: f[0] = f[1]; break;
            case 4: f[1] = 0; break;
            case 5: f[0] = 0; break;
            default:
                // What is the same in both channels (the centred lead voice)
                // cancels; the previous frame's right keeps some body. A
                // stream's first frame has no previous one: its own right
                // stands in, so the start does not click.
                if (streamStart_) previousRight_ = static_cast<int16_t>(right);
                streamStart_ = false;
                f[0] = clampSample(left - previousRight_);
                f[1] = clampSample(right - left);
                previousRight_ = static_cast<int16_t>(right);
                break;
        }
    }
}

}  // namespace melnix
