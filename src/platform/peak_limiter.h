// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A look-ahead peak limiter for the synthesizer's output: the sound is
// delayed by 5 ms, so the gain can come down smoothly before a
// peak arrives instead of the peak being cut flat, and it comes back up
// slowly after. Below the ceiling the sound passes unchanged.

#include <cstdint>
#include <vector>

namespace melnix {

class PeakLimiter {
public:
    // ceiling: the highest output level as a fraction of full scale.
    PeakLimiter(int channels, int sampleRate, float ceiling = 0.95f);

    // frames of interleaved float samples (full scale 1.0) in, 16-bit frames
    // out, lookAheadFrames() later; returns how many were written. The first
    // lookAheadFrames() after a reset are held back rather than given out as
    // silence, so what is heard stays on time.
    int Process(const float* in, int frames, int16_t* out);
    // Forgets the held sound and the gain (after a reset of the stream).
    void Reset();
    int lookAheadFrames() const { return lookAhead_; }

private:
    int channels_;
    int lookAhead_;
    float ceiling_;
    float release_;
    float gain_ = 1.0f;
    std::vector<float> delay_;  // lookAhead_ frames, a ring
    std::vector<float> need_;   // the gain each held frame needs
    int at_ = 0;
    int limited_ = 0;  // held frames that need the gain down
    int toSkip_ = 0;
};

}  // namespace melnix
